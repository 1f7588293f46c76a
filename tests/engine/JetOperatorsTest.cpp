// Jet's operators run through the engine on a scratch database, one family
// per test, each case with the answer Jet gives: True as -1, bitwise logic
// with Null, real division, text with +, ordered Between bounds, text
// compared ignoring case, and the errors Jet raises.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/JetOperators.h"
#include "engine/JetSql.h"
#include "engine/Recordset.h"
#include "tests/engine/ExpressionFixture.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::kEngineTables;
using lumo::test::TestDatabase;

namespace {

struct Case {
    std::string expression;
    std::string answer;  // the value as text, "<null>" for Null, or part of the error's description
};

class JetOperators : public lumo::test::ExpressionFixture {
protected:
    // Each expression on the person whose TYPE_ID is 1.
    void expectValues(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            const std::vector<std::string> got = valueOf(c.expression);
            ASSERT_EQ(got.size(), 1u) << c.expression;
            EXPECT_NE(got[0].find(c.answer), std::string::npos) << c.expression << " gave " << got[0];
            if (c.answer.find_first_not_of("-0123456789.<>nul") == std::string::npos) {
                EXPECT_EQ(got[0], c.answer) << c.expression;  // a number: all of it
            }
        }
    }
};

TEST_F(JetOperators, ComparisonsGiveMinusOneForTrueAndIgnoreCase) {
    expectValues({
        {"1 = 1", "-1"},
        {"1 = 2", "0"},
        {"1 <> 2", "-1"},
        {"Null = 1", "<null>"},
        {"'abc' = 'ABC'", "-1"},
        {"'abc' < 'ABD'", "-1"},
        {"LASTNAME & '' = LASTNAME", "-1"},
        {"(TYPE_ID = 1) = True", "-1"},
        {"(TYPE_ID = 1) = -1", "-1"},
        {"Not (1 = 2)", "-1"},
        {"Not 1 = 2", "-1"},  // Not binds looser than =
        {"'B' In ('a', 'b')", "-1"},
        {"'c' Not In ('a', 'b')", "-1"},
        {"Null Is Null", "-1"},
        {"FIRSTNAME Is Not Null", "-1"},
        {"'Abc' Like 'a%'", "-1"},
        {"'Abc' Not Like 'b%'", "-1"},
        {"1 < 2 = True", "-1"},  // comparisons chain from the left
    });
}

TEST_F(JetOperators, BetweenOrdersItsBounds) {
    expectValues({
        {"'blah' Between 'z' And 'a'", "-1"},
        {"'blah' Between 'A' And 'C'", "-1"},
        {"5 Between 10 And 1", "-1"},
        {"5 Not Between 10 And 1", "0"},
        {"11 Between 10 And 1", "0"},
        {"TYPE_ID Between 3 And 1", "-1"},
        {"Null Between 1 And 2", "<null>"},
        {"1 Between Null And 2", "<null>"},
        {"2 Between 1 + 0 And 1 + 2", "-1"},  // the bounds bind tighter than Between
    });
}

TEST_F(JetOperators, ArithmeticFollowsJet) {
    expectValues({
        {"7 / 2", "3.5"},
        {"6 / 3", "2"},
        {"7 \\ 2", "3"},
        {"-7 \\ 2", "-3"},
        {"7.5 \\ 2", "4"},  // operands round half to even first: 8 \ 2
        {"6.5 \\ 2", "3"},  // 6 \ 2
        {"7 Mod 3", "1"},
        {"-7 Mod 3", "-1"},
        {"7 Mod -3", "1"},
        {"5.5 Mod 2", "0"},
        {"2 ^ 3", "8"},
        {"2 ^ -1", "0.5"},
        {"-2 ^ 2", "4"},  // a sign touching a number is part of it
        {"2 ^ 3 ^ 2", "64"},
        {"1 + 2 * 3", "7"},
        {"10 - 2 - 3", "5"},
        {"7 \\ 2 * 2", "1"},  // * before \: 7 \ 4
        {"7 Mod 4 \\ 2", "1"},  // \ before Mod: 7 Mod 2
        {"TYPE_ID--1", "2"},
        {"- -TYPE_ID", "1"},
        {"2.5E-1 * 4", "1"},
        {"10E-1", "1"},
        {"1.5E+1", "15"},
        {"'foo' + 'bar'", "foobar"},
        {"'1,025' + 12", "1037"},
        {"'１，０２５' + 12", "1037"},  // typed in full width
        {"'5-' * '(2)'", "10"},
        {"' 3 ' * '4'", "12"},
        {"LASTNAME + FIRSTNAME", "山田太郎"},
        {"Null + 1", "<null>"},
        {"'a' + Null", "<null>"},
        {"-Null", "<null>"},
        {"1 + 2 & 3", "33"},  // + binds tighter than &
        {"'a' & Null & 'b'", "ab"},
        {"Null & Null", "<null>"},  // & is Null only when every operand is
        {"Null & ''", ""},
        {"LASTNAME & Null & FIRSTNAME & 2.5", "山田太郎2.5"},
        // A real number joins as Jet writes it, not as SQLite does (3.0, 1.0e+20).
        {"'x' & 1.5 * 2", "x3"},
        {"'x' & 1E+20", "x1E+20"},
        {"'x' & 0.1 + 0.2", "x0.3"},
    });
}

