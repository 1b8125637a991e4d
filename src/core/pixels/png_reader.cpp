// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include <png.h>

#include "io/error.h"
#include "pixels/grey_ramp.h"
#include "pixels/image_decoder.h"

// PNG files through libpng. Paletted files become 8-bit images with their own palette; grey files
// become 8-bit images over a 256-level grey palette; colour files become 24-bit images. 16-bit
// samples are scaled to 8 bits. An alpha channel or a tRNS chunk gives the image its own alpha.

namespace vc {

namespace {

constexpr size_t kSignatureSize = 8;
constexpr size_t kMaxPaletteEntries = 256;
// Deflate cannot expand a byte to more than 1032; a file claiming more pixels than its bytes can
// inflate to is refused before anything is sized from its header.
constexpr uint64_t kMaxInflationPerByte = 1032;
// No chunk the reader keeps is larger than a palette; others are skipped piecewise, but libpng
// refuses any chunk but image data past this size before reading it.
constexpr png_alloc_size_t kLargestChunk = png_alloc_size_t{8} << 20;
constexpr png_uint_32 kChunkCacheLimit = 1000;

struct ReadState {
    std::span<const uint8_t> File;
    size_t Position = 0;
    char Message[256] = {};
};

extern "C" void StopWithError(png_structp png, png_const_charp message) {
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    std::snprintf(state->Message, sizeof state->Message, "%s", message);
    png_longjmp(png, 1);
}

extern "C" void IgnoreWarning(png_structp, png_const_charp) {}

extern "C" void ReadFromFile(png_structp png, png_bytep data, size_t length) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (length > state->File.size() - state->Position) {
        char message[64];
        std::snprintf(message, sizeof message, "the file ends early, after %zu bytes", state->File.size());
        png_error(png, message);
    }
    std::memcpy(data, state->File.data() + state->Position, length);
    state->Position += length;
}

// A mutated chunk almost never keeps its CRC; a fuzzing build reads on past checksums, so that the
// fuzzer reaches what lies behind them.
void SkipChecksumsWhenFuzzing([[maybe_unused]] png_structp png) {
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
}

// One pass of libpng over a file held in memory; every libpng call goes through Run, which turns
// libpng's error exit into an Error carrying libpng's own message.
class PngRead {
  public:
    explicit PngRead(std::span<const uint8_t> file) {
        m_state.File = file;
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &m_state, StopWithError, IgnoreWarning);
        if (m_png == nullptr) {
            throw Error(ErrorKind::OutOfMemory, "PNG image cannot be read: libpng could not start");
        }
        m_info = png_create_info_struct(m_png);
        if (m_info == nullptr) {
            png_destroy_read_struct(&m_png, nullptr, nullptr);
            throw Error(ErrorKind::OutOfMemory, "PNG image cannot be read: libpng could not start");
        }
        png_set_read_fn(m_png, &m_state, ReadFromFile);
        // Sides are not limited here: intake refuses a side past the largest texture size with its
        // own message, and the inflation bound keeps what is sized in proportion to the file.
        png_set_user_limits(m_png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
        png_set_chunk_malloc_max(m_png, kLargestChunk);
        png_set_chunk_cache_max(m_png, kChunkCacheLimit);
        // Only the critical chunks and tRNS are read; text, colour profiles and the rest are skipped.
        png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
        SkipChecksumsWhenFuzzing(m_png);
    }
    PngRead(const PngRead&) = delete;
    PngRead& operator=(const PngRead&) = delete;
    ~PngRead() { png_destroy_read_struct(&m_png, &m_info, nullptr); }

    png_structp Png() const { return m_png; }
    png_infop Info() const { return m_info; }

    // The step must not own anything with a destructor: libpng's error exit jumps out of it.
    template <typename Step>
    void Run(Step step) {
        if (setjmp(png_jmpbuf(m_png)) != 0) {
            throw Error(ErrorKind::Malformed, std::string("PNG image is damaged: ") + m_state.Message);
        }
        step();
    }

    void ReadInfo() {
        Run([&] { png_read_info(m_png, m_info); });
    }

