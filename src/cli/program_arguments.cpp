// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_arguments.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "io/wide_text.h"
#else
#include <unistd.h>
#endif

namespace vc::cli {

#ifdef _WIN32

namespace {

// The files a wildcard in an argument's file name part stands for, in name order, each named with
// the argument's folder as typed; the argument itself when it has no wildcard or matches no file.
// cmd.exe and PowerShell pass wildcards on as typed, where POSIX shells expand them; "*" and "?"
// cannot be part of a Windows file name, so no name is mistaken for a pattern.
std::vector<std::wstring> Expanded(const std::wstring& argument) {
    const size_t nameStart = argument.find_last_of(L"\\/:") + 1;  // 0 when there is no folder
    if (argument.find_first_of(L"*?", nameStart) == std::wstring::npos) {
        return {argument};
    }
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW(argument.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return {argument};
    }
    std::vector<std::wstring> files;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            files.push_back(argument.substr(0, nameStart) + found.cFileName);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    if (files.empty()) {
        return {argument};
    }
    std::ranges::sort(files, [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    return files;
}

}  // namespace

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    wchar_t** const wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        for (const std::wstring& argument : Expanded(wide[i])) {
            arguments.push_back(Utf8Of(argument));
        }
    }
    ::LocalFree(wide);
    return arguments;
}

Utf8Console::Utf8Console() : m_oldCodePage(::GetConsoleOutputCP()) {
    if (m_oldCodePage != 0 && m_oldCodePage != CP_UTF8) {
        ::SetConsoleOutputCP(CP_UTF8);
    }
}

Utf8Console::~Utf8Console() {
    if (m_oldCodePage != 0 && m_oldCodePage != CP_UTF8) {
        ::SetConsoleOutputCP(m_oldCodePage);
    }
}

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

#else

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

#endif

}  // namespace vc::cli
