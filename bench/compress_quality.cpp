// SPDX-License-Identifier: GPL-3.0-or-later
// Measures how close DXT compression comes to the source pictures: for every TGA picture in FOLDER,
// the PSNR of the first level against the picture, for our compressor (its best and its fast
// setting, run here as a build runs it) and for the DDS files of each folder given (another tool's
// output for the same pictures, named like them). Beside our two settings stands libsquish's
// iterative cluster fit, the best setting of earlier releases, run on one thread.
// Colour PSNR counts red, green and blue over the pixels the texture shows: for DXT1, whose alpha is
// one bit, those whose source alpha is at least 128; for DXT3 every pixel. Alpha PSNR (DXT3 only)
// covers the pictures that have alpha.
// Usage: compress_quality DXT1|DXT3 FOLDER [LABEL=DDSFOLDER]... [--each]
// --each adds a line per picture before the summary.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <squish.h>

#include "io/file_io.h"
#include "raster/dds_file.h"
#include "raster/dxt_compression.h"
#include "raster/texture_decoder.h"
#include "raster/texture_format.h"
#include "source_picture.h"

namespace {

namespace fs = std::filesystem;

struct Score {
    double Rgb = 0;
    std::optional<double> Alpha;
};

double Psnr(double squaredError, uint64_t samples) {
    if (squaredError == 0) {
        return std::numeric_limits<double>::infinity();
    }
    return 10 * std::log10(255.0 * 255.0 * static_cast<double>(samples) / squaredError);
}

Score Compare(const vc::PixelLevel& source, const vc::DecodedTexture& decoded, vc::TextureFormat format) {
    if (decoded.Width != source.Width || decoded.Height != source.Height) {
        throw std::runtime_error("the compressed texture is not the size of its picture");
    }
    double rgbError = 0;
    double alphaError = 0;
    uint64_t shown = 0;
    bool hasAlpha = false;
    for (size_t k = 0; k < size_t{source.Width} * source.Height; ++k) {
        const uint8_t* bgra = &source.Bgra[4 * k];
        const uint8_t* rgba = &decoded.Rgba[4 * k];
        hasAlpha = hasAlpha || bgra[3] != 255;
        const double alpha = rgba[3] - bgra[3];
        alphaError += alpha * alpha;
        if (format == vc::TextureFormat::Dxt1 && bgra[3] < 128) {
            continue;
        }
        for (int channel = 0; channel < 3; ++channel) {
            const double difference = rgba[channel] - bgra[2 - channel];
            rgbError += difference * difference;
        }
        ++shown;
    }
    Score score{Psnr(rgbError, 3 * shown), std::nullopt};
    if (format != vc::TextureFormat::Dxt1 && hasAlpha) {
        score.Alpha = Psnr(alphaError, size_t{source.Width} * source.Height);
    }
    return score;
}

vc::DecodedTexture Decode(vc::TextureFormat format, const vc::PixelLevel& source, const std::vector<uint8_t>& blocks) {
    return vc::DecodeLevel({.Format = format,
                            .Width = static_cast<uint16_t>(source.Width),
                            .Height = static_cast<uint16_t>(source.Height),
                            .Pixels = blocks});
}

// libsquish's iterative cluster fit (the best setting of earlier releases) over the whole level on
// this thread.
std::vector<uint8_t> IterativeClusterFit(const vc::PixelLevel& source, vc::TextureFormat format) {
    std::vector<uint8_t> rgba(source.Bgra);
    for (size_t k = 0; k < rgba.size(); k += 4) {
        std::swap(rgba[k], rgba[k + 2]);
    }
    const int flags =
        squish::kColourIterativeClusterFit | (format == vc::TextureFormat::Dxt1 ? squish::kDxt1 : squish::kDxt3);
    std::vector<uint8_t> blocks(static_cast<size_t>(
        squish::GetStorageRequirements(static_cast<int>(source.Width), static_cast<int>(source.Height), flags)));
    squish::CompressImage(rgba.data(), static_cast<int>(source.Width), static_cast<int>(source.Height), blocks.data(),
                          flags);
    return blocks;
}

// One column of the summary: a compressor and its setting.
struct Column {
    enum class Source { Ours, SquishIterativeFit, DdsFiles };
    std::string Label;
    Source From = Source::DdsFiles;
    vc::DxtQuality Quality = vc::DxtQuality::Best;  // ours only
    fs::path DdsFolder;                             // DDS files only
    double Seconds = 0;                             // compressed here: time spent compressing
    std::vector<Score> Scores;
};

Score Measure(Column& column, vc::TextureFormat format, const vc::PixelLevel& source, const fs::path& picture) {
    if (column.From != Column::Source::DdsFiles) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<uint8_t> blocks = column.From == Column::Source::Ours
                                                ? vc::CompressDxt(source, format, column.Quality)
                                                : IterativeClusterFit(source, format);
        column.Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return Compare(source, Decode(format, source, blocks), format);
    }
    const fs::path path = column.DdsFolder / picture.filename().replace_extension(".dds");
    const vc::DdsImage dds = vc::ReadDds(vc::ReadWholeFile(path.string()));
    if (dds.Format != format || dds.Levels.empty()) {
        throw std::runtime_error(path.string() + " does not hold " + std::string(vc::TextureFormatName(format)));
    }
    return Compare(source, Decode(format, source, dds.Levels.front()), format);
}

