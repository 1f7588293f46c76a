// What lumo export and lumo init leave when a write fails, when two runs
// race for one file, and when they are interrupted: the destination is
// either the previous file or a complete new one, nothing half-written or
// temporary stays, and the exit status and messages say what happened.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"
#include "tests/support/DatabaseState.h"
#include "tests/tools/ToolsTestSupport.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

std::string lumo() { return buildProgram("lumo").string(); }

// Names in `folder` that look like a staged file's temporary name.
std::vector<std::string> temporaries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().find(".tmp-") != std::string::npos) names.push_back(e.path().filename());
    return names;
}

// Waits until a temporary file shows up in `folder` (the run is writing).
bool waitForTemporary(const fs::path& folder, const ChildProcess& child) {
    for (int i = 0; i < 3000; ++i) {
        if (fs::exists(folder) && !temporaries(folder).empty()) return true;
        if (::kill(child.pid(), 0) != 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// One folder of 3,000 synthetic persons for all the export cases.
class SafeExportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new ScratchFolder;
        const ChildExit made = runProgram({lumo(), "init", "--persons", "3000", folder_->path().string()});
        ASSERT_EQ(made.status, 0) << made.err;
        const ChildExit full = runProgram({lumo(), "export", "person", "--out", complete().string(), folder_->path().string()});
        ASSERT_EQ(full.status, 0) << full.err;
    }
    static void TearDownTestSuite() { delete folder_; }
    static fs::path dir() { return folder_->path(); }
    static fs::path complete() { return folder_->path() / "complete.csv"; }
    fs::path out(const std::string& name) const { return scratch.path() / name; }

    static ScratchFolder* folder_;
    ScratchFolder scratch;
};
ScratchFolder* SafeExportTest::folder_ = nullptr;

TEST_F(SafeExportTest, FileSizeLimitGivesOneReportAndKeepsThePreviousFile) {
    const fs::path target = out("p.csv");
    std::ofstream(target) << "old";
    const ChildExit run = runProgram({lumo(), "export", "person", "--force", "--out", target.string(), dir().string()},
                                     {.fileSizeLimit = 64 * 1024});
    EXPECT_EQ(run.status, 1) << "not killed by SIGXFSZ; stderr: " << run.err;
    EXPECT_EQ(occurrences(run.err, "ファイルに書き込めません"), 1u) << run.err;
    EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("失敗しました"), std::string::npos);
    EXPECT_EQ(run.out.find("書き出しました"), std::string::npos) << "no success line: " << run.out;
    EXPECT_EQ(readFile(target), "old");
    EXPECT_TRUE(temporaries(scratch.path()).empty());
}

TEST_F(SafeExportTest, TwoRunsToOneNewFileWithoutForceOneWins) {
    const fs::path target = out("race.csv");
    const std::vector<std::string> args{lumo(), "export", "person", "--out", target.string(), dir().string()};
    ChildProcess first(args), second(args);
    const ChildExit a = first.wait(), b = second.wait();
    EXPECT_EQ((a.status == 0) + (b.status == 0), 1) << a.err << b.err;
    const ChildExit& loser = a.status == 0 ? b : a;
    EXPECT_EQ(loser.status, 1);
    EXPECT_NE(loser.err.find("既に存在します"), std::string::npos) << loser.err;
    EXPECT_EQ(readFile(target), readFile(complete())) << "the winner's whole file, not a mix";
    EXPECT_TRUE(temporaries(scratch.path()).empty());
}

