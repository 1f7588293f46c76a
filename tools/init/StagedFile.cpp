#include "tools/init/StagedFile.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/Error.h"

namespace lumo::tools {
namespace {

[[noreturn]] void failErrno(const std::string& what, int error) {
    throw Error(what + ": " + std::strerror(error));
}

// rename() without replacing an existing file. Where the file system does
// not offer that atomically, fall back to a check just before the rename.
bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to, int& error) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) return false;
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(to, ec))) {
        error = EEXIST;
        return false;
    }
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    error = errno;
    return false;
}

// A run killed outright (SIGKILL, power loss) cannot remove its temporary
// file. The next run for the same target removes those whose process is
// gone: "." + name + ".tmp-" + pid + "-" + attempt, and SQLite's "-wal"
// and "-shm" files beside them.
void removeAbandoned(const std::filesystem::path& target) {
    const std::string prefix = "." + target.filename().string() + ".tmp-";
    std::error_code ec;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(target.parent_path(), ec)) {
        std::string rest = entry.path().filename().string();
        if (!rest.starts_with(prefix)) continue;
        rest.erase(0, prefix.size());
        for (const std::string_view suffix : {"-wal", "-shm"})
            if (rest.ends_with(suffix)) rest.erase(rest.size() - suffix.size());
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos || dash + 1 == rest.size() ||
            rest.find_first_not_of("0123456789", dash + 1) != std::string::npos ||
            rest.find_first_not_of("0123456789") != dash)
            continue;
        const long pid = std::stol(rest.substr(0, dash));
        if (pid > 0 && pid != getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlink(entry.path().c_str());
    }
}

}  // namespace

StagedFile::StagedFile(std::filesystem::path target) : target_(std::move(target)) {
    removeAbandoned(target_);
    const std::string stem = "." + target_.filename().string() + ".tmp-" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path candidate = target_.parent_path() / (stem + std::to_string(attempt));
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            temporary_ = std::move(candidate);
            return;
        }
        if (errno != EEXIST) failErrno("作業ファイルを作れません (cannot create " + candidate.string() + ")", errno);
    }
    throw Error("作業ファイルを作れません (cannot create a temporary file beside " + target_.string() + ")");
}

StagedFile::~StagedFile() {
    if (!published_) ::unlink(temporary_.c_str());
}

void StagedFile::publish() {
    int error = 0;
    if (!renameNoReplace(temporary_, target_, error)) {
        if (error == EEXIST)
            throw Error(target_.string() + " は既に存在します。上書きしません。 (already exists; not overwritten)");
        failErrno("ファイルを置けません (cannot move the new file to " + target_.string() + ")", error);
    }
    published_ = true;
}

void StagedFile::withdraw() noexcept {
    if (published_) ::unlink(target_.c_str());
    published_ = false;
}

}  // namespace lumo::tools
