// Kills a child that writes through the engine and the library at random
// moments (fixed seed), 100 times, then checks the databases: every write
// the child reported committed is there, nothing is half there, and
// SQLite's integrity check is ok. Then the same for lumo export, which
// must leave the database as it was and no partial export file.
#include <signal.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "tests/crash/CrashOperations.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/DatabaseState.h"
#include "tools/init/InitCommand.h"

namespace lumo::test::crash {
namespace {

namespace fs = std::filesystem;

void makeDatabases(const fs::path& folder, std::int64_t persons) {
    tools::InitOptions options;
    options.folder = folder;
    options.sample = true;
    options.persons = persons;
    tools::createDatabases(options);
}

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void expectIntact(const fs::path& folder) {
    for (const fs::path& file : {personFile(folder), itemFile(folder), scrapFile(folder)})
        EXPECT_EQ(integrityCheck(file), "ok") << file;
}

TEST(CrashTest, KilledWriterLosesNoCommittedWriteAndLeavesNoneHalfDone) {
    constexpr int kKills = 100;
    TemporaryFolder folder("lumo_crash");
    makeDatabases(folder.path(), 0);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delayMs(0, 40);
    std::map<std::string, std::set<int>> committed;
    int killed = 0, reported = 0;
    for (int run = 0; run < kKills; ++run) {
        ChildProcess writer({buildProgram("lumo_crash_writer").string(), folder.path().string(), std::to_string(run)});
        // The random moment is counted from the first committed write, so
        // that kills land among the writes rather than in the start-up.
        for (int i = 0; i < 2000 && writer.outputSoFar().empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        writer.signal(SIGKILL);
        const ChildExit exit = writer.wait();
        killed += exit.status == 128 + SIGKILL;
        ASSERT_TRUE(exit.status == 128 + SIGKILL) << "the writer stopped on its own: " << exit.status << "\n" << exit.err;
        std::istringstream lines(exit.out);
        std::string name;
        int n = 0;
        while (lines >> name >> n) {
            committed[name].insert(n);
            ++reported;
        }
    }
    EXPECT_EQ(killed, kKills);
    EXPECT_GT(reported, kKills) << "the writer got to write between the kills";
    expectIntact(folder.path());
    for (const CrashOperation& op : crashOperations()) {
        SCOPED_TRACE(std::string(op.name));
        EXPECT_FALSE(committed[std::string(op.name)].empty()) << "never committed before a kill";
        EXPECT_EQ(op.check(folder.path(), committed[std::string(op.name)]), "");
    }
    std::cout << "[ crash    ] " << killed << " kills, " << reported << " committed writes checked\n";
}

TEST(CrashTest, KilledExportLeavesTheDatabaseAndNoPartialFile) {
    constexpr int kKills = 20;
    TemporaryFolder folder("lumo_crash_export");
    makeDatabases(folder.path(), 3000);
    const DatabaseDump before = dumpDatabase(personFile(folder.path()));
    const fs::path target = folder.path() / "person.csv";
    const std::vector<std::string> args{buildProgram("lumo").string(), "export", "person", folder.path().string()};
    // The whole file, as a run that is not killed writes it.
    ASSERT_EQ(runProgram(args).status, 0);
    const std::string whole = contentsOf(target);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> delayMs(0, 120);
    int completed = 0;
    for (int run = 0; run < kKills; ++run) {
        fs::remove(target);
        ChildProcess child(args);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        child.signal(SIGKILL);
        const int status = child.wait().status;
        if (status == 0) {
            ++completed;
        } else if (fs::exists(target)) {
            // A kill that lands after the file took its name (and before
            // the program ended) leaves it whole; any other leaves none.
            EXPECT_EQ(contentsOf(target), whole) << "a killed export leaves no partial file under the destination's name";
        }
    }
    EXPECT_LT(completed, kKills) << "no run was killed mid-way";
    EXPECT_EQ(describeDifference(before, dumpDatabase(personFile(folder.path()))), "");
    expectIntact(folder.path());
    // The next run removes what the killed ones left and writes the file whole.
    fs::remove(target);
    const ChildExit last = runProgram(args);
    EXPECT_EQ(last.status, 0) << last.err;
    for (const auto& e : fs::directory_iterator(folder.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
}

}  // namespace
}  // namespace lumo::test::crash
