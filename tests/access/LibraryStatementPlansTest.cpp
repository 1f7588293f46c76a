// Every statement the data-access library and the export hand to the
// engine, with its query plan and its rows as they were recorded in
// tests/data/library-statements.txt. The library's three classes are
// driven through every operation (reads, each search list, every write,
// groups, notes, batches) and the export through both kinds, on small
// files with rows written here by hand; the engine's statement watch
// (engine/internal/StatementWatch.h) collects each Jet text it runs. After
// each operation, every text new to the run is looked at on a connection of
// the test's own: SQLite's EXPLAIN QUERY PLAN of the SQLite text the engine
// ran, with the values it bound, and for a SELECT its rows as they stand
// after that operation.
//
// The test fails when a recorded statement's plan or rows differ, when the
// library builds a statement the file does not list, and when it no longer
// builds one the file lists. A new statement is added to the file on
// purpose, by a person:
//
//   LUMO_REFRESH_STATEMENTS=1 build/bin/test_statement_plans
//
// rewrites the file from the run (and says what changed); read the new
// plans and rows before committing it.
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "ConnectionImpl.h"
#include "StatementWatch.h"
#include "engine/Connection.h"
#include "engine/ConnectionString.h"
#include "engine/Recordset.h"
#include "engine/RowStream.h"
#include "export/engine/ExportRun.h"
#include "export/engine/clsExportSource.h"
#include "tests/access/BatchEntries.h"
#include "tests/access/PersonWriteSupport.h"
#include "tests/access/SheetTestSupport.h"
#include "tests/export/ExportFixture.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

// ------------------------------------------------------------ the files

// A few rows of every kind, with the texts a search has to treat with
// care: quotes, % and _ in stored values, words of two and of three or
// more characters (the substring index narrows only the latter).
constexpr const char* kPersonRows = R"sql(
INSERT INTO T_GROUPING (TYPE_ID, LABEL) VALUES (2, '友人'), (3, '仕事'), (4, '取引先');
INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME, FIRSTNAME, LASTALIAS, FIRSTALIAS, ALIAS, COMPANY, MATEALIAS, MATE,
    NICKNAME, HOME_ZIP, HOME_ADDRESS1, HOME_ADDRESS2, OFFICE_ZIP, OFFICE_ADDRESS1, BIRTHDAY, AGE, ANNIVERSARY, NOTE,
    "DEFAULT") VALUES
  (1, 2, '山田', '太郎', 'ヤマダ', 'タロウ', 'ﾔﾏﾀﾞ', '山田商店', 'ヤマダハナコ', '山田花子', 'たろ', '100-0001',
   '東京都千代田区', '1-1', NULL, NULL, 30000, 42, 40000.5, '2024/01/05 年賀状の返事を出す', 'HOME'),
  (2, 3, '佐藤', '次郎', 'サトウ', 'ジロウ', NULL, '佐藤工業', NULL, NULL, NULL, NULL, NULL, NULL, '530-0001',
   '大阪府北区', NULL, NULL, NULL, NULL, 'OFFICE'),
  (3, 3, 'O''Brien', 'Anne', 'オブライエン', 'アン', NULL, 'Acme 100% Co_Ltd', NULL, NULL, NULL, NULL, NULL, NULL,
   NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (4, 4, '鈴木', '一郎', 'スズキ', 'イチロウ', NULL, '山田商店', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
   NULL, NULL, NULL, NULL, NULL),
  (5, 2, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
   NULL);
INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, LABEL, TEL_NUMBER, RANK, TYPE) VALUES
  (1, 1, '自宅', '03-1111-2222', 1, 'HOME'), (2, 1, '携帯', '090-1234-5678', 2, 'MOBILE'),
  (3, 1, '会社', '03-9999-0000', 3, 'OFFICE'), (4, 2, '会社', '06-5555-1234', 1, 'OFFICE'),
  (5, 3, '自宅', '045-123-4567', 1, 'home'), (6, 4, '携帯', '080-1234-0000', 1, 'MOBILE');
INSERT INTO T_EMAIL (MAIL_ID, PERSON_ID, LABEL, MAIL_ADDRESS, RANK, TYPE) VALUES
  (1, 1, '私用', 'taro@example.jp', 1, 'HOME'), (2, 1, '会社', 'yamada@shop.example.jp', 2, 'OFFICE'),
  (3, 3, 'work', 'anne@acme.example.com', 1, 'OFFICE');
INSERT INTO T_GREETING (GREETING_ID, PERSON_ID, TARGET, NEWYEAR_SEND, NEWYEAR_RECEIVE, MEMO) VALUES
  (1, 1, 2023, -1, -1, '喪中'), (2, 1, 2024, -1, 0, NULL), (3, 2, 2024, 0, -1, NULL);
INSERT INTO T_CHILDREN (CHILD_ID, PERSON_ID, CHILDREN, ALIAS) VALUES (1, 1, '一郎', 'イチロウ'), (2, 1, '二郎', 'ジロウ');
INSERT INTO T_TODOLIST (PERSON_ID, NOTE, CHK_FLAG) VALUES
  (1, '2024/01/05 年賀状の返事を出す', -1), (2, '2023/12/01 済んだ用事の記録', 0);
)sql";

constexpr const char* kItemRows = R"sql(
INSERT INTO T_iGROUPING (ITYPE_ID, ILABEL) VALUES (2, '文具'), (3, '家電');
INSERT INTO T_ITEMS (ID, ITYPE_ID, MAKER, ITEM_ALIAS, ITEM_NAME, ITEM_FORM, ITEM_SPEC, MEMO_LABEL1, MEMO1, PHOTO_PATH)
VALUES (1, 2, '書房堂', 'マンネンヒツ', '万年筆', 'MN-7', '細字', '色', '黒', '/photo/1.jpg'),
       (2, 2, '書房堂', 'ボールペン', 'ボールペン', 'BP-100%', '0.5mm', NULL, NULL, NULL),
       (3, 3, '電機館', 'ソウジキ', '掃除機', 'VC_2', NULL, NULL, NULL, NULL);
