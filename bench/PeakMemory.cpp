#include "bench/PeakMemory.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ptrace.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "platform/SpawnActions.h"

extern char** environ;

namespace lumo::bench {
namespace {

// VmHWM of a live process, in KiB; -1 when it cannot be read.
long highWaterKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

bool exitEvent(int status) { return status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8)); }

}  // namespace

ChildRun runMeasured(const std::vector<std::string>& argv, const std::string& logFile) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));  // posix_spawn's signature
    args.push_back(nullptr);

    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.get(), 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(actions.get(), 1, 2);
    pid_t pid = 0;
    if (const int error = posix_spawn(&pid, args[0], actions.get(), nullptr, args.data(), environ))
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
    // posix_spawn returns once the child has replaced its image, so the
    // mark read at the exit stop covers the program alone.
    const bool traced = ptrace(PTRACE_SEIZE, pid, nullptr, PTRACE_O_TRACEEXIT) == 0;
    const int traceError = errno;

    ChildRun run;
    long peak = -1;
    int status = 0;
    for (;;) {
        if (waitpid(pid, &status, 0) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("waitpid failed: " + std::string(std::strerror(errno)));
        }
        if (WIFEXITED(status) || WIFSIGNALED(status)) break;
        if (!WIFSTOPPED(status)) continue;
        int signal = WSTOPSIG(status);
        if (exitEvent(status)) peak = highWaterKb(pid);
        if (exitEvent(status) || status >> 16 != 0) signal = 0;  // an event stop, not a signal to pass on
        ptrace(PTRACE_CONT, pid, nullptr, signal);
    }
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!traced) throw std::runtime_error("cannot trace the child for its peak memory: " + std::string(std::strerror(traceError)));
    if (peak < 0) throw std::runtime_error("the child's peak memory could not be read at its exit");
    run.peakRssKb = peak;
    return run;
}

}  // namespace lumo::bench
