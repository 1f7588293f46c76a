// The year's list without a database: the mourning word, the filters and
// counts, the default year, ticks applied to a person's greeting rows, and
// the joint names' given names.
#include <gtest/gtest.h>

#include "greetings/CardContent.h"
#include "greetings/GreetingMarks.h"
#include "greetings/Mourning.h"
#include "greetings/YearList.h"

namespace lumo::greetings {
namespace {

using LumoAccess::GreetingInformation;

TEST(MourningTest, TheWordMarksTheRowAndTheRestOfTheMemoStays) {
    const struct {
        const char* memo;
        bool mourning;
        const char* marked;    // withMourning(memo, true)
        const char* unmarked;  // withMourning(memo, false)
    } cases[]{
        {"", false, "【喪中】", ""},
        {"喪中なし", false, "【喪中】喪中なし", "喪中なし"},  // the plain word is the user's text
        {"【喪中】", true, "【喪中】", ""},
        {"【喪中】 祖母", true, "【喪中】 祖母", "祖母"},
        {"りんご【喪中】　祖父", true, "りんご【喪中】　祖父", "りんご祖父"},
        {"【喪中】a【喪中】", true, "【喪中】a【喪中】", "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.memo);
        EXPECT_EQ(isMourning(c.memo), c.mourning);
        EXPECT_EQ(withMourning(c.memo, true), c.marked);
        EXPECT_EQ(withMourning(c.memo, false), c.unmarked);
    }
}

GreetingInformation row(LumoAccess::Long person, LumoAccess::Long year, bool sent, bool received,
                        const char* memo = "") {
    GreetingInformation g;
    g.lngPersonID = person;
    g.lngYear = year;
    g.blnNewYear_Send = sent;
    g.blnNewYear_Receive = received;
    g.strMemo = memo;
    return g;
}

TEST(YearListTest, FiltersAndCountsRowByRow) {
    const std::vector<PersonEntry> persons{
        {1, 0, "山田", "太郎", "やまだ", "たろう"}, {2, 0, "佐藤", "花子", "さとう", "はなこ"},
        {3, 0, "鈴木", "一郎", "すずき", "いちろう"}, {4, 0, "伊藤", "誠", "いとう", "まこと"},
        {5, 0, "林", "", "はやし", ""},
    };
    std::vector<GreetingInformation> greetings{
        row(1, 2026, true, true),         // last year both ways
        row(1, 2027, true, false),        // sent this year
        row(2, 2026, false, true),        // only received last year
        row(2, 2027, false, false, "【喪中】"),
        row(3, 2027, false, true),        // a card came, none sent: 未返信
        row(4, 2025, true, true),         // two years ago does not count
        row(4, 2027, false, false),
        row(4, 2027, false, true),        // a second row of the same year counts too
    };
    GreetingInformation summer = row(5, 2026, false, false);
    summer.blnSummer_Send = true;  // another season
    greetings.push_back(summer);

    const std::vector<YearListRow> rows = buildYearList(persons, greetings, 2027, Season::NewYear);
    const std::vector<YearListRow> expected{
        {1, "山田 太郎", "やまだ たろう", true, true, true, false, false},
        {2, "佐藤 花子", "さとう はなこ", false, true, false, false, true},
        {3, "鈴木 一郎", "すずき いちろう", false, false, false, true, false},
        {4, "伊藤 誠", "いとう まこと", false, false, false, true, false},
        {5, "林", "はやし", false, false, false, false, false},
    };
    EXPECT_EQ(rows, expected);

    const struct {
        YearFilter filter;
        std::vector<LumoAccess::Long> ids;
    } filters[]{
        {YearFilter::ToSend, {1}},
        {YearFilter::Unanswered, {3, 4}},
        {YearFilter::Mourning, {2}},
        {YearFilter::All, {1, 2, 3, 4, 5}},
    };
    for (const auto& f : filters) {
        std::vector<LumoAccess::Long> ids;
        for (const YearListRow& r : filtered(rows, f.filter)) ids.push_back(r.personId);
        EXPECT_EQ(ids, f.ids) << static_cast<int>(f.filter);
    }
    EXPECT_EQ(countYearList(rows), (YearCounts{5, 1, 2, 1, 1, 2}));
    EXPECT_EQ(buildYearList(persons, greetings, 2026, Season::Summer)[4].sent, true);

    EXPECT_EQ(matching(rows, "やまだた").size(), 1u);
    EXPECT_EQ(matching(rows, "花子").at(0).personId, 2);
    EXPECT_EQ(matching(rows, "").size(), 5u);
    EXPECT_TRUE(matching(rows, "xyz").empty());
}

TEST(YearListTest, DefaultYearIsTheComingNewYearButInJanuaryThisOne) {
    EXPECT_EQ(defaultYear(2026, 1), 2026);
    EXPECT_EQ(defaultYear(2026, 2), 2027);
    EXPECT_EQ(defaultYear(2026, 12), 2027);
}

TEST(GreetingChangeTest, ChangesTheRowOfTheYearOrAddsOne) {
    std::vector<GreetingInformation> rows{row(7, 2026, true, true, "りんご"), row(7, 2027, false, false, "メモ")};
    rows[1].blnSummer_Receive = true;
    GreetingChange change;
    change.received = true;
    change.mourning = true;
    applyChange(rows, 7, 2027, change);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[1].blnNewYear_Receive);
    EXPECT_FALSE(rows[1].blnNewYear_Send);
    EXPECT_TRUE(rows[1].blnSummer_Receive);
    EXPECT_EQ(rows[1].strMemo, "【喪中】メモ");
    EXPECT_EQ(rows[0].strMemo, "りんご");

    GreetingChange sent;
    sent.season = Season::YearEnd;
    sent.sent = true;
    applyChange(rows, 7, 2028, sent);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].lngYear, 2028);
    EXPECT_EQ(rows[2].lngPersonID, 7);
    EXPECT_TRUE(rows[2].blnYearEnd_Send);
    EXPECT_FALSE(rows[2].blnNewYear_Send);
}

