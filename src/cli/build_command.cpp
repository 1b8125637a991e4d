#include <iostream>

#include "cli_support.h"
#include "input_arguments.h"
#include "io/atomic_file.h"
#include "io/file_names.h"
#include "txd/build_report.h"

namespace vc::cli {

namespace {

constexpr std::string_view kBuildHelp =
    "Usage: vellumcraft-cli build -o OUT.txd [OPTION...] INPUT...\n"
    "\n"
    "Adds the image files (.bmp, .jpg, .jpe, .jpeg) and texture lists (.txt) in the order given,\n"
    "as the window's Add command does, and writes them as one texture dictionary.\n"
    "\n"
    "  -o, --output OUT.txd    the dictionary to write (replaced only once it is complete)\n"
    "  --rw-version VERSION    0x0800, 0x0C02 (default) or 0x1003\n"
    "  --flag FLAG             texture flag word: 0x1101, 0x1102 (default) or 0x1106\n"
    "  --no-pow2               allow sides that are not powers of two\n"
    "  -h, --help              show this help\n"
    "\n"
    "Exit status: 0 every input became a texture; 1 some input was refused or left out;\n"
    "2 bad usage; 3 a read, decode or write error (nothing written).\n";

constexpr InputCommand kBuildCommand = {"build", kBuildHelp, "OUT.txd", true, false};

}  // namespace

int RunBuild(Arguments arguments) {
    return RunInputCommand(
        arguments, kBuildCommand, [](Workspace& workspace, const InputRequest& request, bool refused) {
            // Each texture goes to disk as soon as it is assembled; the target is replaced only
            // once the whole dictionary is there.
            AtomicFile output(request.Output);
            const BuildResult result = BuildTxdInto(output, workspace, request.Options);
            if (result.Written == 0) {
                std::cerr << "vellumcraft-cli: no texture could be assembled; " << request.Output
                          << " was not written\n";
                return kIncomplete;
            }
            output.Commit();
            std::cout << ToTerminalLines(BuildResultText(result.Written, result.Total, FileNamePart(request.Output),
                                                         result.Size, NumberFormat{}))
                      << '\n';
            return refused || result.Written < result.Total ? kIncomplete : kSuccess;
        });
}

}  // namespace vc::cli
