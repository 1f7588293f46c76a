// lumo greetings on the file, row by row: the filters of the list, ticks
// written into the row of the year (made when missing), the mourning word
// added and removed with the rest of the memo kept, and the rest of the
// person left exactly as it was.
#include <gtest/gtest.h>

#include "greetings/AddressBook.h"
#include "greetings/GreetingMarks.h"
#include "tests/cards/CardFixture.h"
#include "tests/support/FaultSweep.h"

namespace lumo::test {
namespace {

class GreetingsCommandTest : public ::testing::Test {
protected:
    void SetUp() override { fillCardFixture(personDb); }
    RunResult greetings(std::vector<std::string> args) {
        args.insert(args.begin() + 1, folder.path().string());
        args.insert(args.begin(), "greetings");
        args.insert(args.end(), {"--year", std::to_string(kYear)});
        return runLumo(args);
    }
    std::vector<std::vector<std::string>> greetingRows(int person) {
        return Db(personDb).rows("SELECT GREETING_ID, TARGET, NEWYEAR_SEND, NEWYEAR_RECEIVE, SUMMER_SEND, MEMO "
                                 "FROM T_GREETING WHERE PERSON_ID = " + std::to_string(person) + " ORDER BY GREETING_ID");
    }
    // Everything of the person but the greetings (and ToDo rows).
    std::vector<std::vector<std::string>> personRows(int person) {
        Db db(personDb);
        const std::string id = std::to_string(person);
        auto rows = db.rows("SELECT * FROM T_PERSON WHERE PERSON_ID = " + id);
        for (const char* table : {"T_PHONE", "T_EMAIL", "T_CHILDREN"})
            for (auto& r : db.rows(std::string("SELECT * FROM ") + table + " WHERE PERSON_ID = " + id)) rows.push_back(r);
        return rows;
    }
    std::vector<std::string> listedIds(const std::string& filter) {
        const RunResult r = greetings({"list", "--filter", filter});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> ids;
        std::istringstream in(r.out);
        std::string line;
        std::getline(in, line);  // the header
        while (std::getline(in, line))
            if (!line.starts_with("#")) ids.push_back(line.substr(0, line.find('\t')));
        return ids;
    }
    ScratchFolder folder;
    std::string personDb = makeEmptyDatabases(folder.path());
};

TEST_F(GreetingsCommandTest, ListFiltersInReadingOrderWithCounts) {
    const struct {
        const char* filter;
        std::vector<std::string> ids;
    } cases[]{
        {"送る", {"6", "2", "4", "5", "1", "3"}},
        {"mourning", {"7"}},
        {"未返信", {}},
        {"all", {"6", "2", "4", "5", "7", "1", "3"}},
    };
    for (const auto& c : cases) EXPECT_EQ(listedIds(c.filter), c.ids) << c.filter;
    const RunResult r = greetings({"list"});
    EXPECT_NE(r.out.find("1\t山田 太郎\tやまだ たろう\t○\t○\t\t\t\t\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("# 2027年 年賀: 全 7 人, 送る 6, 未返信 0, 喪中 1, 出 0, 受 0\n"), std::string::npos) << r.out;
    EXPECT_EQ(greetings({"list", "--filter", "nothing"}).exitCode, 2);
}

TEST_F(GreetingsCommandTest, TicksGoIntoTheRowOfTheYearAndTheRestStays) {
    const auto before = personRows(1);
    ASSERT_EQ(greetings({"mark", "--received", "1", "3"}).exitCode, 0);
    // Person 1 had a 2027 row: ticked there, summer and memo kept.
    EXPECT_EQ(greetingRows(1), (std::vector<std::vector<std::string>>{{"1", "2026", "-1", "-1", "-1", "りんご"},
                                                                       {"9", "2027", "0", "-1", "-1", "夏"}}));
    // Person 3 had none: a new row of the year.
    const auto three = greetingRows(3);
    ASSERT_EQ(three.size(), 2u);
    EXPECT_EQ(three[1][1], "2027");
    EXPECT_EQ(three[1][3], "-1");
    EXPECT_EQ(three[1][2], "0");
    // Phones and mails keep their keys with their own values.
    EXPECT_EQ(personRows(1), before);
    EXPECT_EQ(listedIds("未返信"), (std::vector<std::string>{"1", "3"}));

    ASSERT_EQ(greetings({"mark", "--sent", "1"}).exitCode, 0);
    ASSERT_EQ(greetings({"mark", "--clear", "--received", "1"}).exitCode, 0);
    EXPECT_EQ(greetingRows(1)[1], (std::vector<std::string>{"9", "2027", "-1", "0", "-1", "夏"}));
    EXPECT_EQ(greetings({"mark", "--sent", "--season", "暑中", "1"}).exitCode, 0);
    EXPECT_EQ(personRows(1), before);
}

// A tick with a failure at each engine step in turn: the file stays whole,
// the person's other rows are untouched, the row of the year is either as
// it was or ticked, and a tick that did not happen is never reported as
// done.
TEST(GreetingMarkSweep, AFailedTickLeavesTheRowAsItWasAndSaysSo) {
    const std::vector<std::string> untouched{"1", "2026", "-1", "-1", "-1", "りんご"};
    const std::vector<std::string> before{"9", "2027", "0", "0", "-1", "夏"};
    const std::vector<std::string> ticked{"9", "2027", "0", "-1", "-1", "夏"};
    const auto rowsOf = [](const std::filesystem::path& folder, const std::string& sql) {
        return Db(folder / "Data" / "LumoBase.mdb").rows(sql);
    };
    const std::string greetingsSql =
        "SELECT GREETING_ID, TARGET, NEWYEAR_SEND, NEWYEAR_RECEIVE, SUMMER_SEND, MEMO FROM T_GREETING "
        "WHERE PERSON_ID = 1 ORDER BY GREETING_ID";
    // Everything else of person 1.
    const auto othersOf = [&](const std::filesystem::path& folder) {
        std::vector<std::vector<std::string>> rows;
        for (const char* table : {"T_PERSON", "T_PHONE", "T_EMAIL", "T_CHILDREN"})
            for (auto& row : rowsOf(folder, std::string("SELECT * FROM ") + table + " WHERE PERSON_ID = 1"))
                rows.push_back(std::move(row));
        return rows;
    };
    std::vector<std::vector<std::string>> others;
    const std::uint64_t points = sweepFailuresInFolder(
        [&](const std::filesystem::path& folder) {
            fillCardFixture(makeEmptyDatabases(folder));
            if (others.empty()) others = othersOf(folder);
        },
        [](const std::filesystem::path& folder) {
            greetings::AddressBook book(folder);
            greetings::GreetingChange change;
            change.received = true;
            greetings::markGreeting(book, 1, kYear, change);  // throws when the library reported
            return true;
        },
        [&](const SweepStep<bool>& s) {
            EXPECT_EQ(integrityCheck(s.database / "Data" / "LumoBase.mdb"), "ok") << "step " << s.step;
            const auto rows = rowsOf(s.database, greetingsSql);
            ASSERT_EQ(rows.size(), 2u) << "step " << s.step;
            EXPECT_EQ(rows[0], untouched) << "step " << s.step;
            EXPECT_EQ(othersOf(s.database), others) << "step " << s.step;
            if (s.result) {
                EXPECT_EQ(rows[1], ticked) << "step " << s.step << ": reported done";
            } else {
                EXPECT_FALSE(s.escaped.empty()) << "step " << s.step;
                EXPECT_TRUE(rows[1] == before || rows[1] == ticked) << "step " << s.step;
            }
            if (!s.fired) {
                EXPECT_TRUE(s.result) << "the complete run";
            }
        });
    EXPECT_GT(points, 0u);
}

TEST_F(GreetingsCommandTest, MourningIsTheWordInTheMemoOfTheYear) {
    ASSERT_EQ(greetings({"mark", "--mourning", "1"}).exitCode, 0);
    EXPECT_EQ(greetingRows(1)[1][5], "【喪中】夏");
    EXPECT_EQ(greetingRows(1)[0][5], "りんご");  // last year's memo untouched
    EXPECT_EQ(listedIds("喪中"), (std::vector<std::string>{"7", "1"}));
    ASSERT_EQ(greetings({"mark", "--clear", "--mourning", "1", "7"}).exitCode, 0);
    EXPECT_EQ(greetingRows(1)[1][5], "夏");
    EXPECT_EQ(greetingRows(7)[1][5], "祖父");
    EXPECT_TRUE(listedIds("喪中").empty());
}

TEST_F(GreetingsCommandTest, AMissingPersonFailsAndTheOthersAreStillTicked) {
    const RunResult r = greetings({"mark", "--sent", "99", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("lumo greetings: 人物 99 が見つかりません"), std::string::npos) << r.err;
    EXPECT_EQ(greetingRows(2).back()[2], "-1");
    EXPECT_EQ(Db(personDb).integer("SELECT COUNT(*) FROM T_GREETING WHERE PERSON_ID = 99"), 0);
}

}  // namespace
}  // namespace lumo::test
