#include "platform/StagedFile.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/Error.h"
#include "platform/FailureKinds.h"
#include "platform/FaultInjection.h"

namespace lumo {
namespace {

[[noreturn]] void failErrno(const std::string& what, int error) {
    throw Error(what + ": " + std::strerror(error), kindOfSystemError(error));
}

std::string temporaryStem(const std::filesystem::path& target) { return "." + target.filename().string() + ".tmp-"; }

// rename() without replacing an existing file. Where the file system does
// not offer that atomically, link() does: it never replaces either.
bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to, int& error) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) return false;
    if (::link(from.c_str(), to.c_str()) != 0) {
        error = errno;
        return false;
    }
    ::unlink(from.c_str());
    return true;
}

// The temporary files of live StagedFiles, for the signal handler: fixed
// storage, claimed and released with atomics, read without locks.
struct Slot {
    std::atomic<int> state{0};  // 0 free, 1 being written, 2 holds a path
    char path[4096] = {};
};
std::array<Slot, 16> g_slots;

int claimSlot(const std::filesystem::path& file) {
    const std::string& text = file.native();
    if (text.size() >= sizeof(Slot::path)) return -1;
    for (std::size_t i = 0; i < g_slots.size(); ++i) {
        int expected = 0;
        if (!g_slots[i].state.compare_exchange_strong(expected, 1)) continue;
        std::memcpy(g_slots[i].path, text.c_str(), text.size() + 1);
        g_slots[i].state.store(2);
        return static_cast<int>(i);
    }
    return -1;  // more files than slots: the next run's leftover sweep takes it
}

void releaseSlot(int& slot) noexcept {
    if (slot >= 0) g_slots[static_cast<std::size_t>(slot)].state.store(0);
    slot = -1;
}

extern "C" void removeAndReraise(int signalNumber) {
    for (Slot& s : g_slots)
        if (s.state.load() == 2) ::unlink(s.path);
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

// Holds back the signals that remove staged files, for the life of the
// object, on the calling thread.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, s);
        pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

bool processGone(pid_t pid) { return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

StagedFile::StagedFile(std::filesystem::path target) : target_(std::move(target)) {
    const std::string stem = temporaryStem(target_) + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path candidate = target_.parent_path() / (stem + std::to_string(attempt));
        // A signal between creating the file and claiming its slot would
        // leave the file behind: it waits until the slot holds the path.
        const SignalsHeld held;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            temporary_ = std::move(candidate);
            slot_ = claimSlot(temporary_);
            return;
        }
        if (errno != EEXIST) failErrno("作業ファイルを作れません (cannot create " + candidate.string() + ")", errno);
    }
    throw Error("作業ファイルを作れません (cannot create a temporary file beside " + target_.string() + ")");
}

StagedFile::~StagedFile() {
    if (!published_) ::unlink(temporary_.c_str());
    releaseSlot(slot_);
}

void StagedFile::publish(Replace replace) {
    int error = db::fileFault(db::FaultStep::Publish, target_.native());
    if (error == 0) {
        if (replace == Replace::Yes) {
            if (std::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
        } else {
            renameNoReplace(temporary_, target_, error);
        }
    }
    if (error != 0) {
        if (error == EEXIST)
            throw Error(target_.string() + " は既に存在します。上書きしません。 (already exists; not overwritten)");
        failErrno("ファイルを置けません (cannot move the new file to " + target_.string() + ")", error);
    }
    published_ = true;
    releaseSlot(slot_);
}

void StagedFile::withdraw() noexcept {
    if (published_) ::unlink(target_.c_str());
    published_ = false;
}

std::vector<std::filesystem::path> StagedFile::removeLeftovers(const std::filesystem::path& target) {
    std::vector<std::filesystem::path> removed;
    const std::string stem = temporaryStem(target);
    std::error_code ec;
    std::filesystem::directory_iterator it(target.parent_path().empty() ? "." : target.parent_path(), ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(stem)) continue;
        pid_t pid = 0;
        const char* first = name.data() + stem.size();
        const auto [end, parsed] = std::from_chars(first, name.data() + name.size(), pid);
        if (parsed != std::errc() || end == name.data() + name.size() || *end != '-') continue;
        if (!processGone(pid)) continue;
        if (::unlink(it->path().c_str()) == 0) removed.push_back(it->path());
    }
    return removed;
}

void removeStagedFilesOnSignals(std::initializer_list<int> signalNumbers) {
    struct sigaction action {};
    action.sa_handler = &removeAndReraise;
    sigemptyset(&action.sa_mask);
    for (int s : signalNumbers) sigaction(s, &action, nullptr);
}

}  // namespace lumo
