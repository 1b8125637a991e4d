// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "version_output.h"

namespace vc::app {

void ShowVersion(std::string_view line) {
    std::cout << line << '\n';
}

}  // namespace vc::app
