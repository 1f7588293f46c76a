#include "platform/FaultInjection.h"

#include <algorithm>
#include <cerrno>
#include <mutex>

#include "platform/Error.h"
#include "platform/FailureKinds.h"

namespace lumo::db {
namespace fault_detail {
std::atomic<bool> armed{false};
}  // namespace fault_detail

namespace {

// The plan and the record, guarded by one lock; read only while armed.
struct SwitchState {
    std::mutex lock;
    FaultPlan plan;
    const void* connection = nullptr;  // plan.connection
    FaultRecord record;
    int paused = 0;  // FaultPause objects alive
};

SwitchState& state() {
    static SwitchState s;
    return s;
}

// Paths arrive as the connection string spells them; the engine maps '\' to '/'.
std::string slashed(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace

void armFault(FaultPlan plan) {
    SwitchState& s = state();
    std::lock_guard guard(s.lock);
    s.connection = plan.connection;
    plan.dataSource = slashed(std::move(plan.dataSource));
    s.plan = std::move(plan);
    s.record = {};
    fault_detail::armed.store(true, std::memory_order_relaxed);
}

void disarmFault() noexcept {
    SwitchState& s = state();
    std::lock_guard guard(s.lock);
    fault_detail::armed.store(false, std::memory_order_relaxed);
}

FaultRecord faultRecord() {
    SwitchState& s = state();
    std::lock_guard guard(s.lock);
    return s.record;
}

FaultPause::FaultPause() {
    SwitchState& s = state();
    std::lock_guard guard(s.lock);
    ++s.paused;
}

FaultPause::~FaultPause() {
    SwitchState& s = state();
    std::lock_guard guard(s.lock);
    --s.paused;
}

// SQLite's own texts for these failures (sqlite3_errstr), written out so
// that the platform layer needs no SQLite; the engine's tests compare them
// with what SQLite says.
std::string_view faultDescription(FaultKind kind) noexcept {
    switch (kind) {
    case FaultKind::DiskIo: return "disk I/O error";
    case FaultKind::Locked: return "database is locked";
    case FaultKind::DiskFull: return "database or disk is full";
    }
    return "SQL logic error";
}

int faultErrno(FaultKind kind) noexcept {
    switch (kind) {
    case FaultKind::DiskIo: return EIO;
    case FaultKind::Locked: return EAGAIN;
    case FaultKind::DiskFull: return ENOSPC;
    }
    return EIO;
}

namespace fault_detail {

bool due(FaultStep step, const void* connection, std::string_view dataSource, FaultKind& kind) {
    SwitchState& s = state();
    std::lock_guard guard(s.lock);
    if (!armed.load(std::memory_order_relaxed) || s.paused > 0) return false;  // disarmed meanwhile, or paused
    if (s.plan.onlyStep && step != *s.plan.onlyStep) return false;
    if (s.connection && connection != s.connection) return false;
    if (!s.plan.dataSource.empty() && slashed(std::string(dataSource)) != s.plan.dataSource) return false;
    const std::uint64_t n = ++s.record.steps;
    if (n != s.plan.failAt && !(s.plan.sticky && n > s.plan.failAt)) return false;
    if (s.record.failures++ == 0) s.record.firstFailed = step;
    kind = s.plan.kind;
    return true;
}

void fail(std::string_view doing, FaultKind kind) {
    throw Error(std::string(doing) + ": " + std::string(faultDescription(kind)), kindOfSystemError(faultErrno(kind)));
}

}  // namespace fault_detail
}  // namespace lumo::db
