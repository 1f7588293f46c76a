// What opening a file says about it (missing, unreadable, empty, damaged,
// foreign, Jet), and files that may only be read: on a folder the user
// cannot write, in both journal modes, reads work and writes say why not.
#include "engine/DatabaseFile.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/ConnectionString.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::kEngineTables;
using lumo::test::TestDatabase;
namespace fs = std::filesystem;

namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// What happens to a statement, as text: its first value, or the failure.
std::string attempt(const std::string& path, const std::function<std::string(Connection&)>& work) {
    try {
        Connection cn;
        cn.Open(jetConnectionString(path));
        return work(cn);
    } catch (const lumo::Error& e) {
        return std::string("failed: ") + e.what();
    }
}

std::string firstValue(Connection& cn, const std::string& sql) {
    Recordset rs;
    rs.Open(sql, cn, adOpenStatic, adLockReadOnly, adCmdText);
    return rs.Fields(0).Value().toString();
}

// Runs `work` as a user that owns none of the test's files: as root in a
// child process that drops to nobody (root may write anything), otherwise
// directly. The texts it returns come back to the test.
std::vector<std::string> asAnotherUser(const std::function<std::vector<std::string>()>& work) {
    if (::geteuid() != 0) return work();
    int fds[2];
    if (::pipe(fds) != 0) return {"pipe failed"};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        std::string out;
        if (::setgid(65534) == 0 && ::setuid(65534) == 0)
            for (const std::string& line : work()) out += line + '\n';
        else
            out = "could not become nobody\n";
        [[maybe_unused]] const auto written = ::write(fds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string all;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) all.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = all.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(all.substr(at, end - at));
    return lines;
}

// Runs `work` in a child process whose files cannot grow, and brings its
// texts back. RLIMIT_FSIZE of 0 fails every write that would need a new
// block (EFBIG, SIGXFSZ ignored) while files can still be made, which is
// what a full disk with inodes left does (ENOSPC): SQLite meets the same
// failed write where it grows the log's shared memory, and the empty -wal
// and -shm it made stay behind. Root cannot beat the limit, unlike a
// folder's permissions, and it needs no mount.
std::vector<std::string> onAFullDisk(const std::function<std::vector<std::string>()>& work) {
    int fds[2];
    if (::pipe(fds) != 0) return {"pipe failed"};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        std::string out;
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, 0};
        if (::setrlimit(RLIMIT_FSIZE, &none) == 0)
            for (const std::string& line : work()) out += line + '\n';
        else
            out = "could not limit the file size\n";
        [[maybe_unused]] const auto written = ::write(fds[1], out.data(), out.size());  // a pipe is not limited
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string all;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) all.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = all.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(all.substr(at, end - at));
    return lines;
}

