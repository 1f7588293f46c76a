#include "bench/PeakMemory.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/SpawnActions.h"

extern char** environ;

namespace lumo::bench {
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

    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR) throw std::runtime_error("wait4 failed: " + std::string(std::strerror(errno)));
    ChildRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakRssKb = usage.ru_maxrss;
    return run;
}

}  // namespace lumo::bench
