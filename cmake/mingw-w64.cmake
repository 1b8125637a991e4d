# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiles for 64-bit Windows (see mingw-w64-target.cmake) with the static Qt that
# scripts/build-windows-qt builds, when it is there; test programs run under Wine.
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-target.cmake")

list(APPEND CMAKE_FIND_ROOT_PATH "${vellumcraft_windows_qt}")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/run-under-wine")
