// SPDX-License-Identifier: GPL-3.0-or-later
#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "archive/archive_address.h"
#include "commands.h"
#include "exit_status.h"
#include "input_files.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "io/local_date_time.h"
#include "ops/dff_check.h"
#include "ops/dictionary_entries.h"
#include "terminal_text.h"
#include "usage_error.h"

namespace vc::cli {

namespace {

constexpr Option kLogOption = {"log", 0, "FILE", "write the model's chunk log to FILE"};
constexpr Option kTsvOption = {"tsv", 0, "",
                               "tab-separated rows: texture, present|missing, alpha, present|missing|empty;\n"
                               "no result line"};

std::string_view Presence(bool found) {
    return found ? "present" : "missing";
}

void PrintRow(const TDFFTex& texture, bool tsv, std::ostream& out) {
    if (tsv) {
        out << TerminalName(texture.TexName) << '\t' << Presence(texture.TexFound) << '\t'
            << TerminalName(texture.AlphaName) << '\t' << (texture.HasAlpha ? Presence(texture.AlphaFound) : "")
            << '\n';
        return;
    }
    out << TerminalName(texture.TexName) << ": " << Presence(texture.TexFound);
    if (texture.HasAlpha) {
        out << ", alpha " << TerminalName(texture.AlphaName) << ": " << Presence(texture.AlphaFound);
    }
    out << '\n';
}

int RunCheck(const ParsedArguments& arguments, const Streams& streams) {
    const std::span<const std::string_view> operands = arguments.Operands();
    if (operands.empty()) {
        throw UsageError("the model file is missing");
    }
    const std::optional<std::string_view> logPath = arguments.Value(kLogOption.Long);
    if (logPath && logPath->empty()) {
        throw UsageError("--log needs the name of the log file");
    }
    const bool tsv = arguments.Has(kTsvOption.Long);
    // Dictionaries bring their textures' names; images and lists are added as the window adds them.
    std::vector<std::string_view> files;
    std::vector<std::string_view> dictionaries;
    for (const std::string_view input : operands.subspan(1)) {
        (LowerAscii(FileExtension(input)) == ".txd" ? dictionaries : files).push_back(input);
    }
    Workspace workspace;
    AddInputs(workspace, files, !arguments.Has(kNoPow2Option.Long), streams.Err);
    ArchiveReader archives;
    for (const std::string_view dictionary : dictionaries) {
        const TextureList entries = DictionaryEntries(ReadTxd(archives.Read(dictionary)));
        workspace.TexList.insert(workspace.TexList.end(), entries.begin(), entries.end());
    }
    std::optional<ChunkLogRequest> log;
    if (logPath) {
        log =
            ChunkLogRequest{std::string(*logPath), LocalDateTimeText(std::chrono::system_clock::now()), NumberFormat{}};
    }
    const DffCheckResult result = RunDffCheck(operands[0], workspace.TexList, log);
    if (!result.CutShortNote.empty()) {
        streams.Err << "vellumcraft-cli: " << result.CutShortNote << '\n';
    }
    for (const TDFFTex& texture : result.DFFTexList) {
        PrintRow(texture, tsv, streams.Out);
    }
    if (!tsv) {
        streams.Out << result.Summary.Text << '\n';
    }
    return result.Summary.Missing == 0 ? kSuccess : kIncomplete;
}

}  // namespace

const Command kCheckCommand = {
    .Name = "check",
    .Synopsis = "MODEL.dff [--log FILE] [--tsv] [--no-pow2] [INPUT...]",
    .Summary = "list a model's textures and which of them are missing",
    .Description =
        "Adds the image files and texture lists given, as the window's Add command does, and the\n"
        "textures of the texture dictionaries (.txd) given, with their mask names as alpha names, and\n"
        "checks which textures and alpha textures the model names are present among them. Prints one\n"
        "row per texture of the model, then the result.",
    .Options = {kLogOption, kTsvOption, kNoPow2Option},
    .ExitStatus =
        "Exit status: 0 nothing is missing; 1 something is missing; 2 bad usage; 3 a read or write\n"
        "error, or a file that is no model.",
    .Run = RunCheck,
};

}  // namespace vc::cli
