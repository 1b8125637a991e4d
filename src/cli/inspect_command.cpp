#include <cstdio>
#include <iostream>
#include <string>

#include "cli_support.h"
#include "io/error.h"
#include "io/file_io.h"
#include "txd/txd_reader.h"

namespace vc::cli {

namespace {

constexpr std::string_view kInspectHelp =
    "Usage: vellumcraft-cli inspect FILE.txd\n"
    "\n"
    "Lists the textures of a texture dictionary: name, mask name, width × height, depth,\n"
    "raster format, alpha flag and flag word, then the version stamp.\n"
    "\n"
    "Exit status: 0 the file was read; 1 the file is malformed (offset and reason on stderr);\n"
    "2 bad usage; 3 the file cannot be read.\n";

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

void PrintContents(const TxdContents& contents) {
    std::cout << "name\tmask\tsize\tdepth\traster\talpha\tflags\n";
    for (const TxdTexture& texture : contents.Textures) {
        std::cout << texture.Name << '\t' << texture.MaskName << '\t' << texture.Width << " × " << texture.Height
                  << '\t' << unsigned{texture.Depth} << '\t' << Hex(texture.RasterFormat, 4) << '\t'
                  << texture.AlphaFlag << '\t' << Hex(texture.Flags, 8) << '\n';
    }
    std::cout << contents.Textures.size() << (contents.Textures.size() == 1 ? " texture" : " textures")
              << ", version stamp " << Hex(contents.VersionStamp, 8) << '\n';
}

}  // namespace

int RunInspect(Arguments arguments) {
    if (arguments.size() == 1 && IsHelpOption(arguments[0])) {
        std::cout << kInspectHelp;
        return kSuccess;
    }
    if (arguments.size() != 1 || (arguments[0].size() > 1 && arguments[0][0] == '-')) {
        return UsageError("inspect", "inspect takes exactly one texture dictionary");
    }
    std::vector<uint8_t> file;
    try {
        file = ReadWholeFile(arguments[0]);
    } catch (const Error& error) {
        std::cerr << "vellumcraft-cli: " << error.what() << '\n';
        return kFailure;
    }
    try {
        PrintContents(ReadTxd(file));
        return kSuccess;
    } catch (const Error& error) {
        std::cerr << "vellumcraft-cli: " << error.what() << '\n';
        return kIncomplete;
    }
}

}  // namespace vc::cli
