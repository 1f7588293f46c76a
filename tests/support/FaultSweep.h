#pragma once
// The failure sweep: runs one operation again and again, each time on a
// fresh copy of a database, with the engine made to fail at step 1, then
// 2, 3, ... (see platform/FaultInjection.h for what a step is), until a
// run ends without reaching the failing step. After every run the test's
// check sees what the run left: which step failed, the reports shown, the
// operation's result and the database file itself.
//
//   const DatabaseDump before = dumpDatabase(original);
//   const std::uint64_t points = sweepFailures(original,
//       [&](const std::string& connectionString) {
//           auto object = createObject<clsPidAccess>();
//           object->Initialize(connectionString);
//           return object->DeleteGroup(2);       // the object ends here,
//       },                                       // closing its connection
//       [&](const SweepStep<bool>& s) {
//           EXPECT_EQ(integrityCheck(s.database), "ok");
//           if (s.fired) {
//               EXPECT_EQ(s.reportCodes(), Codes{"CLS-pida1042"});
//               EXPECT_EQ(describeDifference(before, s.dump()), "");
//           } else {
//               EXPECT_TRUE(s.reports.empty());   // the complete run
//           }
//       });
//   EXPECT_GT(points, 0u);
//
// Rules for the operation: it gets the connection string of the copy (or,
// with sweepFailuresInFolder, the path of a fresh folder) and must close
// every connection it opens before it returns (let its objects end), so
// that the check looks at a file nobody holds. It may return a value (the
// result the check sees; void gives std::monostate); an exception that
// escapes it is caught and its text handed to the check as `escaped`.
// Reports are recorded by a RecordingSink installed for each run, so none
// reaches the test's own sink.
//
// The switch counts the steps of the whole process while a run lasts;
// options.dataSource can narrow it to the copy's file.
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/MessageSink.h"
#include "engine/ConnectionString.h"
#include "platform/FaultInjection.h"
#include "tests/support/DatabaseState.h"

namespace lumo::test {

template <class Result>
struct SweepStep {
    std::uint64_t step = 0;  // the step that was to fail
    bool fired = false;      // it did; false for the last run, which completed
    db::FaultStep failedCall = db::FaultStep::Open;  // what kind of call failed (when fired)
    std::uint64_t steps = 0;                 // steps the run took, the failed one included
    std::filesystem::path database;          // the run's copy (sweepFailures) or folder
    std::string connectionString;            // of the copy (sweepFailures)
    std::vector<MessageRequest> reports;     // every message box of the run, in order
    Result result{};                         // what the operation returned
    std::string escaped;                     // text of an exception that left the operation

    DatabaseDump dump() const { return dumpDatabase(database); }
    // The location code of each report ("CLS-pida1042"), in order.
    std::vector<std::string> reportCodes() const {
        std::vector<std::string> codes;
        for (const MessageRequest& m : reports) codes.push_back(m.text.substr(0, m.text.find("\r\n")));
        return codes;
    }
};

struct SweepOptions {
    db::FaultKind kind = db::FaultKind::DiskIo;
    bool sticky = false;               // from the failing step on, every step fails
    bool onlyTheCopy = false;          // count only the steps on the copy's file
    std::uint64_t maxSteps = 20000;    // a run still failing here stops the sweep with an exception
};

// The connection string of a database file.
inline std::string jetConnectionString(const std::filesystem::path& file) {
    return db::jetConnectionString(file.string());
}

namespace sweep_detail {

template <class Op, class Arg>
using ResultOf = std::conditional_t<std::is_void_v<std::invoke_result_t<Op&, const Arg&>>, std::monostate,
                                    std::invoke_result_t<Op&, const Arg&>>;

// One run with the failure at `step`; fills everything but the paths.
template <class Op, class Arg, class Result>
void runOnce(Op& op, const Arg& arg, std::uint64_t step, const SweepOptions& options, const std::string& dataSource,
             SweepStep<Result>& out) {
    RecordingSink sink;
    db::ScopedFault fault({.failAt = step, .kind = options.kind, .sticky = options.sticky, .dataSource = dataSource});
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Op&, const Arg&>>) op(arg);
        else out.result = op(arg);
    } catch (const std::exception& e) {
        out.escaped = e.what();
        if (out.escaped.empty()) out.escaped = "exception";
    } catch (...) {
        out.escaped = "unknown exception";
    }
    db::disarmFault();
    const db::FaultRecord record = db::faultRecord();
    out.step = step;
    out.fired = record.fired();
    out.failedCall = record.firstFailed;
    out.steps = record.steps;
    out.reports = sink.messages();
}

}  // namespace sweep_detail

// The general form: before each run, `prepare` fills a fresh empty folder
// (it may leave it empty); `op` gets the folder's path. Returns the number
// of failure points (runs in which the failure fired).
template <class Prepare, class Op, class Check>
std::uint64_t sweepFailuresInFolder(Prepare&& prepare, Op&& op, Check&& check, const SweepOptions& options = {}) {
    using Result = sweep_detail::ResultOf<Op, std::filesystem::path>;
    for (std::uint64_t step = 1;; ++step) {
        if (step > options.maxSteps)
            throw std::runtime_error("the operation still reached the failing step after " +
                                     std::to_string(options.maxSteps) + " steps");
        TemporaryFolder folder("lumo_sweep");
        prepare(folder.path());
        SweepStep<Result> s;
        s.database = folder.path();
        sweep_detail::runOnce(op, folder.path(), step, options, std::string(), s);
        check(static_cast<const SweepStep<Result>&>(s));
        if (!s.fired) return step - 1;
    }
}

// Sweeps an operation on copies of the database file `original`; `op`
// gets the copy's connection string. Returns the number of failure points.
template <class Op, class Check>
std::uint64_t sweepFailures(const std::filesystem::path& original, Op&& op, Check&& check,
                            const SweepOptions& options = {}) {
    using Result = sweep_detail::ResultOf<Op, std::string>;
    for (std::uint64_t step = 1;; ++step) {
        if (step > options.maxSteps)
            throw std::runtime_error("the operation still reached the failing step after " +
                                     std::to_string(options.maxSteps) + " steps");
        TemporaryFolder folder("lumo_sweep");
        const std::filesystem::path copy = folder.path() / original.filename();
        copyDatabase(original, copy);
        SweepStep<Result> s;
        s.database = copy;
        s.connectionString = jetConnectionString(copy);
        sweep_detail::runOnce(op, s.connectionString, step, options, options.onlyTheCopy ? copy.string() : std::string(),
                              s);
        check(static_cast<const SweepStep<Result>&>(s));
        if (!s.fired) return step - 1;
    }
}

}  // namespace lumo::test
