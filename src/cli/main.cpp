#include <iostream>
#include <string_view>
#include <vector>

#include "cli_support.h"

namespace {

constexpr std::string_view kHelp =
    "Usage: vellumcraft-cli COMMAND [ARGUMENT...]\n"
    "\n"
    "Assembles GTA III and Vice City texture dictionaries from BMP and JPEG images.\n"
    "\n"
    "Commands:\n"
    "  build -o OUT.txd INPUT...   write images and lists as one texture dictionary\n"
    "  list -o LIST.txt INPUT...   write images and lists as one texture list\n"
    "  inspect FILE.txd            list the textures of a dictionary\n"
    "  check MODEL.dff INPUT...    list a model's textures and which of them are missing\n"
    "\n"
    "'vellumcraft-cli COMMAND --help' describes a command.\n";

int RunCommand(std::string_view command, vc::cli::Arguments rest) {
    using namespace vc::cli;
    if (IsHelpOption(command)) {
        std::cout << kHelp;
        return kSuccess;
    }
    if (command == "build") {
        return RunBuild(rest);
    }
    if (command == "list") {
        return RunList(rest);
    }
    if (command == "check") {
        return RunCheck(rest);
    }
    if (command == "inspect") {
        return RunInspect(rest);
    }
    std::cerr << "vellumcraft-cli: unknown command '" << command << "'\n" << kHelp;
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vc::cli;
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::cerr << kHelp;
        return kUsage;
    }
    // The commands report the program's own errors; running out of memory ends any of them here.
    try {
        return RunCommand(arguments[0], Arguments(arguments).subspan(1));
    } catch (const std::bad_alloc&) {
        std::cerr << "vellumcraft-cli: not enough memory\n";
    } catch (const std::exception& error) {
        std::cerr << "vellumcraft-cli: " << error.what() << '\n';
    }
    return kFailure;
}
