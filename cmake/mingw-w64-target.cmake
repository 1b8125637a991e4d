# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads flavour, which has
# std::thread). Libraries are taken only from the folder scripts/build-windows-deps fills. Qt's own
# build (scripts/build-windows-qt) uses this file alone: it runs no program it builds.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The same folders scripts/build-windows-deps and scripts/build-windows-qt build into.
if(NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(vellumcraft_windows_cache "$ENV{XDG_CACHE_HOME}/vellumcraft")
else()
    set(vellumcraft_windows_cache "$ENV{HOME}/.cache/vellumcraft")
endif()
set(vellumcraft_windows_deps "${vellumcraft_windows_cache}/windows-deps")
if(NOT "$ENV{VELLUMCRAFT_WINDOWS_DEPS}" STREQUAL "")
    set(vellumcraft_windows_deps "$ENV{VELLUMCRAFT_WINDOWS_DEPS}")
endif()
set(vellumcraft_windows_qt "${vellumcraft_windows_cache}/windows-qt")
if(NOT "$ENV{VELLUMCRAFT_WINDOWS_QT}" STREQUAL "")
    set(vellumcraft_windows_qt "$ENV{VELLUMCRAFT_WINDOWS_QT}")
endif()
set(CMAKE_FIND_ROOT_PATH "${vellumcraft_windows_deps}")
# Tools run on the build machine; libraries, headers and packages come from the folder alone, so a
# Linux library can never be linked by mistake.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 10 and later, with the wide-character API behind the unsuffixed Windows names.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0A00 -DUNICODE -D_UNICODE")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0A00 -DUNICODE -D_UNICODE")
# libgcc, libstdc++ and winpthread linked in: each program is one .exe that needs no DLL of ours.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
