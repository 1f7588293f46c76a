// A connection that read once and then sits idle holds no read
// transaction for long: another program's writes are checkpointed and the
// -wal file goes back to a small size, however much was written meanwhile.
// Reads close together share one read transaction, which the process's idle
// timer ends once the connection has stopped reading.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ConnectionImpl.h"
#include "platform/Error.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

// Another program: writes 10,000 rows in 100 transactions, then asks for a
// checkpoint that empties the -wal file, again and again while a reader
// holds it up, for at most `patience` (far longer than the idle time: the
// machine may be slow). Returns whether the checkpoint was held up to the
// end.
bool writeManyRowsAndCheckpoint(const std::string& path,
                                std::chrono::milliseconds patience = 50 * ReadSnapshot::kIdle) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 0);
    EXPECT_EQ(sqlite3_exec(db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr), SQLITE_OK);
    for (int t = 0; t < 100; ++t) {
        const std::string sql = "BEGIN; WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 100) "
                                "INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, TYPE) SELECT 7, printf('%080d', k), 'WORK' "
                                "FROM n; COMMIT;";
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    }
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    int rc = SQLITE_BUSY;
    while (true) {
        int log = 0, checkpointed = 0;
        rc = sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &log, &checkpointed);
        if (rc != SQLITE_BUSY || std::chrono::steady_clock::now() > giveUp) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    sqlite3_close(db);
    return rc == SQLITE_BUSY;
}

int64_t phonesOfPerson7(Connection& cn) {
    Recordset count;
    count.Open("SELECT COUNT(*) FROM T_PHONE WHERE PERSON_ID = 7", cn, adOpenStatic, adLockReadOnly, adCmdText);
    return count.Fields(0).Value().toLong();
}

// Whether the connection holds a read transaction now, asked under its
// lock (the idle timer may be ending it on its own thread).
bool holdsReadTransaction(const Connection& cn) {
    const auto hold = implOf(cn).lockHandle();
    return sqlite3_get_autocommit(implOf(cn).db.get()) == 0;
}

// Waits, far longer than the idle time, for the idle timer to end the
// connection's read transaction; false if it never does.
bool endsItsReadTransaction(const Connection& cn) {
    const auto giveUp = std::chrono::steady_clock::now() + 50 * ReadSnapshot::kIdle;
    while (holdsReadTransaction(cn) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !holdsReadTransaction(cn);
}

// Reads once; what it returns stays open while the other program writes.
struct ReadOnce {
    const char* name;
    std::function<std::unique_ptr<Recordset>(Connection&)> read;
};

// The process's signals never land on the idle timer's thread: a
// program's handler that removes its staged files on SIGTERM runs on the
// thread that holds the signal back while a file is being registered, so a
// signal in that moment waits instead of leaving the file behind.
TEST(IdleSnapshot, TheTimersThreadTakesNoSignals) {
    TestDatabase db{kEngineTables, TestDatabase::Journal::Wal};
    Connection cn;
    cn.Open(db.connectionString());
    phonesOfPerson7(cn);  // the first read starts the timer
    const auto field = [](const std::filesystem::path& file, std::string_view name) {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(name, 0) == 0) return line.substr(name.size());
        return std::string();
    };
    int timers = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string name;
        std::ifstream(task.path() / "comm") >> name;
        if (name != "lumo-idle") continue;
        ++timers;
        const std::uint64_t blocked = std::stoull(field(task.path() / "status", "SigBlk:"), nullptr, 16);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGPIPE}) {
            SCOPED_TRACE(signal);
            EXPECT_NE(blocked & (std::uint64_t{1} << (signal - 1)), 0u);
        }
    }
    EXPECT_EQ(timers, 1);
}

