// Every person of a folder exported as vCards and imported into an empty
// folder gives the same rows in every table, ids aside: the sample of
// `lumo init --sample` and the Jet 4 fixtures after `lumo import`.
//
// What "the same" allows, and why:
//  - ids: rows are matched by their person's position, not by key;
//  - Null and "" are one value, as are a date of 0 and Null: the library
//    reads both as "" and 0, so no client can tell them apart;
//  - rows the library does not store for a new person (a phone without a
//    number, a mail without an address, a child without a name) and rows
//    of no person (orphans) are not expected back;
//  - the fixtures' ToDo rows carry the user's check marks, which no
//    operation of the published interface writes: the new folder has the
//    ToDo row the library makes from each note (the sample's rows are
//    exactly those, so there the table is compared too);
//  - three fixture persons cannot be read through the library at all
//    (person 19: TYPE_ID Null; 23 and 31: a phone with RANK Null); the
//    export reports each and writes the others.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "exchange/VCardExchange.h"
#include "tests/tools/ToolsTestSupport.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;
using namespace lumo::exchange;

using Rows = std::vector<std::string>;


// The persons' rows, each with its person's position among `persons` in
// place of the person id, sorted.
struct Tables {
    std::map<std::string, Rows> rows;
};

std::string joined(const std::vector<std::string>& row, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < row.size(); ++i) text += (i > from ? "|" : "") + (row[i] == "<null>" ? "" : row[i]);
    return text;
}

// Text columns as '' for Null, numbers the library reads as 0 for Null
// as 0, dates as whole seconds; a person without a group (TYPE_ID Null)
// comes back in the default group, as a card without CATEGORIES does.
const std::map<std::string, std::string> kStatements = {
    {"T_PERSON",
     "SELECT p.PERSON_ID, COALESCE(g.LABEL, (SELECT LABEL FROM T_GROUPING WHERE [DEFAULT] <> 0)), LASTNAME, LASTALIAS, FIRSTNAME, FIRSTALIAS, TITLE, NICKNAME, LABEL1, MEMO1, "
     "LABEL2, MEMO2, HOME_ZIP, HOME_ADDRESS1, HOME_ADDRESS2, HOME_URL, LABEL3, MEMO3, LABEL4, MEMO4, ALIAS, COMPANY, "
     "CO_POSITION, CO_SECTION, OFFICE_ZIP, OFFICE_ADDRESS1, OFFICE_ADDRESS2, OFFICE_URL, LABEL5, MEMO5, LABEL6, MEMO6, "
     "CAST(ROUND(IFNULL(BIRTHDAY, 0) * 86400) AS INTEGER), IFNULL(AGE, 0), CONSTELLATION, BLOOD, "
     "CAST(ROUND(IFNULL(ANNIVERSARY, 0) * 86400) AS INTEGER), MATEALIAS, MATE, HOBBY, NOTE, p.[DEFAULT] "
     "FROM T_PERSON p LEFT JOIN T_GROUPING g ON g.TYPE_ID = p.TYPE_ID"},
    {"T_PHONE", "SELECT PERSON_ID, LABEL, TEL_NUMBER, IFNULL(RANK, 0), TYPE FROM T_PHONE WHERE IFNULL(TEL_NUMBER, '') <> ''"},
    {"T_EMAIL",
     "SELECT PERSON_ID, LABEL, MAIL_ADDRESS, IFNULL(RANK, 0), TYPE FROM T_EMAIL WHERE IFNULL(MAIL_ADDRESS, '') <> ''"},
    {"T_GREETING",
     "SELECT PERSON_ID, IFNULL(TARGET, 0), NEWYEAR_SEND <> 0, NEWYEAR_RECEIVE <> 0, SUMMER_SEND <> 0, SUMMER_RECEIVE <> 0, "
     "MIDYEAR_SEND <> 0, MIDYEAR_RECEIVE <> 0, YEAREND_SEND <> 0, YEAREND_RECEIVE <> 0, MEMO FROM T_GREETING"},
    {"T_CHILDREN", "SELECT PERSON_ID, CHILDREN, ALIAS FROM T_CHILDREN WHERE IFNULL(CHILDREN, '') <> ''"},
    {"T_TODOLIST", "SELECT PERSON_ID, NOTE, CHK_FLAG <> 0 FROM T_TODOLIST"},
};

Tables tablesOf(const fs::path& file, const std::vector<long long>& persons) {
    std::map<std::string, std::string> position;
    for (std::size_t i = 0; i < persons.size(); ++i) position[std::to_string(persons[i])] = std::to_string(i + 1);
    Db db(file);
    Tables t;
    for (const auto& [table, sql] : kStatements) {
        Rows rows;
        for (const auto& row : db.rows(sql)) {
            const auto it = position.find(row[0]);
            if (it == position.end()) continue;  // an orphan, or a person left out
            rows.push_back(it->second + "|" + joined(row, 1));
        }
        std::ranges::sort(rows);
        t.rows[table] = std::move(rows);
    }
    Rows groups;
    for (const auto& row : db.rows("SELECT DISTINCT g.LABEL, g.[DEFAULT] <> 0 FROM T_GROUPING g WHERE g.[DEFAULT] <> 0 "
                                   "OR g.TYPE_ID IN (SELECT TYPE_ID FROM T_PERSON WHERE PERSON_ID IN (" +
                                   [&] {
                                       std::string list = "0";
                                       for (long long id : persons) list += "," + std::to_string(id);
                                       return list;
                                   }() + "))"))
        groups.push_back(joined(row, 0));
    std::ranges::sort(groups);
    t.rows["T_GROUPING"] = groups;
    return t;
}

