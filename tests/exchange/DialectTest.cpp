// Cards in the forms phones and other address books write, each file in
// tests/data/vcard/ imported into an empty folder: the rows stored and the
// import's report, against NAME.rows written by hand beside NAME.vcf.
//
// NAME.rows lists per person the non-empty columns of T_PERSON (in the
// table's order, the group as its caption), then its phones (TYPE|LABEL|
// TEL_NUMBER|RANK), mails, children (CHILDREN|ALIAS) and greetings, then
// the report: "placed: ..." and "problem: ..." lines and the counts.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "exchange/VCardExchange.h"
#include "tests/tools/ToolsTestSupport.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;
using namespace lumo::exchange;

const fs::path kData = LUMO_VCARD_DATA;

std::string rowsOf(const fs::path& folder, const ImportReport& report) {
    Db db(folder / "Data" / "LumoBase.mdb");
    std::ostringstream o;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db.handle(), "SELECT * FROM T_PERSON ORDER BY PERSON_ID", -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const std::string id = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        o << "person\n";
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const std::string name = sqlite3_column_name(statement, i);
            if (name == "PERSON_ID" || sqlite3_column_type(statement, i) == SQLITE_NULL) continue;
            std::string value = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            if (name == "TYPE_ID") {
                o << "  group=" << db.text("SELECT LABEL FROM T_GROUPING WHERE TYPE_ID = " + value) << '\n';
                continue;
            }
            if (name == "BIRTHDAY" || name == "ANNIVERSARY")
                value = db.text("SELECT date(" + value + " + 2415018.5)");
            for (std::size_t at = 0; (at = value.find("\r\n", at)) != std::string::npos;) value.replace(at, 2, "\\r\\n");
            if (!value.empty() && !(name == "AGE" && value == "0")) o << "  " << name << '=' << value << '\n';
        }
        const auto list = [&](const char* label, const std::string& sql) {
            for (const auto& row : db.rows(sql + " AND PERSON_ID = " + id + " ORDER BY " +
                                           (std::string(label) == "mail" ? "RANK DESC, 1" : "RANK, 1"))) {
                o << "  " << label << '=';
                for (std::size_t i = 1; i < row.size(); ++i) o << (i > 1 ? "|" : "") << (row[i] == "<null>" ? "" : row[i]);
                o << '\n';
            }
        };
        list("phone", "SELECT PHONE_ID, TYPE, LABEL, TEL_NUMBER, RANK FROM T_PHONE WHERE 1");
        list("mail", "SELECT MAIL_ID, TYPE, LABEL, MAIL_ADDRESS, RANK FROM T_EMAIL WHERE 1");
        for (const auto& row : db.rows("SELECT CHILDREN, ALIAS FROM T_CHILDREN WHERE PERSON_ID = " + id + " ORDER BY CHILD_ID"))
            o << "  child=" << (row[0] == "<null>" ? "" : row[0]) << '|' << (row[1] == "<null>" ? "" : row[1]) << '\n';
    }
    sqlite3_finalize(statement);
    for (const std::string& p : report.placedElsewhere) o << "placed: " << p << '\n';
    for (const std::string& s : report.skipped) o << "skipped: " << s << '\n';
    for (const std::string& p : report.problems) o << "problem: " << p << '\n';
    o << "cards=" << report.cards << " added=" << report.added << " rejected=" << report.rejected
      << " photos=" << report.photosSkipped << '\n';
    return o.str();
}

class Dialect : public testing::TestWithParam<std::string> {};

TEST_P(Dialect, StoresTheExpectedRowsAndReport) {
    ScratchFolder folder;
    makeEmptyDatabases(folder.path());
    // Named without its folder, so that the report reads the same anywhere.
    const std::string name = GetParam() + ".vcf";
    const std::vector<ImportSource> sources{{name, readFile(kData / name)}};
    const ImportReport report = importVCards(folder.path(), sources, {});
    const std::string expected = readFile(kData / (GetParam() + ".rows"));
    EXPECT_EQ(rowsOf(folder.path(), report), expected);
}

INSTANTIATE_TEST_SUITE_P(Files, Dialect,
                         testing::Values("android21", "android30", "vcard40", "iphone30", "google30", "evolution30",
                                         "kaddressbook30", "docomo21-sjis", "bad"));

}  // namespace
}  // namespace lumo::test
