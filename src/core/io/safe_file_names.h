// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace vc {

// File names made from names found inside files (a dictionary's texture names), for files written
// into one folder. Such a name must never lead out of that folder and must be a valid file name
// on Windows and on Linux, whatever the name holds.

// A file name for the UTF-8 name: every folder separator ("/", "\"), drive colon, control
// character, character Windows refuses in file names (<>:"/\|?*) and byte of invalid UTF-8
// becomes "_", and so does every trailing dot and blank ("..", "a."); a reserved device name (CON,
// PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, CONIN$, CONOUT$, in any case and with any extension)
// gets "_" after it ("con.txt" gives "con_.txt"). Names longer than 200 bytes are cut to that at a
// character's start; an empty name gives "unnamed". A name already safe is returned unchanged, so
// ordinary texture names keep their look.
std::string SafeFileName(std::string_view name);

// Hands out file names in one folder, each different from every name handed out before as a
// Windows file system compares them, without regard to the case of letters ("Wall" and "WALL"
// name the same file there).
class UniqueFileNames {
  public:
    // The safe form of name with the extension (".bmp") appended; when that is taken, "_2", "_3"
    // and so on are put between them: "wall.bmp", "wall_2.bmp", "wall_3.bmp".
    std::string Claim(std::string_view name, std::string_view extension);

  private:
    std::unordered_set<std::u32string> m_claimed;  // in the form in which names are compared
};

}  // namespace vc
