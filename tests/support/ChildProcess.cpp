#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lumo::test {
namespace {

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace

std::filesystem::path buildProgram(const std::string& name) {
    if (const char* dir = std::getenv("LUMO_BIN_DIR"); dir && *dir) return std::filesystem::path(dir) / name;
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options) {
    // Everything the child needs is made before fork(): after it, the child
    // calls only what is safe in a copy of a threaded process.
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const std::string out = (io_.path() / "out").string(), err = (io_.path() / "err").string();
    const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int inFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (outFd < 0 || errFd < 0 || inFd < 0) throw std::runtime_error("cannot prepare the child's streams");
    pid_ = ::fork();
    if (pid_ == 0) {
        if (options.fileSizeLimit) {
            const rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::dup2(inFd, STDIN_FILENO);
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(outFd);
    ::close(errFd);
    ::close(inFd);
    if (pid_ < 0) throw std::runtime_error("fork failed");
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

void ChildProcess::signal(int signalNumber) const {
    if (pid_ > 0 && !reaped_) ::kill(pid_, signalNumber);
}

ChildExit ChildProcess::wait() {
    ChildExit result;
    int status = 0;
    if (!reaped_) {
        if (::waitpid(pid_, &status, 0) != pid_) throw std::runtime_error("waitpid failed");
        reaped_ = true;
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readAll(io_.path() / "out");
    result.err = readAll(io_.path() / "err");
    return result;
}

std::string ChildProcess::outputSoFar() const { return readAll(io_.path() / "out"); }

ChildExit runProgram(const std::vector<std::string>& argv, const ChildOptions& options) {
    ChildProcess child(argv, options);
    return child.wait();
}

}  // namespace lumo::test
