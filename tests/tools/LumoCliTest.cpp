// The lumo binary: usage, exit codes, `lumo init` from the command line and
// the CSV that `lumo sql` writes through the engine layer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/ToolsTestSupport.h"
#include "tools/init/InitCommand.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(LumoCliTest, HelpListsEverySubcommand) {
    for (const char* option : {"--help", "-h"}) {
        const RunResult r = runLumo({option});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(contains(r.out, "lumo init [--sample] [--persons N] [--sheets N] [--scraps N] [DIR]")) << r.out;
        EXPECT_TRUE(contains(r.out, "lumo sql DBFILE STATEMENT")) << r.out;
        EXPECT_EQ(r.err, "");
    }
    const RunResult sqlHelp = runLumo({"sql", "--help"});
    EXPECT_EQ(sqlHelp.exitCode, 0);
    EXPECT_TRUE(contains(sqlHelp.out, "lumo sql DBFILE STATEMENT"));
}

TEST(LumoCliTest, UsageErrorsExitWithTwoAndShowTheUsage) {
    const std::vector<std::vector<std::string>> cases{
        {}, {"frobnicate"}, {"init", "--bogus"}, {"init", "--persons", "many"}, {"init", "a", "b"},
        {"sql"}, {"sql", "only-a-file"}, {"sql", "f", "SELECT 1", "extra"}};
    for (const auto& args : cases) {
        const RunResult r = runLumo(args);
        const std::string what = args.empty() ? "(none)" : args[0] + (args.size() > 1 ? " " + args[1] : "");
        EXPECT_EQ(r.exitCode, 2) << what;
        EXPECT_TRUE(contains(r.err, "Usage")) << what << ": " << r.err;
        EXPECT_EQ(r.out, "") << what;
    }
}

TEST(LumoCliTest, InitCreatesTheFilesOnceAndThenRefuses) {
    ScratchFolder folder;
    const RunResult first = runLumo({"init", "--sample", "--persons", "3", folder.path().string()});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_TRUE(contains(first.out, "LumoBase.mdb"));
    EXPECT_EQ(Db(folder.data("LumoBase.mdb")).integer("SELECT COUNT(*) FROM T_PERSON"), 23);
    const std::string before = readFile(folder.data("iLumoBase.mdb"));

    const RunResult second = runLumo({"init", folder.path().string()});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(contains(second.err, "already exists")) << second.err;
    EXPECT_EQ(readFile(folder.data("iLumoBase.mdb")), before);
    EXPECT_EQ(Db(folder.data("LumoBase.mdb")).integer("SELECT COUNT(*) FROM T_PERSON"), 23);
}

TEST(LumoCliTest, InitDefaultsToTheCurrentFolder) {
    ScratchFolder folder;
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    const RunResult r = runLumo({"init"});
    fs::current_path(previous);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* file : {"LumoBase.mdb", "iLumoBase.mdb", "LumoScrap.mdb"}) EXPECT_TRUE(fs::exists(folder.data(file)));
}

class LumoSqlTest : public ::testing::Test {
protected:
    RunResult sql(const std::string& statement) { return runLumo({"sql", personDb, statement}); }

    ScratchFolder folder;
    std::string personDb = makeEmptyDatabases(folder.path());
};

TEST_F(LumoSqlTest, SelectWritesAHeaderAndQuotedRows) {
    // Automation date 45000 is 2023-03-15; .75 is 18:00.
    Db(personDb).exec(
        "INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME, FIRSTNAME, NOTE, BIRTHDAY, ANNIVERSARY, AGE, HOBBY)"
        " VALUES (7, 1, 'a,b', 'say \"hi\"', 'l1' || char(13, 10) || 'l2', 45000.75, 45000, NULL, 'O''Brien')");
    const RunResult r =
        sql("SELECT PERSON_ID, LASTNAME, FIRSTNAME, NOTE, BIRTHDAY, ANNIVERSARY, AGE, HOBBY FROM T_PERSON");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "PERSON_ID,LASTNAME,FIRSTNAME,NOTE,BIRTHDAY,ANNIVERSARY,AGE,HOBBY\n"
              "7,\"a,b\",\"say \"\"hi\"\"\",\"l1\r\nl2\",2023/03/15 18:00:00,2023/03/15,,O'Brien\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(LumoSqlTest, BooleansIntegersAndJetConcatenation) {
    Db(personDb).exec("INSERT INTO T_GREETING (PERSON_ID, TARGET, NEWYEAR_SEND, MEMO) VALUES (3, 2025, -1, NULL)");
    const RunResult r = sql("SELECT TARGET, NEWYEAR_SEND, NEWYEAR_RECEIVE, [MEMO] & 'x' AS M FROM T_GREETING");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "TARGET,NEWYEAR_SEND,NEWYEAR_RECEIVE,M\n2025,-1,0,x\n");
}

TEST_F(LumoSqlTest, EmptyResultStillHasItsHeader) {
    const RunResult r = sql("SELECT PERSON_ID, LASTNAME FROM T_PERSON WHERE PERSON_ID = 12345");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "PERSON_ID,LASTNAME\n");
}

