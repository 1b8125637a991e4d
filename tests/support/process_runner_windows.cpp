// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <stdexcept>

#include "io/file_io.h"
#include "io/wide_text.h"
#include "process_runner.h"
#include "temp_dir.h"

namespace vc::test {

namespace {

// The exit code a killed run is given.
constexpr UINT kKilledExitCode = 137;

// One argument quoted for the command line, as CommandLineToArgvW and the C runtime split it again:
// backslashes double only before a quote.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

// A file the child inherits as its standard output or error.
HANDLE InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = ::CreateFileW(ToFsPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot create " + path);
    }
    return file;
}

}  // namespace

ProcessOutcome RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const ProcessLimits& limits) {
    if (limits.AddressSpace || limits.FileSize || limits.User) {
        throw std::logic_error("RunProcess: only KillAfter is available on Windows");
    }
    const TempDir output;
    const std::string outPath = output.File("stdout");
    const std::string errPath = output.File("stderr");
    std::wstring commandLine = Quoted(WideOf(program));
    for (const std::string& argument : arguments) {
        commandLine += L" " + Quoted(WideOf(argument));
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = InheritableFile(outPath);
    startup.hStdError = InheritableFile(errPath);
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(ToFsPath(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &startup, &process);
    ::CloseHandle(startup.hStdOutput);
    ::CloseHandle(startup.hStdError);
    if (!started) {
        throw std::runtime_error("cannot start " + program);
    }
    ProcessOutcome outcome;
    const DWORD wait = limits.KillAfter ? static_cast<DWORD>(limits.KillAfter->count() / 1000) : INFINITE;
    if (::WaitForSingleObject(process.hProcess, wait) == WAIT_TIMEOUT) {
        outcome.Killed = ::TerminateProcess(process.hProcess, kKilledExitCode) != 0;
        ::WaitForSingleObject(process.hProcess, INFINITE);
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    outcome.ExitCode = static_cast<int>(exitCode);
    outcome.Out = ReadText(outPath);
    outcome.Err = ReadText(errPath);
    return outcome;
}

}  // namespace vc::test