    // Reads every row of every pass into rowFor(y), rowSize bytes each; rows of later passes fill
    // in earlier ones.
    template <typename RowFor>
    void ReadRows(uint32_t height, size_t rowSize, RowFor rowFor) {
        int passes = 0;
        size_t rowBytes = 0;
        Run([&] {
            passes = png_set_interlace_handling(m_png);
            png_read_update_info(m_png, m_info);
            rowBytes = png_get_rowbytes(m_png, m_info);
        });
        if (rowBytes != rowSize) {
            throw Error(ErrorKind::Malformed, "PNG image is damaged: its rows decode to " + std::to_string(rowBytes) +
                                                  " bytes instead of " + std::to_string(rowSize));
        }
        for (int pass = 0; pass < passes; ++pass) {
            for (uint32_t y = 0; y < height; ++y) {
                png_bytep row = rowFor(y);
                Run([&] { png_read_row(m_png, row, nullptr); });
            }
        }
        // Chunks after the image data are read too, so that a file cut short fails.
        Run([&] { png_read_end(m_png, nullptr); });
    }

  private:
    ReadState m_state;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

// Saturates instead of overflowing: the result is only compared with what a file can hold.
uint64_t SaturatingProduct(uint64_t a, uint64_t b) {
    return b != 0 && a > UINT64_MAX / b ? UINT64_MAX : a * b;
}

// The bytes the image data inflates to: every row of every pass starts with its filter byte.
uint64_t InflatedSize(uint32_t width, uint32_t height, unsigned pixelBits, bool interlaced) {
    uint64_t total = 0;
    for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
        const uint64_t columns = interlaced ? PNG_PASS_COLS(uint64_t{width}, pass) : width;
        const uint64_t rows = interlaced ? PNG_PASS_ROWS(uint64_t{height}, pass) : height;
        if (columns != 0 && rows != 0) {
            const uint64_t rowBytes = 1 + (columns * pixelBits + 7) / 8;
            total += std::min(UINT64_MAX - total, SaturatingProduct(rows, rowBytes));
        }
    }
    return total;
}

struct PngLayout {
    BitmapInfo Info;
    int ColourType = 0;
    int BitDepth = 0;
    std::array<uint8_t, kMaxPaletteEntries> PaletteAlpha{};  // paletted files: each entry's alpha
};

// Paletted and plain grey images become 8-bit textures; grey with an alpha channel becomes a
// 32-bit one, since its alpha does not follow its grey levels.
bool IsEightBit(int colourType) {
    return colourType == PNG_COLOR_TYPE_PALETTE || colourType == PNG_COLOR_TYPE_GRAY;
}

PngLayout ReadLayout(std::span<const uint8_t> file) {
    PngRead read(file);
    read.ReadInfo();
    const png_structp png = read.Png();
    const png_infop info = read.Info();
    PngLayout layout;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int interlace = 0;
    read.Run([&] {
        png_get_IHDR(png, info, &width, &height, &layout.BitDepth, &layout.ColourType, &interlace, nullptr, nullptr);
    });
    const unsigned pixelBits = static_cast<unsigned>(layout.BitDepth) * png_get_channels(png, info);
    if (InflatedSize(width, height, pixelBits, interlace != PNG_INTERLACE_NONE) >
        SaturatingProduct(file.size(), kMaxInflationPerByte)) {
        throw Error(ErrorKind::Malformed, "PNG image is damaged: a file of " + std::to_string(file.size()) +
                                              " bytes cannot hold " + std::to_string(width) + "×" +
                                              std::to_string(height) + " pixels");
    }

    BitmapInfo& bitmap = layout.Info;
    bitmap.Width = width;
    bitmap.Height = height;
    const bool paletted = layout.ColourType == PNG_COLOR_TYPE_PALETTE;
    bitmap.BitsPerPixel = IsEightBit(layout.ColourType) ? 8 : 24;
    bitmap.HasPalette = bitmap.BitsPerPixel == 8;
    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    bitmap.HasAlpha = hasTrns || (layout.ColourType & PNG_COLOR_MASK_ALPHA) != 0;
    if (paletted) {
        png_colorp entries = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &entries, &count);
        bitmap.Palette.resize(std::min<size_t>(static_cast<size_t>(count), kMaxPaletteEntries));
        for (size_t i = 0; i < bitmap.Palette.size(); ++i) {
            bitmap.Palette[i] = {entries[i].red, entries[i].green, entries[i].blue};
        }
        // Entries past those the tRNS chunk lists are opaque.
        layout.PaletteAlpha.fill(255);
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (hasTrns) {
            png_get_tRNS(png, info, &alpha, &alphaCount, nullptr);
        }
        std::copy_n(alpha, std::min<size_t>(static_cast<size_t>(alphaCount), kMaxPaletteEntries),
                    layout.PaletteAlpha.begin());
    } else if (bitmap.HasPalette) {
        bitmap.Palette.assign(GreyRamp().begin(), GreyRamp().end());
    }
    return layout;
}

