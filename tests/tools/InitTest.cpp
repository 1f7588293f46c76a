// `lumo init` as a function: the files it makes, what it refuses, and the
// sample and synthetic records.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/Dates.h"
#include "platform/Error.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/init/InitCommand.h"
#include "platform/StagedFile.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;
using tools::InitOptions;

const std::vector<std::string> kFiles{"LumoBase.mdb", "iLumoBase.mdb", "LumoScrap.mdb"};

std::set<std::string> folderContents(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

InitOptions optionsFor(const fs::path& folder) {
    InitOptions options;
    options.folder = folder;
    return options;
}

TEST(InitTest, CreatesTheDataFolderAndExactlyTheThreeFiles) {
    ScratchFolder folder;
    const fs::path dir = folder.path() / "new" / "place";
    const auto created = tools::createDatabases(optionsFor(dir));
    ASSERT_EQ(created.size(), 3u);
    for (std::size_t i = 0; i < kFiles.size(); ++i) EXPECT_EQ(created[i], dir / "Data" / kFiles[i]);
    EXPECT_EQ(folderContents(dir / "Data"), std::set<std::string>(kFiles.begin(), kFiles.end()));
}

TEST(InitTest, RefusesToOverwriteAndLeavesTheExistingFilesAsTheyWere) {
    ScratchFolder folder;
    tools::createDatabases(optionsFor(folder.path()));
    Db(folder.data("LumoBase.mdb")).exec("INSERT INTO T_GROUPING (LABEL) VALUES ('mine')");
    std::vector<std::string> before;
    for (const auto& file : kFiles) before.push_back(readFile(folder.data(file)));

    InitOptions again = optionsFor(folder.path());
    again.sample = true;
    EXPECT_THROW(tools::createDatabases(again), lumo::Error);
    for (std::size_t i = 0; i < kFiles.size(); ++i) EXPECT_EQ(readFile(folder.data(kFiles[i])), before[i]) << kFiles[i];
    EXPECT_EQ(folderContents(folder.path() / "Data"), std::set<std::string>(kFiles.begin(), kFiles.end()));
}

TEST(InitTest, OneExistingFileStopsTheWholeRunBeforeAnythingIsCreated) {
    ScratchFolder folder;
    fs::create_directories(folder.path() / "Data");
    {
        std::ofstream(folder.data("LumoScrap.mdb")) << "not ours";
    }
    try {
        tools::createDatabases(optionsFor(folder.path()));
        FAIL() << "expected a refusal";
    } catch (const lumo::Error& e) {
        EXPECT_NE(std::string(e.what()).find("LumoScrap.mdb"), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).find("LumoBase.mdb"), std::string::npos) << e.what();
    }
    EXPECT_EQ(folderContents(folder.path() / "Data"), std::set<std::string>{"LumoScrap.mdb"});
    EXPECT_EQ(readFile(folder.data("LumoScrap.mdb")), "not ours");
}

TEST(StagedFileTest, PublishesOnlyWhereNoFileIsAndCleansUpOtherwise) {
    ScratchFolder folder;
    const fs::path target = folder.path() / "x.mdb";
    {
        StagedFile staged(target);
        EXPECT_EQ(staged.path().parent_path(), folder.path());
        std::ofstream(target) << "appeared meanwhile";
        EXPECT_THROW(staged.publish(), lumo::Error);
    }
    EXPECT_EQ(folderContents(folder.path()), std::set<std::string>{"x.mdb"});
    EXPECT_EQ(readFile(target), "appeared meanwhile");

    fs::remove(target);
    {
        StagedFile staged(target);
        staged.publish();
        EXPECT_TRUE(fs::exists(target));
        staged.withdraw();
    }
    EXPECT_TRUE(folderContents(folder.path()).empty());

    {
        StagedFile staged(target);  // never published
    }
    EXPECT_TRUE(folderContents(folder.path()).empty());
}

class SampleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new ScratchFolder;
        InitOptions options = optionsFor(folder_->path());
        options.sample = true;
        tools::createDatabases(options);
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static Db person() { return Db(folder_->data("LumoBase.mdb")); }
    static Db item() { return Db(folder_->data("iLumoBase.mdb")); }
    static Db scrap() { return Db(folder_->data("LumoScrap.mdb")); }

