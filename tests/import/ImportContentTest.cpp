// The imported fixture files hold every row of every table exactly as the
// expected-content files list them: keys with their gaps, Null apart from
// "", text outside the BMP, the 70,000-character note, dates before 1900,
// Yes/No as -1/0. New keys continue above the source's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "platform/Dates.h"
#include "tests/import/ImportTestSupport.h"
#include "tests/import/JsonLines.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

struct TableRows {
    std::string name;
    std::vector<const ExpectedRow*> rows;
};

// The expected rows grouped by table, tables in file order.
std::vector<TableRows> byTable(const std::vector<ExpectedRow>& rows) {
    std::vector<TableRows> tables;
    for (const ExpectedRow& row : rows) {
        if (tables.empty() || tables.back().name != row.table) tables.push_back({row.table, {}});
        tables.back().rows.push_back(&row);
    }
    return tables;
}

std::string dateText(double automation) {
    const dates::DateTime t = dates::fromAutomation(automation);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return text;
}

// One stored value against its expected value: "" when they agree, else
// what differs.
std::string compareValue(sqlite3_stmt* st, int index, const JsonValue& expected, bool dateColumn) {
    const int type = sqlite3_column_type(st, index);
    if (std::holds_alternative<std::nullptr_t>(expected)) return type == SQLITE_NULL ? "" : "expected Null";
    if (type == SQLITE_NULL) return "Null, expected a value";
    if (const auto* flag = std::get_if<bool>(&expected)) {
        const auto stored = sqlite3_column_int64(st, index);
        return type == SQLITE_INTEGER && stored == (*flag ? -1 : 0) ? "" : "Yes/No stored as " + std::to_string(stored);
    }
    if (const auto* number = std::get_if<std::int64_t>(&expected)) {
        const auto stored = sqlite3_column_int64(st, index);
        return type == SQLITE_INTEGER && stored == *number ? "" : "number " + std::to_string(stored);
    }
    const std::string& text = std::get<std::string>(expected);
    if (dateColumn) {
        if (type != SQLITE_FLOAT && type != SQLITE_INTEGER) return "date not stored as a number";
        const std::string stored = dateText(sqlite3_column_double(st, index));
        return stored == text ? "" : "date " + stored;
    }
    if (type != SQLITE_TEXT) return "not stored as text";
    const std::string stored(reinterpret_cast<const char*>(sqlite3_column_text(st, index)),
                             static_cast<std::size_t>(sqlite3_column_bytes(st, index)));
    if (stored == text) return "";
    return "text of " + std::to_string(stored.size()) + " bytes differs from the expected " + std::to_string(text.size()) +
           " bytes: " + stored.substr(0, 80);
}

struct OurColumn {
    std::string type;
    bool key = false;
};

std::map<std::string, OurColumn> ourColumns(Db& db, const std::string& table) {
    std::map<std::string, OurColumn> columns;
    for (const auto& row : db.rows("SELECT name, type, pk FROM pragma_table_info('" + table + "')"))
        columns[row[0]] = {row[1], row[2] == "1"};
    return columns;
}

std::string keyOf(const std::map<std::string, OurColumn>& columns) {
    for (const auto& [name, column] : columns)
        if (column.key) return name;
    return "";
}

class ImportedFixtures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        destination_ = std::make_unique<ScratchFolder>();
        results_ = importInto(fixtureFolder(), destination_->path());
    }
    static void TearDownTestSuite() { destination_.reset(); }

    static fs::path imported(const std::string& name) { return destination_->data(name + ".mdb"); }

    static std::unique_ptr<ScratchFolder> destination_;
    static std::vector<tools::FileResult> results_;
};

std::unique_ptr<ScratchFolder> ImportedFixtures::destination_;
std::vector<tools::FileResult> ImportedFixtures::results_;

