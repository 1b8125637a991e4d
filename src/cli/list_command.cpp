#include <iostream>

#include "cli_support.h"
#include "input_arguments.h"
#include "listfile/texture_list_file.h"

namespace vc::cli {

namespace {

constexpr std::string_view kListHelp =
    "Usage: vellumcraft-cli list -o LIST.txt [--no-pow2] INPUT...\n"
    "\n"
    "Adds the image files (.bmp, .jpg, .jpe, .jpeg) and texture lists (.txt) in the order given,\n"
    "as the window's Add command does, and writes the resulting texture list, so that a set of\n"
    "textures can be collected once and built many times.\n"
    "\n"
    "  -o, --output LIST.txt   the texture list to write (replaced only once it is complete)\n"
    "  --no-pow2               allow sides that are not powers of two\n"
    "  -h, --help              show this help\n"
    "\n"
    "Exit status: 0 every input became an entry; 1 some input was refused, or nothing to write;\n"
    "2 bad usage; 3 a read, decode or write error (nothing written).\n";

constexpr InputCommand kListCommand = {"list", kListHelp, "LIST.txt", false, true};

}  // namespace

int RunList(Arguments arguments) {
    return RunInputCommand(
        arguments, kListCommand, [](Workspace& workspace, const InputRequest& request, bool refused) {
            const size_t count = workspace.TexList.size();
            if (count == 0) {
                std::cerr << "vellumcraft-cli: the list is empty; " << request.Output << " was not written\n";
                return kIncomplete;
            }
            ExportTextureList(workspace.TexList, request.Output);
            std::cout << count << (count == 1 ? " texture" : " textures") << " listed in " << request.Output << '\n';
            return refused ? kIncomplete : kSuccess;
        });
}

}  // namespace vc::cli
