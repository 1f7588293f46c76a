#pragma once
// Peak resident memory of a program run as a child process, as the kernel
// accounts it for that child alone (ru_maxrss from wait4).
#include <string>
#include <vector>

namespace lumo::bench {

struct ChildRun {
    int exitStatus = -1;   // the child's exit status; -1 when it did not exit normally
    long peakRssKb = 0;    // maximum resident set size in KiB
};

// Runs `argv` (argv[0] is the program's path) with standard output and
// standard error going to `logFile`, and waits for it. Throws
// std::runtime_error when it cannot be started.
ChildRun runMeasured(const std::vector<std::string>& argv, const std::string& logFile);

}  // namespace lumo::bench