TEST_F(JetOperators, ErrorsCarryJetsDescription) {
    expectValues({
        {"1 / 0", "0 で除算しました。"},
        {"1 \\ 0", "0 で除算しました。"},
        {"1 Mod 0.4", "0 で除算しました。"},  // 0.4 rounds to 0
        {"0 ^ -1", "0 で除算しました。"},
        {"TYPE_ID / (TYPE_ID - 1)", "0 で除算しました。"},
        {"'foo' - 12", "型が一致しません。"},
        {"'foo' + 12", "型が一致しません。"},
        {"'abc' * 2", "型が一致しません。"},
        {"-LASTNAME", "型が一致しません。"},
        {"Not 'x'", "型が一致しません。"},
        {"9223372036854775807 + 1", "オーバーフローしました。"},
        {"'1e999' + 1", "オーバーフローしました。"},  // a number still, beyond a Double
        {"(-8) ^ 0.5", "プロシージャの呼び出し、または引数が不正です。"},
    });
}

TEST_F(JetOperators, LogicIsBitwiseWithJetsNullRules) {
    expectValues({
        {"Not 5", "-6"},
        {"Not 0", "-1"},
        {"Not True", "0"},
        {"Not Null", "<null>"},
        {"5 And 3", "1"},
        {"5 Or 3", "7"},
        {"5 Xor 3", "6"},
        {"5 Eqv 3", "-7"},
        {"5 Imp 3", "-5"},
        {"True And False", "0"},
        {"Null Or 37", "-1"},
        {"Null Or True", "-1"},
        {"37 Or Null", "-1"},
        {"Null Or False", "<null>"},
        {"Null And 0", "0"},
        {"Null And False", "0"},
        {"Null And True", "<null>"},
        {"Null Xor True", "<null>"},
        {"Null Eqv False", "<null>"},
        {"False Imp Null", "-1"},
        {"True Imp Null", "<null>"},
        {"Null Imp True", "-1"},
        {"Null Imp False", "<null>"},
        {"(1 = 1) And 5", "5"},
        {"True Or True And False", "-1"},  // And before Or
        {"True Xor True Or True", "0"},    // Or before Xor
        {"False Eqv False Xor True", "0"},  // Xor before Eqv
        {"True Imp False Eqv False", "-1"},  // Eqv before Imp
        {"Null = 1 Or 1 = 1", "-1"},
        {"Null = 1 And 1 = 2", "0"},
    });
}

TEST_F(JetOperators, ConditionsTakeTheTruthOfJetValues) {
    struct Row {
        std::string sql;
        std::vector<std::string> ids;
    };
    const std::vector<Row> cases{
        {"SELECT PERSON_ID FROM T_PERSON WHERE (TYPE_ID = 1) = True", {"1"}},
        {"SELECT PERSON_ID FROM T_PERSON WHERE TYPE_ID--1 = 3 ORDER BY PERSON_ID", {"2", "3"}},
        {"SELECT PERSON_ID FROM T_PERSON WHERE LASTNAME & '' = 'o''BRIEN'", {"2"}},
        {"SELECT PERSON_ID FROM T_PERSON WHERE PERSON_ID Between 2 And 1 ORDER BY 1", {"1", "2"}},
        {"SELECT PERSON_ID FROM T_PERSON WHERE PERSON_ID And 2 ORDER BY 1", {"2", "3"}},
        {"SELECT PERSON_ID FROM T_PERSON WHERE Not PERSON_ID = 1 And Not AGE Is Null", {"3"}},
        {"SELECT PERSON_ID FROM T_PERSON WHERE AGE / 2 = 1.5", {"3"}},
        {"SELECT Sum(TYPE_ID > 1) FROM T_PERSON", {"-2"}},
        {"SELECT Count(*) FROM T_PERSON WHERE TYPE_ID In (SELECT TYPE_ID FROM T_GROUPING WHERE LABEL = '友人')", {"2"}},
        {"SELECT PERSON_ID FROM T_PERSON WHERE PERSON_ID = 1 --2", {"3"}},
    };
    for (const Row& c : cases) EXPECT_EQ(rows(c.sql), c.ids) << c.sql;
    EXPECT_EQ(cn_.Execute("UPDATE T_PERSON SET AGE = AGE \\ 2 + 7 Mod 4 WHERE PERSON_ID = 3"), 1);
    EXPECT_EQ(rows("SELECT AGE FROM T_PERSON WHERE PERSON_ID = 3"), std::vector<std::string>{"4"});
}

