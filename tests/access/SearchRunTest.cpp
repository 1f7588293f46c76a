// The statements of the search lists run through the engine on the sample
// databases of `lumo init --sample`, as a client runs them: the rows are
// the ones Jet lists for the same statement.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/Connection.h"
#include "engine/ConnectionString.h"
#include "engine/Recordset.h"
#include "tests/access/AccessTestSupport.h"
#include "tools/init/InitCommand.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;
using Names = std::multiset<std::string>;
using Row = std::vector<std::string>;

// The sample files, made once for all the cases, plus a few rows the
// sample does not have.
class SampleFiles {
public:
    SampleFiles() {
        dir_ = std::filesystem::temp_directory_path() / ("lumo_search_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        tools::InitOptions options;
        options.folder = dir_;
        options.sample = true;
        tools::createDatabases(options);
        exec(personFile(),
             // No phone at all, and a group that does not exist.
             "INSERT INTO T_PERSON (TYPE_ID, LASTNAME, FIRSTNAME) VALUES (1, '電話', 'なし');"
             "INSERT INTO T_PERSON (TYPE_ID, LASTNAME, FIRSTNAME) VALUES (999, '迷子', '一人');"
             "INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, RANK, TYPE) "
             "  SELECT PERSON_ID, '03-9999-0000', 1, 'HOME' FROM T_PERSON WHERE LASTNAME = '迷子';");
    }
    ~SampleFiles() { std::filesystem::remove_all(dir_); }
    SampleFiles(const SampleFiles&) = delete;
    SampleFiles& operator=(const SampleFiles&) = delete;

    std::string personFile() const { return (dir_ / "Data" / "LumoBase.mdb").string(); }
    std::string itemFile() const { return (dir_ / "Data" / "iLumoBase.mdb").string(); }
    static std::string connection(const std::string& file) {
        return db::jetConnectionString(file);
    }

private:
    static void exec(const std::string& file, const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(db);
    }
    std::filesystem::path dir_;
};

// A client of the library: its own connection, its own recordset.
class SearchRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() { files = new SampleFiles; }
    static void TearDownTestSuite() {
        delete files;
        files = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(person) << AccessLibrary::instance().loadError();
        ASSERT_FALSE(person->Initialize(SampleFiles::connection(files->personFile())));
        ASSERT_FALSE(items->Initialize(SampleFiles::connection(files->itemFile())));
        personDb.Open(SampleFiles::connection(files->personFile()));
        itemDb.Open(SampleFiles::connection(files->itemFile()));
    }

    // Every row of the statement, each value as text ("" for Null).
    static std::vector<Row> rows(db::Connection& cn, const std::string& sql, std::vector<std::string>* names = nullptr) {
        std::vector<Row> out;
        if (sql.empty()) return out;
        db::Recordset rs;
        rs.Open(sql, cn, db::adOpenStatic, db::adLockReadOnly, db::adCmdText);
        if (names) {
            names->clear();
            for (int i = 0; i < rs.FieldCount(); ++i) names->push_back(rs.Fields(i).Name());
        }
        for (; !rs.Eof(); rs.MoveNext()) {
            Row row;
            for (int i = 0; i < rs.FieldCount(); ++i) {
                const db::Variant& v = rs.Fields(i).Value();
                row.push_back(v.isNull() ? "" : v.toString());
            }
            out.push_back(std::move(row));
        }
        return out;
    }

    // One column of every row.
    static Names column(const std::vector<Row>& all, std::size_t index) {
        Names out;
        for (const Row& row : all) out.insert(row.at(index));
        return out;
    }

    static SampleFiles* files;
    RecordingSink sink;
    Ref<clsPidAccess> person = createObject<clsPidAccess>();
    Ref<clsIidAccess> items = createObject<clsIidAccess>();
    db::Connection personDb, itemDb;
};

SampleFiles* SearchRun::files = nullptr;

struct PersonSearchCase {
    std::string what, name, phone;
    Names persons;  // PERSON_NAME of every row
};

