#include "IdleTimer.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "ConnectionImpl.h"

namespace lumo::db {
namespace {

using Clock = std::chrono::steady_clock;

// A connection found in use is looked at again this soon.
constexpr auto kBusyRetry = ReadSnapshot::kIdle / 4;

class IdleTimer;
// The timer while it exists, for the fork handlers.
constinit std::atomic<IdleTimer*> liveTimer{nullptr};
// Set once the timer is gone at exit: a connection that reads during the
// rest of the shutdown keeps its snapshot until it closes.
constinit std::atomic<bool> timerEnded{false};

// A raw POSIX thread rather than std::thread: a child made by fork() has
// the parent's handle but not its thread, and must forget the handle
// without joining or detaching it.
class IdleTimer {
public:
    IdleTimer() {
        // Once per process: the timer is made once.
        pthread_atfork(&beforeFork, &afterForkInParent, &afterForkInChild);
        liveTimer = this;
    }
    ~IdleTimer() {
        timerEnded = true;
        liveTimer = nullptr;
        {
            const std::lock_guard lock(m_);
            stopping_ = true;
        }
        wake_.notify_one();
        if (startedIn_ == ::getpid()) pthread_join(thread_, nullptr);
    }
    IdleTimer(const IdleTimer&) = delete;
    IdleTimer& operator=(const IdleTimer&) = delete;

    static IdleTimer& instance() {
        static IdleTimer timer;
        return timer;
    }

    bool watch(std::weak_ptr<ReadSnapshot> snapshot) {
        const std::lock_guard lock(m_);
        if (stopping_) return false;
        if (startedIn_ != ::getpid()) {
            watched_.clear();  // a forked child's copies belong to the parent's connections
            if (!startThread()) return false;
            startedIn_ = ::getpid();
        }
        watched_.push_back(std::move(snapshot));
        wake_.notify_one();
        return true;
    }

private:
    // The thread takes none of the process's signals (it starts with all of
    // them blocked): they reach the program's own threads, which hold some
    // back at moments (a staged file between its creation and its
    // registration for removal) and expect their handlers to run there.
    bool startThread() {
        sigset_t all, previous;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &previous);
        const bool started = pthread_create(&thread_, nullptr, &IdleTimer::threadMain, this) == 0;
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        if (started) pthread_setname_np(thread_, "lumo-idle");  // as debuggers and /proc show it
        return started;
    }

    static void* threadMain(void* self) {
        static_cast<IdleTimer*>(self)->run();
        return nullptr;
    }

    void run() {
        std::unique_lock lock(m_);
        while (!stopping_) {
            if (watched_.empty()) {
                wake_.wait(lock);
                continue;
            }
            const Clock::time_point now = Clock::now();
            Clock::time_point next = now + ReadSnapshot::kIdle;
            std::erase_if(watched_, [&](const std::weak_ptr<ReadSnapshot>& weak) {
                const std::shared_ptr<ReadSnapshot> snapshot = weak.lock();
                if (!snapshot) return true;
                const std::unique_lock use(snapshot->inUse, std::try_to_lock);
                if (!use) {
                    next = std::min(next, now + kBusyRetry);
                    return false;
                }
                const auto again = snapshot->endIfIdle(now);
                if (again) next = std::min(next, *again);
                return !again;
            });
            wake_.wait_until(lock, next);
        }
    }

    // The timer's lock is not held by the timer thread across fork(), so
    // that the child can take it. The child's condition variable is made
    // afresh: the copy may count the parent's waiting thread, which does not
    // exist there (and would never leave a destructor's wait).
    static void beforeFork() {
        if (IdleTimer* timer = liveTimer) timer->m_.lock();
    }
    static void afterForkInParent() {
        if (IdleTimer* timer = liveTimer) timer->m_.unlock();
    }
    static void afterForkInChild() {
        if (IdleTimer* timer = liveTimer) {
            std::construct_at(&timer->wake_);
            timer->m_.unlock();
        }
    }

    std::mutex m_;
    std::condition_variable wake_;
    std::vector<std::weak_ptr<ReadSnapshot>> watched_;
    bool stopping_ = false;
    pid_t startedIn_ = 0;  // the process the thread runs in; 0: none yet
    pthread_t thread_{};
};

}  // namespace

bool watchIdle(std::weak_ptr<ReadSnapshot> snapshot) {
    return !timerEnded && IdleTimer::instance().watch(std::move(snapshot));
}

}  // namespace lumo::db
