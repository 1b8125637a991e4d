// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"
#include "program_arguments.h"

int main(int argc, char** argv) {
    const vc::cli::Utf8Console console;
    const std::vector<std::string> arguments = vc::cli::ProgramArguments(argc, argv);
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    return vc::cli::RunCli(views, std::cout, std::cerr, vc::cli::StandardErrorIsTerminal());
}
