// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "dictionary_build.h"
#include "input_files.h"

namespace vc::cli {

namespace {

constexpr Option kDictionaryOutput = {"output", 'o', "OUT.txd",
                                      "the dictionary to write (replaced only once it is complete);\n"
                                      "ARCHIVE:NAME puts it into an IMG archive as that entry"};

int RunBuild(const ParsedArguments& arguments, const Streams& streams) {
    return BuildDictionary(arguments, InputFiles(arguments), OutputFile(arguments, kDictionaryOutput),
                           JobCount(arguments), streams)
        .Status;
}

}  // namespace

const Command kBuildCommand = {
    .Name = "build",
    .Synopsis = "-o OUT.txd [OPTION...] INPUT...",
    .Summary = "write images and lists as one texture dictionary",
    .Description = InputsText() +
                   " They are written as one texture dictionary; each image is read as what its first\n"
                   "bytes show it to be. --format, --mipmaps and --filter apply to the entries whose list\n"
                   "sets none of their own.",
    .Options = BuildOptions(kDictionaryOutput),
    .ExitStatus =
        "Exit status: 0 every input became a texture; 1 some input was refused or left out;\n"
        "2 bad usage; 3 a read, decode or write error (nothing written).",
    .Run = RunBuild,
};

}  // namespace vc::cli
