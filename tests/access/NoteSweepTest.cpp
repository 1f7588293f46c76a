// UpdateNote and DeleteToDo with the engine failing at every step in turn:
// each failure gives one report with the operation's code and no crash,
// the walk still ends, and what was stored before the failure stays (no
// transaction: the note first, then each ToDo row as it is reached).
#include <sqlite3.h>

#include <algorithm>
#include <map>

#include "platform/FaultInjection.h"
#include "tests/access/NoteClasses.h"
#include "tests/support/FaultSweep.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

const std::string kOldNote = "01/09/01 old entry\r\n01/09/05 meeting";
const std::string kNewNote =
    "01/09/01 old entry\r\n01/09/03 電話をかける\r\n01/09/05 meeting moved\r\nメモ\r\n01/09/07 review the report";

void execute(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "") << sql;
}

template <class T>
class NoteSweep : public ::testing::Test {
protected:
    using C = NoteClass<T>;

    void SetUp() override {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(original().c_str(), &db), SQLITE_OK);
        execute(db, std::string(C::ddl()));
        execute(db, std::string("INSERT INTO ") + C::table + " (" + C::key + ", NOTE) VALUES (7, '" + kOldNote + "')");
        const std::string todo = std::string("INSERT INTO T_TODOLIST (") + C::link + ", NOTE, CHK_FLAG) VALUES ";
        execute(db, todo + "(7, '01/09/05 meeting', -1), (8, '01/09/02 other owner', 0), (9, '01/09/04 done', 0)");
        sqlite3_close(db);
    }

    std::filesystem::path original() const { return folder.path() / "notes.mdb"; }

    // The operation the sweep runs: a new object on the copy, then one call.
    template <class Call>
    static auto onCopy(Call call) {
        return [call](const std::string& connection) {
            Ref<T> object = createObject<T>();
            object->Initialize(connection);
            return call(*object);
        };
    }

    // What the complete run leaves, made on a copy of its own.
    template <class Call>
    DatabaseDump completeRun(Call call) {
        TemporaryFolder scratch("lumo_note_complete");
        const auto copy = scratch.path() / "notes.mdb";
        copyDatabase(original(), copy);
        RecordingSink sink;
        onCopy(call)(jetConnectionString(copy));
        EXPECT_TRUE(sink.messages().empty());
        return dumpDatabase(copy);
    }

    TemporaryFolder folder{"lumo_note_sweep"};
};

using Classes = ::testing::Types<clsPidAccess, clsIidAccess>;
TYPED_TEST_SUITE(NoteSweep, Classes);

// Codes of one failed run: a failure in Initialize's open is reported by
// Initialize, and the call on the unopened connection then reports too.
template <class C, class Result>
Codes expectedCodes(const SweepStep<Result>& s, const char* code) {
    if (s.failedCall == db::FaultStep::Open) return Codes{C::initializeCode, code};
    return Codes{code};
}

TYPED_TEST(NoteSweep, UpdateNote) {
    using C = typename TestFixture::C;
    const auto call = [](TypeParam& o) { return C::updateNote(o, 7, kNewNote); };
    const DatabaseDump before = dumpDatabase(this->original());
    const DatabaseDump complete = this->completeRun(call);
    const auto& todoBefore = before.tables.at("T_TODOLIST");
    const auto& todoComplete = complete.tables.at("T_TODOLIST");
    ASSERT_NE(todoBefore, todoComplete) << "the complete run records entries";

    std::size_t kept = 0;  // rows of the complete run present after the previous failure
    const std::uint64_t points = sweepFailures(
        this->original(), TestFixture::onCopy(call), [&](const SweepStep<bool>& s) {
            SCOPED_TRACE("failure at step " + std::to_string(s.step));
            EXPECT_EQ(s.escaped, "");
            EXPECT_TRUE(s.result) << "the person class returns Empty";
            EXPECT_EQ(integrityCheck(s.database), "ok");
            const DatabaseDump after = s.dump();
            if (!s.fired) {
                EXPECT_TRUE(s.reports.empty());
                EXPECT_EQ(describeDifference(complete, after), "");
                return;
            }
            EXPECT_EQ(s.reportCodes(), expectedCodes<C>(s, C::updateCode));
            // Only the note and the ToDo rows change, each row to what the
            // complete run makes of it; what an earlier failure kept stays.
            for (const auto& [table, rows] : after.tables) {
                if (table != "T_TODOLIST" && table != C::table) {
                    EXPECT_EQ(rows, before.tables.at(table)) << table;
                }
            }
            const auto& todo = after.tables.at("T_TODOLIST");
            std::size_t fromComplete = 0;
            for (const std::string& row : todo) {
                const bool old = std::find(todoBefore.begin(), todoBefore.end(), row) != todoBefore.end();
                const bool made = std::find(todoComplete.begin(), todoComplete.end(), row) != todoComplete.end();
                EXPECT_TRUE(old || made) << row;
                if (made && !old) ++fromComplete;
            }
            EXPECT_GE(fromComplete, kept);
            kept = fromComplete;
            if (after.tables.at(C::table) == before.tables.at(C::table)) {
                EXPECT_EQ(todo, todoBefore) << "no ToDo row before the note is stored";
            }
        });
    EXPECT_GT(points, 3u);
    EXPECT_EQ(kept, todoComplete.size() - todoBefore.size() - 1) << "the last failure keeps all rows but the last";
}

TYPED_TEST(NoteSweep, DeleteToDo) {
    using C = typename TestFixture::C;
    const auto call = [](TypeParam& o) { o.DeleteToDo(); };
    const DatabaseDump before = dumpDatabase(this->original());
    const DatabaseDump complete = this->completeRun(call);
    const std::uint64_t points = sweepFailures(
        this->original(), TestFixture::onCopy(call), [&](const SweepStep<std::monostate>& s) {
            SCOPED_TRACE("failure at step " + std::to_string(s.step));
            EXPECT_EQ(s.escaped, "");
            EXPECT_EQ(integrityCheck(s.database), "ok");
            if (!s.fired) {
                EXPECT_TRUE(s.reports.empty());
                EXPECT_EQ(describeDifference(complete, s.dump()), "");
                return;
            }
            EXPECT_EQ(s.reportCodes(), expectedCodes<C>(s, C::deleteCode));
            EXPECT_EQ(describeDifference(before, s.dump()), "") << "one statement: all rows or none";
        });
    EXPECT_EQ(points, 2u) << "the open and the statement";
}

}  // namespace
}  // namespace lumo::test