INSERT INTO T_iSUPPLIER (SUPPLIER_ID, ALIAS, SUPPLIER, SLAST_ALIAS, SLAST_NAME, SFIRST_ALIAS, SFIRST_NAME, S_TEL, S_FAX,
    S_MAIL, S_LINK_ID) VALUES
  (1, 'シイレ', '仕入商会', 'ヤマダ', '山田', 'タロウ', '太郎', '03-1111-0001', '03-1111-0002', 's@example.jp', 0),
  (2, 'オブライエン', 'O''Brien Trading', NULL, NULL, NULL, NULL, NULL, NULL, NULL, 0);
INSERT INTO T_iCUSTOMER (CUSTOMER_ID, ALIAS, CUSTOMER, CLAST_ALIAS, CLAST_NAME, CFIRST_ALIAS, CFIRST_NAME, C_TEL, C_FAX,
    C_MAIL, C_LINK_ID) VALUES
  (1, 'コキャク', '顧客商事', 'スズキ', '鈴木', 'ハナコ', '花子', '06-2222-0001', NULL, 'c@example.jp', 0);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, SUPPLIER_ID, QUANTITY, STOCK_UNITPRICE, STOCK_AMOUNT, NOTE)
VALUES (1, 0, 1, 45000, 1, 2, 1000, 2000, '2024/02/01 納品を確認する');
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SHEET_DATE, CUSTOMER_ID, QUANTITY, SALES_UNITPRICE, SALES_AMOUNT)
VALUES (2, 1, 1, 45001, 1, 1, 1500, 1500), (3, 1, 3, 45002.5, 1, 1, 30000, 30000);
INSERT INTO T_TODOLIST (SHEET_ID, NOTE, CHK_FLAG) VALUES
  (1, '2024/02/01 納品を確認する', -1), (2, '2023/11/01 済んだ用事の記録', 0);
)sql";

constexpr const char* kScrapRows = R"sql(
INSERT INTO T_GROUPING (LABEL_ID, LABEL) VALUES (2, '新聞'), (3, 'Web');
INSERT INTO T_SCRAP (ID, LABEL_ID, REG_DATE, ED_DATE, TITLE, SOURCE, KEYWORD, PLACE, BODY, BODY_PATH, MEMO) VALUES
  (1, 2, 45000, 45010, '地震の記事', '朝日', '地震;防災', '棚A', '本文' || char(13) || char(10) || '二行目',
   '/scrap/1.txt', 'メモ'),
  (2, 3, 45020, NULL, 'SQLite 100% tips', 'example.com', 'sqlite;db', NULL, NULL, NULL, NULL),
  (3, 2, 45030, NULL, 'O''Brien interview', '毎日', 'interview', NULL, NULL, NULL, NULL);
)sql";

// ------------------------------------------------------- what a run finds

// One statement as the engine first ran it, and what it gives.
struct Seen {
    std::string file;  // the database file's name: one text on two files is two statements
    std::string jet;
    std::vector<std::string> reads;  // a forEachRow caller's columns
    std::string builtBy;             // the operation that first ran it
    std::string sqlite;
    std::vector<db::SqlLiteral> literals;
    std::vector<std::string> indexQueries;
    bool returnsRows = false;
    // What is compared: the plan and, for a SELECT, its columns and rows.
    std::vector<std::string> compared;
};

std::string keyOf(const Seen& s) {
    std::string key = s.file + '\n' + s.jet;
    for (const std::string& r : s.reads) key += '\n' + r;
    return key;
}

// Collects each Jet text (with the columns read) once per file, in the
// order first run. Owned by the drive, set as the engine's watcher while
// an operation runs; one thread.
class Collector : public db::StatementWatcher {
public:
    void seen(const db::WatchedStatement& s) override {
        Seen entry;
        entry.file = file;
        entry.jet = s.jet;
        entry.reads.assign(s.reads.begin(), s.reads.end());
        if (!keys_.insert(keyOf(entry)).second) return;
        entry.builtBy = step;
        entry.sqlite = s.sqlite;
        entry.literals.assign(s.literals.begin(), s.literals.end());
        entry.indexQueries.assign(s.indexQueries.begin(), s.indexQueries.end());
        entry.returnsRows = s.returnsRows;
        found.push_back(std::move(entry));
    }

    std::string file;  // of the operation that runs
    std::string step;
    std::vector<Seen> found;

private:
    std::set<std::string> keys_;
};

// Backslash escapes keep a text on its line.
std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out;
}

std::string quoted(std::string_view text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return escaped(out + "'");
}

// A value as SQL writes it, so that its storage class shows: 12, 12.0,
// 'text', NULL, X'00ff'.
std::string valueText(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL: return "NULL";
    case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT: {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, sqlite3_column_double(st, i)).ptr;
        std::string text(digits, end);
        if (text.find_first_of(".eni") == std::string::npos) text += ".0";
        return text;
    }
    case SQLITE_TEXT:
        return quoted({reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                       static_cast<std::size_t>(sqlite3_column_bytes(st, i))});
    default: {
        static constexpr char kHex[] = "0123456789abcdef";
        const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(st, i));
        std::string text = "X'";
        for (int k = 0; k < sqlite3_column_bytes(st, i); ++k) {
            text += kHex[bytes[k] >> 4];
            text += kHex[bytes[k] & 15];
        }
        return text + "'";
    }
    }
}

std::string upperAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Without ORDER BY, the rows of a join come in the order of the plan the
// planner picks, which nothing promises: they are compared sorted. Every
// other statement reads one table, in key order or in the order of an
// index on its key's column, and its callers rely on that order (rows are
// matched to elements by position): those rows are compared as they come.
bool comparedSorted(const std::string& jet) {
    const std::string upper = upperAscii(jet);
    return upper.find("ORDER BY") == std::string::npos && upper.find(" JOIN ") != std::string::npos;
}

// The statement prepared on `db` and run with the values the engine bound,
// through the engine's own binding (StatementRun). Owns its prepared
// statement; borrows the values of `s`, which must outlive it.
class Rerun {
public:
    Rerun(sqlite3* db, const std::string& sql, const Seen& s) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
            failure_ = sqlite3_errmsg(db);
            return;
        }
        prepared_.statement.reset(raw);
        prepared_.parameterCount = sqlite3_bind_parameter_count(raw);
        run_.emplace(db, prepared_, s.literals, s.indexQueries);
    }
    const std::string& failure() const { return failure_; }
    bool step() { return run_ && run_->step(); }
    sqlite3_stmt* get() const { return prepared_.statement.get(); }