private:
    static ScratchFolder* folder_;
};
ScratchFolder* SampleTest::folder_ = nullptr;

TEST_F(SampleTest, PersonDatabaseHoldsTwentyPersonsWithTheirRows) {
    Db db = person();
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_PERSON"), 20);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_GROUPING"), 5);
    for (const char* group : {"友人", "仕事", "家族"})
        EXPECT_EQ(db.integer(std::string("SELECT COUNT(*) FROM T_GROUPING WHERE LABEL = '") + group + "'"), 1);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_PERSON WHERE TYPE_ID NOT IN (SELECT TYPE_ID FROM T_GROUPING)"), 0);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_PERSON WHERE PERSON_ID NOT IN (SELECT PERSON_ID FROM T_PHONE)"), 0);
    EXPECT_GE(db.integer("SELECT COUNT(*) FROM T_EMAIL"), 15);
    EXPECT_GE(db.integer("SELECT COUNT(*) FROM T_GREETING"), 5);
    EXPECT_GE(db.integer("SELECT COUNT(*) FROM T_CHILDREN"), 5);
    // Every phone TYPE is one the views know, or MOBILE.
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_PHONE WHERE TYPE NOT IN ('HOME', 'OFFICE', 'MOBILE')"), 0);
    EXPECT_GE(db.integer("SELECT COUNT(*) FROM vwHomePhone"), 10);
    EXPECT_GE(db.integer("SELECT COUNT(*) FROM vwOfficePhone"), 5);
}

TEST_F(SampleTest, NotesHaveDatedLinesAndTheToDoRowsTheLibraryWouldAdd) {
    Db db = person();
    // A whole note of ten or more characters is one checked ToDo row.
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_TODOLIST"),
              db.integer("SELECT COUNT(*) FROM T_PERSON WHERE length(NOTE) >= 10"));
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_TODOLIST T INNER JOIN T_PERSON P ON T.PERSON_ID = P.PERSON_ID"
                         " AND T.NOTE = P.NOTE AND T.CHK_FLAG = -1"),
              db.integer("SELECT COUNT(*) FROM T_TODOLIST"));
    int dated = 0;
    for (const auto& row : db.rows("SELECT NOTE FROM T_PERSON WHERE NOTE IS NOT NULL"))
        if (dates::recognize(row[0].substr(0, 8), 2026)) ++dated;
    EXPECT_GE(dated, 5);
    EXPECT_GE(db.integer("SELECT COUNT(*) FROM T_PERSON WHERE NOTE LIKE '%' || char(13, 10) || '%'"), 2);
}

TEST_F(SampleTest, AwkwardValuesArePresent) {
    Db people = person();
    EXPECT_EQ(people.integer("SELECT COUNT(*) FROM T_PERSON WHERE LASTNAME = 'O''Brien'"), 1);
    EXPECT_EQ(people.integer("SELECT COUNT(*) FROM T_PERSON WHERE LASTNAME = '髙橋'"), 1);
    EXPECT_GE(people.integer("SELECT COUNT(*) FROM T_PERSON WHERE COMPANY LIKE '%,%'"), 1);
    EXPECT_GE(people.integer("SELECT COUNT(*) FROM T_PERSON WHERE HOBBY LIKE '%\"%'"), 1);
    EXPECT_GE(people.integer("SELECT COUNT(*) FROM T_PERSON WHERE HOME_ADDRESS2 LIKE '%①%'"), 1);
    EXPECT_GE(people.integer("SELECT COUNT(*) FROM T_PHONE WHERE LABEL = 'ｵﾌｨｽ'"), 1);
}