TEST_F(LumoSqlTest, TextComparisonIgnoresAsciiCaseThroughTheEngine) {
    Db(personDb).exec("INSERT INTO T_GROUPING (LABEL) VALUES ('ABC')");
    EXPECT_EQ(sql("SELECT LABEL FROM T_GROUPING WHERE LABEL = 'abc'").out, "LABEL\nABC\n");
    EXPECT_EQ(sql("SELECT LABEL FROM T_GROUPING WHERE LABEL LIKE 'a%'").out, "LABEL\nABC\n");
}

TEST_F(LumoSqlTest, OtherStatementsReportTheirRowCountOnStandardError) {
    Db(personDb).exec("INSERT INTO T_GROUPING (LABEL) VALUES ('a'), ('b')");
    const RunResult update = sql("UPDATE T_GROUPING SET T_GROUPING.LABEL = 'c' WHERE DEFAULT = 0");
    EXPECT_EQ(update.exitCode, 0) << update.err;
    EXPECT_EQ(update.out, "");
    EXPECT_TRUE(contains(update.err, "2 rows affected")) << update.err;
    EXPECT_EQ(Db(personDb).integer("SELECT COUNT(*) FROM T_GROUPING WHERE LABEL = 'c'"), 2);

    const RunResult insert = sql("INSERT INTO T_GROUPING (LABEL) VALUES ('d')");
    EXPECT_EQ(insert.exitCode, 0) << insert.err;
    EXPECT_TRUE(contains(insert.err, "1 rows affected")) << insert.err;
}

TEST_F(LumoSqlTest, EngineFailuresExitWithOneAndTheDescription) {
    const RunResult badTable = sql("SELECT * FROM T_NOWHERE");
    EXPECT_EQ(badTable.exitCode, 1);
    EXPECT_TRUE(contains(badTable.err, "T_NOWHERE")) << badTable.err;
    EXPECT_EQ(badTable.out, "");

    const RunResult unterminated = sql("SELECT * FROM T_PERSON WHERE LASTNAME = 'x");
    EXPECT_EQ(unterminated.exitCode, 1);
    EXPECT_NE(unterminated.err, "");

    // The engine never creates a database file.
    const fs::path missing = folder.path() / "missing.mdb";
    const RunResult noFile = runLumo({"sql", missing.string(), "SELECT 1"});
    EXPECT_EQ(noFile.exitCode, 1);
    EXPECT_NE(noFile.err, "");
    EXPECT_FALSE(fs::exists(missing));
}

TEST(LumoSqlPathTest, APathWithASemicolonReachesItsOwnFileOnly) {
    ScratchFolder folder;
    tools::InitOptions options;
    options.folder = folder.path() / "a;b";
    tools::createDatabases(options);
    // A database at "a", where the unquoted text would have pointed.
    fs::copy_file(options.folder / "Data" / "LumoBase.mdb", folder.path() / "a");
    const std::string target = (options.folder / "Data" / "LumoBase.mdb").string();
    const RunResult r = runLumo({"sql", target, "INSERT INTO T_GROUPING (LABEL) VALUES ('x')"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Db(target).integer("SELECT COUNT(*) FROM T_GROUPING WHERE LABEL = 'x'"), 1);
    EXPECT_EQ(Db(folder.path() / "a").integer("SELECT COUNT(*) FROM T_GROUPING WHERE LABEL = 'x'"), 0);
}

TEST(LumoSqlSampleTest, JapaneseTextAndViewsComeThroughUnchanged) {
    ScratchFolder folder;
    tools::InitOptions options;
    options.folder = folder.path();
    options.sample = true;
    tools::createDatabases(options);
    const RunResult r = runLumo(
        {"sql", folder.data("LumoBase.mdb").string(),
         "SELECT [T_PERSON].[LASTNAME] & [T_PERSON].[FIRSTNAME] AS PERSON_NAME, T_GROUPING.LABEL, "
         "vwOfficePhone.TEL_NUMBER FROM (T_PERSON INNER JOIN T_GROUPING ON T_PERSON.TYPE_ID = T_GROUPING.TYPE_ID) "
         "LEFT JOIN vwOfficePhone ON T_PERSON.PERSON_ID = vwOfficePhone.PERSON_ID WHERE T_PERSON.LASTNAME = '髙橋'"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "PERSON_NAME,LABEL,TEL_NUMBER\n髙橋一郎,仕事,06-6345-0001\n");

    const RunResult label =
        runLumo({"sql", folder.data("LumoBase.mdb").string(), "SELECT LABEL FROM T_PHONE WHERE LABEL LIKE 'ｵﾌ%'"});
    EXPECT_EQ(label.exitCode, 0) << label.err;
    EXPECT_EQ(label.out, "LABEL\nｵﾌｨｽ\nｵﾌｨｽ\n");
}

}  // namespace
}  // namespace lumo::test
