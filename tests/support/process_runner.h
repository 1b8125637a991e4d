#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace vc::test {

// How a spawned program runs: limits on its address space and on the size of files it writes, the
// user it runs as (and that user's group: no folder keeps root out), and when to kill it.
struct ProcessLimits {
    std::optional<rlim_t> AddressSpace;
    std::optional<rlim_t> FileSize;
    std::optional<uid_t> User;
    std::optional<std::chrono::microseconds> KillAfter;
};

struct ProcessOutcome {
    int ExitCode = -1;  // -1 when a signal ended the run
    int Signal = 0;
    std::string Out;
    std::string Err;
};

// Runs a program in a child process and waits for it; its output is kept outside every folder the
// test looks at. A write past the file size limit fails with EFBIG instead of a signal.
ProcessOutcome RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const ProcessLimits& limits = {});

}  // namespace vc::test