std::vector<long long> personIds(const fs::path& file, const std::set<long long>& leftOut = {}) {
    std::vector<long long> ids;
    for (const auto& row : Db(file).rows("SELECT PERSON_ID FROM T_PERSON ORDER BY PERSON_ID"))
        if (!leftOut.contains(std::stoll(row[0]))) ids.push_back(std::stoll(row[0]));
    return ids;
}

void expectSameRows(const Tables& expected, const Tables& actual, bool todo) {
    for (const auto& [table, rows] : expected.rows) {
        if (table == "T_TODOLIST" && !todo) continue;
        const Rows& got = actual.rows.at(table);
        EXPECT_EQ(got.size(), rows.size()) << table;
        Rows missing, extra;
        std::ranges::set_difference(rows, got, std::back_inserter(missing));
        std::ranges::set_difference(got, rows, std::back_inserter(extra));
        for (std::size_t i = 0; i < std::min<std::size_t>(missing.size(), 3); ++i)
            ADD_FAILURE() << table << " lacks " << missing[i];
        for (std::size_t i = 0; i < std::min<std::size_t>(extra.size(), 3); ++i)
            ADD_FAILURE() << table << " has more: " << extra[i];
    }
}

// Exports `source` in `version`, imports the file into a new empty folder
// and compares.
void roundTrip(const fs::path& source, VCardVersion version, const std::set<long long>& unreadable, bool todo) {
    ScratchFolder target;
    makeEmptyDatabases(target.path());
    ExportOptions options;
    options.version = version;
    options.file = target.path() / "all.vcf";
    const ExportResult exported = exportVCards(source, options);
    EXPECT_EQ(exported.problems.size(), unreadable.size());
    for (long long id : unreadable)
        EXPECT_TRUE(std::ranges::any_of(exported.problems, [&](const std::string& p) {
            return p.starts_with("人物 " + std::to_string(id) + " を読めません: CLS-pida10");
        })) << id;
    const ImportReport report = importVCards(target.path(), importSources({options.file.string()}), {});
    EXPECT_EQ(report.problems, std::vector<std::string>{});
    EXPECT_EQ(report.placedElsewhere, std::vector<std::string>{});
    EXPECT_EQ(report.present, 0);
    const auto expectedIds = personIds(source / "Data" / "LumoBase.mdb", unreadable);
    EXPECT_EQ(report.added, static_cast<int>(expectedIds.size()));
    expectSameRows(tablesOf(source / "Data" / "LumoBase.mdb", expectedIds),
                   tablesOf(target.data("LumoBase.mdb"), personIds(target.data("LumoBase.mdb"))), todo);
}

TEST(RoundTrip, SampleGivesTheSameRowsInEveryTable) {
    ScratchFolder sample;
    ASSERT_EQ(runLumo({"init", "--sample", sample.path().string()}).exitCode, 0);
    for (VCardVersion version : {VCardVersion::v30, VCardVersion::v40}) roundTrip(sample.path(), version, {}, true);
}

TEST(RoundTrip, Jet4FixturesGiveTheSameRowsOfEveryPerson) {
    ScratchFolder imported;
    const auto run = runLumo({"import", LUMO_JET4_FIXTURES, (imported.path() / "j").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (VCardVersion version : {VCardVersion::v30, VCardVersion::v40})
        roundTrip(imported.path() / "j", version, {}, false);
}

TEST(RoundTrip, ImportingTheSameFileAgainAddsNobody) {
    ScratchFolder sample;
    ASSERT_EQ(runLumo({"init", "--sample", sample.path().string()}).exitCode, 0);
    ExportOptions options;
    options.file = sample.path() / "all.vcf";
    const ExportResult exported = exportVCards(sample.path(), options);
    const auto sources = importSources({options.file.string()});
    // Into the folder it came from: every card has a UID of this folder.
    const ImportReport same = importVCards(sample.path(), sources, {});
    EXPECT_EQ(same.added, 0);
    EXPECT_EQ(same.present, exported.persons);
    // Into another folder twice: the second time every person is there.
    ScratchFolder other;
    makeEmptyDatabases(other.path());
    EXPECT_EQ(importVCards(other.path(), sources, {}).added, exported.persons);
    const ImportReport again = importVCards(other.path(), sources, {});
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.present, exported.persons);
}

}  // namespace
}  // namespace lumo::test
