// What lumo import refuses, and that a refused, failed or killed import
// leaves no destination file: damaged and foreign files, tables and
// columns the schema does not know, existing destinations, SIGKILL.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <streambuf>

#include "platform/Error.h"
#include "tests/import/ImportTestSupport.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string importFailure(const fs::path& source, const fs::path& destination, bool skipUnknown = false) {
    try {
        importInto(source, destination, skipUnknown);
    } catch (const Error& e) {
        return e.what();
    }
    return "(no failure)";
}

void expectNoDestination(const ScratchFolder& destination, const std::string& context) {
    for (const std::string& name : fixtureDatabases())
        EXPECT_FALSE(fs::exists(destination.data(name + ".mdb"))) << context << ": " << name;
}

void overwrite(const fs::path& file, std::size_t offset, std::size_t count) {
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(static_cast<std::streamoff>(offset));
    out << std::string(count, '\xA5');
}

TEST(ImportFailure, DamagedFilesImportNothing) {
    // Where the bytes are overwritten decides what notices: the file
    // header, the catalog page, a data page of T_PHONE (rows missing) and
    // a page of the 70,000-character note (memo cut short).
    const struct {
        std::size_t offset, count;
        const char* says;
    } cases[]{{0, 64, "not a Jet database"},
              {2 * 4096, 4096, "cannot read the catalog"},
              {55 * 4096 + 100, 64, "rows missing"},
              {300000, 4096, "damaged row"}};
    for (const auto& damage : cases) {
        SourceCopy source;
        overwrite(source.add("LumoBase.mdb", "LumoBase.mdb"), damage.offset, damage.count);
        source.add("iLumoBase.mdb", "iLumoBase.mdb");
        ScratchFolder destination;
        const std::string why = importFailure(source.folder.path(), destination.path());
        EXPECT_TRUE(contains(why, damage.says)) << damage.offset << ": " << why;
        expectNoDestination(destination, why);
    }
}

TEST(ImportFailure, FilesThatAreNoJetDatabaseAreRefused) {
    ScratchFolder made;  // one of our own databases is not a Jet file either
    ASSERT_EQ(runLumo({"init", made.path().string()}).exitCode, 0);
    for (const std::string& content : {std::string("name,phone\r\nO'Brien,+353\r\n"), std::string(), readFile(made.data("LumoBase.mdb"))}) {
        SourceCopy source;
        fs::create_directories(source.folder.path() / "Data");
        std::ofstream(source.folder.data("LumoBase.mdb"), std::ios::binary) << content;
        ScratchFolder destination;
        const std::string why = importFailure(source.folder.path(), destination.path());
        EXPECT_TRUE(contains(why, "not a Jet database")) << why;
        EXPECT_FALSE(fs::exists(destination.path() / "Data")) << why;
    }
}

TEST(ImportFailure, UnknownTablesAndColumnsStopTheImportUnlessSkipped) {
    // The goods ledger under the address book's name: its tables are
    // unknown there, and its T_TODOLIST has SHEET_ID where ours has PERSON_ID.
    SourceCopy source;
    source.add("iLumoBase.mdb", "LumoBase.mdb");
    ScratchFolder destination;
    const std::string why = importFailure(source.folder.path(), destination.path());
    for (const char* name : {"LumoBase.mdb: T_ITEMS", "LumoBase.mdb: T_SHEET", "LumoBase.mdb: T_TODOLIST.SHEET_ID"})
        EXPECT_TRUE(contains(why, name)) << why;
    EXPECT_TRUE(contains(why, "nothing was written")) << why;
    EXPECT_FALSE(fs::exists(destination.path() / "Data"));

    const std::vector<tools::FileResult> results = importInto(source.folder.path(), destination.path(), true);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(tools::everythingWritten(results));
    Db db(destination.data("LumoBase.mdb"));
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_TODOLIST"), 32);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_TODOLIST WHERE PERSON_ID IS NOT NULL"), 0);
    bool sheetsListed = false;
    for (const tools::TableResult& table : results[0].tables)
        if (table.table == "T_SHEET") sheetsListed = table.skipped && table.read == 79 && table.written == 0;
    EXPECT_TRUE(sheetsListed);

    const RunResult cli = runLumo({"import", "--skip-unknown", source.folder.path().string(), ScratchFolder().path().string()});
    EXPECT_EQ(cli.exitCode, 1) << cli.err;
    EXPECT_TRUE(contains(cli.out, "T_TODOLIST.SHEET_ID")) << cli.out;
}

TEST(ImportFailure, AnExistingDestinationIsNeverReplaced) {
    ScratchFolder destination;
    fs::create_directories(destination.path() / "Data");
    std::ofstream(destination.data("iLumoBase.mdb"), std::ios::binary) << "mine";
    const std::string why = importFailure(fixtureFolder(), destination.path());
    EXPECT_TRUE(contains(why, "already exists")) << why;
    EXPECT_EQ(readFile(destination.data("iLumoBase.mdb")), "mine");
    EXPECT_FALSE(fs::exists(destination.data("LumoBase.mdb")));
    EXPECT_FALSE(fs::exists(destination.data("LumoScrap.mdb")));
}

// A stream that kills its own process at the first progress line, so the
// child dies in the middle of writing the first table.
class KillOnWrite : public std::streambuf {
protected:
    int overflow(int c) override {
        ::raise(SIGKILL);
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        ::raise(SIGKILL);
        return n;
    }
};

TEST(ImportFailure, AKilledImportLeavesNoDestinationFile) {
    ScratchFolder destination;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KillOnWrite killer;
        std::ostream progress(&killer);
        tools::importDatabases({fixtureFolder(), destination.path(), false}, progress, true);
        ::_exit(0);  // not reached
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    expectNoDestination(destination, "after SIGKILL");
    const auto filesIn = [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(destination.path() / "Data"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> left = filesIn();
    ASSERT_EQ(left.size(), 1u);  // the killed run's temporary file, under a hidden name
    EXPECT_TRUE(left[0].starts_with(".LumoBase.mdb.tmp-" + std::to_string(child) + "-")) << left[0];
    // The next run imports normally and removes what the killed run left.
    EXPECT_TRUE(tools::everythingWritten(importInto(fixtureFolder(), destination.path())));
    EXPECT_EQ(filesIn(), (std::vector<std::string>{"LumoBase.mdb", "LumoScrap.mdb", "iLumoBase.mdb"}));
}

}  // namespace
}  // namespace lumo::test