private:
    db::PreparedStatement prepared_;
    std::optional<db::StatementRun> run_;
    std::string failure_;
};

// The lines that are compared: the plan as a tree (two spaces a level),
// then for a SELECT its column names, the number of rows and how they are
// compared, and the rows.
std::vector<std::string> look(sqlite3* db, const Seen& s);

// A statement that no longer runs is a difference like any other.
std::vector<std::string> lookOrFailure(sqlite3* db, const Seen& s) {
    try {
        return look(db, s);
    } catch (const std::exception& e) {
        return {std::string("failed ") + e.what()};
    }
}

std::vector<std::string> look(sqlite3* db, const Seen& s) {
    std::vector<std::string> lines;
    {
        Rerun plan(db, "EXPLAIN QUERY PLAN " + s.sqlite, s);
        if (!plan.failure().empty()) return {"failed " + plan.failure()};
        std::map<int, int> depth;  // by the id of a plan line
        while (plan.step()) {
            const int id = sqlite3_column_int(plan.get(), 0);
            const auto parent = depth.find(sqlite3_column_int(plan.get(), 1));
            const int level = parent == depth.end() ? 0 : parent->second + 1;
            depth[id] = level;
            lines.push_back("plan " + std::string(2 * static_cast<std::size_t>(level), ' ') +
                            reinterpret_cast<const char*>(sqlite3_column_text(plan.get(), 3)));
        }
    }
    if (!s.returnsRows) return lines;
    Rerun rows(db, s.sqlite, s);
    if (!rows.failure().empty()) return {"failed " + rows.failure()};
    const int width = sqlite3_column_count(rows.get());
    std::string columns;
    for (int i = 0; i < width; ++i) columns += (i ? ", " : "") + quoted(sqlite3_column_name(rows.get(), i));
    lines.push_back("columns (" + columns + ")");
    std::vector<std::string> values;
    while (rows.step()) {
        std::string row;
        for (int i = 0; i < width; ++i) row += (i ? ", " : "") + valueText(rows.get(), i);
        values.push_back("row (" + row + ")");
    }
    const bool sorted = comparedSorted(s.jet);
    if (sorted) std::sort(values.begin(), values.end());
    lines.push_back("rows " + std::to_string(values.size()) + (sorted ? " sorted" : " in order"));
    lines.insert(lines.end(), values.begin(), values.end());
    return lines;
}

// ------------------------------------------------------------ the file

constexpr std::string_view kHeader = R"(# Every statement the data-access library and the export build, as the
# engine runs them, recorded by tests/access/LibraryStatementPlansTest.cpp;
# one block per Jet text and file, in the order the test's operations first
# build them. Rewritten only by a person, from a run:
#   LUMO_REFRESH_STATEMENTS=1 build/bin/test_statement_plans
#
#   statement   the Jet text the library (or the client, for a search list)
#               hands the engine
#   file        the database file it runs on
#   reads       the only columns read, for a statement run by forEachRow
#   built-by    the operation that first builds it (shown, not compared)
#   sqlite      what the engine runs for it, '?' for each value (shown, not
#               compared: the promise is the plan and the rows)
#   plan        SQLite's EXPLAIN QUERY PLAN of it with the values bound,
#               two spaces a level
#   columns     a SELECT's result columns as SQLite names them
#   rows        how many rows, and whether they are compared as the
#               statement gives them (in order) or sorted (a join without
#               ORDER BY)
#   row         each row after the operation, values as SQL writes them
#               (12, 12.0, 'text', NULL); inside a text \n, \r, \t and \\
#               stand for a line feed, a carriage return, a tab and a
#               backslash
)";

struct Recorded {
    std::string sqliteVersion;
    std::vector<std::string> order;         // keys, in the file's order
    std::map<std::string, Seen> statements;  // by key
};

std::string withoutEscapes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    return out;
}

Recorded readRecorded(const std::string& path) {
    Recorded recorded;
    std::ifstream in(path);
    Seen* current = nullptr;
    const auto finish = [&] {
        if (!current) return;
        const std::string key = keyOf(*current);
        recorded.order.push_back(key);
        recorded.statements[key] = std::move(*current);
        current = nullptr;
    };
    Seen block;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t space = line.find(' ');
        const std::string word = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (word == "sqlite-version") {
            recorded.sqliteVersion = rest;
        } else if (word == "statement") {
            finish();
            block = Seen{};
            block.jet = withoutEscapes(rest);
            current = &block;
        } else if (!current) {
            continue;
        } else if (word == "file") {
            current->file = rest;
        } else if (word == "reads") {
            std::istringstream names(rest);
            for (std::string name; names >> name;) current->reads.push_back(name);
        } else if (word == "built-by") {
            current->builtBy = rest;
        } else if (word == "sqlite") {
            current->sqlite = withoutEscapes(rest);
        } else {
            current->compared.push_back(line);
        }
    }
    finish();
    return recorded;
}

void writeRecorded(const std::string& path, const std::vector<Seen>& found) {
    std::ofstream out(path, std::ios::trunc);
    out << kHeader << "\nsqlite-version " << sqlite3_libversion() << "\n";
    for (const Seen& s : found) {
        out << "\nstatement " << escaped(s.jet) << "\nfile " << s.file << "\n";
        if (!s.reads.empty()) {
            out << "reads";
            for (const std::string& r : s.reads) out << ' ' << r;
            out << "\n";
        }
        out << "built-by " << s.builtBy << "\nsqlite " << escaped(s.sqlite) << "\n";
        for (const std::string& line : s.compared) out << line << "\n";
    }
    if (!out) ADD_FAILURE() << "could not write " << path;
}

// The first line where two blocks part, with a few lines around it.
std::string difference(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    std::string text;
    const auto show = [&](const char* title, const std::vector<std::string>& lines) {
        text += std::string("  ") + title + ":\n";
        for (std::size_t i = at >= 2 ? at - 2 : 0; i < std::min(lines.size(), at + 3); ++i)
            text += (i == at ? "  > " : "    ") + lines[i] + "\n";
        if (at >= lines.size()) text += "  > (ends here)\n";
    };
    show("recorded", expected);
    show("now", actual);
    return text;
}