TEST_F(SearchRun, PersonListFindsWhomJetFinds) {
    const std::vector<PersonSearchCase> cases = {
        {"by a phone that is neither home nor office number", "", "0258-22", {"佐藤花子"}},
        {"by the reading of the given name only", "まりこ", "", {"井上真理子"}},
        {"once, though two of the numbers match", "", "048-641-12", {"松本隆"}},
        {"without any phone, by name", "電話", "", {"電話なし"}},
        {"not without a phone, when a phone is asked for", "電話", "0", {}},
        {"by the spouse's name", "恵子", "", {"山田太郎", "林恵子"}},
        {"by a name and a phone together", "山", "090", {"山田太郎", "山本大輔"}},
        {"by a fragment inside, at the end or at the start", "", "1234", {"山田太郎", "松本隆"}},
        {"with a quote in the name", "O'Brien", "", {"O'BrienMichael"}},
        {"ignoring ASCII case", "o'brien", "", {"O'BrienMichael"}},
        {"nobody extra through a quote", "x' OR 1=1 OR T_PERSON.LASTNAME LIKE '", "", {}},
        {"nobody outside the groups", "迷子", "", {}},
        {"with the wildcard _ as typed", "山_", "", {"山田太郎", "山本大輔", "山口さくら"}},
    };
    for (const PersonSearchCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(column(rows(personDb, person->CreateSimpleViewQuery(c.name, c.phone)), 1), c.persons);
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SearchRun, PersonListRowShowsTheViewsAndTheGroup) {
    std::vector<std::string> names;
    const auto found = rows(personDb, person->GetFindView("", "0258-22"), &names);
    EXPECT_EQ(names, (std::vector<std::string>{"PERSON_ID", "PERSON_NAME", "COMPANY", "OFFICE_PHONE", "HOME_PHONE",
                                               "MAIL_ADDRESS", "LABEL", "PERSON_ALIAS", "ALIAS"}));
    ASSERT_EQ(found.size(), 1u);
    const Row& row = found[0];
    // Her home number is the first home number by rank, not the one found.
    EXPECT_EQ(Row(row.begin() + 1, row.end()),
              (Row{"佐藤花子", "", "", "045-641-2222", "hanako.sato@example.ne.jp", "家族", "さとうはなこ", ""}));
    const auto office = rows(personDb, person->CreateSimpleViewQuery("たかはしこうぎょう", ""));
    ASSERT_EQ(office.size(), 1u);
    EXPECT_EQ(Row(office[0].begin() + 1, office[0].end()),
              (Row{"髙橋一郎", "髙橋工業株式会社", "06-6345-0001", "", "ichiro@takahashi-kogyo.example.jp", "仕事",
                   "たかはしいちろう", "たかはしこうぎょう"}));
}

struct SheetSearchCase {
    std::string what, item, trader;
    Names sheets;  // T_SHEET.ID of every row
};

TEST_F(SearchRun, SheetListFindsSalesAndPurchasesByEitherCounterpart) {
    const std::vector<SheetSearchCase> cases = {
        {"sales by their customer, quote and all", "", "O'Neil", {"12", "16"}},
        {"purchases by their supplier", "", "東京電機", {"5", "7"}},
        {"purchases by the reading of the supplier's contact", "", "たかはし", {"9", "11", "19"}},
        {"both kinds by their goods", "ボールペン", "", {"1", "2", "17", "18"}},
        {"by the goods group", "文具", "", {"1", "2", "3", "4", "17", "18"}},
        {"by goods and counterpart together", "ボールペン", "文具センター", {"1", "17"}},
        {"nothing extra through a quote", "x') OR 1=1 OR (T_ITEMS.ITEM_NAME LIKE '", "", {}},
    };
    for (const SheetSearchCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(column(rows(itemDb, items->CreateSimpleViewQuery(c.item, c.trader)), 8), c.sheets);
    }
    // A sale: the supplier side is empty.
    const auto sale = rows(itemDb, items->GetFindView("コーヒー", "O'Neil"));
    ASSERT_EQ(sale.size(), 1u);
    EXPECT_EQ(sale[0][0], "1");
    EXPECT_EQ(Row(sale[0].begin() + 2, sale[0].begin() + 5), (Row{"コーヒー豆", "", "O'Neil & Co."}));
    EXPECT_TRUE(sink.messages().empty());
}

struct ListCase {
    std::string what, alias, name, other;
    Names found;
};

TEST_F(SearchRun, GoodsListNarrowsByModel) {
    const std::vector<ListCase> cases = {
        {"by name", "", "ケトル", "", {"電気ケトル"}},
        {"by reading, the name word unused", "でんき", "テレビ", "", {"電気ケトル"}},
        {"reading and a model that does not fit", "でんき", "", "BP", {}},
        {"name and model", "", "ー", "BP", {"ボールペン"}},
        {"model alone", "", "", "4T", {"液晶テレビ \"AQUOS\""}},
        {"a quote in the name", "", "O'Reilly", "", {}},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(column(rows(itemDb, items->CreateItemView(c.alias, c.name, c.other)), 2), c.found);
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(SearchRun, SupplierAndCustomerListsNarrowByTelephone) {
    const std::vector<ListCase> customers = {
        {"by name", "", "山田", "", {"山田商店"}},
        {"name and a number that does not fit", "", "山田", "045", {}},
        {"name and number", "", "山田", "03-3401", {"山田商店"}},
        {"with a quote", "", "O'Neil", "", {"O'Neil & Co."}},
        {"by reading of the company", "ひまわり", "", "", {"株式会社ひまわり"}},
    };
    for (const ListCase& c : customers) {
        SCOPED_TRACE("customers " + c.what);
        EXPECT_EQ(column(rows(itemDb, items->CreatePersonView(c.alias, c.name, c.other, false)), 1), c.found);
    }
    const std::vector<ListCase> suppliers = {
        {"by fax", "", "", "3253-1112", {"東京電機卸"}},
        {"by the contact's reading", "のぐち", "", "", {"書籍流通センター"}},
        {"name and a number that does not fit", "", "東京", "026", {}},
    };
    for (const ListCase& c : suppliers) {
        SCOPED_TRACE("suppliers " + c.what);
        EXPECT_EQ(column(rows(itemDb, items->CreatePersonView(c.alias, c.name, c.other, true)), 1), c.found);
    }
    std::vector<std::string> names;
    const auto oneil = rows(itemDb, items->CreatePersonView("", "O'Neil", "", false), &names);
    EXPECT_EQ(names, (std::vector<std::string>{"ID", "COMPANY", "TANTO", "TEL", "MAIL"}));
    ASSERT_EQ(oneil.size(), 1u);
    EXPECT_EQ(Row(oneil[0].begin() + 1, oneil[0].end()),
              (Row{"O'Neil & Co.", "O'NeilSean", "", "sean@oneil.example.com"}));
    EXPECT_TRUE(sink.messages().empty());
}

}  // namespace
}  // namespace lumo::test
