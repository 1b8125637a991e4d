#include <cstdio>
#include <ostream>
#include <string>

#include "commands.h"
#include "exit_status.h"
#include "io/error.h"
#include "io/file_io.h"
#include "txd/txd_reader.h"
#include "usage_error.h"

namespace vc::cli {

namespace {

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

void PrintContents(const TxdContents& contents, std::ostream& out) {
    out << "name\tmask\tsize\tdepth\traster\talpha\tflags\n";
    for (const TxdTexture& texture : contents.Textures) {
        out << texture.Name << '\t' << texture.MaskName << '\t' << texture.Width << " × " << texture.Height << '\t'
            << unsigned{texture.Depth} << '\t' << Hex(texture.RasterFormat, 4) << '\t' << texture.AlphaFlag << '\t'
            << Hex(texture.Flags, 8) << '\n';
    }
    out << contents.Textures.size() << (contents.Textures.size() == 1 ? " texture" : " textures") << ", version stamp "
        << Hex(contents.VersionStamp, 8) << '\n';
}

int RunInspect(const ParsedArguments& arguments, const Streams& streams) {
    if (arguments.Operands().size() != 1) {
        throw UsageError("inspect takes exactly one texture dictionary");
    }
    const std::vector<uint8_t> file = ReadWholeFile(arguments.Operands()[0]);
    // A damaged dictionary is what this command found out, not a failure to run it.
    try {
        PrintContents(ReadTxd(file), streams.Out);
        return kSuccess;
    } catch (const Error& error) {
        if (error.Kind() != ErrorKind::Malformed) {
            throw;
        }
        streams.Err << "vellumcraft-cli: " << error.what() << '\n';
        return kIncomplete;
    }
}

}  // namespace

const Command kInspectCommand = {
    .Name = "inspect",
    .Synopsis = "FILE.txd",
    .Summary = "list the textures of a dictionary",
    .Description =
        "Lists the textures of a texture dictionary: name, mask name, width × height, depth,\n"
        "raster format, alpha flag and flag word, then the version stamp.",
    .Options = {},
    .ExitStatus =
        "Exit status: 0 the file was read; 1 the file is malformed (offset and reason on stderr);\n"
        "2 bad usage; 3 the file cannot be read.",
    .Run = RunInspect,
};

}  // namespace vc::cli
