// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>
#include <optional>
#include <ostream>

#include "archive/archive_address.h"
#include "archive/img_writer.h"
#include "dictionary_build.h"
#include "exit_status.h"
#include "input_files.h"
#include "io/atomic_file.h"
#include "io/byte_writer.h"
#include "io/file_names.h"
#include "ops/build_report.h"
#include "ops/txd_builder.h"
#include "terminal_text.h"
#include "texlist/list_editing.h"
#include "verdict_text.h"

namespace vc::cli {

std::vector<Option> BuildOptions(const Option& output) {
    return {output,         kGameOption,   kVersionStampOption, kTextureFlagOption, kFormatOption,
            kMipmapsOption, kFilterOption, kDxtQualityOption,   kJobsOption,        kNoPow2Option};
}

DictionaryBuilt BuildDictionary(const ParsedArguments& arguments, std::span<const std::string_view> inputs,
                                const std::string& output, unsigned jobs, const Streams& streams, Placing placing) {
    TxdOptions options = DictionaryOptions(arguments);
    const TextureOutput defaults = OutputDefaults(arguments);
    Workspace workspace;
    workspace.Jobs = jobs;
    // The build loads every image right afterwards and finds any damage then, so adding need not
    // decode each image twice.
    workspace.Intake.VerifyData = false;
    const bool refused = AddInputs(workspace, inputs, options.pwr2lmt, streams.Err);
    ApplyOutputDefaults(workspace.TexList, defaults);
    // A list taken from a dictionary keeps its stamp and game unless either is asked for.
    KeepListedForm(arguments, workspace, options);
    // Each texture goes to disk as soon as it is assembled; the target is replaced only once the
    // whole dictionary is there. A dictionary for an archive is put into it whole, once built.
    const std::optional<ArchiveAddress> archived = ArchiveAddressOf(output);
    std::unique_ptr<AtomicFile> file;
    ByteWriter memory;
    if (!archived) {
        file = std::make_unique<AtomicFile>(output);
    }
    ByteSink& sink = archived ? static_cast<ByteSink&>(memory) : *file;
    const size_t problemsBefore = workspace.Intake.ProblemText.size();
    const BuildResult result = BuildTxdInto(sink, workspace, options);
    // Images changed since they were added, or formats the chosen version cannot hold.
    if (workspace.Intake.ProblemText.size() > problemsBefore) {
        streams.Err << kBuildProblemsHeading << ToTerminalLines(workspace.Intake.ProblemText.substr(problemsBefore))
                    << '\n';
    }
    if (result.Written == 0) {
        streams.Err << "vellumcraft-cli: no texture could be assembled; " << output << " was not written\n";
        return {.Status = kIncomplete};
    }
    if (archived) {
        PutImgEntries(archived->Archive, {{archived->Entry, memory.Take()}});
    } else if (placing == Placing::ByBuild) {
        file->Commit();
    }
    // What the game will make of it, as warnings: the dictionary is written all the same.
    if (result.Judgement.Fails()) {
        streams.Err << "vellumcraft-cli: warning: " << result.Judgement.FailingHeading() << '\n';
        for (const Finding& finding : result.Judgement.Findings) {
            if (finding.Level != Severity::WorthKnowing) {
                streams.Err << "  " << FindingLine(finding, result.Names) << '\n';
            }
        }
    }
    streams.Out << ToTerminalLines(BuildResultText(result.Written, result.Total, NamedFileName(output), result.Size,
                                                   NumberFormat{}))
                << '\n';
    return {.Status = refused || result.Written < result.Total ? kIncomplete : kSuccess,
            .Written = true,
            .Unplaced = placing == Placing::ByCaller ? std::move(file) : nullptr};
}

}  // namespace vc::cli