TEST_F(ImportedFixtures, EveryRowOfEveryTableHoldsTheExpectedValues) {
    for (const std::string& name : fixtureDatabases()) {
        const std::vector<ExpectedRow> expected = readJsonLines(fixture(name + ".jsonl"));
        Db db(imported(name));
        std::size_t compared = 0;
        for (const TableRows& table : byTable(expected)) {
            const auto columns = ourColumns(db, table.name);
            const std::string key = keyOf(columns);
            std::string sql = "SELECT ";
            for (std::size_t i = 0; i < table.rows.front()->columns.size(); ++i)
                sql += (i ? ", \"" : "\"") + table.rows.front()->columns[i].first + "\"";
            sql += " FROM " + table.name + " ORDER BY " + (key.empty() ? "rowid" : key);
            sqlite3_stmt* raw = nullptr;
            ASSERT_EQ(sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &raw, nullptr), SQLITE_OK) << sql;
            std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
            std::size_t index = 0;
            int failures = 0;
            while (sqlite3_step(st.get()) == SQLITE_ROW && index < table.rows.size()) {
                const ExpectedRow& row = *table.rows[index++];
                for (std::size_t c = 0; c < row.columns.size(); ++c) {
                    const auto& [column, value] = row.columns[c];
                    const bool date = columns.at(column).type == "DATETIME";
                    const std::string difference = compareValue(st.get(), static_cast<int>(c), value, date);
                    if (!difference.empty() && ++failures <= 5)
                        ADD_FAILURE() << name << " " << table.name << " row " << index << " " << column << ": " << difference;
                    ++compared;
                }
            }
            EXPECT_EQ(index, table.rows.size()) << name << " " << table.name;
            EXPECT_EQ(db.integer("SELECT COUNT(*) FROM " + table.name), static_cast<std::int64_t>(table.rows.size()))
                << name << " " << table.name;
        }
        EXPECT_GT(compared, 0u) << name;
    }
}

// The awkward values, named, so that a failure says which one was lost.
TEST_F(ImportedFixtures, KeepsTheAwkwardValuesNamedInTheFixtures) {
    Db person(imported("LumoBase"));
    EXPECT_EQ(person.integer("SELECT length(NOTE) FROM T_PERSON WHERE PERSON_ID = 13"), 70000);
    EXPECT_EQ(person.text("SELECT substr(LASTNAME, 1, 2) FROM T_PERSON WHERE PERSON_ID = 11"), "𠮷田");
    EXPECT_EQ(person.integer("SELECT COUNT(*) FROM T_PERSON WHERE PERSON_ID = 21 AND LASTNAME = ''"), 1);
    EXPECT_EQ(person.integer("SELECT COUNT(*) FROM T_PERSON WHERE PERSON_ID = 19 AND LASTNAME IS NULL"), 1);
    EXPECT_EQ(person.integer("SELECT COUNT(*) FROM T_PHONE WHERE PERSON_ID = 15"), 500);
    EXPECT_EQ(dateText(std::stod(person.text("SELECT BIRTHDAY FROM T_PERSON WHERE PERSON_ID = 17"))), "1862-07-21T00:00:00");
    EXPECT_EQ(std::stod(person.text("SELECT ANNIVERSARY FROM T_PERSON WHERE PERSON_ID = 29")), -1.25);
    EXPECT_EQ(person.integer("SELECT COUNT(*) FROM T_PERSON WHERE PERSON_ID IN (7, 8, 20)"), 0);
    EXPECT_GT(person.integer("SELECT COUNT(*) FROM T_PHONE WHERE PERSON_ID IN (7, 8, 20)"), 0);
    Db item(imported("iLumoBase"));
    EXPECT_EQ(item.integer("SELECT SALES_AMOUNT FROM T_SHEET WHERE ID = 18"), 2136000000);
    EXPECT_EQ(dateText(std::stod(item.text("SELECT SHEET_DATE FROM T_SHEET WHERE ID = 8"))).substr(0, 10), "1024-03-15");
    Db scrap(imported("LumoScrap"));
    EXPECT_EQ(scrap.integer("SELECT length(BODY) FROM T_SCRAP WHERE ID = 11"), 40000);
    EXPECT_EQ(scrap.integer("SELECT COUNT(*) FROM T_SCRAP WHERE ID = 16 AND REG_DATE IS NULL AND LABEL_ID IS NULL"), 1);
}

