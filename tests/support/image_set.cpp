// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_set.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

#include "image_files.h"
#include "io/file_io.h"

namespace vc::test {

namespace {

void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(ToFsPath(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace

RgbColour PhotoLikeColour(int variant, int x, int y) {
    // Hashed in unsigned arithmetic, whose products wrap instead of overflowing.
    const auto noise = static_cast<int>((static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u ^
                                         static_cast<unsigned>(variant) * 83492791u) %
                                        24);
    const auto wave = [&](double scale, double phase) {
        return static_cast<uint8_t>(std::clamp(
            110.0 + 90.0 * std::sin(x * scale + phase) * std::cos(y * scale * 0.7 + variant) + noise, 0.0, 255.0));
    };
    return {wave(0.031, 0.0), wave(0.047, 1.0), wave(0.023, 2.0)};
}

std::vector<std::string> WriteImageSet(const std::string& folder, int count, int side) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        const auto pixel = [i](int x, int y) { return PhotoLikeColour(i, x, y); };
        std::string path = folder + "/texture" + std::to_string(i);
        switch (i % 4) {
            case 0:
                path += ".bmp";
                Save(path,
                     MakePalettedBmp(side, side, GreyPalette(256), [&](int x, int y) { return pixel(x, y).Green; }));
                break;
            case 1:
                path += ".bmp";
                Save(path, MakeTrueColourBmp(side, side, pixel));
                break;
            case 2:
                path += ".jpg";
                Save(path, MakeJpeg(side, side, JpegKind::Colour, pixel, 90));
                break;
            default:
                path += ".jpg";
                Save(path, MakeJpeg(side, side, JpegKind::Grey, pixel, 90));
                break;
        }
        paths.push_back(path);
    }
    return paths;
}

std::string WriteImageSetWithMasks(const std::string& folder, int count, int side) {
    const std::vector<std::string> images = WriteImageSet(folder, count, side);
    std::string list = "[TXDList]\r\ncount=" + std::to_string(images.size()) + "\r\n";
    for (size_t i = 0; i < images.size(); ++i) {
        list += "[Texture" + std::to_string(i + 1) + "]\r\npath=" + images[i] + "\r\n";
        if (i % 4 == 1) {
            const std::string mask = folder + "/mask" + std::to_string(i) + ".bmp";
            Save(mask, MakePalettedBmp(side, side, GreyPalette(256),
                                       [](int x, int y) { return static_cast<uint8_t>((x * y) & 0xFF); }));
            list += "alpha=mask" + std::to_string(i) + "\r\nalphapath=" + mask + "\r\n";
        }
    }
    const std::string path = folder + "/set.txt";
    Save(path, std::vector<uint8_t>(list.begin(), list.end()));
    return path;
}

}  // namespace vc::test
