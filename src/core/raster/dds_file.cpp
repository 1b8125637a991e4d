// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/dds_file.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "io/byte_reader.h"
#include "io/byte_writer.h"
#include "io/error.h"
#include "io/number_format.h"

// DDS files as DirectDraw and Direct3D 9 tools write them, without the DX10 extension: the magic
// "DDS ", a 124-byte header holding a 32-byte pixel format, for PAL8 a palette of 256 entries, then
// every level of the first surface from the largest down. Only the layouts a Direct3D 8 texture
// native holds are taken; their level bytes are the native's own, so nothing is converted. The
// header's pitch or linear size is never trusted: every size follows from the sides and the format.
//
//   offset  field
//   0       magic "DDS "
//   4       header size (124)
//   8       flags (DDSD_*)
//   12      height
//   16      width
//   20      pitch or linear size
//   24      depth
//   28      mipmap count
//   32      11 reserved words
//   76      pixel format: size (32), flags (DDPF_*), FourCC, bits per pixel, red, green, blue and alpha masks
//   108     caps, caps2, caps3, caps4, a reserved word
//   128     PAL8: 256 palette entries; then the levels

namespace vc {

namespace {

constexpr uint32_t kMagic = 0x20534444;  // "DDS "
constexpr uint32_t kHeaderSize = 124;
constexpr uint32_t kPixelFormatSize = 32;
constexpr size_t kPaletteSize = 1024;
constexpr uint32_t kMaxSide = 65535;

// Offsets of the fields a refusal names.
constexpr size_t kHeaderSizeOffset = 4;
constexpr size_t kHeightOffset = 12;
constexpr size_t kWidthOffset = 16;
constexpr size_t kDepthOffset = 24;
constexpr size_t kMipmapCountOffset = 28;
constexpr size_t kReservedWords = 11;
constexpr size_t kPixelFormatOffset = 76;
constexpr size_t kPixelFormatFlagsOffset = 80;
constexpr size_t kFourCcOffset = 84;
constexpr size_t kBitCountOffset = 88;
constexpr size_t kCaps2Offset = 112;

// Header flags.
constexpr uint32_t kDdsdCaps = 0x1;
constexpr uint32_t kDdsdHeight = 0x2;
constexpr uint32_t kDdsdWidth = 0x4;
constexpr uint32_t kDdsdPitch = 0x8;
constexpr uint32_t kDdsdPixelFormat = 0x1000;
constexpr uint32_t kDdsdMipmapCount = 0x20000;
constexpr uint32_t kDdsdLinearSize = 0x80000;
constexpr uint32_t kDdsdDepth = 0x800000;

// Pixel format flags.
constexpr uint32_t kDdpfAlphaPixels = 0x1;
constexpr uint32_t kDdpfFourCc = 0x4;
constexpr uint32_t kDdpfPaletteIndexed8 = 0x20;
constexpr uint32_t kDdpfRgb = 0x40;
constexpr uint32_t kDdpfLuminance = 0x20000;

// Caps.
constexpr uint32_t kCapsComplex = 0x8;
constexpr uint32_t kCapsTexture = 0x1000;
constexpr uint32_t kCapsMipmap = 0x400000;
constexpr uint32_t kCaps2CubeMap = 0x200;
constexpr uint32_t kCaps2Volume = 0x200000;

constexpr uint32_t MakeFourCc(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 | uint32_t(uint8_t(code[2])) << 16 |
           uint32_t(uint8_t(code[3])) << 24;
}

// How a DDS pixel format names each texture format. The kind flag (FourCC, palette, RGB or
// luminance) decides which fields must match; ALPHAPIXELS is kept apart, since writers differ in
// whether they set it.
struct PixelFormat {
    TextureFormat Format;
    uint32_t Kind;
    uint32_t FourCc;
    uint32_t Bits;
    uint32_t Red, Green, Blue, Alpha;
};

// clang-format off
constexpr PixelFormat kPixelFormats[] = {
    {TextureFormat::Dxt1,  kDdpfFourCc,          MakeFourCc("DXT1"),  0, 0, 0, 0, 0},
    {TextureFormat::Dxt3,  kDdpfFourCc,          MakeFourCc("DXT3"),  0, 0, 0, 0, 0},
    {TextureFormat::Dxt5,  kDdpfFourCc,          MakeFourCc("DXT5"),  0, 0, 0, 0, 0},
    {TextureFormat::C8888, kDdpfRgb,             0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
    {TextureFormat::C888,  kDdpfRgb,             0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
    {TextureFormat::C565,  kDdpfRgb,             0, 16, 0xF800,     0x07E0,     0x001F,     0},
    {TextureFormat::C1555, kDdpfRgb,             0, 16, 0x7C00,     0x03E0,     0x001F,     0x8000},
    {TextureFormat::C555,  kDdpfRgb,             0, 16, 0x7C00,     0x03E0,     0x001F,     0},
    {TextureFormat::C4444, kDdpfRgb,             0, 16, 0x0F00,     0x00F0,     0x000F,     0xF000},
    {TextureFormat::Lum8,  kDdpfLuminance,       0,  8, 0xFF,       0,          0,          0},
    {TextureFormat::Pal8,  kDdpfPaletteIndexed8, 0,  8, 0,          0,          0,          0},
    // Read only: R8G8B8 has no texture layout of its own, so its pixels are widened to 888.
    {TextureFormat::C888,  kDdpfRgb,             0, 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
};
// clang-format on

// The layout a format is written in: its first row.
const PixelFormat& PixelFormatOf(TextureFormat format) {
    for (const PixelFormat& candidate : kPixelFormats) {
        if (candidate.Format == format) {
            return candidate;
        }
    }
    throw std::invalid_argument("a DDS file cannot hold a " + std::string(TextureFormatName(format)) + " surface");
}

// "DXT1" (0x31545844), or the number alone when the code is not four printable characters.
std::string FourCcText(uint32_t code) {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8) {
        const auto c = static_cast<char>(code >> shift & 0xFF);
        if (c < 0x20 || c > 0x7E) {
            return HexText(code, 8);
        }
        text += c;
    }
    return "\"" + text + "\" (" + HexText(code, 8) + ")";
}

// The fields of a DDS header the reader uses, in the order they are stored.
struct Header {
    uint32_t Flags = 0;
    uint32_t Height = 0;
    uint32_t Width = 0;
    uint32_t Depth = 0;
    uint32_t MipmapCount = 0;
    uint32_t PixelFormatFlags = 0;
    uint32_t FourCc = 0;
    uint32_t Bits = 0;
    uint32_t Masks[4] = {};  // red, green, blue, alpha
    uint32_t Caps = 0;
    uint32_t Caps2 = 0;
};

// Three-byte pixels as 888 holds them: blue, green, red and an unused byte of 255.
std::vector<uint8_t> WidenedToFourBytes(std::span<const uint8_t> pixels) {
    std::vector<uint8_t> wide;
    wide.reserve(pixels.size() / 3 * 4);
    for (size_t i = 0; i + 2 < pixels.size(); i += 3) {
        wide.insert(wide.end(), {pixels[i], pixels[i + 1], pixels[i + 2], 0xFF});
    }
    return wide;
}

class DdsReader {
  public:
    explicit DdsReader(std::span<const uint8_t> file) : m_in(file, "DDS image") {}

    DdsImage Read();

  private:
    Header ReadHeader();
    const PixelFormat& LayoutOf(const Header& header) const;
    const PixelFormat& MatchMasks(const Header& header, uint32_t kind) const;
    uint32_t LevelCount(const Header& header, TextureFormat format) const;

    ByteReader m_in;
};

Header DdsReader::ReadHeader() {
    const uint32_t magic = m_in.U32();
    if (magic != kMagic) {
        m_in.FailAt(0, "the file starts with " + FourCcText(magic) + ", not \"DDS \"");
    }
    Header header;
    const uint32_t headerSize = m_in.U32();
    if (headerSize != kHeaderSize) {
        m_in.FailAt(kHeaderSizeOffset, "the header declares " + std::to_string(headerSize) + " bytes, not 124");
    }
    if (m_in.Remaining() < kHeaderSize - 4) {
        m_in.Fail("the file ends inside its 128-byte header");
    }
    header.Flags = m_in.U32();
    header.Height = m_in.U32();
    header.Width = m_in.U32();
    m_in.Skip(4);  // the pitch or linear size, never trusted
    header.Depth = m_in.U32();
    header.MipmapCount = m_in.U32();
    m_in.Skip(4 * kReservedWords);
    const uint32_t pixelFormatSize = m_in.U32();
    if (pixelFormatSize != kPixelFormatSize) {
        m_in.FailAt(kPixelFormatOffset,
                    "the pixel format declares " + std::to_string(pixelFormatSize) + " bytes, not 32");
    }
    header.PixelFormatFlags = m_in.U32();
    header.FourCc = m_in.U32();
    header.Bits = m_in.U32();
    for (uint32_t& mask : header.Masks) {
        mask = m_in.U32();
    }
    header.Caps = m_in.U32();
    header.Caps2 = m_in.U32();
    m_in.Skip(12);  // caps3, caps4 and a reserved word
    return header;
}

const PixelFormat& DdsReader::MatchMasks(const Header& header, uint32_t kind) const {
    for (const PixelFormat& candidate : kPixelFormats) {
        if (candidate.Kind == kind && candidate.Bits == header.Bits && candidate.Red == header.Masks[0] &&
            candidate.Green == header.Masks[1] && candidate.Blue == header.Masks[2] &&
            candidate.Alpha == header.Masks[3]) {
            return candidate;
        }
    }
    const std::string layout = std::to_string(header.Bits) + "-bit " + (kind == kDdpfRgb ? "RGB" : "luminance") +
                               " with masks red " + HexText(header.Masks[0], 8) + ", green " +
                               HexText(header.Masks[1], 8) + ", blue " + HexText(header.Masks[2], 8) + ", alpha " +
                               HexText(header.Masks[3], 8);
    m_in.FailAt(kBitCountOffset, layout + " is not supported");
}

// The kind flags are tried in the order FourCC, palette, RGB, luminance, so that a stray flag beside
// the one that names the layout does not hide it.
const PixelFormat& DdsReader::LayoutOf(const Header& header) const {
    const uint32_t flags = header.PixelFormatFlags;
    if ((flags & kDdpfFourCc) != 0) {
        if (header.FourCc == MakeFourCc("DX10")) {
            m_in.FailAt(kFourCcOffset, "the DX10 extension header is not supported");
        }
        if (header.FourCc == MakeFourCc("DXT2") || header.FourCc == MakeFourCc("DXT4")) {
            m_in.FailAt(kFourCcOffset,
                        "FourCC " + FourCcText(header.FourCc) + " has premultiplied alpha, which is not supported");
        }
        for (const PixelFormat& candidate : kPixelFormats) {
            if (candidate.Kind == kDdpfFourCc && candidate.FourCc == header.FourCc) {
                return candidate;
            }
        }
        m_in.FailAt(kFourCcOffset,
                    "FourCC " + FourCcText(header.FourCc) + " is not supported; DXT1, DXT3 and DXT5 are");
    }
    if ((flags & kDdpfPaletteIndexed8) != 0) {
        if (header.Bits != 8) {
            m_in.FailAt(kBitCountOffset, std::to_string(header.Bits) + "-bit palette indices are not supported");
        }
        return PixelFormatOf(TextureFormat::Pal8);
    }
    if ((flags & kDdpfRgb) != 0) {
        return MatchMasks(header, kDdpfRgb);
    }
    if ((flags & kDdpfLuminance) != 0) {
        return MatchMasks(header, kDdpfLuminance);
    }
    m_in.FailAt(kPixelFormatFlagsOffset,
                "pixel format flags " + HexText(flags, 8) + " name none of FourCC, 8-bit palette, RGB or luminance");
}

uint32_t DdsReader::LevelCount(const Header& header, TextureFormat format) const {
    const uint32_t count = (header.Flags & kDdsdMipmapCount) != 0 && header.MipmapCount != 0 ? header.MipmapCount : 1;
    const uint32_t full = FullChainLevels(header.Width, header.Height);
    if (count > full) {
        m_in.FailAt(kMipmapCountOffset, std::to_string(count) + " mipmap levels are more than the " +
                                            std::to_string(full) + " a " + SizeText(header.Width, header.Height) + " " +
                                            std::string(TextureFormatName(format)) + " surface has");
    }
    return count;
}

DdsImage DdsReader::Read() {
    const Header header = ReadHeader();
    DdsImage image;
    const PixelFormat& layout = LayoutOf(header);
    image.Format = layout.Format;
    const bool widened = layout.Bits == 24;
    if ((header.Caps2 & kCaps2CubeMap) != 0) {
        m_in.FailAt(kCaps2Offset, "cube maps are not supported");
    }
    if ((header.Caps2 & kCaps2Volume) != 0 || ((header.Flags & kDdsdDepth) != 0 && header.Depth > 1)) {
        m_in.FailAt((header.Caps2 & kCaps2Volume) != 0 ? kCaps2Offset : kDepthOffset,
                    "volume textures are not supported");
    }
    if (header.Width == 0 || header.Width > kMaxSide) {
        m_in.FailAt(kWidthOffset, "width " + std::to_string(header.Width) + " lies outside 1 to 65535");
    }
    if (header.Height == 0 || header.Height > kMaxSide) {
        m_in.FailAt(kHeightOffset, "height " + std::to_string(header.Height) + " lies outside 1 to 65535");
    }
    image.Width = header.Width;
    image.Height = header.Height;
    // Formats with an alpha mask carry alpha whatever the flag says.
    image.AlphaPixels = (header.PixelFormatFlags & kDdpfAlphaPixels) != 0 || header.Masks[3] != 0;
    const uint32_t levels = LevelCount(header, image.Format);

    if (image.Format == TextureFormat::Pal8) {
        if (m_in.Remaining() < kPaletteSize) {
            m_in.Fail("the palette needs 1024 bytes but only " + std::to_string(m_in.Remaining()) + " follow");
        }
        const auto palette = m_in.Bytes(kPaletteSize);
        image.Palette.assign(palette.begin(), palette.end());
    }
    for (uint32_t level = 0; level < levels; ++level) {
        const uint32_t width = LevelSide(image.Width, level);
        const uint32_t height = LevelSide(image.Height, level);
        const uint64_t size = widened ? uint64_t{width} * height * 3 : LevelSize(image.Format, width, height);
        if (size > m_in.Remaining()) {
            m_in.Fail("mipmap level " + std::to_string(level) + " of " + std::to_string(levels) + " (" +
                      SizeText(width, height) + ") needs " + std::to_string(size) + " bytes but only " +
                      std::to_string(m_in.Remaining()) + " follow");
        }
        const auto bytes = m_in.Bytes(static_cast<size_t>(size));
        image.Levels.push_back(widened ? WidenedToFourBytes(bytes) : std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    return image;
}

void CheckImage(const DdsImage& image) {
    const std::string_view name = TextureFormatName(image.Format);
    if (image.Width == 0 || image.Width > kMaxSide || image.Height == 0 || image.Height > kMaxSide) {
        throw std::invalid_argument("a DDS surface of " + SizeText(image.Width, image.Height) + " cannot be written");
    }
    if (image.Levels.empty() || image.Levels.size() > FullChainLevels(image.Width, image.Height)) {
        throw std::invalid_argument("a " + SizeText(image.Width, image.Height) + " DDS surface cannot have " +
                                    std::to_string(image.Levels.size()) + " levels");
    }
    if (image.Palette.size() != (image.Format == TextureFormat::Pal8 ? kPaletteSize : 0)) {
        throw std::invalid_argument("a " + std::string(name) + " DDS surface cannot have a palette of " +
                                    std::to_string(image.Palette.size()) + " bytes");
    }
    for (uint32_t level = 0; level < image.Levels.size(); ++level) {
        const uint64_t size = LevelSize(image.Format, LevelSide(image.Width, level), LevelSide(image.Height, level));
        if (image.Levels[level].size() != size) {
            throw std::invalid_argument("mipmap level " + std::to_string(level) + " of a " + std::string(name) +
                                        " DDS surface holds " + std::to_string(image.Levels[level].size()) +
                                        " bytes, not " + std::to_string(size));
        }
    }
}

}  // namespace

DdsImage ReadDds(std::span<const uint8_t> file) {
    return DdsReader(file).Read();
}

std::vector<uint8_t> EncodeDds(const DdsImage& image) {
    const PixelFormat& pixelFormat = PixelFormatOf(image.Format);
    CheckImage(image);
    const bool compressed = pixelFormat.Kind == kDdpfFourCc;
    const bool mipmapped = image.Levels.size() > 1;
    uint32_t flags = kDdsdCaps | kDdsdHeight | kDdsdWidth | kDdsdPixelFormat;
    flags |= compressed ? kDdsdLinearSize : kDdsdPitch;
    if (mipmapped) {
        flags |= kDdsdMipmapCount;
    }
    uint32_t pixelFormatFlags = pixelFormat.Kind;
    if (image.AlphaPixels || pixelFormat.Alpha != 0) {
        pixelFormatFlags |= kDdpfAlphaPixels;
    }
    // Compressed surfaces give the first level's size, others the bytes of one row.
    const uint64_t pitchOrLinearSize =
        compressed ? image.Levels[0].size() : uint64_t{image.Width} * pixelFormat.Bits / 8;

    ByteWriter out;
    out.U32(kMagic);
    out.U32(kHeaderSize);
    out.U32(flags);
    out.U32(image.Height);
    out.U32(image.Width);
    out.U32(static_cast<uint32_t>(pitchOrLinearSize));
    out.U32(0);  // depth
    out.U32(mipmapped ? static_cast<uint32_t>(image.Levels.size()) : 0);
    for (size_t i = 0; i < kReservedWords; ++i) {
        out.U32(0);
    }
    out.U32(kPixelFormatSize);
    out.U32(pixelFormatFlags);
    out.U32(pixelFormat.FourCc);
    out.U32(pixelFormat.Bits);
    for (const uint32_t mask : {pixelFormat.Red, pixelFormat.Green, pixelFormat.Blue, pixelFormat.Alpha}) {
        out.U32(mask);
    }
    out.U32(kCapsTexture | (mipmapped ? kCapsComplex | kCapsMipmap : 0));
    for (int i = 0; i < 4; ++i) {
        out.U32(0);  // caps2, caps3, caps4, reserved
    }
    out.Append(image.Palette);
    for (const std::vector<uint8_t>& level : image.Levels) {
        out.Append(level);
    }
    return out.Take();
}

bool HasAlphaMask(TextureFormat format) {
    return PixelFormatOf(format).Alpha != 0;
}

}  // namespace vc
