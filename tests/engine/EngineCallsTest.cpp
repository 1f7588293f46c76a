// SQLite calls that fail or answer oddly where the fault-injection switch
// cannot reach: this program defines the SQLite functions below itself,
// so the engine's calls land here first (the executable's symbols come
// before the shared library's), and a test makes the next matching call
// fail. Everything else goes on to SQLite (whose own calls of these
// functions come here too).
#include <dlfcn.h>
#include <sqlite3.h>

#include <cstring>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/Error.h"
#include "engine/ProgramSettings.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

// The call to disturb next; one at a time, the test's own thread.
struct Disturbance {
    std::string functionName;  // sqlite3_create_function_v2 of this name fails
    std::string preparedText;  // sqlite3_prepare_v2 of a text that starts so fails
    std::string nullTextOf;    // sqlite3_column_text of this statement's rows is null
    int hits = 0;
};
Disturbance g_next;

template <class F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int sqlite3_create_function_v2(sqlite3* db, const char* name, int args, int flags, void* app,
                               void (*func)(sqlite3_context*, int, sqlite3_value**),
                               void (*step)(sqlite3_context*, int, sqlite3_value**), void (*final)(sqlite3_context*),
                               void (*destroy)(void*)) {
    static const auto next = real<decltype(&sqlite3_create_function_v2)>("sqlite3_create_function_v2");
    if (!g_next.functionName.empty() && g_next.functionName == name) {
        ++g_next.hits;
        return SQLITE_NOMEM;
    }
    return next(db, name, args, flags, app, func, step, final, destroy);
}

int sqlite3_prepare_v2(sqlite3* db, const char* sql, int bytes, sqlite3_stmt** out, const char** tail) {
    static const auto next = real<decltype(&sqlite3_prepare_v2)>("sqlite3_prepare_v2");
    if (!g_next.preparedText.empty() && std::string_view(sql).starts_with(g_next.preparedText)) {
        g_next.preparedText.clear();  // once: the next lookup succeeds
        ++g_next.hits;
        *out = nullptr;
        return SQLITE_BUSY;
    }
    return next(db, sql, bytes, out, tail);
}

const unsigned char* sqlite3_column_text(sqlite3_stmt* st, int column) {
    static const auto next = real<decltype(&sqlite3_column_text)>("sqlite3_column_text");
    const char* sql = sqlite3_sql(st);  // null for some of SQLite's own statements
    if (!g_next.nullTextOf.empty() && sql && g_next.nullTextOf == sql) {
        ++g_next.hits;
        return nullptr;
    }
    return next(st, column);
}

}  // extern "C"

namespace {

class EngineCalls : public ::testing::Test {
protected:
    void TearDown() override { g_next = {}; }
    TestDatabase db{kEngineTables, TestDatabase::Journal::Wal};
};

TEST_F(EngineCalls, AFunctionThatCannotBeRegisteredFailsTheOpen) {
    g_next.functionName = "lumo_concat";
    Connection cn;
    try {
        cn.Open(db.connectionString());
        ADD_FAILURE() << "opened without its functions";
    } catch (const lumo::Error& e) {
        EXPECT_NE(std::string(e.what()).find("out of memory"), std::string::npos) << e.what();
    }
    EXPECT_EQ(g_next.hits, 1);
    EXPECT_FALSE(cn.IsOpen());
}

TEST_F(EngineCalls, AJournalModeReadAsNullOpensAsARollbackJournal) {
    g_next.nullTextOf = "PRAGMA journal_mode";
    Connection cn;
    cn.Open(db.connectionString());
    EXPECT_EQ(g_next.hits, 1);
    g_next = {};
    Recordset rs;
    rs.Open("SELECT LASTNAME & '様' AS N FROM T_PERSON WHERE PERSON_ID = 1", cn, adOpenStatic, adLockReadOnly, adCmdText);
    EXPECT_EQ(rs.Fields("N").Value().toString(), "山田様");
}

// A table lookup that failed once (a busy file) is asked again, not
// remembered as "no such table", which would leave every later recordset
// over the table read-only.
TEST_F(EngineCalls, AFailedTableLookupIsNotRemembered) {
    Connection cn;
    cn.Open(db.connectionString());
    g_next.preparedText = "SELECT 1 FROM sqlite_schema";
    {
        Recordset rs;
        EXPECT_THROW(rs.Open("T_GROUPING", cn, adOpenKeyset, adLockOptimistic, adCmdTable), lumo::Error);
    }
    EXPECT_EQ(g_next.hits, 1);
    Recordset rs;
    rs.Open("T_GROUPING", cn, adOpenKeyset, adLockOptimistic, adCmdTable);
    rs.AddNew();
    rs.Fields("LABEL") = "家族";
    rs.Update();
    EXPECT_GT(rs.Fields("TYPE_ID").Value().toLong(), 2);
}

// SQLite's settings belong to the whole process, which may be a host
// program that reads SQLite's memory statistics itself.
TEST_F(EngineCalls, OpeningLeavesSqlitesProcessSettingsAlone) {
    ASSERT_EQ(sqlite3_shutdown(), SQLITE_OK);  // as if the engine were SQLite's first user
    Connection cn;
    cn.Open(db.connectionString());
    cn.Execute("SELECT * FROM T_PERSON");
    EXPECT_GT(sqlite3_memory_used(), 0);
}

// The programs' own setting stops SQLite's counting only when made before
// SQLite is in use; made later it must change nothing, not half of it.
TEST_F(EngineCalls, ProgramSettingsApplyOnlyBeforeSqliteIsInUse) {
    struct Case {
        const char* when;
        bool sqliteInUse;
    };
    for (const Case c : {Case{"first thing", false}, Case{"after SQLite started", true}}) {
        SCOPED_TRACE(c.when);
        ASSERT_EQ(sqlite3_shutdown(), SQLITE_OK);
        ASSERT_EQ(sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 1), SQLITE_OK);
        if (c.sqliteInUse) {
            ASSERT_EQ(sqlite3_initialize(), SQLITE_OK);
        }
        EXPECT_EQ(configureSqliteForProgram(), !c.sqliteInUse);
        const sqlite3_int64 before = sqlite3_memory_used();
        Connection cn;
        cn.Open(db.connectionString());
        cn.Execute("SELECT * FROM T_PERSON");
        if (c.sqliteInUse) {
            EXPECT_GT(sqlite3_memory_used(), before);
        } else {
            EXPECT_EQ(sqlite3_memory_used(), before);
        }
        // The engine works the same either way: the three persons of the
        // test tables, and Jet's '&' (one of the engine's own functions).
        Recordset rs;
        rs.Open("SELECT count(*) AS N, MIN(LASTNAME & '様') AS M FROM T_PERSON", cn, adOpenForwardOnly,
                adLockReadOnly, adCmdText);
        EXPECT_EQ(rs.Fields("N").Value().toLong(), 3);
        EXPECT_EQ(rs.Fields("M").Value().toString(), "O'Brien様");
    }
    // The other tests run with SQLite's defaults.
    ASSERT_EQ(sqlite3_shutdown(), SQLITE_OK);
    ASSERT_EQ(sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 1), SQLITE_OK);
}

}  // namespace
