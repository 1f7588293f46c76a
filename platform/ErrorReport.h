#pragma once
// The error report every routine of the suite uses. A routine runs its
// normal steps under `reported`: the first failure stops them, shows one
// message box ("<location code>\r\n<description>", OK only, no title of its
// own) and makes the call return true, the routine's error flag. The
// routine's exit steps are the destructors of its locals, so they run
// either way. Nothing is passed on to the caller as an exception.
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Error.h"

namespace lumo {

// Shows the report of one routine, of the given kind.
void showReport(std::string_view locationCode, std::string_view description,
                ReportKind kind = ReportKind::Other) noexcept;

// The last report shown on the calling thread, kept so that a caller
// without a message handler can still learn why its call failed. Each
// thread has its own; a new report replaces it.
struct LastReport {
    bool present = false;
    std::string locationCode;
    std::string description;
    ReportKind kind = ReportKind::None;  // what the caller can do about it
};
const LastReport& lastReport() noexcept;
void clearLastReport() noexcept;

// Shows the report of the failure being handled (call only inside a catch):
// a lumo::Error with its kind, anything else as Other.
void reportCurrentFailure(std::string_view locationCode) noexcept;

// Runs `body` under the handler of the routine named by `locationCode`.
// Returns true when a failure was reported, false otherwise.
template <class Body>
bool reported(std::string_view locationCode, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
        return false;
    } catch (...) {
        reportCurrentFailure(locationCode);
        return true;
    }
}

// A public operation that returns the flag of its private routine; its own
// handler reports what the routine lets through (a failure before the
// routine's handler is in force), so that nothing reaches the client.
template <class Routine>
bool passedOn(std::string_view locationCode, Routine&& routine) noexcept {
    bool routineFailed = false;
    const bool failed = reported(locationCode, [&] { routineFailed = routine(); });
    return failed || routineFailed;
}

// For routines whose first steps run before their handler is in force:
// a failure in `before` reaches the caller (whose own handler reports it);
// `body` then runs under the routine's handler as above.
template <class Before, class Body>
bool reportedAfter(std::string_view locationCode, Before&& before, Body&& body) {
    std::forward<Before>(before)();
    return reported(locationCode, std::forward<Body>(body));
}

}  // namespace lumo
