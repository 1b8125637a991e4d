// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace vc::cli {

// The arguments after the program's name, as UTF-8. On Windows they are taken from the wide command
// line, since argv holds them in the ANSI code page, which loses names outside it, and wildcards in
// file names are expanded there, as POSIX shells expand them before the program starts.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Whether standard error is a terminal (a console on Windows), where progress may rewrite a line.
bool StandardErrorIsTerminal();

// While it lives, a Windows console shows the UTF-8 the program writes; the console's own code page
// comes back afterwards. Elsewhere it does nothing: terminals take UTF-8 as it is.
class Utf8Console {
  public:
    Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;
    ~Utf8Console();

#ifdef _WIN32
  private:
    unsigned m_oldCodePage = 0;
#endif
};

}  // namespace vc::cli
