// The person file's substring index: a search that uses it gives the rows
// that reading every person gives (the same statement with " OR 1 = 0"
// in its chain, which the index does not take), whatever the names hold
// and whatever was written since; and it is used where it can be.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Connection.h"
#include "engine/JetSql.h"
#include "engine/Recordset.h"
#include "engine/SubstringIndex.h"
#include "schema/Schema.h"
#include "tests/engine/TestDatabase.h"

namespace lumo::test {
namespace {

using db::SqlLiteral;

// The person search's inner statement: a word in any of the name columns.
std::string personSearch(const std::string& word, const std::string& extra = "") {
    std::string chain;
    for (const char* column :
         {"LASTNAME", "FIRSTNAME", "LASTALIAS", "FIRSTALIAS", "ALIAS", "COMPANY", "MATEALIAS", "MATE"}) {
        if (!chain.empty()) chain += " OR ";
        chain += std::string("T_PERSON.") + column + " LIKE '%" + word + "%'";
    }
    return "SELECT T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID "
           "WHERE (" +
           chain + extra + ")";
}

// The person search's inner statement for a phone fragment: anywhere in a
// number, at its end or at its start.
std::string phoneSearch(const std::string& word, const std::string& extra = "") {
    return "SELECT T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = T_PHONE.PERSON_ID "
           "WHERE (T_PHONE.TEL_NUMBER LIKE '%" +
           word + "%' OR T_PHONE.TEL_NUMBER LIKE '%" + word + "' OR T_PHONE.TEL_NUMBER LIKE '" + word + "%'" + extra +
           ")";
}

// Doubles the quotes of a word spliced into a statement.
std::string quoted(const std::string& word) {
    std::string out;
    for (char c : word) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out;
}

std::vector<std::string> sorted(std::vector<std::string> rows) {
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The persons a search lists (it lists a person once per phone).
std::size_t personsIn(std::vector<std::string> rows) {
    rows = sorted(std::move(rows));
    return static_cast<std::size_t>(std::unique(rows.begin(), rows.end()) - rows.begin());
}

// Names as a file may hold them. A NUL, a byte that would join the
// character before it, a value that is not text or a column too long to
// check hide text from the index; those persons must be found all the same.
struct Name {
    std::string column, sqlValue;  // an SQL expression for the value
};

const std::vector<Name>& names() {
    static const std::vector<Name> all{
        {"LASTNAME", "'ルミナ'"},
        {"FIRSTNAME", "'るみな'"},
        {"COMPANY", "'Tanaka Trading'"},
        {"ALIAS", "'TANAKA'"},
        {"MATE", "'ﾙﾐﾅ'"},
        {"LASTNAME", "CAST(X'E383ABE3839FE3838A80' AS TEXT)"},  // ルミナ and a stray byte
        {"FIRSTNAME", "CAST(X'E383ABE3839FE3838A00E383AB' AS TEXT)"},  // ルミナ, NUL, ル
        {"COMPANY", "CAST(X'61C374616E616B61' AS TEXT)"},  // a, a lone lead byte, tanaka
        {"MATEALIAS", "X'E383ABE3839FE3838A'"},  // ルミナ as a blob
        {"LASTALIAS", "'あ' || replace(hex(zeroblob(600)), '0', 'い') || 'ルミナ'"},  // 1,200 characters first
        {"FIRSTALIAS", "'100%_off ルミナ'"},
        {"LASTNAME", "'O''Brien \"ルミナ\"'"},
        {"COMPANY", "'°±µ ルミナ'"},
        {"LASTNAME", "'ルミ'"},
        {"MATE", "NULL"},
    };
    return all;
}

// Numbers as a file may hold them, for persons 1 to 4 and for nobody.
const std::vector<std::string>& phones() {
    static const std::vector<std::string> all{
        "(1, '03-1234-5678')", "(1, '090-1234')", "(2, '1234')", "(2, NULL)", "(3, '')",
        "(3, '０３−１２３４')", "(4, CAST(X'2D313233340080' AS TEXT))",  // -1234, NUL
        "(4, CAST(X'EFBC91EFBC92EFBC93EFBC9480' AS TEXT))",  // １２３４ and a stray byte
        "(99, '06-1234')",
    };
    return all;
}

struct Word {
    std::string text;
    bool indexed;  // the index serves it
};

const std::vector<Word>& words() {
    static const std::vector<Word> all{
        {"ルミナ", true},          {"るみな", true},       {"tanaka", true},       {"TANAKA T", true},
        {"ﾙﾐﾅ", true},             {"ミナ", false},        {"ナ", false},          {"ta_aka", true},
        {"100%_of", true},         {"\"ルミナ\"", true},   {"O'Brien", true},      {"°±µ", true},
        {"ルミナ\x80", false},     {"ルミ%ナ", false},     {"いいい", true},       {"いルミナ", true},
        {"%", false},              {"", false},            {"[ル]ミナ", true},     {"[ル-ロ]ミナ", false},
        {"100[%][_]of", true},     {"[!x]ルミナ", true},   {"ルミ[ナノ]", false},
    };
    return all;
}

class PersonFile {
public:
    // The names are written as another program would write them: Jet
    // SQL has no blob literals.
    explicit PersonFile(std::string_view ddl) : file_(std::string(ddl) + inserts()) {
        cn_.Open(file_.connectionString());
    }
    db::Connection& connection() { return cn_; }
    const TestDatabase& file() const { return file_; }

    // The rows of the search for `word`, with the index and reading every
    // person; false when the index was expected and was not there.
    void expectSameRows(const std::string& word, const std::string& when) {
        const std::string w = quoted(word);
        EXPECT_EQ(sorted(firstColumn(cn_, personSearch(w))), sorted(firstColumn(cn_, personSearch(w, " OR 1 = 0"))))
            << "word '" << word << "' " << when;
    }
    void expectSamePhoneRows(const std::string& word, const std::string& when) {
        const std::string w = quoted(word);
        EXPECT_EQ(sorted(firstColumn(cn_, phoneSearch(w))), sorted(firstColumn(cn_, phoneSearch(w, " OR 1 = 0"))))
            << "phone '" << word << "' " << when;
    }

private:
    static std::string inserts() {
        std::string sql;
        for (const Name& name : names())
            sql += ";INSERT INTO T_PERSON (" + name.column + ") VALUES (" + name.sqlValue + ")";
        for (const std::string& phone : phones())
            sql += ";INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES " + phone;
        return sql + ";";
    }
    TestDatabase file_;
    db::Connection cn_;
};

// Whether the engine narrows the search for `word` by the index.
bool narrowed(const std::string& word, std::string (*search)(const std::string&, const std::string&) = personSearch) {
    static const db::SubstringIndex kPersons{"T_PERSON", "PERSON_ID",
                                             {"LASTNAME", "FIRSTNAME", "LASTALIAS", "FIRSTALIAS", "ALIAS", "COMPANY",
                                              "MATEALIAS", "MATE"},
                                             "lumo_search_person", "lumo_search_person_unindexed"};
    static const db::SubstringIndex kPhones{"T_PHONE", "PHONE_ID", {"TEL_NUMBER"}, "lumo_search_phone",
                                            "lumo_search_phone_unindexed"};
    const std::string sql = search(quoted(word), "");
    const db::JetSqlText text(sql);
    const db::JetStatement st = text.translate({}, [](std::string_view table) {
        return table == "T_PERSON" ? &kPersons : table == "T_PHONE" ? &kPhones : nullptr;
    });
    if (st.narrowedSql.empty() || st.narrowingPatterns.size() != 1) return false;
    // SQLite starts from the index only when the narrowing is a plain AND
    // of the condition, not an argument of Jet's And.
    EXPECT_EQ(st.narrowedSql.find("lumo_and("), std::string::npos) << st.narrowedSql;
    return db::substringQuery(text.literals(), st.narrowingPatterns.front()).has_value();
}

TEST(SubstringSearch, IndexedSearchesFindWhatReadingEveryPersonFinds) {
    PersonFile file(schema::personDdl());
    for (const Word& word : words()) {
        EXPECT_EQ(narrowed(word.text), word.indexed) << word.text;
        file.expectSameRows(word.text, "on the new rows");
    }
    // So that an empty answer on both sides cannot pass: ルミナ is in eight
    // of the fifteen persons, as bytes (not in るみな, ﾙﾐﾅ or ルミ).
    EXPECT_EQ(personsIn(firstColumn(file.connection(), personSearch("ルミナ"))), 8u);
}

TEST(SubstringSearch, IndexedPhoneSearchesFindWhatReadingEveryPhoneFinds) {
    PersonFile file(schema::personDdl());
    const std::vector<Word> fragments{{"-1234", true}, {"1234", true}, {"123", true},       {"12", false},
                                      {"１２３４", true}, {"３−１", true}, {"03-1234-5678", true}, {"0_-1", false},
                                      {"5678", true},  {"", false}};
    for (const Word& fragment : fragments) {
        EXPECT_EQ(narrowed(fragment.text, phoneSearch), fragment.indexed) << fragment.text;
        file.expectSamePhoneRows(fragment.text, "on the new rows");
    }
    // Persons 1, 2 and 4 (a NUL after the fragment); not the phone of nobody.
    EXPECT_EQ(sorted(firstColumn(file.connection(), phoneSearch("-1234"))),
              (std::vector<std::string>{"1", "1", "4"}));
    EXPECT_EQ(sorted(firstColumn(file.connection(), phoneSearch("１２３４"))), (std::vector<std::string>{"3", "4"}));
}

// After every kind of write the index still gives every match.
TEST(SubstringSearch, WritesKeepTheIndexTrue) {
    PersonFile file(schema::personDdl());
    const std::vector<std::string> writes{
        "UPDATE T_PERSON SET LASTNAME = 'ミナミ' WHERE LASTNAME = 'ルミナ'",
        "UPDATE T_PERSON SET COMPANY = 'ルミナ商会' WHERE PERSON_ID = 3",
        "UPDATE T_PERSON SET LASTNAME = 'clean' WHERE PERSON_ID = 6",  // no longer unclean
        "direct:UPDATE T_PERSON SET MATE = CAST(X'E3839FE3838A80' AS TEXT) WHERE PERSON_ID = 1",  // now unclean
        "UPDATE T_PERSON SET NOTE = 'ルミナ' WHERE PERSON_ID = 2",  // not an indexed column
        "UPDATE T_PERSON SET PERSON_ID = 100 WHERE PERSON_ID = 4",
        "direct:DELETE FROM T_PERSON WHERE PERSON_ID = 7",
        "DELETE FROM T_PERSON WHERE PERSON_ID = 100",
        "direct:INSERT INTO T_PERSON (PERSON_ID, MATE) VALUES (4, 'ミナミ')",
        "INSERT INTO T_PERSON (FIRSTALIAS, ALIAS) VALUES ('tanakA', 'ルミナ')",
        "UPDATE T_PHONE SET TEL_NUMBER = '045-1234' WHERE PERSON_ID = 2",
        "UPDATE T_PHONE SET TEL_NUMBER = NULL WHERE TEL_NUMBER = '090-1234'",
        "direct:UPDATE T_PHONE SET TEL_NUMBER = CAST(X'EFBC91EFBC92EFBC93EFBC94' AS TEXT) WHERE PHONE_ID = 8",
        "INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (3, '011-1234')",
        "DELETE FROM T_PHONE WHERE TEL_NUMBER = '03-1234-5678'",
        "DELETE FROM T_PERSON WHERE PERSON_ID = 3",  // and its phones with it
    };
    // "direct:" marks a write by another program.
    for (const std::string& write : writes) {
        if (write.starts_with("direct:")) writeDirectly(file.file(), write.substr(7));
        else file.connection().Execute(write);
        for (const char* word : {"ルミナ", "ミナミ", "tanaka", "ミナ"}) file.expectSameRows(word, "after " + write);
        for (const char* fragment : {"-1234", "１２３４", "5678"}) file.expectSamePhoneRows(fragment, "after " + write);
    }
    EXPECT_EQ(personsIn(firstColumn(file.connection(), personSearch("ミナミ"))), 2u);  // persons 1 and the new 4
}

// Records added and changed through a recordset, as the library writes.
TEST(SubstringSearch, RecordsetWritesKeepTheIndexTrue) {
    PersonFile file(schema::personDdl());
    db::Recordset rs;
    rs.Open("SELECT * FROM T_PERSON WHERE PERSON_ID = 1", file.connection(), db::adOpenKeyset, db::adLockOptimistic,
            db::adCmdText);
    rs.Fields("LASTNAME").SetValue(db::Variant(std::string("ユーリカ")));
    rs.Update();
    rs.AddNew();
    rs.Fields("COMPANY").SetValue(db::Variant(std::string("有限会社ユーリカ")));
    rs.Update();
    rs.Close();
    EXPECT_EQ(personsIn(firstColumn(file.connection(), personSearch("ユーリカ"))), 2u);
    for (const char* word : {"ユーリカ", "ルミナ"}) file.expectSameRows(word, "after the recordset's writes");
}

// A file made before the index has none, and its searches read every row.
TEST(SubstringSearch, FilesWithoutTheIndexSearchAsBefore) {
    const std::string tables =
        "CREATE TABLE T_PERSON (PERSON_ID INTEGER PRIMARY KEY AUTOINCREMENT, LASTNAME TEXT, FIRSTNAME TEXT, "
        "LASTALIAS TEXT, FIRSTALIAS TEXT, ALIAS TEXT, COMPANY TEXT, MATEALIAS TEXT, MATE TEXT, NOTE TEXT);"
        "CREATE TABLE T_PHONE (PHONE_ID INTEGER PRIMARY KEY AUTOINCREMENT, PERSON_ID LONG, TEL_NUMBER TEXT);";
    PersonFile file(tables);
    for (const Word& word : words()) file.expectSameRows(word.text, "without the index");
    EXPECT_EQ(personsIn(firstColumn(file.connection(), personSearch("ルミナ"))), 8u);
}

// The index query for the patterns of one chain.
TEST(SubstringSearch, IndexQueriesHoldTheTrigramsOfTheLongestRun) {
    struct Case {
        std::vector<std::string> patterns;
        std::optional<std::string> query;
    };
    const std::vector<Case> cases{
        {{"%ルミナ%"}, "(\"ルミナ\")"},
        {{"%tanaka%"}, "(\"tan\" AND \"ana\" AND \"nak\" AND \"aka\")"},
        {{"ルミナ%"}, "(\"ルミナ\")"},
        {{"%ルミナ"}, "(\"ルミナ\")"},
        {{"%ab_cde%"}, "(\"cde\")"},  // every match holds each run whole
        {{"%\"ab\"%"}, "(\"\"\"ab\" AND \"ab\"\"\")"},
        {{"%ルミナ%", "%ルミナ%", "%ミナミ%"}, "(\"ルミナ\") OR (\"ミナミ\")"},
        {{"%ab%"}, std::nullopt},
        {{"%ルミナ%", "%ab%"}, std::nullopt},  // one short pattern: read every row
        {{"%a_b_c%"}, std::nullopt},
        {{"%ルミ\x80%"}, std::nullopt},
        {{std::string("%ab\0cd%", 7)}, std::nullopt},
        {{"%\xC0\xAF\xC0\xAF\xC0\xAF%"}, std::nullopt},  // overlong
        {{"%\xED\xA0\x80\xED\xA0\x80\xED\xA0\x80%"}, std::nullopt},  // surrogates
        // A one-character list is that character, [%] and [[] included; a
        // list of several ends a run as _ does.
        {{"%[ル]ミナ%"}, "(\"ルミナ\")"},
        {{"%ルミ[%]ナ%"}, "(\"ルミ%\" AND \"ミ%ナ\")"},
        {{"%[[]ab]%"}, "(\"[ab\" AND \"ab]\")"},
        {{"%[山川]ルミナ%"}, "(\"ルミナ\")"},
        {{"%[!山]ルミナ%"}, "(\"ルミナ\")"},
        {{"%ルミ[ナノ]%"}, std::nullopt},
        {{"%[a-c]bc%"}, std::nullopt},
    };
    for (const Case& c : cases) {
        std::vector<SqlLiteral> literals;
        std::vector<std::size_t> numbers;
        for (const std::string& p : c.patterns) {
            numbers.push_back(literals.size());
            literals.push_back({SqlLiteral::Kind::Text, 0, 0, p});
        }
        EXPECT_EQ(db::substringQuery(literals, numbers), c.query) << c.patterns.front();
    }
    const std::vector<SqlLiteral> number{{SqlLiteral::Kind::Integer, 12345, 0, ""}};
    EXPECT_EQ(db::substringQuery(number, {0}), std::nullopt);
}

// Where the rewrite applies: chains of indexed columns of one table, in
// any SELECT with no literal after it.
TEST(SubstringSearch, OnlyChainsOfIndexedColumnsAreNarrowed) {
    static const db::SubstringIndex kIndex{"T_PERSON", "PERSON_ID", {"LASTNAME", "COMPANY"}, "w", "u"};
    const auto narrowedSql = [](const std::string& sql) {
        return db::JetSqlText(sql)
            .translate({}, [](std::string_view table) { return table == "T_PERSON" ? &kIndex : nullptr; })
            .narrowedSql;
    };
    struct Case {
        std::string sql;
        bool narrowed;
    };
    const std::vector<Case> cases{
        {"SELECT P.PERSON_ID FROM T_PERSON AS P, T_PHONE WHERE P.LASTNAME LIKE '%abc%' OR P.COMPANY LIKE '%abc%'",
         true},
        {"SELECT T_PERSON.PERSON_ID FROM T_PERSON, T_PHONE WHERE T_PERSON.LASTNAME LIKE '%abc%' AND T_PHONE.X = 1",
         true},
        {"SELECT T_PERSON.PERSON_ID FROM T_PERSON, T_PHONE WHERE T_PERSON.NOTE LIKE '%abc%'", false},
        {"SELECT T_PERSON.PERSON_ID FROM T_PERSON, T_PHONE WHERE T_PERSON.LASTNAME LIKE '%abc%' OR "
         "T_PHONE.TEL_NUMBER LIKE '%abc%'",
         false},
        {"SELECT T_PERSON.PERSON_ID FROM T_PERSON, T_PHONE WHERE (T_PERSON.LASTNAME & T_PERSON.COMPANY) LIKE '%abc%'",
         false},
        {"SELECT T_PERSON.PERSON_ID FROM T_PERSON, T_PHONE WHERE T_PERSON.LASTNAME LIKE '%abc%' ORDER BY 1", false},
        {"SELECT X.A FROM X, Y WHERE X.A IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON, T_PHONE WHERE "
         "T_PERSON.LASTNAME LIKE '%abc%') AND X.B = 'z'",
         false},  // a literal after the narrowed SELECT would change its number
        {"SELECT X.A FROM X, Y WHERE X.B = 'z' AND X.A IN (SELECT T_PERSON.PERSON_ID FROM T_PERSON, T_PHONE WHERE "
         "T_PERSON.LASTNAME LIKE '%abc%')",
         true},
        // One table: kept updatable, so left as it is.
        {"SELECT T_PERSON.PERSON_ID FROM T_PERSON WHERE T_PERSON.LASTNAME LIKE '%abc%'", false},
    };
    for (const Case& c : cases) EXPECT_EQ(!narrowedSql(c.sql).empty(), c.narrowed) << c.sql;
}

// A TOP before the search moves its ORDER BY literal and writes it ?1:
// the search's pattern is still the second literal, and the index query
// the third parameter, not the pattern's.
TEST(SubstringSearch, NarrowingCountsTheParametersATopRewriteNumbered) {
    static const db::SubstringIndex kIndex{"T_PERSON", "PERSON_ID", {"LASTNAME"}, "w", "u"};
    const db::JetSqlText text(
        "SELECT X.A FROM X, Y WHERE X.A IN (SELECT TOP 2 T.A FROM T ORDER BY 'x') AND X.A IN (SELECT "
        "T_PERSON.PERSON_ID FROM T_PERSON, T_PHONE WHERE T_PERSON.LASTNAME LIKE '%abc%')");
    const db::JetStatement st =
        text.translate({}, [](std::string_view table) { return table == "T_PERSON" ? &kIndex : nullptr; });
    ASSERT_EQ(text.literals().size(), 2u);
    EXPECT_EQ(st.narrowingPatterns, (std::vector<std::vector<std::size_t>>{{1}}));
    EXPECT_NE(st.narrowedSql.find("MATCH ?3 "), std::string::npos) << st.narrowedSql;
}

}  // namespace
}  // namespace lumo::test
