#pragma once
// A signal's disposition set for the lifetime of an object and restored
// when it ends. Ownership: the object owns the previous disposition; make
// and end it on one thread (the disposition itself is process-wide).
#include <signal.h>

namespace lumo {

class ScopedSignal {
public:
    // `handler` is a function, SIG_IGN or SIG_DFL.
    ScopedSignal(int signalNumber, void (*handler)(int)) : signal_(signalNumber) {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        sigaction(signal_, &action, &previous_);
    }
    ~ScopedSignal() { sigaction(signal_, &previous_, nullptr); }
    ScopedSignal(const ScopedSignal&) = delete;
    ScopedSignal& operator=(const ScopedSignal&) = delete;

private:
    int signal_;
    struct sigaction previous_ {};
};

}  // namespace lumo
