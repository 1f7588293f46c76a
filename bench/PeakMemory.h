#pragma once
// Peak resident memory of a program run as a child process: its own
// high-water mark (VmHWM), read when it is about to exit.
//
// wait4's ru_maxrss cannot give it: when a child execs, the kernel keeps
// the high-water mark of the address space being replaced, and a child of
// posix_spawn (or fork) starts in a copy of its parent's. A child of the
// benchmark program would report at least the benchmark's own size. The
// child is therefore traced (ptrace) just far enough to stop it at its
// exit, while its memory is still there to be read.
#include <string>
#include <vector>

namespace lumo::bench {

struct ChildRun {
    int exitStatus = -1;   // the child's exit status; -1 when it did not exit normally
    long peakRssKb = 0;    // its own peak resident set size in KiB
};

// Runs `argv` (argv[0] is the program's path) with standard output and
// standard error going to `logFile`, and waits for it. Throws
// std::runtime_error when it cannot be started or its peak cannot be read
// (the child has then ended).
ChildRun runMeasured(const std::vector<std::string>& argv, const std::string& logFile);

}  // namespace lumo::bench