TEST(CardContentTest, JointNamesAreGivenNamesUnderTheFamilyName) {
    const struct {
        const char* full;
        const char* family;
        const char* given;
    } cases[]{
        {"山田 恵子", "山田", "恵子"}, {"山田恵子", "山田", "恵子"}, {"恵子", "山田", "恵子"},
        {"佐藤　雄二", "山田", "雄二"}, {" 花 ", "山田", "花"},     {"山田", "山田", "山田"},
    };
    for (const auto& c : cases) EXPECT_EQ(givenNameOf(c.full, c.family), c.given) << c.full;

    LumoAccess::PersonInformation p;
    p.strLastName = "山田";
    p.strFirstName = "太郎";
    p.strMate = "山田 恵子";
    p.strHomeAddress1 = "東京都";
    p.strCompany = "会社";
    const std::vector<LumoAccess::ChildrenInformation> children{{1, 1, "やまだ はな", "山田 花"}};
    const cards::Recipient r = recipientOf(p, children, {true, {"山田 花", "いない子"}}, AddressKind::Home);
    ASSERT_EQ(r.givenNames.size(), 3u);
    EXPECT_EQ(r.givenNames[0].name, "太郎");
    EXPECT_EQ(r.givenNames[0].honorific, "様");  // TITLE empty
    EXPECT_EQ(r.givenNames[1].name, "恵子");
    EXPECT_EQ(r.givenNames[2].name, "花");
    EXPECT_TRUE(r.company.empty());
    const cards::Recipient office = recipientOf(p, children, {true, {"山田 花"}}, AddressKind::Office);
    EXPECT_EQ(office.givenNames.size(), 1u);
    EXPECT_EQ(office.company, "会社");
    EXPECT_FALSE(hasAddress(office));
}

}  // namespace
}  // namespace lumo::greetings
