#pragma once
// A test-only switch that makes the Nth engine call fail the way the engine
// fails it, so that the undo and compensation paths of every write can be
// run on demand.
//
// Every engine call that can fail is one step: Connection Open, Execute,
// BeginTrans, CommitTrans, RollbackTrans; Recordset Open, AddNew, Update,
// Delete and the moves; and, outside the engine proper, the statements of
// `lumo init`'s database builder, the move of a finished file into place
// and the writes of an export file. A test arms the switch with a plan
// ("fail step 3 with a disk I/O error"); from then on each step is counted,
// and the step the plan names throws lumo::Error with the text the real
// failure would carry ("SQL 文を実行できません: disk I/O error"), or, for a
// file step, fails with the matching system error (ENOSPC, EIO). The steps
// after it run normally, so what the code under test does after a failure
// is what gets tested.
//
// The state is process-wide and lives in the platform library, which the
// tests, the tools and libLumoAccess.so share: a test that arms the switch
// also reaches the calls the library makes on its own connections.
//
// Cost when unarmed: each step reads one global flag and takes a branch
// that is always the same way; nothing is allocated.
//
// Threads: arming, disarming and the record may be used from any thread;
// the steps of all threads are counted together.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace lumo::db {

enum class FaultStep : std::uint8_t {
    Open,           // Connection::Open, a new database file of lumo init
    Execute,        // Connection::Execute, a statement of lumo init
    BeginTrans,
    CommitTrans,
    RollbackTrans,  // the transaction still ends, as SQLite ends it from its journal
    RecordsetOpen,
    AddNew,
    Update,
    Delete,
    Move,           // MoveFirst, MoveNext, MoveLast
    Publish,        // a finished file moved to its final name
    FileWrite,      // creating, writing or closing an export file
};

// The failures the engine most often meets on a desktop.
enum class FaultKind : std::uint8_t {
    DiskIo,    // "disk I/O error" (EIO)
    Locked,    // "database is locked" (EAGAIN)
    DiskFull,  // "database or disk is full" (ENOSPC)
};

struct FaultPlan {
    std::uint64_t failAt = 1;  // the counted step that fails, from 1
    FaultKind kind = FaultKind::DiskIo;
    bool sticky = false;       // every counted step from failAt on fails (a disk that stays full)
    // Count only the steps of this connection (its Recordsets included),
    // as `faultIdentity` (engine/Connection.h) names it ...
    const void* connection = nullptr;
    // ... or only the steps on this database file (path as in the
    // connection string); both empty: every step of the process counts.
    std::string dataSource{};
    // Count only the steps of this kind (for example the file writes).
    std::optional<FaultStep> onlyStep{};
};

// What happened since the switch was last armed.
struct FaultRecord {
    std::uint64_t steps = 0;            // counted steps, the failing ones included
    std::uint64_t failures = 0;         // steps that failed
    FaultStep firstFailed = FaultStep::Open;  // meaningful when failures > 0
    bool fired() const { return failures > 0; }
};

// Arms the switch (replacing any earlier plan) and clears the record.
void armFault(FaultPlan plan);
// Stops failing and counting; the record stays readable.
void disarmFault() noexcept;
FaultRecord faultRecord();

// Arms for the lifetime of the object.
class ScopedFault {
public:
    explicit ScopedFault(FaultPlan plan) { armFault(std::move(plan)); }
    ~ScopedFault() { disarmFault(); }
    ScopedFault(const ScopedFault&) = delete;
    ScopedFault& operator=(const ScopedFault&) = delete;
};

// Steps made while an object of this class lives are neither counted nor
// failed: the setup inside a swept operation (creating and initialising
// the objects whose call is swept). Pauses nest.
class FaultPause {
public:
    FaultPause();
    ~FaultPause();
    FaultPause(const FaultPause&) = delete;
    FaultPause& operator=(const FaultPause&) = delete;
};

// The engine's own text for a failure ("disk I/O error").
std::string_view faultDescription(FaultKind kind) noexcept;
// The system error a file operation meets for a failure (EIO, EAGAIN, ENOSPC).
int faultErrno(FaultKind kind) noexcept;

namespace fault_detail {
extern std::atomic<bool> armed;
// Counts the step; true when it is to fail, with the kind in `kind`.
bool due(FaultStep step, const void* connection, std::string_view dataSource, FaultKind& kind);
[[noreturn]] void fail(std::string_view doing, FaultKind kind);
}  // namespace fault_detail

// --- The hooks, placed at the start of each step ------------------------

namespace fault_detail {
template <class T>
decltype(auto) evaluate(const T& value) {
    if constexpr (std::is_invocable_v<const T&>) return value();
    else return (value);
}
}  // namespace fault_detail

// An engine step: throws lumo::Error("<doing>: <engine's text>") when this
// step is to fail. `connection` identifies the connection the step works
// on (its ConnectionImpl), `dataSource` is its file. `dataSource` and
// `doing` are texts, or functions that make them, so that a text built
// from a path costs nothing unless the switch is armed.
template <class Source, class Doing>
inline void faultPoint(FaultStep step, const void* connection, const Source& dataSource, const Doing& doing) {
    if (fault_detail::armed.load(std::memory_order_relaxed)) [[unlikely]] {
        FaultKind kind{};
        if (fault_detail::due(step, connection, fault_detail::evaluate(dataSource), kind))
            fault_detail::fail(fault_detail::evaluate(doing), kind);
    }
}

// A file step: 0, or the errno value the operation is to fail with.
inline int fileFault(FaultStep step, std::string_view path) {
    if (fault_detail::armed.load(std::memory_order_relaxed)) [[unlikely]] {
        FaultKind kind{};
        if (fault_detail::due(step, nullptr, path, kind)) return faultErrno(kind);
    }
    return 0;
}

}  // namespace lumo::db
