// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the picture a build takes from IMAGE (and ALPHA's grey levels as its alpha) as an
// uncompressed TGA, for tools that read neither BMP nor our JPEGs' exact pixels:
// make_tga OUT.tga IMAGE [ALPHA]
// The TGA has 32 bits per pixel when some pixel is not opaque, else 24; rows from the bottom up,
// the order every TGA reader takes.

#include <exception>
#include <fstream>
#include <iostream>

#include "image_files.h"
#include "source_picture.h"

namespace {

std::vector<uint8_t> TgaOf(const vc::PixelLevel& picture) {
    bool opaque = true;
    for (size_t k = 3; k < picture.Bgra.size() && opaque; k += 4) {
        opaque = picture.Bgra[k] == 255;
    }
    const size_t bytesPerPixel = opaque ? 3 : 4;
    vc::test::TgaFields fields{.Width = static_cast<uint16_t>(picture.Width),
                               .Height = static_cast<uint16_t>(picture.Height),
                               .PixelBits = static_cast<uint8_t>(8 * bytesPerPixel),
                               .Descriptor = static_cast<uint8_t>(opaque ? 0 : 8)};
    fields.Pixels.reserve(bytesPerPixel * picture.Width * picture.Height);
    for (size_t row = picture.Height; row-- > 0;) {
        const uint8_t* pixel = picture.Bgra.data() + size_t{4} * picture.Width * row;
        for (size_t x = 0; x < picture.Width; ++x, pixel += 4) {
            fields.Pixels.insert(fields.Pixels.end(), pixel, pixel + bytesPerPixel);
        }
    }
    return vc::test::MakeTga(fields);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "Usage: make_tga OUT.tga IMAGE [ALPHA]\n";
        return 2;
    }
    try {
        const std::vector<uint8_t> tga = TgaOf(vc::bench::LoadPicture(argv[2], argc == 4 ? argv[3] : ""));
        std::ofstream out(argv[1], std::ios::binary);
        out.write(reinterpret_cast<const char*>(tga.data()), static_cast<std::streamsize>(tga.size()));
        if (!out.flush()) {
            std::cerr << "make_tga: cannot write " << argv[1] << "\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "make_tga: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
