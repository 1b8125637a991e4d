#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "archive/archive_address.h"
#include "commands.h"
#include "exit_status.h"
#include "input_files.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "ops/extraction_folder.h"
#include "terminal_text.h"
#include "usage_error.h"

namespace vc::cli {

namespace {

constexpr Option kFolderOption = {"output", 'o', "DIR",
                                  "the folder to write into (default: FILE.txd's path without its extension)"};

void PrintTexture(const ExtractedTexture& texture, std::ostream& out) {
    out << TerminalName(texture.Name) << '\t' << texture.Width << " × " << texture.Height << '\t' << texture.Format
        << '\t' << unsigned{texture.Levels} << (texture.Levels == 1 ? " level" : " levels") << '\t';
    if (!texture.Problem.empty()) {
        out << "not extracted\n";
    } else {
        const bool stored = texture.ImageFile.ends_with(".dds");  // a DDS file keeps alpha and levels alike
        out << (stored                     ? "DDS file"
                : texture.MaskFile.empty() ? "no mask"
                                           : "mask " + TerminalName(texture.MaskName))
            << '\n';
    }
}

// Extracts one dictionary into its folder; the exit status it alone gives.
int ExtractOne(std::string_view dictionary, const std::string& folder, const ParsedArguments& arguments,
               const Streams& streams) {
    ExtractionFolder target(folder);
    const ExtractionResult result = ExtractTxdFile(dictionary, target, {}, JobCount(arguments));
    if (result.Damage) {
        // Nothing is written from a damaged file.
        throw Error(ErrorKind::Malformed, ToTerminalLines(DamageText(NamedFileName(dictionary), *result.Damage)));
    }
    target.Commit();
    for (const ExtractedTexture& texture : result.Textures) {
        PrintTexture(texture, streams.Out);
        if (!texture.Problem.empty()) {
            streams.Err << "vellumcraft-cli: \"" << TerminalName(texture.Name)
                        << "\" was not extracted: " << texture.Problem << '\n';
        }
    }
    const size_t extracted = result.Textures.size() - result.Failed;
    streams.Out << extracted << " of " << result.Textures.size() << " textures extracted to " << folder;
    if (!result.ListFile.empty()) {
        streams.Out << ", listed in " << FromFsPath(ToFsPath(folder) / ToFsPath(result.ListFile));
    }
    streams.Out << '\n';
    return result.Failed == 0 ? kSuccess : kIncomplete;
}

int RunExtract(const ParsedArguments& arguments, const Streams& streams) {
    if (arguments.Operands().empty()) {
        throw UsageError("the texture dictionary is missing");
    }
    const std::vector<std::string> dictionaries = ExpandArchivePatterns(arguments.Operands());
    const std::optional<std::string_view> named = arguments.Value(kFolderOption.Long);
    if (named && named->empty()) {
        throw UsageError("the folder to write into is missing (-o DIR)");
    }
    // One dictionary goes into DIR itself; several each into a folder of its name under DIR.
    int status = kSuccess;
    for (const std::string& dictionary : dictionaries) {
        const std::string folder =
            !named ? DefaultExtractionFolder(dictionary)
            : dictionaries.size() == 1
                ? std::string(*named)
                : FromFsPath(ToFsPath(*named) / ToFsPath(FileNameWithoutExtension(NamedFileName(dictionary))));
        try {
            if (ExtractOne(dictionary, folder, arguments, streams) != kSuccess) {
                status = kIncomplete;
            }
        } catch (const Error& error) {
            // Among several, a damaged dictionary is reported and the others are extracted.
            if (dictionaries.size() == 1 || error.Kind() != ErrorKind::Malformed) {
                throw;
            }
            streams.Err << "vellumcraft-cli: \"" << TerminalName(NamedFileName(dictionary)) << "\": " << error.what()
                        << '\n';
            status = kIncomplete;
        }
    }
    return status;
}

}  // namespace

const Command kExtractCommand = {
    .Name = "extract",
    .Synopsis = "FILE.txd... [-o DIR] [--jobs N]",
    .Summary = "take a dictionary apart into images, masks and a texture list",
    .Description =
        "Writes one image per texture of the dictionary: a bitmap for a one-level PAL8, 8888 or 888 texture\n"
        "(8-bit with the palette's exact colours for paletted ones, 24-bit otherwise) with a greyscale mask\n"
        "when it has alpha, 4-bit bitmaps for a PAL4 texture and each of its levels, and a DDS file with\n"
        "the exact levels for any other; then a texture list naming them in dictionary order with the\n"
        "fields and the version stamp each texture needs kept. Built again, the list gives the same texture\n"
        "natives. File names come from the texture names but never leave DIR; files of those names are\n"
        "replaced, nothing else in DIR is touched.\n"
        "Prints one line per texture (name, size, format, levels, and its mask or DDS file) and a summary.\n"
        "Several dictionaries (ARCHIVE:*.txd for an archive's) go each into a folder of its name under\n"
        "DIR, or beside itself without -o.",
    .Options = {kFolderOption, kJobsOption},
    .ExitStatus =
        "Exit status: 0 every texture was extracted; 1 some textures could not be (the rest were);\n"
        "2 bad usage; 3 a read, malformed or write error.",
    .Run = RunExtract,
};

}  // namespace vc::cli
