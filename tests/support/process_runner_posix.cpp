// SPDX-License-Identifier: GPL-3.0-or-later
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "process_runner.h"
#include "temp_dir.h"

namespace vc::test {

namespace {

void SetLimit(int resource, const std::optional<uint64_t>& value) {
    if (value) {
        const rlimit limit{static_cast<rlim_t>(*value), static_cast<rlim_t>(*value)};
        ::setrlimit(resource, &limit);
    }
}

// Runs in the child between fork and exec; leaves by exec or _exit only.
[[noreturn]] void StartChild(const std::string& program, const std::vector<std::string>& arguments,
                             const ProcessLimits& limits, const std::string& outPath, const std::string& errPath) {
    if (std::freopen(outPath.c_str(), "w", stdout) == nullptr ||
        std::freopen(errPath.c_str(), "w", stderr) == nullptr) {
        ::_exit(120);
    }
    ::signal(SIGXFSZ, SIG_IGN);
    SetLimit(RLIMIT_AS, limits.AddressSpace);
    SetLimit(RLIMIT_FSIZE, limits.FileSize);
    if (limits.User && (::setgid(*limits.User) != 0 || ::setuid(*limits.User) != 0)) {
        ::_exit(122);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(121);
}

}  // namespace

ProcessOutcome RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const ProcessLimits& limits) {
    const TempDir output;
    const std::string outPath = output.File("stdout");
    const std::string errPath = output.File("stderr");
    const pid_t child = ::fork();
    if (child == 0) {
        StartChild(program, arguments, limits, outPath, errPath);
    }
    if (limits.KillAfter) {
        std::this_thread::sleep_for(*limits.KillAfter);
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const int signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, signal, limits.KillAfter && signal == SIGKILL,
            ReadText(outPath), ReadText(errPath)};
}

}  // namespace vc::test
