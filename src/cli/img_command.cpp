// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "archive/img_archive.h"
#include "archive/img_writer.h"
#include "commands.h"
#include "exit_status.h"
#include "io/atomic_file_batch.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "json_text.h"
#include "terminal_progress.h"
#include "terminal_text.h"
#include "usage_error.h"

namespace vc::cli {

namespace {

constexpr Option kImgJsonOption = {"json", 0, "", "list: print the entries as one JSON object, for scripts"};
constexpr Option kImgFolderOption = {"output", 'o', "DIR",
                                     "extract: the folder to write into (default: ARCHIVE's path without its\n"
                                     "extension)"};

// "vellumcraft-cli: gta3.img: "car.txd": its sectors … lie past the archive's end"
void ReportBadEntry(const ImgArchive& archive, const ImgEntry& entry, std::ostream& err) {
    err << "vellumcraft-cli: " << TerminalName(archive.Name()) << ": \"" << TerminalName(entry.Name)
        << "\": " << entry.Problem << '\n';
}

// The archive's own damage, and its bad entries; true when there are none.
bool ReportProblems(const ImgArchive& archive, std::ostream& err) {
    const ImgDirectory& directory = archive.Directory();
    if (!directory.Damage.empty()) {
        err << "vellumcraft-cli: " << TerminalName(archive.Name()) << ": " << directory.Damage << '\n';
    }
    bool good = directory.Damage.empty();
    for (const ImgEntry& entry : directory.Entries) {
        if (!entry.Problem.empty()) {
            ReportBadEntry(archive, entry, err);
            good = false;
        }
    }
    return good;
}

int ListArchive(const ImgArchive& archive, const ParsedArguments& arguments, const Streams& streams) {
    const ImgDirectory& directory = archive.Directory();
    if (arguments.Has(kImgJsonOption.Long)) {
        streams.Out << "{\n  \"archive\": " << JsonString(archive.Name())
                    << ",\n  \"version\": " << (directory.Version == ImgVersion::V1 ? 1 : 2)
                    << ",\n  \"damage\": " << (directory.Damage.empty() ? "null" : JsonString(directory.Damage))
                    << ",\n  \"entries\": [";
        const char* separator = "\n";
        for (const ImgEntry& entry : directory.Entries) {
            streams.Out << separator << "    {\"name\": " << JsonString(entry.Name)
                        << ", \"size\": " << entry.ByteSize() << ", \"offset\": " << entry.ByteOffset()
                        << ", \"problem\": " << (entry.Problem.empty() ? "null" : JsonString(entry.Problem)) << '}';
            separator = ",\n";
        }
        streams.Out << (directory.Entries.empty() ? "]\n}\n" : "\n  ]\n}\n");
    } else {
        streams.Out << "name\tsize\toffset\n";
        for (const ImgEntry& entry : directory.Entries) {
            streams.Out << TerminalName(entry.Name) << '\t' << entry.ByteSize() << '\t' << entry.ByteOffset() << '\n';
        }
        streams.Out << directory.Entries.size() << " entries in " << TerminalName(archive.Name()) << " (version "
                    << (directory.Version == ImgVersion::V1 ? 1 : 2) << ")\n";
    }
    return ReportProblems(archive, streams.Err) ? kSuccess : kIncomplete;
}

int ExtractEntries(const ImgArchive& archive, const ParsedArguments& arguments, const Streams& streams) {
    const std::span<const std::string_view> patterns = std::span(arguments.Operands()).subspan(2);
    const std::string folder =
        std::string(arguments.Value(kImgFolderOption.Long)
                        .value_or(std::string(archive.ImgPath())
                                      .substr(0, archive.ImgPath().size() - FileExtension(archive.ImgPath()).size())));
    const ImgDirectory& directory = archive.Directory();
    bool complete = directory.Damage.empty();
    if (!complete) {
        streams.Err << "vellumcraft-cli: " << TerminalName(archive.Name()) << ": " << directory.Damage << '\n';
    }
    // The entries asked for, each once, in directory order.
    std::vector<bool> chosen(directory.Entries.size(), patterns.empty());
    for (const std::string_view pattern : patterns) {
        bool matched = false;
        for (size_t i = 0; i < directory.Entries.size(); ++i) {
            if (MatchesNamePattern(pattern, directory.Entries[i].Name)) {
                chosen[i] = matched = true;
            }
        }
        if (!matched) {
            streams.Err << "vellumcraft-cli: " << TerminalName(archive.Name()) << " holds no entry \""
                        << TerminalName(pattern) << "\"\n";
            complete = false;
        }
    }
    std::error_code error;
    std::filesystem::create_directories(ToFsPath(folder), error);
    // Every entry goes in place once all are written: a run that fails half way leaves the folder
    // as it was.
    AtomicFileBatch files;
    size_t written = 0;
    size_t asked = 0;
    const auto total = static_cast<size_t>(std::count(chosen.begin(), chosen.end(), true));
    TerminalProgress progress(streams, "img extract");
    for (size_t i = 0; i < directory.Entries.size(); ++i) {
        if (!chosen[i]) {
            continue;
        }
        const ImgEntry& entry = directory.Entries[i];
        progress.Report(asked++, total, entry.Name);
        if (!entry.Problem.empty()) {
            progress.Clear();
            ReportBadEntry(archive, entry, streams.Err);
            complete = false;
            continue;
        }
        // A good entry's name is a plain file name: it cannot leave the folder.
        files.Write(FromFsPath(ToFsPath(folder) / ToFsPath(entry.Name)), archive.Read(entry));
        ++written;
    }
    files.Commit();
    progress.Clear();
    streams.Out << written << " of " << asked << " entries extracted to " << folder << '\n';
    return complete && written == asked ? kSuccess : kIncomplete;
}

int PutFiles(std::string_view archivePath, const ParsedArguments& arguments, const Streams& streams) {
    std::vector<ImgFileToPut> files;
    for (const std::string_view file : std::span(arguments.Operands()).subspan(2)) {
        files.push_back({std::string(FileNamePart(file)), ReadWholeFile(file)});
    }
    if (files.empty()) {
        throw UsageError("img put needs the files to put");
    }
    PutImgEntries(archivePath, files);
    streams.Out << files.size() << " entries put into " << TerminalName(FileNamePart(archivePath)) << '\n';
    return kSuccess;
}

int RemoveEntries(std::string_view archivePath, const ParsedArguments& arguments, const Streams& streams) {
    const std::span<const std::string_view> operands = std::span(arguments.Operands()).subspan(2);
    if (operands.empty()) {
        throw UsageError("img remove needs the names of the entries to remove");
    }
    RemoveImgEntries(archivePath, std::vector<std::string>(operands.begin(), operands.end()));
    streams.Out << operands.size() << " entries removed from " << TerminalName(FileNamePart(archivePath)) << '\n';
    return kSuccess;
}

int Rebuild(std::string_view archivePath, const ParsedArguments& arguments, const Streams& streams) {
    if (arguments.Operands().size() > 2) {
        throw UsageError("img rebuild takes exactly one archive");
    }
    // The bad entries it leaves out are named first.
    const bool good = ReportProblems(ImgArchive::Open(archivePath), streams.Err);
    const size_t dropped = RebuildImgArchive(archivePath);
    streams.Out << TerminalName(FileNamePart(archivePath)) << " rebuilt";
    if (dropped > 0) {
        streams.Out << ", " << dropped << " bad entries left out";
    }
    streams.Out << '\n';
    return good ? kSuccess : kIncomplete;
}

// The verbs of img: those that read the opened archive, and those that change it.
using Reading = int (*)(const ImgArchive& archive, const ParsedArguments& arguments, const Streams& streams);
using Changing = int (*)(std::string_view archivePath, const ParsedArguments& arguments, const Streams& streams);
struct Verb {
    std::string_view Name;
    Reading Read = nullptr;
    Changing Change = nullptr;
};
constexpr Verb kVerbs[] = {
    {"list", ListArchive},         {"extract", ExtractEntries},
    {"put", nullptr, PutFiles},    {"remove", nullptr, RemoveEntries},
    {"rebuild", nullptr, Rebuild},
};

int RunImg(const ParsedArguments& arguments, const Streams& streams) {
    const std::vector<std::string_view>& operands = arguments.Operands();
    constexpr std::string_view kWhat = "list, extract, put, remove or rebuild";
    if (operands.empty()) {
        throw UsageError("img needs what to do: " + std::string(kWhat));
    }
    const auto* verb = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                    [&](const Verb& candidate) { return candidate.Name == operands[0]; });
    if (verb == std::end(kVerbs)) {
        throw UsageError("img cannot \"" + std::string(operands[0]) + "\"; it can " + std::string(kWhat));
    }
    if (operands.size() < 2) {
        throw UsageError("the archive is missing");
    }
    if (verb->Name == "list" && operands.size() > 2) {
        throw UsageError("img list takes exactly one archive");
    }
    return verb->Read != nullptr ? verb->Read(ImgArchive::Open(operands[1]), arguments, streams)
                                 : verb->Change(operands[1], arguments, streams);
}

}  // namespace

