// What a new user meets first on the command line: each command's help
// with examples that work as written, the version, failures that name the
// command on every line, reports printed one per line, and statements
// read from a file or standard input.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/init/InitCommand.h"
#include "tools/lumo/ReportLine.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kCommands{"init", "export", "sql", "vcard", "greetings", "print"};  // the order their examples build on
// Commands whose examples need files a user brings (Jet files to import,
// Japan Post's postal code file).
const std::vector<std::string> kCommandsWithOwnFiles{"import", "postal"};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// "CLS-exp1006", "FM-pi1003", ...: a location code and nothing after it.
bool isBareLocationCode(const std::string& text) {
    for (const char* kind : {"CLS-", "FM-", "DLL-", "MDL-"})
        if (text.starts_with(kind)) return text.find(' ') == std::string::npos;
    return false;
}

void writeFile(const fs::path& file, const std::string& content) { std::ofstream(file, std::ios::binary) << content; }

TEST(ReportLineTest, PutsTheLocationCodeAndItsDescriptionOnOneLine) {
    const struct {
        std::string text, line;
    } cases[]{
        {"CLS-exp1006\r\nファイルを作成できません。", "CLS-exp1006: ファイルを作成できません。"},
        {"FM-pi1003\r\n", "FM-pi1003"},
        {"FM-pi1003", "FM-pi1003"},
        {"CLS-pida1040\nno such table: T_CHILDREN", "CLS-pida1040: no such table: T_CHILDREN"},
        {"CLS-exp1004\r\n一行目\r\n二行目\n三行目\r", "CLS-exp1004: 一行目 二行目 三行目"},
        {"CLS-exp1005\r\n\r\n", "CLS-exp1005"},
        {"上書きしますか？", "上書きしますか？"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(tools::reportLine(c.text), c.line) << c.text;
}

TEST(LumoHelpTest, EveryCommandExplainsItselfWithExamples) {
    std::vector<std::string> commands = kCommands;
    commands.insert(commands.end(), kCommandsWithOwnFiles.begin(), kCommandsWithOwnFiles.end());
    for (const std::string& command : commands) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{command, "--help"}, {command, "-h"}, {command, "x", "--help"}}) {
            const RunResult r = runLumo(args);
            SCOPED_TRACE(args[0] + " " + args[1]);
            EXPECT_EQ(r.exitCode, 0);
            EXPECT_EQ(r.out.rfind("使い方 / Usage:\n  lumo " + command + " ", 0), 0u) << r.out;
            const std::size_t examples = r.out.find("例 / Examples:\n");
            ASSERT_NE(examples, std::string::npos) << r.out;
            EXPECT_NE(r.out.find("lumo " + command + " ", examples), std::string::npos) << r.out;
            EXPECT_EQ(r.err, "");
        }
    }
}

TEST(LumoHelpTest, VersionIsOneLine) {
    const RunResult r = runLumo({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_TRUE(r.out.starts_with("lumo ") && r.out.ends_with("\n")) << r.out;
    const std::string version = r.out.substr(5, r.out.size() - 6);
    EXPECT_EQ(std::count(version.begin(), version.end(), '.'), 2) << version;
    EXPECT_EQ(version.find_first_not_of("0123456789."), std::string::npos) << version;
    EXPECT_EQ(r.err, "");
}

// Every example line of every help, run by a shell in an empty folder in
// turn, as a user pastes them.
TEST(LumoHelpTest, TheExamplesWorkAsWritten) {
    ScratchFolder folder;
    writeFile(folder.path() / "query.sql", "SELECT COUNT(*) AS SHEETS FROM T_SHEET\n");  // the file the sql example reads
    const std::string bin = buildProgram("lumo").parent_path().string();
    int run = 0;
    for (const std::string& command : kCommands) {
        const std::string help = runLumo({command, "--help"}).out;
        const std::size_t start = help.find("例 / Examples:\n");
        ASSERT_NE(start, std::string::npos);
        for (const std::string& example : lines(help.substr(start + std::string("例 / Examples:\n").size()))) {
            const ChildExit exit = runProgram(
                {"/bin/sh", "-c", "cd \"$0\" && PATH=\"$1:$PATH\" && " + example, folder.path().string(), bin});
            EXPECT_EQ(exit.status, 0) << example << "\n" << exit.err;
            EXPECT_EQ(exit.err.find("lumo " + command + ":"), std::string::npos) << example << "\n" << exit.err;
            ++run;
        }
    }
    EXPECT_GE(run, 6);
    for (const char* made : {"Data/LumoBase.mdb", "big/Data/iLumoBase.mdb", "person.csv", "ledger.csv"})
        EXPECT_TRUE(fs::exists(folder.path() / made)) << made;
}

class LumoFailureTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string personDb = makeEmptyDatabases(folder.path());
};

// A failure's lines all begin with the command, and a location code never
// stands alone on a line.
TEST_F(LumoFailureTest, EveryLineNamesTheCommandAndReportsKeepTheirDescription) {
    writeFile(folder.path() / "person.csv", "old");
    const fs::path noData = folder.path() / "empty";
    fs::create_directory(noData);
    const fs::path brokenChildren = folder.path() / "broken";
    tools::InitOptions options;
    options.folder = brokenChildren;
    options.persons = 3;
    tools::createDatabases(options);
    Db(brokenChildren / "Data" / "LumoBase.mdb").exec("DROP TABLE T_CHILDREN");

    const std::string dir = folder.path().string();
    const struct {
        std::vector<std::string> args;
        std::string mustSay;
    } cases[]{
        {{"export", "person", dir}, "--force"},                        // the file exists
        {{"export", "person", noData.string()}, "FM-pi1003: "},          // no database
        {{"export", "person", brokenChildren.string()}, "CLS-pida1040: "},  // a table is missing
        {{"export", "goods", "--out", dir + "/none/goods.csv", dir}, "none"},  // no such folder
        {{"sql", personDb, "SELECT * FROM T_NOWHERE"}, "T_NOWHERE"},
        {{"sql", personDb, "-f", dir + "/missing.sql"}, "missing.sql"},
        {{"sql", dir + "/missing.mdb", "SELECT 1"}, "missing.mdb"},
        {{"init", dir}, "already exists"},
    };
    for (const auto& c : cases) {
        const RunResult r = runLumo(c.args);
        SCOPED_TRACE(c.args[0] + " " + c.args[1] + " " + c.args.back());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.mustSay), std::string::npos) << r.err;
        ASSERT_FALSE(r.err.empty());
        for (const std::string& line : lines(r.err)) {
            const std::string prefix = "lumo " + c.args[0] + ": ";
            ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
            EXPECT_FALSE(isBareLocationCode(line.substr(prefix.size()))) << line;
        }
    }
    EXPECT_EQ(readFile(folder.path() / "person.csv"), "old");
}