class ScratchFolder {
public:
    ScratchFolder() : path_(fs::temp_directory_path() / ("lumo_files_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
        fs::permissions(path_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
    }
    ~ScratchFolder() {
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& path() const { return path_; }

private:
    static inline int counter_ = 0;
    fs::path path_;
};

std::string copyOf(const TestDatabase& db, const ScratchFolder& folder, const std::string& name) {
    const fs::path target = folder / name;
    fs::copy_file(db.path(), target);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    return target.string();
}

TEST(DatabaseFile, EachCauseHasItsOwnDescription) {
    ScratchFolder folder;
    TestDatabase db(kEngineTables);
    {
        // Enough rows that the table lies beyond the first pages.
        Connection cn;
        cn.Open(db.connectionString());
        for (int i = 0; i < 300; ++i)
            cn.Execute("INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (1, '" + std::string(200, 'x') + "')");
    }
    const std::string good = copyOf(db, folder, "good.mdb");
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream((folder / name).string(), std::ios::binary) << bytes;
        return (folder / name).string();
    };
    std::string whole;
    {
        std::ifstream in(good, std::ios::binary);
        whole.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::string scrambled = whole;
    for (std::size_t i = 4096 * 2; i < scrambled.size(); ++i) scrambled[i] = static_cast<char>(i * 7);
    fs::create_directories(folder / "dir.mdb");

    const auto count = [](Connection& cn) { return firstValue(cn, "SELECT COUNT(*) FROM T_PHONE WHERE TEL_NUMBER <> ''"); };
    struct Case {
        std::string what, path, expected;
    };
    const std::vector<Case> cases{
        {"missing", (folder / "missing.mdb").string(), "が見つかりません"},
        {"folder", (folder / "dir.mdb").string(), "はフォルダーです"},
        {"empty", write("empty.mdb", ""), "は空です"},
        {"cut in its header", write("header.mdb", whole.substr(0, 60)), "破損しています"},
        {"cut in half", write("half.mdb", whole.substr(0, whole.size() / 2)), "破損しています"},
        {"scrambled pages", write("scrambled.mdb", scrambled), "破損しています"},
        {"text", write("text.mdb", "just some text\n"), "Lumo のデータベース ファイルではありません"},
        {"Jet", write("jet.mdb", std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20) + std::string(200, '\0')),
         "Microsoft Access (Jet)"},
    };
    for (const Case& c : cases) {
        const std::string result = attempt(c.path, count);
        EXPECT_TRUE(contains(result, c.expected)) << c.what << ": " << result;
        if (c.expected == "破損しています") {
            EXPECT_FALSE(contains(result, "ではありません")) << c.what;
        }
    }
    EXPECT_EQ(attempt(good, count), "303");
}

TEST(DatabaseFile, UnwritableFilesAreReadAndWritesSayReadOnly) {
    for (const auto journal : {TestDatabase::Journal::Rollback, TestDatabase::Journal::Wal}) {
        ScratchFolder folder;
        TestDatabase db(kEngineTables, journal);
        const std::string file = copyOf(db, folder, "LumoBase.mdb");
        fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        fs::permissions(folder.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        const std::vector<std::string> seen = asAnotherUser([&] {
            return std::vector<std::string>{
                attempt(file, [](Connection& cn) { return firstValue(cn, "SELECT LASTNAME FROM T_PERSON WHERE PERSON_ID = 1"); }),
                attempt(file, [](Connection& cn) { return std::to_string(cn.Execute("DELETE FROM T_PHONE")); }),
                attempt(file, [](Connection& cn) {
                    Recordset rs;
                    rs.Open("SELECT * FROM T_PHONE", cn, adOpenKeyset, adLockOptimistic, adCmdText);
                    rs.Fields("RANK") = int16_t{9};
                    rs.Update();
                    return std::string("updated");
                }),
            };
        });
        const std::string mode = journal == TestDatabase::Journal::Wal ? "wal" : "rollback";
        ASSERT_EQ(seen.size(), 3u) << mode;
        EXPECT_EQ(seen[0], "山田") << mode;
        EXPECT_TRUE(contains(seen[1], "読み取り専用のため、変更できません")) << mode << ": " << seen[1];
        EXPECT_TRUE(contains(seen[2], "読み取り専用のため、変更できません")) << mode << ": " << seen[2];
        for (const auto& entry : fs::directory_iterator(folder.path()))
            EXPECT_EQ(entry.path().filename(), "LumoBase.mdb") << mode << ": left behind";
    }
}

TEST(DatabaseFile, AFileTheUserMayNotReadSaysSo) {
    ScratchFolder folder;
    TestDatabase db(kEngineTables);
    const std::string file = copyOf(db, folder, "LumoBase.mdb");
    fs::permissions(file, fs::perms::none);
    const std::vector<std::string> seen =
        asAnotherUser([&] { return std::vector<std::string>{attempt(file, [](Connection&) { return std::string("opened"); })}; });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(contains(seen[0], "アクセス許可がありません")) << seen[0];
}

// The files of a folder, by name.
std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// On a full disk reading works in both journal modes, also when a log left
// behind holds transactions not yet in the file, writes say read-only, and
// the folder holds afterwards what it held before.
TEST(DatabaseFile, AFullDiskIsReadAndNothingIsLeftBehind) {
    struct Case {
        const char* what;
        TestDatabase::Journal journal;
        bool logLeftBehind;  // a log with 5 more phones, as after a crash
        const char* phones;
    };
    const Case cases[] = {
        {"rollback journal", TestDatabase::Journal::Rollback, false, "3"},
        {"write-ahead log", TestDatabase::Journal::Wal, false, "3"},
        {"log left behind", TestDatabase::Journal::Wal, true, "8"},
    };
    for (const Case& c : cases) {
        ScratchFolder folder;
        TestDatabase db(kEngineTables, c.journal);
        const std::string file = (folder / "LumoBase.mdb").string();
        if (c.logLeftBehind) {
            // Copied while a connection holds the log, so the copy's log
            // has what the file lacks.
            sqlite3* raw = nullptr;
            ASSERT_EQ(sqlite3_open(db.path().c_str(), &raw), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(raw,
                                   "PRAGMA wal_autocheckpoint = 0; INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) "
                                   "VALUES (1, 'a'), (1, 'b'), (1, 'c'), (1, 'd'), (1, 'e')",
                                   nullptr, nullptr, nullptr),
                      SQLITE_OK);
            fs::copy_file(db.path(), file);
            fs::copy_file(db.path() + "-wal", file + "-wal");
            sqlite3_close(raw);
        } else {
            fs::copy_file(db.path(), file);
        }
        const std::vector<std::string> before = filesIn(folder.path());
        const std::vector<std::string> seen = onAFullDisk([&] {
            const auto count = [](Connection& cn) { return firstValue(cn, "SELECT COUNT(*) FROM T_PHONE"); };
            std::vector<std::string> out{attempt(file, count),
                                         attempt(file, [](Connection& cn) { return std::to_string(cn.Execute("DELETE FROM T_PHONE")); })};
            // Two connections at once, the second opened while the first reads.
            out.push_back(attempt(file, [&](Connection& first) {
                const std::string one = count(first);
                return one + "," + attempt(file, count);
            }));
            return out;
        });
        ASSERT_EQ(seen.size(), 3u) << c.what;
        EXPECT_EQ(seen[0], c.phones) << c.what;
        if (c.journal == TestDatabase::Journal::Wal) {
            EXPECT_TRUE(contains(seen[1], "読み取り専用のため、変更できません")) << c.what << ": " << seen[1];
        } else {
            // Rollback mode needs no fallback; the write fails on the disk.
            EXPECT_TRUE(contains(seen[1], "failed: ")) << c.what << ": " << seen[1];
        }
        EXPECT_EQ(seen[2], std::string(c.phones) + "," + c.phones) << c.what;
        EXPECT_EQ(filesIn(folder.path()), before) << c.what;
    }
}

}  // namespace