const Command kImgCommand = {
    .Name = "img",
    .Synopsis =
        "list ARCHIVE [--json] | extract ARCHIVE [NAME|PATTERN...] [-o DIR] |\n"
        "                           put ARCHIVE FILE... | remove ARCHIVE NAME... | rebuild ARCHIVE",
    .Summary = "list, take out, put in and remove the entries of a game's IMG archive",
    .Description =
        "Works on the games' IMG archives: version 1 (GTA III, Vice City: ARCHIVE.img with ARCHIVE.dir\n"
        "beside it; either may be named) and version 2 (San Andreas: one ARCHIVE.img starting \"VER2\").\n"
        "list prints the name, size and offset in bytes of every entry.\n"
        "extract writes the entries named (all when none is), each into DIR under its own name; a\n"
        "PATTERN may hold * (any run of characters) and ? (any one). Names are compared ignoring case, as\n"
        "the games compare them. An entry the archive cannot give (past its end, sharing another's\n"
        "sectors, of no plain file name, a name an earlier entry has) is named on stderr with the reason\n"
        "and not written; the others are.\n"
        "put adds each FILE as the entry of its file name, or replaces the entry of that name: in the\n"
        "entry's own sectors when it fits, else at the archive's end, so that a large archive is never\n"
        "rewritten. remove takes entries out of the directory; rebuild writes the archive anew without\n"
        "the space no entry uses and without bad entries. Every change goes through a journal beside the\n"
        "archive (ARCHIVE.img.journal): a crash at any moment leaves the old archive, or the new one once\n"
        "the archive is next opened.",
    .Options = {kImgJsonOption, kImgFolderOption},
    .ExitStatus =
        "Exit status: 0 every entry asked for was good (and written); 1 the archive holds bad entries, is\n"
        "cut short, or holds no entry of a name asked for; 2 bad usage; 3 a read or write error, or a file\n"
        "that is no IMG archive.",
    .Run = RunImg,
};

}  // namespace vc::cli