TEST_F(LumoFailureTest, UsageErrorsNameTheCommandFirst) {
    const std::vector<std::vector<std::string>> cases{
        {"export", "person", "--bogus"}, {"export", "animals"}, {"init", "--bogus"}, {"sql", personDb, "-f"},
        {"sql", personDb, "-f", "a.sql", "SELECT 1"}, {"sql", "-f", "a.sql", "-f", "b.sql", personDb},
        {"sql", "-f", "a.sql"}};
    for (const auto& args : cases) {
        const RunResult r = runLumo(args);
        SCOPED_TRACE(args[0] + " " + args.back());
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.err.rfind("lumo " + args[0] + ": ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("Usage:\n  lumo " + args[0]), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(LumoFailureTest, SqlReadsTheStatementFromAFileOrStandardInput) {
    Db(personDb).exec("INSERT INTO T_GROUPING (LABEL) VALUES ('a'), ('b'), ('c')");
    // Longer than one command-line argument may be (128 KiB on Linux).
    std::string inList = "'a', 'c'";
    for (int i = 0; i < 30000; ++i) inList += ", 'x" + std::to_string(i) + "'";
    const std::string longStatement = "SELECT LABEL FROM T_GROUPING WHERE LABEL IN (" + inList + ") ORDER BY LABEL";
    ASSERT_GT(longStatement.size(), 128u * 1024u);

    const std::string plain = "SELECT LABEL FROM T_GROUPING WHERE LABEL IN ('a', 'c') ORDER BY LABEL";
    const struct {
        std::string name, fileText, input;
        bool fromFile;
    } cases[]{
        {"file", plain, "", true},
        {"file with a byte order mark and line ends", "\xEF\xBB\xBF" + plain + "\r\n", "", true},
        {"file over several lines", "SELECT LABEL\nFROM T_GROUPING\nWHERE LABEL IN ('a', 'c')\nORDER BY LABEL\n", "", true},
        {"standard input", "", plain + "\n", false},
        {"long statement on standard input", "", longStatement, false},
        {"long statement in a file", longStatement, "", true},
    };
    const fs::path file = folder.path() / "statement.sql";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.fromFile) writeFile(file, c.fileText);
        const RunResult r = runLumo({"sql", personDb, "-f", c.fromFile ? file.string() : "-"}, c.input);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "LABEL\na\nc\n");
        EXPECT_EQ(r.err, "");
    }

    // Changes read from standard input are made once.
    const RunResult update = runLumo({"sql", "-f", "-", personDb}, "UPDATE T_GROUPING SET LABEL = 'z' WHERE LABEL = 'b'");
    EXPECT_EQ(update.exitCode, 0) << update.err;
    EXPECT_EQ(Db(personDb).integer("SELECT COUNT(*) FROM T_GROUPING WHERE LABEL = 'z'"), 1);
}

}  // namespace
}  // namespace lumo::test
