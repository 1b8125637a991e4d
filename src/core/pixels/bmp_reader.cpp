// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <array>
#include <bit>
#include <span>
#include <string>

#include "io/byte_reader.h"
#include "io/error.h"
#include "pixels/image_decoder.h"

// Windows bitmaps: the 12-byte OS/2 header and the 40-, 52-, 56-, 108- and 124-byte Windows
// headers; 1, 2, 4, 8, 16, 24, 32 and 64 bits per pixel uncompressed, RLE8 and RLE4. Only 8- and
// 24-bit pixels, and 32-bit pixels whose channel masks include alpha, are ever decoded; the others
// are read for their size and palette only.

namespace vc {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12;
constexpr std::array<uint32_t, 5> kWindowsHeaderSizes = {40, 52, 56, 108, 124};
constexpr size_t kMaxPaletteEntries = 256;
// Run-length data describes at most this many pixels per byte; a larger claim is not trusted
// with an allocation.
constexpr uint64_t kMaxRlePixelsPerByte = 256;

enum class Compression : uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

constexpr ImageFault Invalid{"Bitmap image"};

bool IsSupportedBitCount(uint16_t bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32 || bits == 64;
}

// A channel's bits, scaled to 0-255 however many the mask holds.
uint8_t MaskedChannel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const uint64_t largest = mask >> shift;
    const uint64_t value = (pixel & mask) >> shift;
    return static_cast<uint8_t>((value * 255 + largest / 2) / largest);
}

// Header fields the decoding needs, whatever header form carried them.
struct BmpLayout {
    BitmapInfo Info;
    Compression Kind = Compression::Rgb;
    bool TopDown = false;
    size_t PixelOffset = 0;
    std::array<uint32_t, 4> Masks{};  // red, green, blue and alpha of a 32-bit image with alpha
};

// The info header's fields as stored, before they are checked.
struct InfoHeader {
    int64_t Width = 0;
    int64_t Height = 0;
    uint16_t Planes = 0;
    uint16_t BitsPerPixel = 0;
    uint32_t Compression = 0;
    uint64_t DeclaredEntries = 0;     // colour table entries the header announces
    size_t EntrySize = 4;             // bytes per colour table entry
    size_t TableStart = 0;            // offset of the colour table
    std::array<uint32_t, 4> Masks{};  // red, green, blue and alpha, where the header gives them
};

bool IsWindowsHeaderSize(uint32_t size) {
    return std::find(kWindowsHeaderSizes.begin(), kWindowsHeaderSizes.end(), size) != kWindowsHeaderSizes.end();
}

InfoHeader ReadInfoHeader(ByteReader& in, uint32_t headerSize) {
    InfoHeader header;
    header.TableStart = kFileHeaderSize + headerSize;
    if (headerSize == kCoreHeaderSize) {
        header.Width = in.U16();
        header.Height = in.U16();
        header.Planes = in.U16();
        header.BitsPerPixel = in.U16();
        header.EntrySize = 3;
        header.DeclaredEntries = header.BitsPerPixel <= 8 ? uint64_t{1} << header.BitsPerPixel : 0;
        return header;
    }
    if (!IsWindowsHeaderSize(headerSize)) {
        Invalid("its header size " + std::to_string(headerSize) + " is none of 12, 40, 52, 56, 108 and 124");
    }
    if (in.Remaining() < headerSize - 4) {
        Invalid("the file ends inside its " + std::to_string(headerSize) + "-byte header");
    }
    header.Width = in.I32();
    header.Height = in.I32();
    header.Planes = in.U16();
    header.BitsPerPixel = in.U16();
    header.Compression = in.U32();
    in.Skip(12);  // image size and resolution, recomputed or not needed
    const uint32_t coloursUsed = in.U32();
    header.DeclaredEntries =
        (coloursUsed == 0 && header.BitsPerPixel <= 8) ? uint64_t{1} << header.BitsPerPixel : coloursUsed;
    in.Skip(4);  // important colours
    // The 40-byte header leaves the channel masks to follow it; the longer headers hold them.
    const bool bitFields = header.Compression == static_cast<uint32_t>(Compression::BitFields);
    const bool alphaBitFields = header.Compression == static_cast<uint32_t>(Compression::AlphaBitFields);
    const size_t maskCount = headerSize == 40 ? (bitFields ? 3 : alphaBitFields ? 4 : 0) : headerSize == 52 ? 3 : 4;
    if (headerSize == 40) {
        header.TableStart += 4 * maskCount;
    }
    if (4 * maskCount > in.Remaining()) {
        Invalid("the file ends inside its channel masks");
    }
    for (size_t i = 0; i < maskCount; ++i) {
        header.Masks[i] = in.U32();
    }
    return header;
}

