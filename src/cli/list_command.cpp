#include <iostream>
#include <variant>

#include "cli_support.h"
#include "input_arguments.h"
#include "io/error.h"
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

constexpr InputCommand kListCommand = {"list", kListHelp, "LIST.txt", false};

}  // namespace

int RunList(Arguments arguments) {
    auto parsed = ParseInputArguments(arguments, kListCommand);
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }
    const InputRequest& request = std::get<InputRequest>(parsed);
    try {
        Workspace workspace;
        const bool refused = AddInputs(workspace, request);
        if (workspace.TexList.empty()) {
            std::cerr << "vellumcraft-cli: the list is empty; " << request.Output << " was not written\n";
            return kIncomplete;
        }
        ExportTextureList(workspace.TexList, request.Output);
        std::cout << workspace.TexList.size() << (workspace.TexList.size() == 1 ? " texture" : " textures")
                  << " listed in " << request.Output << '\n';
        return refused ? kIncomplete : kSuccess;
    } catch (const Error& error) {
        std::cerr << "vellumcraft-cli: " << error.what() << '\n';
        return kFailure;
    }
}

}  // namespace vc::cli
