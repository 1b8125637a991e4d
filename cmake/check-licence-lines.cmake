# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every source file under the FOLDERS of ROOT (and ROOT's own CMakeLists.txt) names the
# project's licence in an SPDX line among its first three lines: C++, CMake, scripts (files that
# start with "#!"), manual pages, desktop entries and the XML the build or the package uses.
# Folders of ROOT listed in EXCLUDE are passed over.
# Run as: cmake -DROOT=. "-DFOLDERS=src;tests" -DEXCLUDE=tests/data/x -P check-licence-lines.cmake
cmake_minimum_required(VERSION 3.25)

get_filename_component(ROOT ${ROOT} ABSOLUTE)

set(licence_line "SPDX-License-Identifier: GPL-3.0-or-later")
string(REPLACE "." "\\." licence_pattern "${licence_line}")
set(source_pattern "(\\.(cpp|h|cmake|supp|desktop|1|xml|svg|qrc|h\\.in|rc\\.in|manifest\\.in)|/CMakeLists\\.txt)$")

set(candidates ${ROOT}/CMakeLists.txt)
foreach(folder IN LISTS FOLDERS)
    file(GLOB_RECURSE found LIST_DIRECTORIES false ${ROOT}/${folder}/*)
    list(APPEND candidates ${found})
endforeach()
set(faults "")
foreach(file IN LISTS candidates)
    file(RELATIVE_PATH shown "${ROOT}" "${file}")
    set(excluded FALSE)
    foreach(folder IN LISTS EXCLUDE)
        string(FIND "${shown}" "${folder}/" at)
        if(at EQUAL 0)
            set(excluded TRUE)
        endif()
    endforeach()
    get_filename_component(name "${file}" NAME)
    if(excluded)
        continue()
    endif()
    if(NOT file MATCHES "${source_pattern}")
        # A file without an extension is a source when it is a script.
        if(name MATCHES "\\." OR IS_SYMLINK "${file}")
            continue()
        endif()
        file(STRINGS "${file}" first LIMIT_COUNT 1)
        if(NOT first MATCHES "^#!")
            continue()
        endif()
    endif()
    file(STRINGS "${file}" head LIMIT_COUNT 3)
    if(NOT head MATCHES "${licence_pattern}")
        string(APPEND faults "\n  ${shown}")
    endif()
endforeach()
if(faults)
    message(FATAL_ERROR "Source files without the line \"${licence_line}\" at their head:${faults}")
endif()
message(STATUS "Every source file names its licence")
