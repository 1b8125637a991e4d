// SPDX-License-Identifier: GPL-3.0-or-later
#include <ostream>

#include "commands.h"
#include "exit_status.h"
#include "input_files.h"
#include "texlist/list_editing.h"
#include "texlist/texture_list_file.h"

namespace vc::cli {

namespace {

constexpr Option kListOutput = {"output", 'o', "LIST.txt",
                                "the texture list to write (replaced only once it is complete)"};

int RunList(const ParsedArguments& arguments, const Streams& streams) {
    const std::string output = OutputFile(arguments, kListOutput);
    const std::span<const std::string_view> inputs = InputFiles(arguments);
    const TextureOutput defaults = OutputDefaults(arguments);
    const std::optional<Game> game = TargetGame(arguments);
    Workspace workspace;
    workspace.Jobs = JobCount(arguments);
    const bool refused = AddInputs(workspace, inputs, !arguments.Has(kNoPow2Option.Long), streams.Err);
    ApplyOutputDefaults(workspace.TexList, defaults);
    const size_t count = workspace.TexList.size();
    if (count == 0) {
        streams.Err << "vellumcraft-cli: the list is empty; " << output << " was not written\n";
        return kIncomplete;
    }
    // The game asked for replaces the stamp and game of the lists the inputs came from.
    ExportTextureList(workspace.TexList, output, game ? std::nullopt : workspace.VersionStamp,
                      game ? game : workspace.Target);
    streams.Out << count << (count == 1 ? " texture" : " textures") << " listed in " << output << '\n';
    return refused ? kIncomplete : kSuccess;
}

}  // namespace

const Command kListCommand = {
    .Name = "list",
    .Synopsis = "-o LIST.txt [OPTION...] INPUT...",
    .Summary = "write images and lists as one texture list",
    .Description = InputsText() +
                   " The resulting texture list is written, so that a set of textures can be collected\n"
                   "once and built many times. --format, --mipmaps and --filter are written into the\n"
                   "entries whose list sets none of their own.",
    .Options = {kListOutput, kGameOption, kFormatOption, kMipmapsOption, kFilterOption, kJobsOption, kNoPow2Option},
    .ExitStatus =
        "Exit status: 0 every input became an entry; 1 some input was refused, or nothing to write;\n"
        "2 bad usage; 3 a read, decode or write error (nothing written).",
    .Run = RunList,
};

}  // namespace vc::cli