// Refuses headers whose fields contradict each other or the formats read here.
void CheckInfoHeader(const InfoHeader& header) {
    const auto kind = static_cast<Compression>(header.Compression);
    const std::string bits = std::to_string(header.BitsPerPixel) + " bits per pixel";
    if (kind != Compression::Rgb && kind != Compression::Rle8 && kind != Compression::Rle4 &&
        kind != Compression::BitFields && kind != Compression::AlphaBitFields) {
        Invalid("compression method " + std::to_string(header.Compression) + " is not supported");
    }
    if (header.Planes != 1) {
        Invalid("the number of planes is " + std::to_string(header.Planes) + ", expected 1");
    }
    if (!IsSupportedBitCount(header.BitsPerPixel)) {
        Invalid(bits + " are not supported");
    }
    if ((kind == Compression::Rle8 && header.BitsPerPixel != 8) ||
        (kind == Compression::Rle4 && header.BitsPerPixel != 4)) {
        Invalid("run-length compression does not fit " + bits);
    }
    const bool masked = kind == Compression::BitFields || kind == Compression::AlphaBitFields;
    if (masked && header.BitsPerPixel != 16 && header.BitsPerPixel != 32) {
        Invalid("channel masks do not fit " + bits);
    }
    if (header.Width < 0) {
        Invalid("its width " + std::to_string(header.Width) + " is negative");
    }
    if (header.Height < 0 && (kind == Compression::Rle8 || kind == Compression::Rle4)) {
        Invalid("a run-length compressed image cannot be stored top-down");
    }
}

class BmpDecoder final : public ImageDecoder {
  public:
    BmpDecoder(std::span<const uint8_t> file, uint64_t fileSize);

    const BitmapInfo& Info() const override { return m_layout.Info; }
    void Verify() const override;
    DecodedPixels LoadPixels() const override;

  private:
    void ReadHeaders();
    void ReadPalette(size_t tableStart, uint64_t declaredEntries, size_t entrySize);
    void CheckPixelData() const;
    void RequireWholeFile() const;
    size_t RowStride() const;
    // Walks the run-length data; writes indices into raster when it is given.
    void DecodeRunLength(uint8_t* raster) const;
    void CopyRows(std::span<uint8_t> raster) const;
    // 32-bit pixels through their channel masks: blue, green, red, 255 into raster, alpha apart.
    void CopyMaskedRows(std::span<uint8_t> raster, std::span<uint8_t> alpha) const;

    std::span<const uint8_t> m_file;  // the whole file, or only its start when only headers are wanted
    uint64_t m_fileSize;              // the size of the whole file
    BmpLayout m_layout;
};

BmpDecoder::BmpDecoder(std::span<const uint8_t> file, uint64_t fileSize) : m_file(file), m_fileSize(fileSize) {
    // A zero-length file is an empty image, refused by intake like any image of no size.
    if (!file.empty()) {
        ReadHeaders();
    }
}

void BmpDecoder::ReadHeaders() {
    if (m_file.size() < 2 || m_file[0] != 'B' || m_file[1] != 'M') {
        Invalid("the file does not start with the signature \"BM\"");
    }
    if (m_file.size() < kFileHeaderSize + 4) {
        Invalid("the file ends inside its header (" + std::to_string(m_file.size()) + " bytes)");
    }
    ByteReader in(m_file, "Bitmap image");
    in.Skip(10);
    const uint32_t pixelOffset = in.U32();
    const InfoHeader header = ReadInfoHeader(in, in.U32());
    CheckInfoHeader(header);

    BitmapInfo& info = m_layout.Info;
    m_layout.Kind = static_cast<Compression>(header.Compression);
    m_layout.TopDown = header.Height < 0;
    info.Width = static_cast<uint32_t>(header.Width);
    info.Height = static_cast<uint32_t>(header.Height < 0 ? -header.Height : header.Height);
    info.BitsPerPixel = header.BitsPerPixel;
    // Masks count only for the compression methods that name them.
    const bool masked = m_layout.Kind == Compression::BitFields || m_layout.Kind == Compression::AlphaBitFields;
    if (header.BitsPerPixel == 32 && masked && header.Masks[3] != 0) {
        info.HasAlpha = true;
        m_layout.Masks = header.Masks;
    }

    if (header.TableStart > m_file.size()) {
        Invalid("the file ends inside its header (" + std::to_string(m_file.size()) + " bytes)");
    }
    // Some writers leave the pixel offset zero; the pixels then follow the colour table.
    const uint64_t tableEntries = std::min<uint64_t>(header.DeclaredEntries, kMaxPaletteEntries);
    m_layout.PixelOffset = pixelOffset != 0 ? pixelOffset : header.TableStart + tableEntries * header.EntrySize;
    if (m_layout.PixelOffset < header.TableStart || m_layout.PixelOffset > m_fileSize) {
        Invalid("its pixel data offset " + std::to_string(m_layout.PixelOffset) + " lies outside bytes " +
                std::to_string(header.TableStart) + " to " + std::to_string(m_fileSize));
    }
    ReadPalette(header.TableStart, header.DeclaredEntries, header.EntrySize);
    if (info.Width != 0 && info.Height != 0) {
        CheckPixelData();
    }
}

