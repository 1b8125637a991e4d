// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <string>

// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "io/error.h"
#include "pixels/image_decoder.h"

// JPEG files through libjpeg. Colour files become 24-bit images; greyscale files are quantized in
// one pass to 236 grey levels and become 8-bit images with a grey palette.

namespace vc {

namespace {

constexpr int kGreyLevels = 236;
// libjpeg may hold whole-image coefficient buffers (progressive files); their size is bounded
// by what the file's bytes can plausibly describe.
constexpr size_t kMemoryPerFileByte = 512;
constexpr size_t kMinMemoryLimit = size_t{64} << 20;
constexpr size_t kMaxMemoryLimit = size_t{2} << 30;
// A raster that grows past this many bytes per file byte grows as rows arrive, so a small file
// claiming a huge size fails on its missing data before anything large is allocated.
constexpr size_t kRasterReservePerFileByte = 64;

struct ErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

extern "C" void ExitWithError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->Message);
    std::longjmp(manager->Jump, 1);
}

// Image data that ends early, at the end of the file or at a marker, would otherwise decode with a
// grey tail; those warnings are errors here. Other warnings (corrupt but recoverable data) are
// passed over silently, as libjpeg does.
extern "C" void EmitMessage(j_common_ptr cinfo, int level) {
    const int code = cinfo->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) {
        ExitWithError(cinfo);
    }
}

// One decompression of a file held in memory; every libjpeg call goes through Run, which turns
// libjpeg's error exit into an Error carrying libjpeg's own message.
class Decompression {
  public:
    explicit Decompression(std::span<const uint8_t> file) : m_file(file) {
        m_cinfo.err = jpeg_std_error(&m_error.Base);
        m_error.Base.error_exit = ExitWithError;
        m_error.Base.emit_message = EmitMessage;
        jpeg_create_decompress(&m_cinfo);
        m_cinfo.mem->max_memory_to_use =
            static_cast<long>(std::clamp(file.size() * kMemoryPerFileByte, kMinMemoryLimit, kMaxMemoryLimit));
    }
    Decompression(const Decompression&) = delete;
    Decompression& operator=(const Decompression&) = delete;
    ~Decompression() { jpeg_destroy_decompress(&m_cinfo); }

    jpeg_decompress_struct& Info() { return m_cinfo; }

    void ReadHeader() {
        Run([&] {
            jpeg_mem_src(&m_cinfo, m_file.data(), static_cast<unsigned long>(m_file.size()));
            jpeg_read_header(&m_cinfo, TRUE);
        });
        // An arithmetic-coded scan that ends early gives no warning: it would decode into a grey
        // tail of any length. Such files are rare, and programs of this kind never read them.
        if (m_cinfo.arith_code) {
            throw Error(ErrorKind::Malformed, "JPEG image uses arithmetic coding, which is not supported");
        }
    }

    // The step must not own anything with a destructor: libjpeg's error exit jumps out of it.
    template <typename Step>
    void Run(Step step) {
        if (setjmp(m_error.Jump) != 0) {
            throw Error(ErrorKind::Malformed, m_error.Message);
        }
        step();
    }

    // Reads the remaining rows into consecutive rows of the raster.
    void ReadRows(std::vector<uint8_t>& raster, size_t rowBytes) {
        while (m_cinfo.output_scanline < m_cinfo.output_height) {
            raster.resize(raster.size() + rowBytes);
            JSAMPROW row = raster.data() + raster.size() - rowBytes;
            Run([&] { jpeg_read_scanlines(&m_cinfo, &row, 1); });
        }
    }

  private:
    std::span<const uint8_t> m_file;
    jpeg_decompress_struct m_cinfo{};
    ErrorManager m_error{};
};

uint8_t MixInk(unsigned ink, unsigned black, bool inverted) {
    return inverted ? static_cast<uint8_t>(ink * black / 255) : static_cast<uint8_t>((255 - ink) * (255 - black) / 255);
}

class JpegDecoder final : public ImageDecoder {
  public:
    explicit JpegDecoder(std::span<const uint8_t> file) : m_file(file) {
        // A zero-length file is an empty image, refused by intake like any image of no size.
        if (file.empty()) {
            return;
        }
        Decompression decompression(file);
        decompression.ReadHeader();
        const jpeg_decompress_struct& cinfo = decompression.Info();
        m_info.Width = cinfo.image_width;
        m_info.Height = cinfo.image_height;
        m_info.BitsPerPixel = cinfo.jpeg_color_space == JCS_GRAYSCALE ? 8 : 24;
        m_info.HasPalette = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    }

    const BitmapInfo& Info() const override { return m_info; }

    void Verify() const override {
        if (m_file.empty()) {
            return;
        }
        // Decoding at an eighth of the size still reads every byte of the entropy-coded data.
        Decompression decompression(m_file);
        decompression.ReadHeader();
        jpeg_decompress_struct& cinfo = decompression.Info();
        cinfo.scale_num = 1;
        cinfo.scale_denom = 8;
        decompression.Run([&] { jpeg_start_decompress(&cinfo); });
        std::vector<uint8_t> row(size_t{cinfo.output_width} * cinfo.output_components);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW rowPointer = row.data();
            decompression.Run([&] { jpeg_read_scanlines(&cinfo, &rowPointer, 1); });
        }
        decompression.Run([&] { jpeg_finish_decompress(&cinfo); });
    }

    DecodedPixels LoadPixels() const override {
        Decompression decompression(m_file);
        decompression.ReadHeader();
        jpeg_decompress_struct& cinfo = decompression.Info();
        const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
        const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
        if (grey) {
            cinfo.quantize_colors = TRUE;
            cinfo.desired_number_of_colors = kGreyLevels;
            cinfo.two_pass_quantize = FALSE;
        } else {
            cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
        }
        decompression.Run([&] { jpeg_start_decompress(&cinfo); });

        DecodedPixels pixels;
        const size_t rowBytes = size_t{cinfo.output_width} * (grey ? 1 : 4);
        pixels.Raster.reserve(std::min(rowBytes * cinfo.output_height, m_file.size() * kRasterReservePerFileByte));
        decompression.ReadRows(pixels.Raster, rowBytes);
        // The quantizer's colour map lives in libjpeg's image memory, which finishing releases.
        if (grey) {
            for (int i = 0; i < cinfo.actual_number_of_colors; ++i) {
                const uint8_t level = cinfo.colormap[0][i];
                pixels.Palette.push_back({level, level, level});
            }
        }
        decompression.Run([&] { jpeg_finish_decompress(&cinfo); });
        if (cmyk) {
            ConvertInkToColour(pixels.Raster, cinfo.saw_Adobe_marker != 0);
        }
        return pixels;
    }

  private:
    // Adobe writers store CMYK inverted (255 = no ink); others store it plainly.
    static void ConvertInkToColour(std::vector<uint8_t>& raster, bool inverted) {
        for (size_t i = 0; i + 3 < raster.size(); i += 4) {
            const uint8_t cyan = raster[i];
            const uint8_t magenta = raster[i + 1];
            const uint8_t yellow = raster[i + 2];
            const uint8_t black = raster[i + 3];
            raster[i] = MixInk(yellow, black, inverted);
            raster[i + 1] = MixInk(magenta, black, inverted);
            raster[i + 2] = MixInk(cyan, black, inverted);
            raster[i + 3] = 255;
        }
    }

    std::span<const uint8_t> m_file;
    BitmapInfo m_info;
};

}  // namespace

std::unique_ptr<ImageDecoder> OpenJpeg(std::span<const uint8_t> file) {
    return std::make_unique<JpegDecoder>(file);
}

}  // namespace vc
