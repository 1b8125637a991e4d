// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <iostream>
#include <string>

#include "app_info.h"
#include "io/wide_text.h"
#include "version_output.h"

namespace vc::app {

// Started from Explorer or a console, a window program has no standard output; redirected to a
// file or a pipe, as scripts do, it has one and writes there.
void ShowVersion(std::string_view line) {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (output != nullptr && output != INVALID_HANDLE_VALUE && ::GetFileType(output) != FILE_TYPE_UNKNOWN) {
        std::cout << line << '\n';
        return;
    }
    const std::wstring text = WideOf(line);
    const std::wstring title = gui::kApplicationTitle.toStdWString();
    ::MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace vc::app