void BmpDecoder::ReadPalette(size_t tableStart, uint64_t declaredEntries, size_t entrySize) {
    BitmapInfo& info = m_layout.Info;
    info.HasPalette = declaredEntries > 0;
    // Entries beyond 256, and entries the pixel data overlaps, are not read.
    const uint64_t room = (m_layout.PixelOffset - tableStart) / entrySize;
    const uint64_t present = (m_file.size() - std::min(m_file.size(), tableStart)) / entrySize;
    const auto count = static_cast<size_t>(std::min({declaredEntries, room, present, uint64_t{kMaxPaletteEntries}}));
    ByteReader in(m_file, "Bitmap image");
    in.Seek(tableStart);
    const ByteSlice table = in.Slice(count * entrySize);
    info.Palette.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const ByteSlice entry = table.Sub(i * entrySize, entrySize);
        info.Palette[i] = {entry[2], entry[1], entry[0]};
    }
}

size_t BmpDecoder::RowStride() const {
    const uint64_t bits = uint64_t{m_layout.Info.Width} * m_layout.Info.BitsPerPixel;
    return static_cast<size_t>((bits + 31) / 32 * 4);
}

void BmpDecoder::CheckPixelData() const {
    const BitmapInfo& info = m_layout.Info;
    const uint64_t available = m_fileSize - m_layout.PixelOffset;
    if (m_layout.Kind == Compression::Rle8 || m_layout.Kind == Compression::Rle4) {
        if (uint64_t{info.Width} * info.Height > kMaxRlePixelsPerByte * available) {
            Invalid("run-length data of " + std::to_string(available) + " bytes cannot describe " +
                    std::to_string(info.Width) + "×" + std::to_string(info.Height) + " pixels");
        }
        return;
    }
    const size_t stride = RowStride();
    if (stride > available || info.Height > available / stride) {
        const uint64_t needed = m_layout.PixelOffset + static_cast<uint64_t>(stride) * info.Height;
        Invalid("pixel data ends at byte " + std::to_string(needed) + " but the file has " +
                std::to_string(m_fileSize) + " bytes");
    }
}

void BmpDecoder::RequireWholeFile() const {
    if (m_file.size() != m_fileSize) {
        throw Error(ErrorKind::Malformed, "Bitmap image: only its headers were read");
    }
}

void BmpDecoder::Verify() const {
    RequireWholeFile();
    if (m_layout.Info.Width == 0 || m_layout.Info.Height == 0) {
        return;
    }
    if (m_layout.Kind == Compression::Rle8 || m_layout.Kind == Compression::Rle4) {
        DecodeRunLength(nullptr);
    }
    // Uncompressed pixel data was checked to be present when the headers were read.
}

DecodedPixels BmpDecoder::LoadPixels() const {
    RequireWholeFile();
    const BitmapInfo& info = m_layout.Info;
    const bool indexed = info.BitsPerPixel <= 8;
    if (!indexed && info.BitsPerPixel != 24 && !info.HasAlpha) {
        throw Error(ErrorKind::Malformed,
                    "Bitmap image with " + std::to_string(info.BitsPerPixel) + " bits per pixel cannot be loaded");
    }
    DecodedPixels pixels;
    pixels.Palette = info.Palette;
    const size_t bytesPerPixel = indexed ? 1 : 4;
    pixels.Raster.resize(size_t{info.Width} * info.Height * bytesPerPixel);
    if (m_layout.Kind == Compression::Rle8 || m_layout.Kind == Compression::Rle4) {
        DecodeRunLength(pixels.Raster.data());
    } else if (info.HasAlpha) {
        pixels.Alpha.resize(size_t{info.Width} * info.Height);
        CopyMaskedRows(pixels.Raster, pixels.Alpha);
    } else {
        CopyRows(pixels.Raster);
    }
    return pixels;
}

