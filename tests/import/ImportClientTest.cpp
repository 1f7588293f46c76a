// The imported files as clients see them: the library reads persons,
// phones in RANK order, sheets and scrap groups through the published
// interface, lumo export writes both CSV files, and lumo sql on an
// unconverted Jet file points at lumo import.
#include <sqlite3.h>

#include <memory>

#include "tests/access/AccessTestSupport.h"
#include "tests/engine/FirstContactsReference.h"
#include "tests/import/ImportTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;
namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::size_t characters(const std::string& utf8) {
    std::size_t count = 0;
    for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
    return count;
}

class ImportedForClients : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        destination_ = std::make_unique<ScratchFolder>();
        importInto(fixtureFolder(), destination_->path());
    }
    static void TearDownTestSuite() { destination_.reset(); }
    static std::string connection(const std::string& name) {
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + destination_->data(name).string();
    }
    static std::unique_ptr<ScratchFolder> destination_;
    RecordingSink sink;
};

std::unique_ptr<ScratchFolder> ImportedForClients::destination_;

TEST_F(ImportedForClients, TheLibraryReadsPersonsAndPhonesInRankOrder) {
    Ref<clsPidAccess> person = createObject<clsPidAccess>();
    ASSERT_FALSE(person->Initialize(connection("LumoBase.mdb")));
    const PersonInformation yoshida = person->GetPersonalInformation(11);
    EXPECT_EQ(yoshida.lngPersonID, 11);
    EXPECT_TRUE(yoshida.strLastName.starts_with("𠮷田")) << yoshida.strLastName;
    EXPECT_EQ(characters(person->GetPersonalInformation(13).strNote), 70000u);
    const PersonInformation old = person->GetPersonalInformation(17);
    EXPECT_LT(old.dyBirthday, 0);

    std::vector<PhoneInformation> phones;
    EXPECT_FALSE(person->GetPhoneNumberInfo(15, phones));
    ASSERT_EQ(phones.size(), 500u);
    for (std::size_t i = 0; i < phones.size(); ++i) EXPECT_EQ(phones[i].intRank, static_cast<Integer>(i + 1));
    EXPECT_TRUE(sink.messages().empty()) << sink.messages().front().text;
}

// The copy writes the phone and mail rows with the file's own triggers
// kept, so the views of each person's first number and address show what
// those rows say.
TEST_F(ImportedForClients, TheFirstPhonesAndMailsFollowTheImportedRows) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(destination_->data("LumoBase.mdb").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    auto count = [db](const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, ("SELECT count(*) FROM (" + sql + ")").c_str(), -1, &st, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        const int n = st && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
        sqlite3_finalize(st);
        return n;
    };
    const std::pair<std::string, std::string> views[] = {
        {"SELECT PERSON_ID, TEL_NUMBER FROM vwHomePhone",
         firstPhonesByRows("HOME")},
        {"SELECT PERSON_ID, TEL_NUMBER FROM vwOfficePhone",
         firstPhonesByRows("OFFICE")},
        {"SELECT PERSON_ID, MAIL_ADDRESS FROM vwMailAddress", firstMailsByRows()},
    };
    for (const auto& [view, rows] : views) {
        EXPECT_GT(count(view), 0) << view;
        EXPECT_EQ(count(view + " EXCEPT " + rows), 0) << view;
        EXPECT_EQ(count(rows + " EXCEPT " + view), 0) << view;
    }
    sqlite3_close(db);
}

TEST_F(ImportedForClients, TheLibraryReadsSheetsAndScrapGroups) {
    Ref<clsIidAccess> item = createObject<clsIidAccess>();
    ASSERT_FALSE(item->Initialize(connection("iLumoBase.mdb")));
    SheetInformation big;
    item->GetSheetInformation(18, big);
    EXPECT_EQ(big.lngSheetID, 18);
    EXPECT_EQ(big.lngSalesAmount, 2136000000);
    SheetInformation orphan;
    item->GetSheetInformation(20, orphan);
    EXPECT_EQ(orphan.lngGoodsID, 25);  // the deleted goods, kept as stored

    Ref<clsScrapAccess> scrap = createObject<clsScrapAccess>();
    ASSERT_FALSE(scrap->Initialize(connection("LumoScrap.mdb")));
    // (The group whose LABEL is Null is listed with an empty caption.)
    EXPECT_EQ(scrap->GetGroupIDEx("未分類"), 1);
    EXPECT_TRUE(sink.messages().empty()) << sink.messages().front().text;
}

TEST_F(ImportedForClients, LumoExportWritesBothFilesAndCountsCharactersOutsideCp932) {
    // The Nulls the source holds in number columns (a Null RANK, a Null
    // link to a person) read as 0, so every record is written whole
    // (ImportedRecordsTest checks that no report is made).
    const struct {
        const char* kind;
        const char* records;
    } exports[]{{"person", "30 件"}, {"goods", "79 件"}};
    for (const auto& e : exports) {
        const fs::path out = destination_->path() / (std::string(e.kind) + ".csv");
        const RunResult r = runLumo({"export", e.kind, "--out", out.string(), destination_->path().string()});
        EXPECT_TRUE(contains(r.out + r.err, e.records)) << r.out << r.err;
        EXPECT_TRUE(contains(r.out + r.err, "「?」に置き換えました")) << r.out << r.err;
        ASSERT_TRUE(fs::exists(out)) << e.kind;
    }
    // 𠮷田 has no CP932 form: "?" stands for 𠮷, 田 (0x93 0x63) stays.
    EXPECT_TRUE(contains(readFile(destination_->path() / "person.csv"), "?\x93\x63")) << "person 11";
}

TEST(ImportCli, ImportsFromTheCommandLineAndTellsAJetFileToBeImported) {
    const RunResult help = runLumo({"--help"});
    EXPECT_TRUE(contains(help.out, "lumo import [--skip-unknown] SOURCE DEST")) << help.out;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"import"}, {"import", "only-source"}, {"import", "--bogus", "a", "b"}, {"import", "a", "b", "c"}}) {
        const RunResult r = runLumo(args);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_TRUE(contains(r.err, "Usage")) << r.err;
    }

    ScratchFolder destination;
    const RunResult r = runLumo({"import", fixture("LumoBase.mdb").string(), destination.path().string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "孤立した行")) << r.out;
    EXPECT_TRUE(contains(r.out, "T_PHONE")) << r.out;
    EXPECT_TRUE(fs::exists(destination.data("LumoBase.mdb")));
    EXPECT_FALSE(fs::exists(destination.data("iLumoBase.mdb")));
    const RunResult again = runLumo({"import", fixture("LumoBase.mdb").string(), destination.path().string()});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(contains(again.err, "already exists")) << again.err;

    const RunResult sql = runLumo({"sql", fixture("LumoBase.mdb").string(), "SELECT * FROM T_PERSON"});
    EXPECT_EQ(sql.exitCode, 1);
    EXPECT_TRUE(contains(sql.err, "lumo import")) << sql.err;
}

}  // namespace
}  // namespace lumo::test