TEST_F(SampleTest, ItemDatabaseHoldsTwentySheetsOfBothKinds) {
    Db db = item();
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_SHEET"), 20);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_SHEET WHERE SHEET_ID = 0 AND SUPPLIER_ID IN"
                         " (SELECT SUPPLIER_ID FROM T_iSUPPLIER) AND CUSTOMER_ID IS NULL"
                         " AND STOCK_AMOUNT = QUANTITY * STOCK_UNITPRICE AND SALES_AMOUNT IS NULL"),
              10);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_SHEET WHERE SHEET_ID = 1 AND CUSTOMER_ID IN"
                         " (SELECT CUSTOMER_ID FROM T_iCUSTOMER) AND SUPPLIER_ID IS NULL"
                         " AND SALES_AMOUNT = QUANTITY * SALES_UNITPRICE AND STOCK_AMOUNT IS NULL"),
              10);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_SHEET WHERE GOODS_ID NOT IN (SELECT ID FROM T_ITEMS)"), 0);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_SHEET WHERE SHEET_DATE IS NULL"), 0);
    EXPECT_GE(db.integer("SELECT COUNT(*) FROM T_iGROUPING"), 4);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_ITEMS WHERE ITYPE_ID NOT IN (SELECT ITYPE_ID FROM T_iGROUPING)"), 0);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_TODOLIST"),
              db.integer("SELECT COUNT(*) FROM T_SHEET WHERE length(NOTE) >= 10"));
}

TEST_F(SampleTest, ScrapDatabaseHoldsTenClippingsInSeveralGroups) {
    Db db = scrap();
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_SCRAP"), 10);
    EXPECT_GE(db.integer("SELECT COUNT(DISTINCT LABEL_ID) FROM T_SCRAP"), 4);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_SCRAP WHERE REG_DATE IS NULL"), 0);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_SCRAP WHERE LABEL_ID NOT IN (SELECT LABEL_ID FROM T_GROUPING)"), 0);
}

TEST(SyntheticTest, CountsFollowTheOptionsAndAddToTheSample) {
    ScratchFolder folder;
    InitOptions options = optionsFor(folder.path());
    options.sample = true;
    options.persons = 30;
    options.sheets = 25;
    options.scraps = 7;
    tools::createDatabases(options);

    Db people(folder.data("LumoBase.mdb"));
    const std::string synthetic = " WHERE PERSON_ID > 20";
    EXPECT_EQ(people.integer("SELECT COUNT(*) FROM T_PERSON"), 50);
    EXPECT_EQ(people.integer("SELECT COUNT(*) FROM T_PHONE" + synthetic), 60);
    EXPECT_EQ(people.integer("SELECT COUNT(*) FROM T_EMAIL" + synthetic), 30);
    EXPECT_EQ(people.integer("SELECT COUNT(*) FROM T_CHILDREN" + synthetic), 30);  // 0, 1, 2, 0, 1, 2, ...
    EXPECT_EQ(people.integer("SELECT COUNT(*) FROM T_TODOLIST" + synthetic), 6);   // every fifth
    EXPECT_EQ(people.integer("SELECT COUNT(*) FROM vwHomePhone" + synthetic), 30);
    EXPECT_EQ(people.integer("SELECT COUNT(*) FROM vwOfficePhone" + synthetic), 15);
    // Synthetic persons are spread over the existing groups.
    EXPECT_EQ(people.integer("SELECT COUNT(DISTINCT TYPE_ID) FROM T_PERSON" + synthetic), 5);

    Db items(folder.data("iLumoBase.mdb"));
    EXPECT_EQ(items.integer("SELECT COUNT(*) FROM T_SHEET"), 45);
    EXPECT_EQ(items.integer("SELECT COUNT(*) FROM T_SHEET WHERE ID > 20 AND SHEET_ID = 0 AND SUPPLIER_ID > 0"), 13);
    EXPECT_EQ(items.integer("SELECT COUNT(*) FROM T_SHEET WHERE ID > 20 AND SHEET_ID = 1 AND CUSTOMER_ID > 0"), 12);
    EXPECT_EQ(items.integer("SELECT COUNT(*) FROM T_SHEET WHERE GOODS_ID NOT IN (SELECT ID FROM T_ITEMS)"), 0);

    Db scraps(folder.data("LumoScrap.mdb"));
    EXPECT_EQ(scraps.integer("SELECT COUNT(*) FROM T_SCRAP"), 17);
}