void BmpDecoder::CopyRows(std::span<uint8_t> raster) const {
    const BitmapInfo& info = m_layout.Info;
    ByteReader in(m_file, "Bitmap image");
    in.Seek(m_layout.PixelOffset);
    const unsigned bits = info.BitsPerPixel;
    const size_t rowSize = size_t{info.Width} * (bits <= 8 ? 1 : 4);
    for (size_t fileRow = 0; fileRow < info.Height; ++fileRow) {
        const size_t row = m_layout.TopDown ? fileRow : info.Height - 1 - fileRow;
        const ByteSlice source = in.Slice(RowStride());  // pixels and padding
        const std::span<uint8_t> target = raster.subspan(row * rowSize, rowSize);
        if (bits == 8) {
            const std::span<const uint8_t> indices = source.Sub(0, info.Width).Bytes();
            std::copy(indices.begin(), indices.end(), target.begin());
            continue;
        }
        if (bits < 8) {
            // Indices of 1, 2 or 4 bits, the leftmost pixel in the byte's high bits.
            const std::span<const uint8_t> packed = source.Sub(0, (size_t{info.Width} * bits + 7) / 8).Bytes();
            const auto mask = static_cast<uint8_t>((1u << bits) - 1);
            for (size_t x = 0; x < info.Width; ++x) {
                const size_t bit = x * bits;
                target[x] = static_cast<uint8_t>(packed[bit / 8] >> (8 - bits - bit % 8) & mask);
            }
            continue;
        }
        // One check for the whole row's colours; each pixel then lies inside them.
        const std::span<const uint8_t> colours = source.Sub(0, 3 * size_t{info.Width}).Bytes();
        for (size_t x = 0; x < info.Width; ++x) {
            const std::span<const uint8_t, 3> colour = colours.subspan(3 * x).first<3>();
            target[4 * x] = colour[0];
            target[4 * x + 1] = colour[1];
            target[4 * x + 2] = colour[2];
            target[4 * x + 3] = 255;
        }
    }
}

void BmpDecoder::CopyMaskedRows(std::span<uint8_t> raster, std::span<uint8_t> alpha) const {
    const BitmapInfo& info = m_layout.Info;
    ByteReader in(m_file, "Bitmap image");
    in.Seek(m_layout.PixelOffset);
    for (size_t fileRow = 0; fileRow < info.Height; ++fileRow) {
        const size_t row = m_layout.TopDown ? fileRow : info.Height - 1 - fileRow;
        const std::span<const uint8_t> source = in.Slice(RowStride()).Sub(0, 4 * size_t{info.Width}).Bytes();
        for (size_t x = 0; x < info.Width; ++x) {
            const uint32_t pixel = LoadU32(&source[4 * x]);
            const size_t at = row * info.Width + x;
            raster[4 * at] = MaskedChannel(pixel, m_layout.Masks[2]);
            raster[4 * at + 1] = MaskedChannel(pixel, m_layout.Masks[1]);
            raster[4 * at + 2] = MaskedChannel(pixel, m_layout.Masks[0]);
            raster[4 * at + 3] = 255;
            alpha[at] = MaskedChannel(pixel, m_layout.Masks[3]);
        }
    }
}

void BmpDecoder::DecodeRunLength(uint8_t* raster) const {
    const BitmapInfo& info = m_layout.Info;
    const bool fourBit = m_layout.Kind == Compression::Rle4;
    ByteReader in(m_file, "Bitmap image");
    in.Seek(m_layout.PixelOffset);
    uint64_t x = 0;
    uint64_t y = 0;  // counted from the bottom row
    const auto put = [&](uint8_t index) {
        if (x >= info.Width || y >= info.Height) {
            in.Fail("run-length data writes outside the " + std::to_string(info.Width) + "×" +
                    std::to_string(info.Height) + " image");
        }
        if (raster != nullptr) {
            raster[(info.Height - 1 - y) * info.Width + x] = index;
        }
        ++x;
    };
    for (;;) {
        if (in.Remaining() < 2) {
            in.Fail("run-length data ends without an end-of-bitmap marker");
        }
        const uint8_t count = in.U8();
        const uint8_t value = in.U8();
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) {
                put(fourBit ? static_cast<uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            }
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            x += in.U8();
            y += in.U8();
        } else {
            const size_t bytes = fourBit ? (value + 1u) / 2 : value;
            const ByteSlice literal = in.Slice(bytes);
            for (unsigned i = 0; i < value; ++i) {
                put(fourBit ? static_cast<uint8_t>(i % 2 == 0 ? literal[i / 2] >> 4 : literal[i / 2] & 0x0F)
                            : literal[i]);
            }
            in.Skip(bytes % 2);  // literal runs are padded to an even length
        }
    }
}

}  // namespace

std::unique_ptr<ImageDecoder> OpenBmp(std::span<const uint8_t> file) {
    return std::make_unique<BmpDecoder>(file, file.size());
}

std::unique_ptr<ImageDecoder> OpenBmpHeaders(std::span<const uint8_t> start, uint64_t fileSize) {
    return std::make_unique<BmpDecoder>(start, fileSize);
}

}  // namespace vc