std::string TwoDecimals(double value) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(2) << value;
    return text.str();
}

// "mean / worst (picture)" of the values present.
std::string Summary(const std::vector<std::optional<double>>& values, const std::vector<std::string>& names) {
    double sum = 0;
    size_t count = 0;
    size_t worst = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i]) {
            sum += *values[i];
            worst = count++ == 0 || *values[i] < *values[worst] ? i : worst;
        }
    }
    if (count == 0) {
        return "-";
    }
    return TwoDecimals(sum / static_cast<double>(count)) + " / " + TwoDecimals(*values[worst]) + " (" + names[worst] +
           ")";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const auto eachFlag = std::find(args.begin(), args.end(), "--each");
    const bool each = eachFlag != args.end();
    if (each) {
        args.erase(eachFlag);
    }
    if (args.size() < 2 || (args[0] != "DXT1" && args[0] != "DXT3")) {
        std::cerr << "Usage: compress_quality DXT1|DXT3 FOLDER [LABEL=DDSFOLDER]... [--each]\n";
        return 2;
    }
    const vc::TextureFormat format = args[0] == "DXT1" ? vc::TextureFormat::Dxt1 : vc::TextureFormat::Dxt3;
    std::vector<Column> columns{{.Label = "ours Best", .From = Column::Source::Ours, .Quality = vc::DxtQuality::Best},
                                {.Label = "ours Fast", .From = Column::Source::Ours, .Quality = vc::DxtQuality::Fast},
                                {.Label = "squish iterative fit", .From = Column::Source::SquishIterativeFit}};
    for (size_t i = 2; i < args.size(); ++i) {
        const size_t equals = args[i].find('=');
        if (equals == std::string::npos) {
            std::cerr << "compress_quality: expected LABEL=DDSFOLDER, found " << args[i] << "\n";
            return 2;
        }
        columns.push_back({.Label = args[i].substr(0, equals), .DdsFolder = args[i].substr(equals + 1)});
    }
    try {
        std::vector<fs::path> pictures;
        for (const fs::directory_entry& file : fs::directory_iterator(args[1])) {
            if (file.path().extension() == ".tga") {
                pictures.push_back(file.path());
            }
        }
        std::sort(pictures.begin(), pictures.end());
        std::vector<std::string> names;
        for (const fs::path& picture : pictures) {
            const vc::PixelLevel source = vc::bench::LoadPicture(picture.string(), "");
            names.push_back(picture.stem().string());
            std::string line = names.back();
            for (Column& column : columns) {
                column.Scores.push_back(Measure(column, format, source, picture));
                const Score& score = column.Scores.back();
                line += "  " + column.Label + " " + TwoDecimals(score.Rgb) +
                        (score.Alpha ? " " + TwoDecimals(*score.Alpha) : "");
            }
            if (each) {
                std::cout << line << "\n";
            }
        }
        std::cout << args[0] << " over " << pictures.size()
                  << " pictures, PSNR of the first level in dB: mean / worst (picture)\n";
        for (const Column& column : columns) {
            std::vector<std::optional<double>> rgb;
            std::vector<std::optional<double>> alpha;
            for (const Score& score : column.Scores) {
                rgb.emplace_back(score.Rgb);
                alpha.push_back(score.Alpha);
            }
            std::cout << std::left << std::setw(22) << column.Label << "RGB " << Summary(rgb, names);
            if (format == vc::TextureFormat::Dxt3) {
                std::cout << "   alpha " << Summary(alpha, names);
            }
            if (column.From != Column::Source::DdsFiles) {
                std::cout << "   compressed in " << TwoDecimals(column.Seconds) << " s";
            }
            std::cout << "\n";
        }
    } catch (const std::exception& error) {
        std::cerr << "compress_quality: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
