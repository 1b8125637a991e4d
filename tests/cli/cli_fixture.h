// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"
#include "image_files.h"
#include "temp_dir.h"

namespace vc {

struct CliRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

class CliTest : public testing::Test {
  protected:
    // Runs the command line in this process, as the program's main would.
    static CliRun Run(const std::vector<std::string>& arguments, bool errIsTerminal = false) {
        const std::vector<std::string_view> views(arguments.begin(), arguments.end());
        std::ostringstream out;
        std::ostringstream err;
        const int status = cli::RunCli(views, out, err, errIsTerminal);
        return {status, out.str(), err.str()};
    }
    std::string Image(const std::string& name, int width, int height) {
        return dir.Write(name, test::MakePalettedBmp(width, height, test::GreyPalette(8), [](int, int) { return 2; }));
    }

    test::TempDir dir;
};

}  // namespace vc