TEST_F(ImportedFixtures, TheSummaryCountsRowsAndOrphansPerTable) {
    // Owner links of the fixtures: dependent rows whose owner key is Null
    // or names no row are orphans.
    struct Link {
        std::string file, table, column, owner, ownerKey;
    };
    const std::vector<Link> links{{"LumoBase", "T_PHONE", "PERSON_ID", "T_PERSON", "PERSON_ID"},
                                  {"LumoBase", "T_EMAIL", "PERSON_ID", "T_PERSON", "PERSON_ID"},
                                  {"LumoBase", "T_GREETING", "PERSON_ID", "T_PERSON", "PERSON_ID"},
                                  {"LumoBase", "T_CHILDREN", "PERSON_ID", "T_PERSON", "PERSON_ID"},
                                  {"LumoBase", "T_TODOLIST", "PERSON_ID", "T_PERSON", "PERSON_ID"},
                                  {"iLumoBase", "T_SHEET", "GOODS_ID", "T_ITEMS", "ID"},
                                  {"iLumoBase", "T_TODOLIST", "SHEET_ID", "T_SHEET", "ID"}};
    ASSERT_EQ(results_.size(), fixtureDatabases().size());
    for (std::size_t f = 0; f < results_.size(); ++f) {
        const std::string& name = fixtureDatabases()[f];
        EXPECT_EQ(results_[f].fileName, name + ".mdb");
        EXPECT_TRUE(results_[f].skipped.empty());
        const std::vector<ExpectedRow> expected = readJsonLines(fixture(name + ".jsonl"));
        const std::vector<TableRows> tables = byTable(expected);
        ASSERT_EQ(results_[f].tables.size(), tables.size()) << name;
        for (std::size_t t = 0; t < tables.size(); ++t) {
            const tools::TableResult& result = results_[f].tables[t];
            EXPECT_EQ(result.table, tables[t].name);
            EXPECT_EQ(result.read, tables[t].rows.size()) << result.table;
            EXPECT_EQ(result.written, tables[t].rows.size()) << result.table;
            std::size_t orphans = 0;
            for (const Link& link : links) {
                if (link.file != name || link.table != result.table) continue;
                std::set<std::int64_t> owners;
                for (const ExpectedRow& row : expected)
                    if (row.table == link.owner)
                        for (const auto& [column, value] : row.columns)
                            if (column == link.ownerKey) owners.insert(std::get<std::int64_t>(value));
                for (const ExpectedRow* row : tables[t].rows)
                    for (const auto& [column, value] : row->columns)
                        if (column == link.column && (!std::holds_alternative<std::int64_t>(value) ||
                                                      !owners.contains(std::get<std::int64_t>(value))))
                            ++orphans;
                EXPECT_GT(orphans, 0u) << "the fixtures hold orphans in " << name << " " << link.table;
            }
            EXPECT_EQ(result.orphans, orphans) << name << " " << result.table;
        }
    }
    EXPECT_TRUE(tools::everythingWritten(results_));
}

TEST(ImportKeys, NewRowsGetKeysAboveEverySourceKey) {
    ScratchFolder destination;
    importInto(fixtureFolder(), destination.path());
    for (const std::string& name : fixtureDatabases()) {
        std::map<std::string, std::int64_t> highest;
        for (const ExpectedRow& row : readJsonLines(fixture(name + ".jsonl")))
            if (!row.columns.empty())
                if (const auto* key = std::get_if<std::int64_t>(&row.columns.front().second))
                    highest[row.table] = std::max(highest[row.table], *key);
        Db db(destination.data(name + ".mdb"));
        for (const auto& [table, maxKey] : highest) {
            const std::string key = keyOf(ourColumns(db, table));
            if (key.empty()) continue;
            db.exec("INSERT INTO " + table + " DEFAULT VALUES");
            EXPECT_GT(db.integer("SELECT last_insert_rowid()"), maxKey) << name << " " << table;
        }
    }
}

TEST(ImportSource, IsNeverWritten) {
    SourceCopy source;
    std::vector<std::string> before;
    for (const std::string& name : fixtureDatabases()) before.push_back(readFile(source.add(name + ".mdb", name + ".mdb")));
    ScratchFolder destination;
    importInto(source.folder.path(), destination.path());
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(readFile(source.folder.data(fixtureDatabases()[i] + ".mdb")), before[i]) << fixtureDatabases()[i];
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(source.folder.path() / "Data")) ++files;
    EXPECT_EQ(files, before.size());
}

}  // namespace
}  // namespace lumo::test
