#include "tools/import/LibraryOutput.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace lumo::tools {
namespace {

constexpr int kRedirected[2] = {STDOUT_FILENO, STDERR_FILENO};

}  // namespace

LibraryOutput::LibraryOutput() {
    file_ = ::memfd_create("lumo-import-libmdb", MFD_CLOEXEC);
    if (file_ < 0) return;
    for (int i = 0; i < 2; ++i) saved_[i] = ::fcntl(kRedirected[i], F_DUPFD_CLOEXEC, 3);
}

LibraryOutput::~LibraryOutput() {
    for (int fd : saved_)
        if (fd >= 0) ::close(fd);
    if (file_ >= 0) ::close(file_);
}

LibraryOutput::Capture::Capture(LibraryOutput& output) : output_(output) {
    if (output_.file_ < 0 || output_.depth_++ > 0) return;
    // What the program itself has buffered goes to the terminal first.
    std::fflush(stdout);
    std::fflush(stderr);
    for (int i = 0; i < 2; ++i)
        if (output_.saved_[i] >= 0) ::dup2(output_.file_, kRedirected[i]);
}

LibraryOutput::Capture::~Capture() {
    if (output_.file_ < 0 || --output_.depth_ > 0) return;
    std::fflush(stdout);
    std::fflush(stderr);
    for (int i = 0; i < 2; ++i)
        if (output_.saved_[i] >= 0) ::dup2(output_.saved_[i], kRedirected[i]);
}

std::vector<std::string> LibraryOutput::lines() const {
    std::string text;
    if (file_ >= 0) {
        char buffer[4096];
        for (off_t at = 0;;) {
            const ssize_t got = ::pread(file_, buffer, sizeof buffer, at);
            if (got <= 0) break;
            text.append(buffer, static_cast<std::size_t>(got));
            at += got;
        }
    }
    std::vector<std::pair<std::string, int>> counted;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        const auto seen = std::ranges::find(counted, line, &std::pair<std::string, int>::first);
        if (seen == counted.end())
            counted.emplace_back(std::move(line), 1);
        else
            ++seen->second;
    }
    std::vector<std::string> result;
    for (auto& [line, count] : counted)
        result.push_back(count > 1 ? line + " (" + std::to_string(count) + " 回)" : std::move(line));
    return result;
}

}  // namespace lumo::tools