const char* kRefreshHint =
    "If the change is meant, rewrite the file with LUMO_REFRESH_STATEMENTS=1 build/bin/test_statement_plans, "
    "read the new plans and rows and commit the file with the change.";

// ------------------------------------------------------------ the drive

// The three files of a new Data folder with the rows above; per file, the
// test's own connections: one that runs what a client runs (the search
// lists), and one whose handle reruns each statement found. Owns the
// folder, the connections and what was found; the library's objects are
// the drive functions' own and end before it. One thread.
class Drive {
public:
    Drive() {
        ExportFolder::sql(folder.personDb(), kPersonRows);
        ExportFolder::sql(folder.itemDb(), kItemRows);
        ExportFolder::sql(folder.scrapDb(), kScrapRows);
        for (File* f : {&person, &item, &scrap}) {
            f->client.Open(f->connection());
            f->look.Open(f->connection());
        }
    }

    struct File {
        explicit File(std::string file) : path(std::move(file)) {}
        std::string path;
        std::string name() const { return std::filesystem::path(path).filename().string(); }
        std::string connection() const { return db::jetConnectionString(path); }
        db::Connection client;
        db::Connection look;
    };

    // Runs one operation on `file` and looks at the statements it ran first.
    void step(File& file, const std::string& name, const std::function<void()>& operation) {
        collector.file = file.name();
        collector.step = name;
        const std::size_t before = collector.found.size();
        {
            const db::ScopedStatementWatch watch(collector);
            operation();
        }
        const auto hold = db::implOf(file.look).lockHandle();
        sqlite3* h = db::implOf(file.look).handle();
        for (std::size_t i = before; i < collector.found.size(); ++i)
            collector.found[i].compared = lookOrFailure(h, collector.found[i]);
    }