TEST(SyntheticTest, TheSameCountsGiveTheSameRows) {
    ScratchFolder a, b;
    for (const ScratchFolder* folder : {&a, &b}) {
        InitOptions options = optionsFor(folder->path());
        options.persons = 12;
        options.sheets = 9;
        tools::createDatabases(options);
    }
    const std::string persons = "SELECT * FROM T_PERSON ORDER BY PERSON_ID";
    const std::string sheets = "SELECT * FROM T_SHEET ORDER BY ID";
    EXPECT_EQ(Db(a.data("LumoBase.mdb")).rows(persons), Db(b.data("LumoBase.mdb")).rows(persons));
    EXPECT_EQ(Db(a.data("iLumoBase.mdb")).rows(sheets), Db(b.data("iLumoBase.mdb")).rows(sheets));
    // Without --sample everything goes to the default group.
    EXPECT_EQ(Db(a.data("LumoBase.mdb")).integer("SELECT COUNT(DISTINCT TYPE_ID) FROM T_PERSON"), 1);
}

// The person file of `lumo init --sample --persons 40`.
Db samplePersons(const ScratchFolder& folder) {
    InitOptions options = optionsFor(folder.path());
    options.sample = true;
    options.persons = 40;
    tools::createDatabases(options);
    return Db(folder.data("LumoBase.mdb"));
}

TEST(SyntheticTest, ViewsNeverYieldTwoRowsForOnePerson) {
    ScratchFolder folder;
    Db db = samplePersons(folder);
    for (const char* view : {"vwHomePhone", "vwOfficePhone", "vwMailAddress"}) {
        EXPECT_EQ(db.integer(std::string("SELECT COUNT(*) FROM ") + view),
                  db.integer(std::string("SELECT COUNT(DISTINCT PERSON_ID) FROM ") + view))
            << view;
    }
}

// The search index of a file made in one go (and merged at its end) finds
// every person by three characters at the start, the middle and the end
// of its searched text (the name columns one per line).
TEST(SyntheticTest, TheSearchIndexFindsEveryPerson) {
    ScratchFolder folder;
    Db db = samplePersons(folder);
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM lumo_search_person_text WHERE length(WORDS) >= 10"), 60);
    for (const char* start : {"1", "length(T.WORDS) / 2", "length(T.WORDS) - 2"}) {
        const std::string trigram = std::string("substr(T.WORDS, ") + start + ", 3)";
        EXPECT_EQ(db.integer("SELECT COUNT(*) FROM lumo_search_person_text AS T WHERE T.PERSON_ID NOT IN (SELECT rowid "
                             "FROM lumo_search_person WHERE lumo_search_person MATCH '\"' || replace(" +
                             trigram + ", '\"', '\"\"') || '\"' UNION ALL SELECT PERSON_ID FROM lumo_search_person_unindexed)"),
                  0)
            << start;
    }
}

TEST(InitOptionsTest, ParsesFlagsCountsAndFolder) {
    const std::vector<std::string_view> args{"--sample", "--persons", "5", "--sheets=7", "dir", "--scraps", "0"};
    const InitOptions options = tools::parseInitOptions(args);
    EXPECT_TRUE(options.sample);
    EXPECT_EQ(options.persons, 5);
    EXPECT_EQ(options.sheets, 7);
    EXPECT_EQ(options.scraps, 0);
    EXPECT_EQ(options.folder, fs::path("dir"));

    const InitOptions defaults = tools::parseInitOptions({});
    EXPECT_FALSE(defaults.sample);
    EXPECT_EQ(defaults.folder, fs::path("."));
}

TEST(InitOptionsTest, RejectsWhatItCannotRead) {
    using Args = std::vector<std::string_view>;
    for (const Args& args : {Args{"--persons"}, Args{"--persons", "x"}, Args{"--persons", "-1"},
                             Args{"--sheets=1e3"}, Args{"--scraps", "10000001"}, Args{"--bogus"},
                             Args{"a", "b"}, Args{"--persons", "5x"}}) {
        EXPECT_THROW(tools::parseInitOptions(args), tools::UsageError) << args[0];
    }
}

}  // namespace
}  // namespace lumo::test