TEST_F(SafeExportTest, InterruptedRunsKeepOrRemoveTheirLinesAndSaySo) {
    const struct {
        int signal;
        int status;
        bool keepsLines;
    } cases[] = {{SIGINT, 130, true}, {SIGTERM, 128 + SIGTERM, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.signal);
        const fs::path target = out("stop" + std::to_string(c.signal) + ".csv");
        ChildProcess child({lumo(), "export", "person", "--out", target.string(), dir().string()});
        ASSERT_TRUE(waitForTemporary(scratch.path(), child)) << "the run never started writing";
        child.signal(c.signal);
        const ChildExit run = child.wait();
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(temporaries(scratch.path()).empty());
        if (!c.keepsLines) {
            EXPECT_FALSE(fs::exists(target));
            continue;
        }
        EXPECT_NE(run.out.find("中止しました"), std::string::npos) << run.out;
        const std::string file = readFile(target);
        const std::string whole = readFile(complete());
        ASSERT_GT(file.size(), 2u);
        EXPECT_EQ(file.substr(file.size() - 2), "\r\n") << "whole lines only";
        EXPECT_EQ(whole.compare(0, file.size(), file), 0) << "the first lines of the complete export";
        EXPECT_LT(file.size(), whole.size());
    }
}

// Ctrl-C during --force over a complete file: the partial run never
// replaces it, and the run says so.
TEST_F(SafeExportTest, AnInterruptedRunKeepsTheExistingFileItWouldReplace) {
    const fs::path target = out("existing.csv");
    std::ofstream(target, std::ios::binary) << "old,complete\r\n";
    ChildProcess child({lumo(), "export", "person", "--force", "--out", target.string(), dir().string()});
    ASSERT_TRUE(waitForTemporary(scratch.path(), child)) << "the run never started writing";
    child.signal(SIGINT);
    const ChildExit run = child.wait();
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_EQ(readFile(target), "old,complete\r\n");
    EXPECT_NE(run.out.find("中止しました (Ctrl-C): 既存のファイル " + target.string() + " はそのまま残しています"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("を書き出しました"), std::string::npos) << run.out;
    EXPECT_TRUE(temporaries(scratch.path()).empty());
}

TEST(SafeExportReports, AFailureOfEveryRecordIsPrintedOnceWithACount) {
    ScratchFolder folder;
    ASSERT_EQ(runProgram({lumo(), "init", "--persons", "5", folder.path().string()}).status, 0);
    Db(folder.data("LumoBase.mdb")).exec("DROP TABLE T_CHILDREN");
    const ChildExit run = runProgram({lumo(), "export", "person", folder.path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(occurrences(run.err, "CLS-pida1040"), 2u) << "the report once, and once in the count line: " << run.err;
    EXPECT_NE(run.err.find("lumo export: CLS-pida1040: "), std::string::npos) << "code and description on one line: " << run.err;
    EXPECT_NE(run.err.find("lumo export: 同じ報告 (CLS-pida1040: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(") が 5 回ありました"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("失敗しました"), std::string::npos) << "a 'written' line above status 1 says the run failed";
    EXPECT_NE(run.out.find("読めなかったレコード 5 件は空の行です"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("読めなかったレコード 5 件を空の行として書き出しています"), std::string::npos) << run.err;
}

TEST(SafeInit, InterruptedInitRemovesItsTemporaryFiles) {
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        ScratchFolder folder;
        ChildProcess child({lumo(), "init", "--persons", "300000", folder.path().string()});
        ASSERT_TRUE(waitForTemporary(folder.path() / "Data", child));
        child.signal(signal);
        EXPECT_EQ(child.wait().status, 128 + signal);
        EXPECT_EQ(temporaries(folder.path() / "Data"), std::vector<std::string>{});
    }
}

TEST(SafeInit, NextInitRemovesLeftoversOfRunsThatAreGone) {
    ScratchFolder folder;
    fs::create_directories(folder.path() / "Data");
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const fs::path stale = folder.data(".LumoBase.mdb.tmp-" + std::to_string(gone) + "-0");
    const fs::path live = folder.data(".LumoBase.mdb.tmp-" + std::to_string(::getpid()) + "-0");
    std::ofstream(stale) << "half a database";
    std::ofstream(live) << "another run's file";
    const ChildExit run = runProgram({lumo(), "init", folder.path().string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live)) << "a running process's file stays";
    EXPECT_EQ(integrityCheck(folder.data("LumoBase.mdb")), "ok");
}

}  // namespace
}  // namespace lumo::test