TEST(IdleSnapshot, AReaderThatReadOnceDoesNotHoldBackCheckpoints) {
    const ReadOnce ways[] = {
        {"recordset closed",
         [](Connection& cn) {
             Recordset rs;
             rs.Open("SELECT * FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText);
             rs.Close();
             return nullptr;
         }},
        {"recordset destroyed",
         [](Connection& cn) {
             Recordset rs;
             rs.Open("SELECT COUNT(*) FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText);
             EXPECT_EQ(rs.Fields(0).Value().toLong(), 3);
             return nullptr;
         }},
        {"two recordsets, closed in the order opened",
         [](Connection& cn) {
             auto first = std::make_unique<Recordset>();
             first->Open("SELECT * FROM T_PERSON", cn, adOpenStatic, adLockReadOnly, adCmdText);
             Recordset second;
             second.Open("SELECT * FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText);
             first.reset();
             return nullptr;
         }},
        {"table opened whole and navigated",
         [](Connection& cn) {
             Recordset rs;
             rs.Open("T_PHONE", cn, adOpenKeyset, adLockOptimistic, adCmdTable);
             rs.MoveLast();
             return nullptr;
         }},
        {"a recordset left open",
         [](Connection& cn) {
             auto rs = std::make_unique<Recordset>();
             rs->Open("SELECT * FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText);
             return rs;
         }},
        {"a statement that returns rows, run through Execute",
         [](Connection& cn) {
             cn.Execute("SELECT * FROM T_PHONE");
             return nullptr;
         }},
        {"a recordset that could not open",
         [](Connection& cn) {
             Recordset rs;
             EXPECT_THROW(rs.Open("SELECT NO_SUCH_COLUMN FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText),
                          lumo::Error);
             return nullptr;
         }},
    };
    for (const ReadOnce& way : ways) {
        SCOPED_TRACE(way.name);
        TestDatabase db{kEngineTables, TestDatabase::Journal::Wal};
        Connection reader;
        reader.Open(db.connectionString());
        const std::unique_ptr<Recordset> kept = way.read(reader);
        EXPECT_FALSE(writeManyRowsAndCheckpoint(db.path()));
        std::error_code ec;
        EXPECT_LT(std::filesystem::file_size(db.path() + "-wal", ec), 64u * 1024) << "the -wal file stayed large";

        // The reader still sees what was written.
        EXPECT_EQ(phonesOfPerson7(reader), 10000);
    }
}

// Reads close together share one read transaction: each read leaves it
// open (unless the idle time has passed since, on a slow machine), a write
// ends it, and the idle timer ends it once the reads stop.
TEST(IdleSnapshot, ReadsCloseTogetherShareOneReadTransaction) {
    TestDatabase db{kEngineTables, TestDatabase::Journal::Wal};
    Connection cn;
    cn.Open(db.connectionString());
    const std::function<void()> reads[] = {
        [&] { phonesOfPerson7(cn); },
        [&] { cn.Execute("SELECT * FROM T_PHONE"); },
        [&] {
            Recordset rs;
            rs.Open("T_PHONE", cn, adOpenKeyset, adLockOptimistic, adCmdTable);
            rs.MoveLast();
        },
    };
    for (const auto& read : reads) {
        const auto before = std::chrono::steady_clock::now();
        read();
        const bool open = holdsReadTransaction(cn);
        EXPECT_TRUE(open || std::chrono::steady_clock::now() - before >= ReadSnapshot::kIdle);
        cn.Execute("UPDATE T_PHONE SET TYPE = 'HOME' WHERE PERSON_ID = 0");
        EXPECT_FALSE(holdsReadTransaction(cn)) << "a write ends the read transaction";
    }
    phonesOfPerson7(cn);
    EXPECT_TRUE(endsItsReadTransaction(cn)) << "the idle timer left the read transaction open";
}

// Connections on several threads read with pauses shorter and longer than
// the idle time, so that the idle timer ends their read transactions while
// they come and go; some connections end while the timer watches them.
// Every read sees the rows written before it. Under the ThreadSanitizer
// build this also shows any use of a handle by two threads at once.
TEST(IdleSnapshot, TheIdleTimerAndTheConnectionsThreadsTakeTurns) {
    TestDatabase db{kEngineTables, TestDatabase::Journal::Wal};
    constexpr int kThreads = 3;
    constexpr int kRounds = 8;
    std::vector<int> wrong(kThreads, 0);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                auto cn = std::make_unique<Connection>();
                cn->Open(db.connectionString());
                for (int round = 0; round < kRounds; ++round) {
                    cn->Execute("INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, TYPE) VALUES (" + std::to_string(100 + t) +
                                ", '0', 'HOME')");
                    Recordset rs;
                    rs.Open("SELECT COUNT(*) FROM T_PHONE WHERE PERSON_ID = " + std::to_string(100 + t), *cn,
                            adOpenStatic, adLockReadOnly, adCmdText);
                    if (rs.Fields(0).Value().toLong() != round + 1) ++wrong[static_cast<std::size_t>(t)];
                    const auto pause = ReadSnapshot::kIdle * ((round + t) % 3) / 2;  // 0, half, one and a half
                    std::this_thread::sleep_for(pause);
                    if (round % 3 == 2) {  // a connection gone while the timer may still watch it
                        rs.Close();
                        cn = std::make_unique<Connection>();
                        cn->Open(db.connectionString());
                    }
                }
            });
    }
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(wrong[static_cast<std::size_t>(t)], 0) << "thread " << t;
    EXPECT_FALSE(writeManyRowsAndCheckpoint(db.path()));
}

// A child made by fork() while the parent's timer runs (waiting, with
// nothing to watch) has a timer of its own: its idle reader does not hold
// back checkpoints either. (SQLite's connections do not cross fork(): one
// still reading in the parent would hold back the child's checkpoint, hence
// the wait.)
TEST(IdleSnapshot, AForkedChildHasItsOwnIdleTimer) {
    TestDatabase db{kEngineTables, TestDatabase::Journal::Wal};
    Connection parent;
    parent.Open(db.connectionString());
    EXPECT_EQ(phonesOfPerson7(parent), 0);
    ASSERT_TRUE(endsItsReadTransaction(parent));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool fine = false;
        {
            Connection reader;
            reader.Open(db.connectionString());
            fine = phonesOfPerson7(reader) == 0 && !writeManyRowsAndCheckpoint(db.path());
        }
        ::_exit(fine ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child's idle reader held back its checkpoint";
    EXPECT_EQ(phonesOfPerson7(parent), 10000);
}

}  // namespace