    // A statement a client builds with the library and runs itself.
    void runAsClient(File& file, const std::string& sql) {
        ASSERT_FALSE(sql.empty()) << "no statement from " << collector.step;
        db::Recordset rs;
        rs.Open(sql, file.client, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
    }

    // The person list as the address book reads it: three columns of it.
    void readAsAddressBook(const std::string& sql) {
        ASSERT_FALSE(sql.empty()) << "no statement from " << collector.step;
        db::forEachRow(
            person.client, sql, [](const db::RowView&) { return true; }, {"PERSON_ID", "PERSON_ALIAS", "LABEL"});
    }

    ExportFolder folder;
    File person{folder.personDb()};
    File item{folder.itemDb()};
    File scrap{folder.scrapDb()};
    Collector collector;
};

PersonInformation newPerson(const std::string& lastName, const std::string& note) {
    PersonInformation p;
    p.lngTypeID = 2;
    p.strLastName = lastName;
    p.strFirstName = "花子";
    p.strLastAlias = "タカハシ";
    p.strFirstAlias = "ハナコ";
    p.strCompany = "高橋製作所";
    p.strHomeZip = "150-0001";
    p.strHomeAddress1 = "渋谷区";
    p.strOfficeZip = "160-0001";
    p.strOfficeAddress1 = "新宿区";
    p.dyBirthday = 31000;
    p.intAge = 30;
    p.strNote = note;
    p.strDefaut = "OFFICE";
    return p;
}

ScrapInformation newScrap(const std::string& title) {
    ScrapInformation s;
    s.lngLabelID = 2;
    s.dyRegDate = 45100;  // a scrap without one would be stamped with the time of the run
    s.dyLastDate = 45101.5;
    s.strTitle = title;
    s.strSource = "日経";
    s.strKeyword = "経済;株";
    s.strPlace = "棚B";
    s.strBody = "本文";
    s.strBodyPath = "/scrap/new.txt";
    s.strMemo = "memo";
    return s;
}

void drivePersons(Drive& d) {
    Drive::File& f = d.person;
    Ref<clsPidAccess> p = createObject<clsPidAccess>();
    d.step(f, "clsPidAccess.Initialize", [&] { ASSERT_FALSE(p->Initialize(f.connection())); });

    d.step(f, "clsPidAccess.GetGroupingLabel (run by the client)", [&] { d.runAsClient(f, p->GetGroupingLabel()); });
    d.step(f, "clsPidAccess.GetGroupID", [&] { EXPECT_EQ(p->GetGroupID(), 1); });
    d.step(f, "clsPidAccess.GetGroupLabel", [&] {
        LabelTable labels;
        p->GetGroupLabel(labels);
        EXPECT_EQ(labels.size(), 4u);
    });
    d.step(f, "clsPidAccess.GetGroupIDEx (a stored caption)", [&] { EXPECT_EQ(p->GetGroupIDEx("友人"), 2); });
    d.step(f, "clsPidAccess.GetGroupIDEx (a new caption)", [&] { EXPECT_EQ(p->GetGroupIDEx("同窓会"), 5); });
    d.step(f, "clsPidAccess.GetGroupIDEx (no caption)", [&] { EXPECT_EQ(p->GetGroupIDEx(""), 6); });

    d.step(f, "clsPidAccess.GetPersonalInformation", [&] { EXPECT_EQ(p->GetPersonalInformation(1).strLastName, "山田"); });
    d.step(f, "clsPidAccess.GetPersonalInformation (no such person)",
           [&] { EXPECT_EQ(p->GetPersonalInformation(404).lngPersonID, 0); });
    d.step(f, "clsPidAccess.GetPhoneNumberInfo", [&] {
        std::vector<PhoneInformation> phones;
        EXPECT_FALSE(p->GetPhoneNumberInfo(1, phones));
        EXPECT_EQ(phones.size(), 3u);
    });
    d.step(f, "clsPidAccess.GetMailAddressInfo", [&] {
        std::vector<MailInformation> mails;
        EXPECT_FALSE(p->GetMailAddressInfo(1, mails));
        EXPECT_EQ(mails.size(), 2u);
    });
    d.step(f, "clsPidAccess.GetChildInformation", [&] {
        std::vector<ChildrenInformation> children;
        EXPECT_FALSE(p->GetChildInformation(1, children));
        EXPECT_EQ(children.size(), 2u);
    });
    d.step(f, "clsPidAccess.GetGreetingInformation", [&] {
        std::vector<GreetingInformation> greetings;
        EXPECT_FALSE(p->GetGreetingInformation(1, greetings));
        EXPECT_EQ(greetings.size(), 2u);
    });
    d.step(f, "clsPidAccess.GetPersonalInformaionOverView",
           [&] { EXPECT_EQ(p->GetPersonalInformaionOverView(2).strPhone1, "06-5555-1234"); });

    // The person list: a name, a phone, both; words the index narrows and
    // words it cannot; words with a quote, % and _.
    const std::pair<const char*, const char*> searches[] = {
        {"山田", ""}, {"山田商", ""}, {"", "1234"}, {"", "03"}, {"ヤマダ", "03"},
        {"O'Brien", ""}, {"100%", ""}, {"Co_", ""},
    };
    for (const auto& [name, phone] : searches)
        d.step(f, std::string("clsPidAccess.CreateSimpleViewQuery (run by the client): '") + name + "', '" + phone + "'",
               [&] { d.runAsClient(f, p->CreateSimpleViewQuery(name, phone)); });
    d.step(f, "clsPidAccess.GetFindView (run by the client)", [&] { d.runAsClient(f, p->GetFindView("佐藤", "06")); });
    d.step(f, "clsPidAccess.CreateSimpleViewQuery (read by the address book)", [&] {
        d.readAsAddressBook(p->CreateSimpleViewQuery("山田", ""));
        d.readAsAddressBook(p->CreateSimpleViewQuery("山田商", ""));
        d.readAsAddressBook(p->CreateSimpleViewQuery("", "1234"));
    });
    EXPECT_EQ(p->CreateSimpleViewQuery("", ""), "");

    d.step(f, "clsPidAccess.UpdateNote", [&] {
        p->UpdateNote(1, "2024/01/05 年賀状の返事を出す\r\n2024/03/10 花見の幹事を引き受ける\r\n2024/04/01 新年度の挨拶状");
    });
    d.step(f, "clsPidAccess.DeleteToDo", [&] { p->DeleteToDo(); });

    PersonInformation shortForm = newPerson("高橋", "2024/05/01 引っ越しの連絡をする");
    d.step(f, "clsPidAccess.SetPersonalInformationEZ", [&] {
        std::vector<PhoneInformation> phones = {phone("03-3333-4444", "自宅", 1, "HOME"), phone("", "空")};
        std::vector<MailInformation> mails = {mail("hanako@example.jp", "私用", 1, "HOME")};
        EXPECT_FALSE(p->SetPersonalInformationEZ(shortForm, phones, mails));
        EXPECT_EQ(shortForm.lngPersonID, 6);
    });
    PersonInformation full = newPerson("田中", "短い");
    d.step(f, "clsPidAccess.SetPersonalInformation", [&] {
        std::vector<PhoneInformation> phones = {phone("090-7777-8888", "携帯", 1, "MOBILE")};
        std::vector<MailInformation> mails = {mail("tanaka@example.jp")};
        std::vector<GreetingInformation> greetings = {greeting(2024, "年賀", true)};
        std::vector<ChildrenInformation> children = {child("三郎", "サブロウ"), child("")};
        EXPECT_FALSE(p->SetPersonalInformation(full, phones, mails, greetings, children));
        EXPECT_EQ(full.lngPersonID, 7);
    });
    d.step(f, "clsPidAccess.UpPersonalInformation", [&] {
        // Person 1 with one phone fewer, one mail more, the same children
        // and a third greeting.
        PersonInformation yamada = p->GetPersonalInformation(1);
        yamada.strNickName = "";
        yamada.dyAnniversary = 0;
        yamada.strNote = "2024/01/05 年賀状の返事を出す\r\n2024/06/01 暑中見舞いを出す";
        std::vector<PhoneInformation> phones = {phone("03-1111-2222", "自宅", 1, "HOME"),
                                                phone("090-1234-9999", "携帯", 2, "MOBILE")};
        std::vector<MailInformation> mails = {mail("taro@example.jp", "私用", 1, "HOME"),
                                              mail("yamada@shop.example.jp", "会社", 2, "OFFICE"),
                                              mail("taro@mobile.example.jp", "携帯", 3, "MOBILE")};
        std::vector<ChildrenInformation> children = {child("一郎", "イチロウ"), child("次郎", "ジロウ")};
        std::vector<GreetingInformation> greetings = {greeting(2023, "喪中"), greeting(2024), greeting(2025, "", true)};
        EXPECT_FALSE(p->UpPersonalInformation(yamada, phones, mails, greetings, children));
    });
    d.step(f, "clsPidAccess.DelPersonalInformation", [&] {
        Long id = shortForm.lngPersonID;
        EXPECT_FALSE(p->DelPersonalInformation(id));
    });
    d.step(f, "clsPidAccess.DeleteGroup", [&] { p->DeleteGroup(4); });

    d.step(f, "LumoBeginBatch, clsPidAccess.SetPersonalInformationEZ, LumoEndBatch", [&] {
        ASSERT_EQ(beginBatch(p.get()), kResultOk);
        PersonInformation batched = newPerson("伊藤", "");
        std::vector<PhoneInformation> phones = {phone("011-222-3333", "自宅", 1, "HOME")};
        std::vector<MailInformation> mails;
        EXPECT_FALSE(p->SetPersonalInformationEZ(batched, phones, mails));
        EXPECT_EQ(endBatch(p.get()), kResultOk);
    });
    d.step(f, "LumoBeginBatch, clsPidAccess.SetPersonalInformationEZ, LumoCancelBatch", [&] {
        ASSERT_EQ(beginBatch(p.get()), kResultOk);
        PersonInformation cancelled = newPerson("渡辺", "");
        std::vector<PhoneInformation> phones;
        std::vector<MailInformation> mails;
        EXPECT_FALSE(p->SetPersonalInformationEZ(cancelled, phones, mails));
        EXPECT_EQ(cancelBatch(p.get()), kResultOk);
    });

    d.step(f, "runExport (persons)", [&] {
        const auto result = exporter::runExport(f.connection(), d.folder.out("persons.csv"), exporter::kPersons, {});
        EXPECT_FALSE(result.failed);
        EXPECT_EQ(result.records, 7);
    });
}

void driveItems(Drive& d) {
    Drive::File& f = d.item;
    Ref<clsIidAccess> it = createObject<clsIidAccess>();
    d.step(f, "clsIidAccess.Initialize", [&] { ASSERT_FALSE(it->Initialize(f.connection())); });

    d.step(f, "clsIidAccess.GetGroupingLabel (run by the client)", [&] { d.runAsClient(f, it->GetGroupingLabel()); });
    d.step(f, "clsIidAccess.GetGroupID", [&] { EXPECT_EQ(it->GetGroupID(), 1); });
    d.step(f, "clsIidAccess.GetGroupLabel", [&] {
        LabelTable labels;
        it->GetGroupLabel(labels);
        EXPECT_EQ(labels.size(), 3u);
    });
    d.step(f, "clsIidAccess.GetGroupIDEx (a stored caption)", [&] { EXPECT_EQ(it->GetGroupIDEx("文具"), 2); });
    d.step(f, "clsIidAccess.GetGroupIDEx (a new caption)", [&] { EXPECT_EQ(it->GetGroupIDEx("食品"), 4); });
    d.step(f, "clsIidAccess.GetGroupIDEx (no caption)", [&] { EXPECT_EQ(it->GetGroupIDEx(""), 5); });

    d.step(f, "clsIidAccess.ReadItemInformation", [&] {
        GoodsInformation g;
        EXPECT_FALSE(it->ReadItemInformation("万年筆", g));
        EXPECT_EQ(g.lngGoodsID, 1);
        GoodsInformation none;
        EXPECT_FALSE(it->ReadItemInformation("ありません", none));
    });
    d.step(f, "clsIidAccess.ReadSupplierInformation", [&] {
        SupplierInformation s;
        EXPECT_FALSE(it->ReadSupplierInformation("O'Brien Trading", s));
        EXPECT_EQ(s.lngSupplierID, 2);
    });
    d.step(f, "clsIidAccess.ReadCustomerInformation", [&] {
        CustomerInformation c;
        EXPECT_FALSE(it->ReadCustomerInformation("顧客商事", c));
        EXPECT_EQ(c.lngCustomerID, 1);
    });
    d.step(f, "clsIidAccess.GetItemInformation", [&] {
        GoodsInformation g;
        it->GetItemInformation(1, g);
        EXPECT_EQ(g.strGoodsName, "万年筆");
    });
    d.step(f, "clsIidAccess.GetPersonInformation (a supplier)", [&] {
        CustomerInformation c;
        SupplierInformation s;
        it->GetPersonInformation(1, c, s, true);
        EXPECT_EQ(s.strSupplierName, "仕入商会");
    });
    d.step(f, "clsIidAccess.GetPersonInformation (a customer)", [&] {
        CustomerInformation c;
        SupplierInformation s;
        it->GetPersonInformation(1, c, s, false);
        EXPECT_EQ(c.strCustomerName, "顧客商事");
    });
    d.step(f, "clsIidAccess.GetSheetInformation", [&] {
        SheetInformation s;
        it->GetSheetInformation(1, s);
        EXPECT_EQ(s.lngStockAmount, 2000);
    });
    d.step(f, "clsIidAccess.GetGoodsInformationOverView (a purchase, a sale)", [&] {
        EXPECT_EQ(it->GetGoodsInformationOverView(1).strName, "仕入商会");
        EXPECT_EQ(it->GetGoodsInformationOverView(3).strName, "顧客商事");
    });
    d.step(f, "clsIidAccess.GetGoodsInformation", [&] {
        GoodsInformation g;
        SupplierInformation s;
        CustomerInformation c;
        EXPECT_FALSE(it->GetGoodsInformation(1, g, s, c));
    });

    d.step(f, "clsIidAccess.UpdateNote",
           [&] { it->UpdateNote(1, "2024/02/01 納品を確認する\r\n2024/02/15 請求書を送る"); });
    d.step(f, "clsIidAccess.DeleteToDo", [&] { it->DeleteToDo(); });

    // A purchase from a new supplier of new goods, a sale of stored goods
    // to the stored customer, and one to a new customer.
    GoodsInformation newPen = newGoods("新しいペン");
    SupplierInformation supplier = newSupplier("新規仕入");
    CustomerInformation none;
    SheetInformation purchase = newSheet(0);
    purchase.strNote = "2024/03/01 検品をすること";
    d.step(f, "clsIidAccess.SetGoodsInformation (a purchase: new supplier, new goods)", [&] {
        EXPECT_FALSE(it->SetGoodsInformation(newPen, supplier, none, purchase, true));
        EXPECT_EQ(purchase.lngSheetID, 4);
    });
    GoodsInformation ballpoint;
    ballpoint.lngGoodsID = 2;
    CustomerInformation customer;
    customer.lngCustomerID = 1;
    SupplierInformation noSupplier;
    SheetInformation sale = newSheet(1);
    sale.lngGoodsID = 2;
    d.step(f, "clsIidAccess.SetGoodsInformation (a sale: stored customer, stored goods)", [&] {
        EXPECT_FALSE(it->SetGoodsInformation(ballpoint, noSupplier, customer, sale, false));
        EXPECT_EQ(sale.lngSheetID, 5);
    });
    CustomerInformation newCustomerRecord = newCustomer("新規顧客");
    SheetInformation sale2 = newSheet(1);
    sale2.lngGoodsID = 2;
    d.step(f, "clsIidAccess.SetGoodsInformation (a sale: new customer)", [&] {
        EXPECT_FALSE(it->SetGoodsInformation(ballpoint, noSupplier, newCustomerRecord, sale2, false));
        EXPECT_EQ(sale2.lngSheetID, 6);
    });
    d.step(f, "clsIidAccess.UpdateSheetInformation", [&] {
        SheetInformation changed = sale;
        changed.lngSalesQuantity = 7;
        changed.strNote = "2024/04/01 値引きの相談";
        EXPECT_FALSE(it->UpdateSheetInformation(sale.lngSheetID, changed));
    });
    d.step(f, "clsIidAccess.UpGoodsInformation (a sale)", [&] {
        GoodsInformation goods;
        it->GetItemInformation(2, goods);
        goods.strGoodsSpec = "0.7mm";
        CustomerInformation c;
        SupplierInformation s;
        it->GetPersonInformation(1, c, s, false);
        c.strCustomerPhone2 = "06-2222-0002";
        SheetInformation sheet;
        it->GetSheetInformation(sale.lngSheetID, sheet);
        sheet.dySalesDate = 45400;
        EXPECT_FALSE(it->UpGoodsInformation(goods, s, c, sheet));
    });
    d.step(f, "clsIidAccess.UpGoodsInformation (a purchase)", [&] {
        GoodsInformation goods;
        it->GetItemInformation(1, goods);
        CustomerInformation c;
        SupplierInformation s;
        it->GetPersonInformation(1, c, s, true);
        s.strSupplierAddress1 = "横浜市";
        SheetInformation sheet;
        it->GetSheetInformation(1, sheet);
        sheet.dyStockDate = 45500;
        EXPECT_FALSE(it->UpGoodsInformation(goods, s, c, sheet));
    });
    SheetInformation batched;
    d.step(f, "LumoBeginBatch, clsIidAccess.SetGoodsInformation, LumoEndBatch", [&] {
        ASSERT_EQ(beginBatch(it.get()), kResultOk);
        GoodsInformation stored;
        stored.lngGoodsID = 3;
        SupplierInformation s;
        s.lngSupplierID = 1;
        CustomerInformation c;
        batched = newSheet(0);
        batched.lngGoodsID = 3;
        EXPECT_FALSE(it->SetGoodsInformation(stored, s, c, batched, true));
        EXPECT_EQ(batched.lngSheetID, 7);
        EXPECT_EQ(endBatch(it.get()), kResultOk);
    });

    // Removals: goods and a supplier that no other sheet has (both go);
    // goods and a customer that other sheets have (both stay); the same
    // goods, now on no sheet, and a customer on no other sheet; a sheet
    // alone.
    d.step(f, "clsIidAccess.DelGoodsInformation (goods and supplier on no other sheet)", [&] {
        EXPECT_FALSE(it->DelGoodsInformation(purchase.lngSheetID, newPen.lngGoodsID, supplier.lngSupplierID, 0));
    });
    d.step(f, "clsIidAccess.DelGoodsInformation (goods and customer on other sheets)",
           [&] { EXPECT_FALSE(it->DelGoodsInformation(sale.lngSheetID, 2, 0, 1)); });
    d.step(f, "clsIidAccess.DelGoodsInformation (goods and customer on no other sheet)", [&] {
        EXPECT_FALSE(it->DelGoodsInformation(sale2.lngSheetID, 2, 0, newCustomerRecord.lngCustomerID));
    });
    d.step(f, "clsIidAccess.DeleteSheetInformation", [&] { EXPECT_FALSE(it->DeleteSheetInformation(batched.lngSheetID)); });
    d.step(f, "clsIidAccess.DeleteGroup", [&] { it->DeleteGroup(3); });

    // The search lists: goods words, trader words, both.
    const std::pair<const char*, const char*> sheets[] = {{"万年", ""}, {"", "顧客"}, {"ペン", "山田"}, {"100%", ""}};
    for (const auto& [goods, trader] : sheets)
        d.step(f, std::string("clsIidAccess.CreateSimpleViewQuery (run by the client): '") + goods + "', '" + trader + "'",
               [&] { d.runAsClient(f, it->CreateSimpleViewQuery(goods, trader)); });
    d.step(f, "clsIidAccess.GetFindView (run by the client)", [&] { d.runAsClient(f, it->GetFindView("掃除", "")); });
    EXPECT_EQ(it->CreateSimpleViewQuery("", ""), "");
    std::vector<String> advanced;
    EXPECT_EQ(it->CreateAdvancedViewQuery(advanced), "");
    struct ItemView {
        const char *alias, *name, *form;
    };
    const ItemView itemViews[] = {{"マンネン", "", ""}, {"", "ボール", ""}, {"", "", "VC_"}, {"マン", "", "MN-"}};
    for (const ItemView& v : itemViews)
        d.step(f,
               std::string("clsIidAccess.CreateItemView (run by the client): '") + v.alias + "', '" + v.name + "', '" +
                   v.form + "'",
               [&] { d.runAsClient(f, it->CreateItemView(v.alias, v.name, v.form)); });
    EXPECT_EQ(it->CreateItemView("", "", ""), "");
    struct PartyView {
        const char *alias, *name, *tel;
        bool suppliers;
    };
    const PartyView partyViews[] = {{"シイレ", "", "", true},
                                    {"", "仕入", "03", true},
                                    {"", "", "06", false},
                                    {"", "O'Brien", "", true},
                                    {"コキャク", "", "", false}};
    for (const PartyView& v : partyViews)
        d.step(f,
               std::string("clsIidAccess.CreatePersonView (run by the client): '") + v.alias + "', '" + v.name +
                   "', '" + v.tel + "', " + (v.suppliers ? "suppliers" : "customers"),
               [&] { d.runAsClient(f, it->CreatePersonView(v.alias, v.name, v.tel, v.suppliers)); });
    EXPECT_EQ(it->CreatePersonView("", "", "", true), "");

    d.step(f, "runExport (goods)", [&] {
        const auto result = exporter::runExport(f.connection(), d.folder.out("goods.csv"), exporter::kGoods, {});
        EXPECT_FALSE(result.failed);
        EXPECT_EQ(result.records, 3);
    });
}

void driveScraps(Drive& d) {
    Drive::File& f = d.scrap;
    Ref<clsScrapAccess> s = createObject<clsScrapAccess>();
    d.step(f, "clsScrapAccess.Initialize", [&] { ASSERT_FALSE(s->Initialize(f.connection())); });

    d.step(f, "clsScrapAccess.GetGroupingLabel (run by the client)", [&] { d.runAsClient(f, s->GetGroupingLabel()); });
    d.step(f, "clsScrapAccess.GetGroupID", [&] { EXPECT_EQ(s->GetGroupID(), 1); });
    d.step(f, "clsScrapAccess.GetGroupLabel", [&] {
        LabelTable labels;
        EXPECT_FALSE(s->GetGroupLabel(labels));
        EXPECT_EQ(labels.size(), 3u);
    });
    d.step(f, "clsScrapAccess.GetGroupIDEx (a stored caption)", [&] { EXPECT_EQ(s->GetGroupIDEx("新聞"), 2); });
    d.step(f, "clsScrapAccess.GetGroupIDEx (a new caption)", [&] { EXPECT_EQ(s->GetGroupIDEx("雑誌"), 4); });
    d.step(f, "clsScrapAccess.GetGroupIDEx (no caption)", [&] { EXPECT_EQ(s->GetGroupIDEx(""), 5); });

    ScrapInformation added = newScrap("新しい記事");
    d.step(f, "clsScrapAccess.SetScrapInformation", [&] {
        EXPECT_FALSE(s->SetScrapInformation(added));
        EXPECT_EQ(added.lngScrapID, 4);
    });
    d.step(f, "clsScrapAccess.GetScrapInformation", [&] {
        ScrapInformation read;
        s->GetScrapInformation(1, read);
        EXPECT_EQ(read.strTitle, "地震の記事");
        ScrapInformation missing;
        s->GetScrapInformation(404, missing);
        EXPECT_EQ(missing.lngScrapID, 0);
    });
    d.step(f, "clsScrapAccess.GetScrapInformationOverView", [&] {
        ScrapInfoOverview overview;
        s->GetScrapInformationOverView(2, overview);
        EXPECT_EQ(overview.strSource, "example.com");
    });
    d.step(f, "clsScrapAccess.UpScrapInformation", [&] {
        ScrapInformation changed = added;
        changed.strKeyword = "経済";
        changed.dyLastDate = 0;
        EXPECT_FALSE(s->UpScrapInformation(added.lngScrapID, changed));
    });
    d.step(f, "clsScrapAccess.UpdateLastDate", [&] { s->UpdateLastDate(1, 45200.25, "新しい本文"); });
    d.step(f, "clsScrapAccess.DelScrapInformation", [&] { EXPECT_FALSE(s->DelScrapInformation(added.lngScrapID)); });
    d.step(f, "clsScrapAccess.DeleteGroup", [&] { EXPECT_FALSE(s->DeleteGroup(3)); });

    const std::pair<const char*, const char*> searches[] = {
        {"地震", ""}, {"", "朝日"}, {"sqlite", "100%"}, {"", "O'Brien"}, {"_", ""}};
    for (const auto& [keyword, other] : searches)
        d.step(f,
               std::string("clsScrapAccess.CreateSimpleViewQuery (run by the client): '") + keyword + "', '" + other +
                   "'",
               [&] { d.runAsClient(f, s->CreateSimpleViewQuery(keyword, other)); });
    d.step(f, "clsScrapAccess.GetFindView (run by the client)",
           [&] { d.runAsClient(f, s->GetFindView("interview", "毎日")); });
    EXPECT_EQ(s->CreateSimpleViewQuery("", ""), "");
    EXPECT_EQ(s->CreateAdvancedViewQuery(), "");

    d.step(f, "LumoBeginBatch, clsScrapAccess.SetScrapInformation, LumoEndBatch", [&] {
        ASSERT_EQ(beginBatch(s.get()), kResultOk);
        ScrapInformation batched = newScrap("一括の記事");
        EXPECT_FALSE(s->SetScrapInformation(batched));
        EXPECT_EQ(endBatch(s.get()), kResultOk);
    });
}

TEST(LibraryStatementPlans, EveryStatementHasItsRecordedPlanAndRows) {
    RecordingSink sink;
    Drive drive;
    drivePersons(drive);
    driveItems(drive);
    driveScraps(drive);
    // A failure the library reported would have left its statements out.
    for (const MessageRequest& m : sink.messages()) ADD_FAILURE() << "the library reported: " << m.text;
    const std::vector<Seen>& found = drive.collector.found;

    const std::string path = LUMO_LIBRARY_STATEMENTS;
    const Recorded recorded = readRecorded(path);
    const bool refresh = std::getenv("LUMO_REFRESH_STATEMENTS") != nullptr;
    std::vector<std::string> changes;
    const bool sameSqlite = recorded.sqliteVersion == sqlite3_libversion();
    std::set<std::string> now;
    for (const Seen& s : found) {
        const std::string key = keyOf(s);
        now.insert(key);
        const auto it = recorded.statements.find(key);
        if (it == recorded.statements.end()) {
            changes.push_back("The library now builds a statement " + path + " does not list (on " + s.file +
                              ", first built by " + s.builtBy + "):\n  " + s.jet + "\nA new statement is added to the file on purpose. " +
                              kRefreshHint);
            continue;
        }
        if (it->second.compared != s.compared)
            changes.push_back("The plan or the rows of a statement differ from " + path + " (on " + s.file +
                              ", first built by " + s.builtBy + "):\n  " + s.jet + "\n" + difference(it->second.compared, s.compared) +
                              (sameSqlite ? "" : "(recorded with SQLite " + recorded.sqliteVersion + ", run with " +
                                                     sqlite3_libversion() + ": plans may differ by version)\n") +
                              kRefreshHint);
    }
    for (const std::string& key : recorded.order)
        if (!now.count(key))
            changes.push_back("The library no longer builds a statement " + path + " lists (on " +
                              recorded.statements.at(key).file + ", built by " + recorded.statements.at(key).builtBy +
                              "):\n  " + recorded.statements.at(key).jet +
                              "\n" + kRefreshHint);
    if (refresh) {
        writeRecorded(path, found);
        std::cout << "Rewrote " << path << " with " << found.size() << " statements; what changed:\n";
        for (const std::string& c : changes) std::cout << c << "\n\n";
        return;
    }
    for (const std::string& c : changes) ADD_FAILURE() << c;
    EXPECT_FALSE(found.empty());
}

}  // namespace
}  // namespace lumo::test