TEST(JetOperatorTranslation, ConditionsOnColumnsKeepSqlitesOperators) {
    // A comparison used as a condition needs only its truth: the engine's
    // own operators keep an indexed column usable.
    for (const char* kept : {"SELECT * FROM T WHERE A = 1 AND B Like 'x%' OR C IN (1, 2) AND NOT D IS NULL",
                             "SELECT A FROM T INNER JOIN U ON T.A = U.B WHERE T.C <> -1",
                             "DELETE FROM T WHERE [K] >= 5"})
        EXPECT_EQ(translateJet(kept).sql, kept);
    EXPECT_EQ(translateJet("SELECT * FROM T WHERE 'a' = 'A' AND A Between 1 And 2").sql,
              "SELECT * FROM T WHERE 'a' = 'A' COLLATE NOCASE AND A Between lumo_low(1, 2) And lumo_high(1, 2)");
    EXPECT_EQ(translateJet("SELECT * FROM T WHERE A--1 = 2").sql,
              "SELECT * FROM T WHERE lumo_sub(A, -1) = 2 COLLATE NOCASE");
    EXPECT_EQ(translateJet("SELECT - - -1, -(A), - -A FROM T").sql,
              "SELECT lumo_neg(lumo_neg(-1)), lumo_neg((A)), lumo_neg(lumo_neg(A)) FROM T NOT INDEXED");
}

TEST(JetOperatorTranslation, RepeatedBoundsNumberTheParameters) {
    const JetSqlText between("SELECT * FROM T WHERE A = 'x' AND B Between 1 And 5 AND C = 2");
    EXPECT_EQ(between.translate().sql,
              "SELECT * FROM T WHERE A = ?1 AND B Between lumo_low(?2, ?3) And lumo_high(?2, ?3) AND C = ?4");
    EXPECT_EQ(JetSqlText("SELECT * FROM T WHERE A = 'x' AND B = 2").translate().sql,
              "SELECT * FROM T WHERE A = ? AND B = ?");
}

TEST(JetOperatorTranslation, DeepOperatorChainsAreBoundedNotRecursive) {
    std::string nots = "SELECT ";
    for (int i = 0; i < 5000; ++i) nots += "1 = Not ";
    EXPECT_THROW(translateJet(nots + "1"), lumo::Error);
    std::string chain = "SELECT 1";
    for (int i = 0; i < 20000; ++i) chain += " + 1 - 1 Or 2";
    EXPECT_NO_THROW(translateJet(chain));
}

TEST(JetNumberText, ReadsTextAsJetReadsNumbers) {
    const std::vector<std::pair<const char*, double>> numbers{
        {"12", 12}, {" -3.5 ", -3.5}, {"1,025", 1025}, {"+2.013E-4", 2.013e-4}, {"10e1", 100}, {".5", 0.5},
        // The sign apart from the number, after it, or parentheses.
        {"- 1", -1}, {"5-", -5}, {"5 +", 5}, {"(12)", -12}, {"( 1,000 )", -1000}, {"-\\12", -12},
        // Full width, and the two widths mixed.
        {"１，０２５", 1025}, {"－３．５", -3.5}, {"\u3000１２\u3000", 12}, {"１2.５", 12.5}, {"￥１，２００", 1200},
        {"＆Ｈ１Ａ", 26}, {"１Ｅ３", 1000}};
    for (const auto& [text, value] : numbers) {
        ASSERT_TRUE(jetNumberFromText(text).has_value()) << text;
        EXPECT_DOUBLE_EQ(*jetNumberFromText(text), value) << text;
    }
    for (const char* text : {"", "foo", "1e", "1.2.3", ",5", "12abc", "1e+", "-", "+-5", "5--", "-5-", "(-5)", "(5",
                             "5)", "()", "１２ア", "一二三"})
        EXPECT_FALSE(jetNumberFromText(text).has_value()) << text;
}

}  // namespace

namespace {

// Jet's function names reach the functions registered for them, Left and
// Right included, which are also words of a join.
TEST_F(JetOperators, FunctionsAreCalledByTheirJetNames) {
    expectValues({
        {"Left('abc', 2)", "ab"},
        {"Right('abc', 2)", "bc"},
        {"Len('abc') & Left('xyz', 1)", "3x"},
        {"UCase(Left(LASTNAME, 1)) & Right('abc', 1)", "c"},
        {"Round(2.5)", "2"},
        {"Hex(9786)", "263A"},
        {"InStr('abcABC', 'C')", "3"},
        {"Format(#2024/01/31#, 'yyyy/mm/dd')", "2024/01/31"},
        {"IIf(Left('abc', 1) = 'A', 'same', 'other')", "same"},
    });
    EXPECT_EQ(rows("SELECT PERSON_ID FROM T_PERSON WHERE Left(LASTNAME, 0) = '' AND PERSON_ID = 1"),
              std::vector<std::string>{"1"});
}

}  // namespace
