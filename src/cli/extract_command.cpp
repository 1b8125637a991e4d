// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>

#include "archive/archive_address.h"
#include "batch_run.h"
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

// One dictionary's extraction as the batch reports it, with its files still to be put in place:
// the reporting thread flushes and renames them while the workers take the next ones apart.
struct DictionaryExtracted {
    std::string Out;
    std::string Err;
    int Status = kSuccess;
    std::unique_ptr<ExtractionFolder> Unplaced;
};

// Extracts one dictionary for its folder. Among several, a damaged dictionary is reported and
// the others are extracted.
DictionaryExtracted ExtractOne(ArchiveReader& files, std::string_view dictionary, const std::string& folder,
                               unsigned jobs, bool among) {
    std::ostringstream out;
    std::ostringstream err;
    DictionaryExtracted extracted;
    try {
        auto target = std::make_unique<ExtractionFolder>(folder);
        const ExtractionResult result = ExtractTxdFile(*files.Open(dictionary), dictionary, *target, {}, jobs);
        if (result.Damage) {
            // Nothing is written from a damaged file.
            throw Error(ErrorKind::Malformed, ToTerminalLines(DamageText(NamedFileName(dictionary), *result.Damage)));
        }
        extracted.Unplaced = std::move(target);
        for (const ExtractedTexture& texture : result.Textures) {
            PrintTexture(texture, out);
            if (!texture.Problem.empty()) {
                err << "vellumcraft-cli: \"" << TerminalName(texture.Name)
                    << "\" was not extracted: " << texture.Problem << '\n';
            }
        }
        out << result.Textures.size() - result.Failed << " of " << result.Textures.size() << " textures extracted to "
            << folder;
        if (!result.ListFile.empty()) {
            out << ", listed in " << FromFsPath(ToFsPath(folder) / ToFsPath(result.ListFile));
        }
        out << '\n';
        extracted.Status = result.Failed == 0 ? kSuccess : kIncomplete;
    } catch (const Error& error) {
        if (!among || error.Kind() != ErrorKind::Malformed) {
            throw;
        }
        err << "vellumcraft-cli: \"" << TerminalName(NamedFileName(dictionary)) << "\": " << error.what() << '\n';
        extracted.Status = kIncomplete;
    }
    extracted.Out = out.str();
    extracted.Err = err.str();
    return extracted;
}

// The folder of each dictionary: DIR itself for one, a folder of its name under DIR for each of
// several, or beside itself without -o. Two dictionaries never share one.
std::vector<std::string> ExtractionFolders(const std::vector<std::string>& dictionaries,
                                           std::optional<std::string_view> named) {
    std::vector<std::string> folders;
    std::set<std::string> taken;
    for (const std::string& dictionary : dictionaries) {
        const std::string folder =
            !named ? DefaultExtractionFolder(dictionary)
            : dictionaries.size() == 1
                ? std::string(*named)
                : FromFsPath(ToFsPath(*named) / ToFsPath(FileNameWithoutExtension(NamedFileName(dictionary))));
        // Ignoring case, as the games' archives and Windows' folders do.
        if (!taken.insert(LowerAscii(FromFsPath(std::filesystem::absolute(ToFsPath(folder)).lexically_normal())))
                 .second) {
            throw UsageError("two of the dictionaries would be extracted into " + folder);
        }
        folders.push_back(folder);
    }
    return folders;
}

int RunExtract(const ParsedArguments& arguments, const Streams& streams) {
    if (arguments.Operands().empty()) {
        throw UsageError("the texture dictionary is missing");
    }
    ArchiveReader files;
    const std::vector<std::string> dictionaries = files.ExpandPatterns(arguments.Operands());
    const std::optional<std::string_view> named = arguments.Value(kFolderOption.Long);
    if (named && named->empty()) {
        throw UsageError("the folder to write into is missing (-o DIR)");
    }
    const std::vector<std::string> folders = ExtractionFolders(dictionaries, named);
    int status = kSuccess;
    TerminalProgress progress(streams, "extract");
    RunBatch(
        dictionaries, JobCount(arguments), progress,
        [&](unsigned jobs, size_t i) {
            return ExtractOne(files, dictionaries[i], folders[i], jobs, dictionaries.size() > 1);
        },
        [&](size_t, const DictionaryExtracted& extracted) {
            if (extracted.Unplaced) {
                extracted.Unplaced->Commit();
            }
            streams.Out << extracted.Out;
            streams.Err << extracted.Err;
            status = std::max(status, extracted.Status);
        });
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
