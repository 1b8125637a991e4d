// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>

#include "archive/archive_address.h"
#include "batch_run.h"
#include "commands.h"
#include "exit_status.h"
#include "input_files.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/number_format.h"
#include "json_text.h"
#include "rw/txd_reader.h"
#include "rw/version_stamp.h"
#include "terminal_text.h"
#include "usage_error.h"

namespace vc::cli {

namespace {

constexpr Option kJsonOption = {"json", 0, "", "print the dictionary as one JSON object, for scripts"};

std::string PlatformName(uint32_t platform) {
    switch (static_cast<TxdPlatform>(platform)) {
        case TxdPlatform::Direct3D8:
            return "D3D8";
        case TxdPlatform::Direct3D9:
            return "D3D9";
    }
    return std::to_string(platform);
}

std::string FormatName(const TxdTexture& texture) {
    return texture.Format ? std::string(TextureFormatName(*texture.Format)) : "-";
}

std::string Plural(size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

void PrintTable(const TxdContents& contents, std::ostream& out) {
    out << "name\tmask\tsize\tdepth\traster\talpha\tflags\tplatform\tformat\tlevels\n";
    for (const TxdTexture& texture : contents.Textures) {
        out << TerminalName(texture.Name) << '\t' << TerminalName(texture.MaskName) << '\t' << texture.Width << " × "
            << texture.Height << '\t' << unsigned{texture.Depth} << '\t' << HexText(texture.RasterFormat, 4) << '\t'
            << texture.AlphaFlag << '\t' << HexText(texture.Flags, 8) << '\t' << PlatformName(texture.Platform) << '\t'
            << FormatName(texture) << '\t' << unsigned{texture.Levels} << '\n';
    }
    out << Plural(contents.Textures.size(), "texture") << ", version stamp " << HexText(contents.VersionStamp, 8)
        << " (RenderWare " << VersionText(DecodeVersionStamp(contents.VersionStamp)) << "), device id "
        << contents.DeviceId << '\n';
}

void PrintJson(const TxdContents& contents, std::ostream& out) {
    const RenderWareVersion version = DecodeVersionStamp(contents.VersionStamp);
    out << "{\n  \"versionStamp\": " << contents.VersionStamp
        << ",\n  \"renderWareVersion\": " << JsonString(VersionText(version)) << ",\n  \"build\": " << version.Build
        << ",\n  \"deviceId\": " << contents.DeviceId << ",\n  \"textures\": [";
    const char* separator = "\n";
    for (const TxdTexture& texture : contents.Textures) {
        out << separator << "    {\"name\": " << JsonString(texture.Name)
            << ", \"mask\": " << JsonString(texture.MaskName) << ", \"offset\": " << texture.Offset
            << ", \"platform\": " << texture.Platform
            << ", \"format\": " << (texture.Format ? JsonString(TextureFormatName(*texture.Format)) : "null")
            << ", \"width\": " << texture.Width << ", \"height\": " << texture.Height
            << ", \"depth\": " << unsigned{texture.Depth} << ", \"levels\": " << unsigned{texture.Levels}
            << ", \"rasterFormat\": " << texture.RasterFormat << ", \"d3dFormat\": " << texture.D3dFormat
            << ", \"d3dFlags\": " << unsigned{texture.D3d9Flags}
            << ", \"alpha\": " << (texture.HasAlpha() ? "true" : "false") << ", \"flags\": " << texture.Flags
            << ", \"problem\": " << (texture.Format ? "null" : JsonString(texture.Problem)) << '}';
        separator = ",\n";
    }
    out << (contents.Textures.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

// One dictionary as inspect reports it.
struct DictionaryInspected {
    std::string Out;
    std::string Err;
    int Status = kSuccess;
};

DictionaryInspected InspectOne(ArchiveReader& files, std::string_view path, bool json, bool among) {
    const std::vector<uint8_t> file = files.Read(path);
    std::ostringstream out;
    std::ostringstream err;
    DictionaryInspected inspected;
    // A damaged dictionary is what this command found out, not a failure to run it.
    TxdContents contents;
    try {
        contents = ReadTxd(file);
    } catch (const Error& error) {
        if (error.Kind() != ErrorKind::Malformed) {
            throw;
        }
        err << "vellumcraft-cli: " << (among ? "\"" + TerminalName(NamedFileName(path)) + "\": " : std::string())
            << error.what() << '\n';
        // Among several JSON objects it keeps its place.
        out << (json && among ? "null\n" : "");
        return {out.str(), err.str(), kIncomplete};
    }
    if (json) {
        PrintJson(contents, out);
    } else {
        PrintTable(contents, out);
    }
    for (size_t i = 0; i < contents.Textures.size(); ++i) {
        const TxdTexture& texture = contents.Textures[i];
        if (!texture.Format) {
            err << "vellumcraft-cli: texture " << i + 1 << " \"" << TerminalName(texture.Name)
                << "\" cannot be read: " << texture.Problem << '\n';
            inspected.Status = kIncomplete;
        }
    }
    inspected.Out = out.str();
    inspected.Err = err.str();
    return inspected;
}

int RunInspect(const ParsedArguments& arguments, const Streams& streams) {
    if (arguments.Operands().empty()) {
        throw UsageError("the texture dictionary is missing");
    }
    ArchiveReader files;
    const std::vector<std::string> paths = files.ExpandPatterns(arguments.Operands());
    const bool json = arguments.Has(kJsonOption.Long);
    const bool among = paths.size() > 1;
    // Several: each under its name (text), or one JSON array of the objects.
    int status = kSuccess;
    streams.Out << (json && among ? "[\n" : "");
    TerminalProgress progress(streams, "inspect");
    RunBatch(
        paths, JobCount(arguments), progress,
        [&](unsigned, size_t i) { return InspectOne(files, paths[i], json, among); },
        [&](size_t i, const DictionaryInspected& inspected) {
            if (among && !json) {
                streams.Out << (i > 0 ? "\n" : "") << TerminalName(paths[i]) << ":\n";
            } else if (among && i > 0) {
                streams.Out << ",\n";
            }
            streams.Out << inspected.Out;
            streams.Out.flush();
            streams.Err << inspected.Err;
            status = std::max(status, inspected.Status);
        });
    streams.Out << (json && among ? "]\n" : "");
    return status;
}

}  // namespace

const Command kInspectCommand = {
    .Name = "inspect",
    .Synopsis = "[--json] [--jobs N] FILE.txd...",
    .Summary = "list the textures of a dictionary",
    .Description =
        "Lists the textures of a texture dictionary: name, mask name, width × height, depth, raster\n"
        "format, alpha flag, flag word, platform (D3D8 or D3D9), format (PAL8, PAL4, 8888, 888, 1555,\n"
        "565, 4444, 555, LUM8, DXT1, DXT3, DXT5; - when the texture cannot be read) and levels, then\n"
        "the version stamp with its RenderWare version and the device id. Textures that cannot be read\n"
        "are listed too, and why on stderr. Several dictionaries (ARCHIVE:*.txd for an archive's) are\n"
        "each listed under their name; with --json, as one array of their objects (null for a damaged one).",
    .Options = {kJsonOption, kJobsOption},
    .ExitStatus =
        "Exit status: 0 every texture was read; 1 the file is malformed or a texture cannot be read\n"
        "(offset and reason on stderr); 2 bad usage; 3 the file cannot be read.",
    .Run = RunInspect,
};

}  // namespace vc::cli