// Asks libpng for 8-bit samples: palette indices one per byte, grey levels with alpha after each
// when a transparent level is set, or blue, green, red and alpha (255 where the file has none).
void RequestEightBitSamples(png_structp png, const BitmapInfo& info, int colourType) {
    png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        return;
    }
    // A transparent colour is compared at the file's own depth, before samples are scaled.
    png_set_tRNS_to_alpha(png);
    png_set_expand_gray_1_2_4_to_8(png);
    png_set_scale_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    if (colourType != PNG_COLOR_TYPE_GRAY) {
        png_set_bgr(png);
        if (!info.HasAlpha) {
            png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
        }
    }
}

class PngDecoder final : public ImageDecoder {
  public:
    explicit PngDecoder(std::span<const uint8_t> file) : m_file(file) {
        // A zero-length file is an empty image, refused by intake like any image of no size.
        if (file.empty()) {
            return;
        }
        if (file.size() < kSignatureSize || png_sig_cmp(file.data(), 0, kSignatureSize) != 0) {
            throw Error(ErrorKind::Malformed, "PNG image is not valid: the file does not start with the PNG signature");
        }
        m_layout = ReadLayout(file);
    }

    const BitmapInfo& Info() const override { return m_layout.Info; }

    void Verify() const override {
        if (m_file.empty()) {
            return;
        }
        PngRead read(m_file);
        read.ReadInfo();
        std::vector<uint8_t> row;
        size_t rowBytes = 0;
        read.Run([&] { rowBytes = png_get_rowbytes(read.Png(), read.Info()); });
        row.resize(rowBytes);
        read.ReadRows(m_layout.Info.Height, rowBytes, [&](uint32_t) { return row.data(); });
    }

    DecodedPixels LoadPixels() const override {
        const BitmapInfo& info = m_layout.Info;
        PngRead read(m_file);
        read.ReadInfo();
        read.Run([&] { RequestEightBitSamples(read.Png(), info, m_layout.ColourType); });

        DecodedPixels pixels;
        pixels.Palette = info.Palette;
        const size_t pixelCount = size_t{info.Width} * info.Height;
        const bool greyWithAlpha = m_layout.ColourType == PNG_COLOR_TYPE_GRAY && info.HasAlpha;
        const size_t samplesPerPixel = info.BitsPerPixel == 24 ? 4 : greyWithAlpha ? 2 : 1;
        // Grey levels with alpha arrive interleaved and are separated once all passes are in.
        std::vector<uint8_t> samples(pixelCount * samplesPerPixel);
        const size_t rowSize = size_t{info.Width} * samplesPerPixel;
        read.ReadRows(info.Height, rowSize, [&](uint32_t y) { return samples.data() + y * rowSize; });

        if (m_layout.ColourType == PNG_COLOR_TYPE_PALETTE) {
            pixels.Raster = std::move(samples);
            if (info.HasAlpha) {
                pixels.Alpha.resize(pixelCount);
                std::transform(pixels.Raster.begin(), pixels.Raster.end(), pixels.Alpha.begin(),
                               [&](uint8_t index) { return m_layout.PaletteAlpha[index]; });
            }
        } else if (greyWithAlpha) {
            pixels.Raster.resize(pixelCount);
            pixels.Alpha.resize(pixelCount);
            for (size_t i = 0; i < pixelCount; ++i) {
                pixels.Raster[i] = samples[2 * i];
                pixels.Alpha[i] = samples[2 * i + 1];
            }
        } else {
            pixels.Raster = std::move(samples);
            if (info.HasAlpha && info.BitsPerPixel == 24) {
                pixels.Alpha.resize(pixelCount);
                for (size_t i = 0; i < pixelCount; ++i) {
                    pixels.Alpha[i] = std::exchange(pixels.Raster[4 * i + 3], uint8_t{255});
                }
            }
        }
        return pixels;
    }

  private:
    std::span<const uint8_t> m_file;
    PngLayout m_layout;
};

}  // namespace

std::unique_ptr<ImageDecoder> OpenPng(std::span<const uint8_t> file) {
    return std::make_unique<PngDecoder>(file);
}

}  // namespace vc
