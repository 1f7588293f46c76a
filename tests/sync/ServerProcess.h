#pragma once
// A test's own server process: started with fork and exec, its output in
// a log file, ready once it accepts connections on its loopback port;
// stopped by its process id (SIGTERM, then SIGKILL) when the object ends.
//
// Ownership: the object owns the process. One thread.
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lumo::test {

class ServerProcess {
public:
    // Throws std::runtime_error, with the log, when the program exits or
    // does not listen on 127.0.0.1:`port` within 10 seconds.
    ServerProcess(const std::vector<std::string>& argv, const std::filesystem::path& log, int port);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

private:
    void stop();
    pid_t pid_ = -1;
};

// A TCP port on 127.0.0.1 that nothing listens on just now.
int freeLoopbackPort();

}  // namespace lumo::test
