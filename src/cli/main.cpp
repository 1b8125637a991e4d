#include <iostream>
#include <string_view>
#include <vector>

#include "cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    return vc::cli::RunCli(arguments, std::cout, std::cerr);
}
