// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vc::test {

// How a spawned program runs: limits on its address space and on the size of files it writes, the
// user it runs as (and that user's group: no folder keeps root out), and when to kill it. Only the
// kill is available on Windows; the others are POSIX resource limits and users.
struct ProcessLimits {
    std::optional<uint64_t> AddressSpace;
    std::optional<uint64_t> FileSize;
    std::optional<unsigned> User;
    std::optional<std::chrono::microseconds> KillAfter;
};

// False where RunProcess can apply no limit but the kill.
inline constexpr bool kProcessLimitsAvailable =
#ifdef _WIN32
    false;
#else
    true;
#endif

struct ProcessOutcome {
    int ExitCode = -1;    // -1 when a signal ended the run
    int Signal = 0;       // the signal that ended the run (never on Windows, where a crash is an exit code)
    bool Killed = false;  // ended by the kill the limits asked for
    std::string Out;
    std::string Err;
};

// The output of a spawned program that wrote text with "\n": on Windows the C runtime's text mode
// makes each "\r\n", as Windows programs write text.
std::string SpawnedText(std::string_view text);

// Runs a program in a child process and waits for it; its output is kept outside every folder the
// test looks at. A write past the file size limit fails with EFBIG instead of a signal. Arguments
// are UTF-8.
ProcessOutcome RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const ProcessLimits& limits = {});

}  // namespace vc::test
