// SPDX-License-Identifier: GPL-3.0-or-later
#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "archive/archive_address.h"
#include "batch_run.h"
#include "commands.h"
#include "exit_status.h"
#include "input_files.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "json_text.h"
#include "ops/txd_verdict.h"
#include "terminal_text.h"
#include "verdict_text.h"

namespace vc::cli {

namespace {

constexpr Option kVerdictJsonOption = {"json", 0, "", "print the verdicts as one JSON object, for scripts"};

// One dictionary's verdict, with the names of its textures; or why it could not be read at all.
struct FileVerdict {
    std::string Path;
    Verdict Result;
    std::vector<std::string> TextureNames;
    bool Dictionary = true;  // false: not even a dictionary's start, so no game was told by it
};

FileVerdict VerdictOn(ArchiveReader& files, std::string_view path, std::optional<Game> game) {
    FileVerdict verdict{.Path = std::string(path)};
    const std::vector<uint8_t> file = files.Read(path);
    try {
        const TxdContents contents = ReadTxdUpToDamage(file);
        verdict.Result = VerifyTxd(file, contents, game);
        for (const TxdTexture& texture : contents.Textures) {
            verdict.TextureNames.push_back(texture.Name);
        }
    } catch (const Error& error) {
        if (error.Kind() != ErrorKind::Malformed) {
            throw;
        }
        // Not a dictionary at all: no game reads it.
        verdict.Dictionary = false;
        verdict.Result = {.Target = game.value_or(Game::Gta3), .Guessed = !game};
        verdict.Result.Findings.push_back({.Rule = "damaged", .Level = Severity::WillNotLoad, .Reason = error.what()});
    }
    return verdict;
}

std::string TextureOf(const FileVerdict& verdict, const Finding& finding) {
    return finding.Texture ? verdict.TextureNames.at(*finding.Texture) : std::string();
}

void PrintText(const FileVerdict& verdict, std::ostream& out) {
    const GameTarget& target = TargetOf(verdict.Result.Target);
    out << NamedFileName(verdict.Path);
    if (!verdict.Dictionary && verdict.Result.Guessed) {
        out << ", which is no dictionary:\n";
    } else {
        out << " for " << target.Name << (verdict.Result.Guessed ? " (told by its stamp and platform)" : "") << ":\n";
    }
    std::array<size_t, 3> counts{};
    for (const Finding& finding : verdict.Result.Findings) {
        ++counts[static_cast<size_t>(finding.Level)];
        out << "  " << FindingLine(finding, verdict.TextureNames) << '\n';
    }
    if (verdict.Result.Findings.empty()) {
        out << "  nothing to report\n";
        return;
    }
    out << "  " << counts[0] << " will not load, " << counts[1] << " will look wrong, " << counts[2]
        << " worth knowing\n";
}

void PrintJson(const std::vector<FileVerdict>& verdicts, std::ostream& out) {
    out << "{\"dictionaries\": [";
    const char* fileSeparator = "\n";
    for (const FileVerdict& verdict : verdicts) {
        out << fileSeparator << "  {\"file\": " << JsonString(verdict.Path) << ", \"game\": "
            << (!verdict.Dictionary && verdict.Result.Guessed ? std::string("null")
                                                              : JsonString(TargetOf(verdict.Result.Target).Key))
            << ", \"guessed\": " << (verdict.Result.Guessed ? "true" : "false")
            << ", \"fails\": " << (verdict.Result.Fails() ? "true" : "false") << ", \"findings\": [";
        const char* separator = "\n";
        for (const Finding& finding : verdict.Result.Findings) {
            out << separator << "    {\"texture\": "
                << (finding.Texture ? JsonString(TextureOf(verdict, finding)) : std::string("null"))
                << ", \"index\": " << (finding.Texture ? std::to_string(*finding.Texture) : std::string("null"))
                << ", \"rule\": " << JsonString(finding.Rule)
                << ", \"severity\": " << JsonString(SeverityText(finding.Level))
                << ", \"reason\": " << JsonString(finding.Reason) << '}';
            separator = ",\n";
        }
        out << (verdict.Result.Findings.empty() ? "]}" : "\n  ]}");
        fileSeparator = ",\n";
    }
    out << (verdicts.empty() ? "]}\n" : "\n]}\n");
}

int RunVerify(const ParsedArguments& arguments, const Streams& streams) {
    const std::optional<Game> game = TargetGame(arguments);
    ArchiveReader files;
    const std::vector<std::string> paths = files.ExpandPatterns(InputFiles(arguments));
    std::vector<FileVerdict> verdicts;
    TerminalProgress progress(streams, "verify");
    RunBatch(
        paths, JobCount(arguments), progress, [&](unsigned, size_t i) { return VerdictOn(files, paths[i], game); },
        [&](size_t, FileVerdict verdict) { verdicts.push_back(std::move(verdict)); });
    bool fails = false;
    for (const FileVerdict& verdict : verdicts) {
        fails = fails || verdict.Result.Fails();
        if (!arguments.Has(kVerdictJsonOption.Long)) {
            PrintText(verdict, streams.Out);
        }
    }
    if (arguments.Has(kVerdictJsonOption.Long)) {
        PrintJson(verdicts, streams.Out);
    }
    return fails ? kIncomplete : kSuccess;
}

}  // namespace

const Command kVerifyCommand = {
    .Name = "verify",
    .Synopsis = "[--game GAME] [--json] [--jobs N] FILE.txd...",
    .Summary = "say whether a game will load dictionaries right",
    .Description =
        "Checks each texture dictionary by the rules of the game it is for (told by its stamp and\n"
        "platform unless --game names it) and lists, per texture, each rule it breaks: \"will not\n"
        "load\", \"will look wrong\" or \"worth knowing\", with the reason and the rule's name, which\n"
        "the README explains.",
    .Options = {kGameOption, kVerdictJsonOption, kJobsOption},
    .ExitStatus =
        "Exit status: 0 nothing will fail to load or look wrong; 1 something will; 2 bad usage;\n"
        "3 a file cannot be read.",
    .Run = RunVerify,
};

}  // namespace vc::cli
