// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <string>
#include <vector>

#include "io/byte_reader.h"
#include "io/error.h"
#include "pixels/channel_widening.h"
#include "pixels/grey_ramp.h"
#include "pixels/image_decoder.h"

// TGA files: colour-mapped, true-colour and grey images, uncompressed (types 1, 2, 3) and
// run-length encoded (9, 10, 11); rows stored from the bottom or the top, pixels from the left or
// the right. The ID field is stepped over; the extension area and footer after the pixels are not
// read. Colour-mapped and grey images become 8-bit images (grey with a 256-level grey palette, so
// that an index is its level); true-colour images of 15, 16, 24 and 32 bits, and grey images with
// alpha (whose alpha does not follow their levels), become 24-bit images.
// The image's own alpha (8 bits of a 32-bit pixel or map entry, 1 bit of a 16-bit one, 8 bits of a
// 16-bit grey pixel) is kept when the descriptor announces it.

namespace vc {

namespace {

constexpr size_t kHeaderSize = 18;
constexpr size_t kMaxPaletteEntries = 256;
// A run-length packet covers at most this many pixels, with one header byte and at least one
// pixel value.
constexpr uint64_t kMaxPixelsPerPacket = 128;

// The image type's low bits; bit 3 set marks the run-length form of each.
enum class ImageType : uint8_t { ColourMapped = 1, TrueColour = 2, Grey = 3 };
constexpr uint8_t kRunLengthType = 0x08;

// Descriptor byte: bits 0-3 alpha bits per pixel, bit 4 pixels stored right to left, bit 5 rows
// stored from the top, bits 6-7 row interleaving.
constexpr uint8_t kAlphaBitsMask = 0x0F;
constexpr uint8_t kRightToLeft = 0x10;
constexpr uint8_t kTopDown = 0x20;
constexpr uint8_t kInterleaveMask = 0xC0;

constexpr ImageFault Invalid{"TGA image"};

struct Bgra {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Alpha = 255;
};

// A colour of 15, 16, 24 or 32 bits as stored: 15 and 16 bits as a little-endian word of 5-bit
// red, green, blue from the top, bit 15 the alpha bit; 24 and 32 bits as blue, green, red, alpha.
Bgra ReadColour(const uint8_t* value, unsigned bits, unsigned alphaBits) {
    if (bits == 15 || bits == 16) {
        const uint16_t word = LoadU16(value);
        const uint8_t alpha = alphaBits == 1 && (word & 0x8000) == 0 ? 0 : 255;
        return {WidenChannel(word & 0x1F, 5), WidenChannel((word >> 5) & 0x1F, 5), WidenChannel((word >> 10) & 0x1F, 5),
                alpha};
    }
    return {value[0], value[1], value[2], bits == 32 && alphaBits == 8 ? value[3] : uint8_t{255}};
}

// The alpha bits a colour of the given depth may carry: none, or all its spare bits.
bool AlphaBitsFit(unsigned bits, unsigned alphaBits) {
    return alphaBits == 0 || (bits == 16 && alphaBits == 1) || (bits == 32 && alphaBits == 8);
}

bool IsColourDepth(unsigned bits) {
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// Header fields the decoding needs.
struct TgaLayout {
    BitmapInfo Info;
    ImageType Kind = ImageType::TrueColour;
    bool RunLength = false;
    bool TopDown = false;
    bool RightToLeft = false;
    unsigned PixelBits = 0;
    unsigned AlphaBits = 0;
    size_t BytesPerPixel = 0;
    uint16_t MapFirst = 0;          // the index of the colour map's first entry
    std::vector<uint8_t> MapAlpha;  // each reachable entry's alpha, when the map carries alpha
    size_t PixelOffset = 0;
};

class TgaDecoder final : public ImageDecoder {
  public:
    explicit TgaDecoder(std::span<const uint8_t> file);

    const BitmapInfo& Info() const override { return m_layout.Info; }
    void Verify() const override;
    DecodedPixels LoadPixels() const override;

  private:
    void ReadHeaders();
    void ReadColourMap(ByteReader& in, uint8_t mapType, uint16_t length, unsigned entryBits);
    void CheckPixelData() const;
    // Reads every pixel value in file order; hands each to place with its index in the raster.
    template <typename Place>
    void WalkPixels(Place place) const;
    template <typename Place>
    void WalkRunLength(Place place) const;
    // The map entry of a stored index; refuses indices outside the map.
    size_t MapEntry(uint8_t index, size_t offset) const;
    [[noreturn]] void FailAt(size_t offset, const std::string& reason) const;

    std::span<const uint8_t> m_file;
    TgaLayout m_layout;
};

TgaDecoder::TgaDecoder(std::span<const uint8_t> file) : m_file(file) {
    // A zero-length file is an empty image, refused by intake like any image of no size.
    if (!file.empty()) {
        ReadHeaders();
    }
}

void TgaDecoder::FailAt(size_t offset, const std::string& reason) const {
    ByteReader(m_file, "TGA image").FailAt(offset, reason);
}

void TgaDecoder::ReadHeaders() {
    if (m_file.size() < kHeaderSize) {
        Invalid("the file ends inside its 18-byte header (" + std::to_string(m_file.size()) + " bytes)");
    }
    ByteReader in(m_file, "TGA image");
    const uint8_t idLength = in.U8();
    const uint8_t mapType = in.U8();
    const uint8_t type = in.U8();
    m_layout.MapFirst = in.U16();
    const uint16_t mapLength = in.U16();
    const uint8_t mapEntryBits = in.U8();
    in.Skip(4);  // the screen origin, which says nothing about the pixels
    const uint16_t width = in.U16();
    const uint16_t height = in.U16();
    const uint8_t pixelBits = in.U8();
    const uint8_t descriptor = in.U8();

    const auto kind = static_cast<uint8_t>(type & ~kRunLengthType);
    if (kind < 1 || kind > 3) {
        Invalid("image type " + std::to_string(type) + " is not supported");
    }
    m_layout.Kind = static_cast<ImageType>(kind);
    m_layout.RunLength = (type & kRunLengthType) != 0;
    if ((descriptor & kInterleaveMask) != 0) {
        Invalid("interleaved rows are not supported");
    }
    m_layout.PixelBits = pixelBits;
    m_layout.AlphaBits = descriptor & kAlphaBitsMask;
    m_layout.TopDown = (descriptor & kTopDown) != 0;
    m_layout.RightToLeft = (descriptor & kRightToLeft) != 0;
    m_layout.BytesPerPixel = (pixelBits + 7u) / 8;

    BitmapInfo& info = m_layout.Info;
    info.Width = width;
    info.Height = height;
    const std::string depth = std::to_string(pixelBits) + "-bit";
    const std::string alpha = " with " + std::to_string(m_layout.AlphaBits) +
                              (m_layout.AlphaBits == 1 ? " alpha bit" : " alpha bits") + " are not supported";
    switch (m_layout.Kind) {
        case ImageType::ColourMapped:
            if (pixelBits != 8) {
                Invalid(depth + " colour indices are not supported");
            }
            if (mapType != 1) {
                Invalid("a colour-mapped image has no colour map");
            }
            if (!IsColourDepth(mapEntryBits)) {
                Invalid(std::to_string(mapEntryBits) + "-bit colour map entries are not supported");
            }
            if (!AlphaBitsFit(mapEntryBits, m_layout.AlphaBits)) {
                Invalid(std::to_string(mapEntryBits) + "-bit colour map entries" + alpha);
            }
            info.BitsPerPixel = 8;
            break;
        case ImageType::TrueColour:
            if (!IsColourDepth(pixelBits)) {
                Invalid(depth + " true-colour pixels are not supported");
            }
            if (!AlphaBitsFit(pixelBits, m_layout.AlphaBits)) {
                Invalid(depth + " true-colour pixels" + alpha);
            }
            info.BitsPerPixel = 24;
            break;
        case ImageType::Grey:
            if (pixelBits != 8 && pixelBits != 16) {
                Invalid(depth + " grey pixels are not supported");
            }
            // 16-bit grey pixels are a level and an alpha.
            if (m_layout.AlphaBits != (pixelBits == 16 ? 8u : 0u)) {
                Invalid(depth + " grey pixels" + alpha);
            }
            if (pixelBits == 8) {
                info.BitsPerPixel = 8;
                info.HasPalette = true;
                info.Palette.assign(GreyRamp().begin(), GreyRamp().end());
            } else {
                info.BitsPerPixel = 24;
            }
            break;
    }
    info.HasAlpha = m_layout.AlphaBits != 0;

    if (idLength > in.Remaining()) {
        Invalid("the file ends inside its " + std::to_string(idLength) + "-byte image ID");
    }
    in.Skip(idLength);
    ReadColourMap(in, mapType, mapLength, mapEntryBits);
    m_layout.PixelOffset = in.Offset();
    CheckPixelData();
}

void TgaDecoder::ReadColourMap(ByteReader& in, uint8_t mapType, uint16_t length, unsigned entryBits) {
    if (mapType == 0) {
        return;
    }
    if (mapType != 1) {
        Invalid("colour map type " + std::to_string(mapType) + " is not supported");
    }
    const size_t entrySize = (entryBits + 7) / 8;
    const size_t mapSize = entrySize * length;
    if (mapSize > in.Remaining()) {
        Invalid("the colour map ends at byte " + std::to_string(in.Offset() + mapSize) + " but the file has " +
                std::to_string(m_file.size()) + " bytes");
    }
    const ByteSlice map = in.Slice(mapSize);
    // A true-colour image may carry a map for other displays; its pixels do not use it.
    if (m_layout.Kind != ImageType::ColourMapped) {
        return;
    }
    // Only the entries an 8-bit index can reach are kept.
    const size_t reachable = std::min<size_t>(length, kMaxPaletteEntries - std::min<size_t>(m_layout.MapFirst, 256));
    BitmapInfo& info = m_layout.Info;
    info.HasPalette = true;
    for (size_t i = 0; i < reachable; ++i) {
        const Bgra colour = ReadColour(map.Sub(i * entrySize, entrySize).Bytes().data(), entryBits, m_layout.AlphaBits);
        info.Palette.push_back({colour.Red, colour.Green, colour.Blue});
        if (info.HasAlpha) {
            m_layout.MapAlpha.push_back(colour.Alpha);
        }
    }
}

void TgaDecoder::CheckPixelData() const {
    const BitmapInfo& info = m_layout.Info;
    const uint64_t pixels = uint64_t{info.Width} * info.Height;
    const uint64_t available = m_file.size() - m_layout.PixelOffset;
    if (m_layout.RunLength) {
        // Every packet takes a header byte and at least one pixel value.
        const uint64_t packets = (pixels + kMaxPixelsPerPacket - 1) / kMaxPixelsPerPacket;
        if (packets * (1 + m_layout.BytesPerPixel) > available) {
            Invalid("run-length data of " + std::to_string(available) + " bytes cannot describe " +
                    std::to_string(info.Width) + "×" + std::to_string(info.Height) + " pixels");
        }
        return;
    }
    if (pixels * m_layout.BytesPerPixel > available) {
        Invalid("pixel data ends at byte " + std::to_string(m_layout.PixelOffset + pixels * m_layout.BytesPerPixel) +
                " but the file has " + std::to_string(m_file.size()) + " bytes");
    }
}

size_t TgaDecoder::MapEntry(uint8_t index, size_t offset) const {
    const size_t entries = m_layout.Info.Palette.size();
    if (index < m_layout.MapFirst || static_cast<size_t>(index - m_layout.MapFirst) >= entries) {
        FailAt(offset, "colour index " + std::to_string(index) + " lies outside the colour map's " +
                           std::to_string(entries) + " entries from index " + std::to_string(m_layout.MapFirst));
    }
    return index - m_layout.MapFirst;
}

template <typename Place>
void TgaDecoder::WalkPixels(Place place) const {
    const BitmapInfo& info = m_layout.Info;
    const uint64_t total = uint64_t{info.Width} * info.Height;
    // The raster position of the next pixel in file order.
    uint32_t column = 0;
    uint32_t fileRow = 0;
    const auto next = [&](const uint8_t* value, size_t offset) {
        const uint32_t row = m_layout.TopDown ? fileRow : info.Height - 1 - fileRow;
        const uint32_t x = m_layout.RightToLeft ? info.Width - 1 - column : column;
        place(size_t{row} * info.Width + x, value, offset);
        if (++column == info.Width) {
            column = 0;
            ++fileRow;
        }
    };
    ByteReader in(m_file, "TGA image");
    in.Seek(m_layout.PixelOffset);
    const size_t bytes = m_layout.BytesPerPixel;
    uint64_t done = 0;
    if (!m_layout.RunLength) {
        // The pixel data was checked to be all there when the headers were read.
        const std::span<const uint8_t> data = in.Bytes(static_cast<size_t>(total * bytes));
        for (; done < total; ++done) {
            next(data.data() + done * bytes, m_layout.PixelOffset + done * bytes);
        }
        return;
    }
    // Packets may run on from one row into the next, but not past the last pixel.
    while (done < total) {
        const size_t packetOffset = in.Offset();
        if (in.Remaining() < 1 + bytes) {
            in.Fail("run-length data ends after " + std::to_string(done) + " of " + std::to_string(total) + " pixels");
        }
        const uint8_t header = in.U8();
        const unsigned count = (header & 0x7F) + 1u;
        if (count > total - done) {
            FailAt(packetOffset, "a run-length packet of " + std::to_string(count) + " pixels runs past the image's " +
                                     std::to_string(total) + " pixels, " + std::to_string(total - done) + " left");
        }
        const bool repeated = (header & 0x80) != 0;
        const size_t valueBytes = repeated ? bytes : count * bytes;
        if (in.Remaining() < valueBytes) {
            in.Fail("run-length data ends after " + std::to_string(done) + " of " + std::to_string(total) + " pixels");
        }
        const size_t valuesOffset = in.Offset();
        const std::span<const uint8_t> values = in.Bytes(valueBytes);
        for (unsigned i = 0; i < count; ++i) {
            const size_t at = repeated ? 0 : i * bytes;
            next(values.data() + at, valuesOffset + at);
        }
        done += count;
    }
}

void TgaDecoder::Verify() const {
    // Uncompressed true-colour and grey data was checked to be present when the headers were read;
    // indices must still lie inside the map, and run-length data must decode.
    if (!m_layout.RunLength && m_layout.Kind != ImageType::ColourMapped) {
        return;
    }
    const bool mapped = m_layout.Kind == ImageType::ColourMapped;
    WalkPixels([&](size_t, const uint8_t* value, size_t offset) {
        if (mapped) {
            MapEntry(value[0], offset);
        }
    });
}

DecodedPixels TgaDecoder::LoadPixels() const {
    const BitmapInfo& info = m_layout.Info;
    DecodedPixels pixels;
    pixels.Palette = info.Palette;
    const size_t count = size_t{info.Width} * info.Height;
    if (info.HasAlpha) {
        pixels.Alpha.resize(count);
    }
    uint8_t* const alpha = pixels.Alpha.data();
    switch (m_layout.Kind) {
        case ImageType::ColourMapped:
            pixels.Raster.resize(count);
            WalkPixels([&, raster = pixels.Raster.data()](size_t at, const uint8_t* value, size_t offset) {
                const size_t entry = MapEntry(value[0], offset);
                raster[at] = static_cast<uint8_t>(entry);
                if (alpha != nullptr) {
                    alpha[at] = m_layout.MapAlpha[entry];
                }
            });
            break;
        case ImageType::Grey:
            pixels.Raster.resize(alpha != nullptr ? 4 * count : count);
            WalkPixels([&, raster = pixels.Raster.data()](size_t at, const uint8_t* value, size_t) {
                if (alpha == nullptr) {
                    raster[at] = value[0];
                    return;
                }
                std::fill_n(raster + 4 * at, 3, value[0]);
                raster[4 * at + 3] = 255;
                alpha[at] = value[1];
            });
            break;
        case ImageType::TrueColour:
            pixels.Raster.resize(4 * count);
            WalkPixels([&, raster = pixels.Raster.data()](size_t at, const uint8_t* value, size_t) {
                const Bgra colour = ReadColour(value, m_layout.PixelBits, m_layout.AlphaBits);
                uint8_t* const target = raster + 4 * at;
                target[0] = colour.Blue;
                target[1] = colour.Green;
                target[2] = colour.Red;
                target[3] = 255;
                if (alpha != nullptr) {
                    alpha[at] = colour.Alpha;
                }
            });
            break;
    }
    // Many writers declare alpha bits and leave them all zero: such an image is meant opaque.
    if (std::all_of(pixels.Alpha.begin(), pixels.Alpha.end(), [](uint8_t level) { return level == 0; })) {
        pixels.Alpha.clear();
    }
    return pixels;
}

}  // namespace

std::unique_ptr<ImageDecoder> OpenTga(std::span<const uint8_t> file) {
    return std::make_unique<TgaDecoder>(file);
}

}  // namespace vc
