#pragma once
// A program of the build run as a child process that the test can signal
// while it runs: the kill and interruption tests. Its standard output and
// error go to files that wait() reads back.
//
// Ownership: the object owns the child; a child still running when the
// object ends is killed (SIGKILL) and reaped. Use from one thread.
#include <sys/resource.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/DatabaseState.h"

namespace lumo::test {

// A program of the build: in LUMO_BIN_DIR, else beside the test program.
std::filesystem::path buildProgram(const std::string& name);

struct ChildOptions {
    std::optional<rlim_t> fileSizeLimit;  // RLIMIT_FSIZE of the child, in bytes
};

struct ChildExit {
    int status = -1;  // the exit status, or 128 + the signal that ended it
    std::string out, err;
};

class ChildProcess {
public:
    // argv[0] is the program's path.
    explicit ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    void signal(int signalNumber) const;
    ChildExit wait();
    std::string outputSoFar() const;  // standard output written until now

private:
    TemporaryFolder io_{"lumo_child"};
    pid_t pid_ = -1;
    bool reaped_ = false;
};

// Runs a program to its end.
ChildExit runProgram(const std::vector<std::string>& argv, const ChildOptions& options = {});

}  // namespace lumo::test
