// Jet's meaning of signs before numbers, of text with numbers, of date
// literals given to functions, and of Null in the logical operators and
// In, through the engine on a scratch database. Each table is written from
// Jet's documented rules: a sign touching a number is part of it; a number
// and a text add, the text read as Jet converts it (so 12 + 'foo' is a
// type mismatch); beside a Null the other operand counts as a truth.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "tests/engine/ExpressionFixture.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::kEngineTables;
using lumo::test::TestDatabase;

namespace {

struct Case {
    std::string expression;
    std::string answer;  // the whole value as text, "<null>", or part of an error's description (…。)
};

class JetSignsAndNulls : public lumo::test::ExpressionFixture {
protected:
    // Each expression on the person whose PERSON_ID is 1 (TYPE_ID 1).
    void expectValues(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            const std::vector<std::string> got = valueOf(c.expression);
            ASSERT_EQ(got.size(), 1u) << c.expression;
            if (c.answer.ends_with("。")) EXPECT_NE(got[0].find(c.answer), std::string::npos) << c.expression << " gave " << got[0];
            else EXPECT_EQ(got[0], c.answer) << c.expression;
        }
    }
};

TEST_F(JetSignsAndNulls, ASignTouchingANumberIsPartOfIt) {
    expectValues({
        {"-10^2", "100"},
        {"-10 ^ 2", "100"},
        {"-(10)^2", "-100"},
        {"-'10'^2", "-100"},
        {"-\"10\"^2", "-100"},
        {"- 10^2", "-100"},      // a blank between: the sign is the operator
        {"- -10^2", "-100"},     // the outer sign negates (-10)^2
        {"--10^2", "-100"},
        {"+10^2", "100"},
        {"2 - 10^2", "-98"},     // a minus between operands subtracts
        {"2-10^2", "-98"},
        {"2 * -10^2", "200"},
        {"-2^3", "-8"},
        {"-2^-2", "0.25"},
        {"-1.5^2", "2.25"},
        {"-2E1^2", "400"},
        {"-10^2 + 1", "101"},
        {"-TYPE_ID^2", "-1"},    // a column is no number literal
        {"10^-2", "0.01"},
        {"-3", "-3"},
        {"-3 * 2", "-6"},
    });
}

// A zero has no sign in Jet: a result that the arithmetic leaves as -0
// reads as 0 wherever it goes, alone or joined as text.
TEST_F(JetSignsAndNulls, AZeroHasNoSign) {
    expectValues({
        {"Fix(-0.1)", "0"},
        {"Round(-0.4)", "0"},
        {"CDbl('-0')", "0"},
        {"0 * -1.5", "0"},
        {"-(0.5 - 0.5)", "0"},
        {"-0.5 / 1E+308 / 1E+308", "0"},
        {"Fix(-0.1) & ''", "0"},
        {"Fix(-0.5) - 1", "-1"},
    });
}

TEST_F(JetSignsAndNulls, TextWithANumberIsReadAsJetConvertsIt) {
    expectValues({
        {"' &h1A ' + 11", "37"},
        {"'&H10' - 1", "15"},
        {"'&O17' * 2", "30"},
        {"11 + '&h1A'", "37"},
        {"'¥1,000' + 1", "1001"},
        {"-'&H10'", "-16"},
        {"'12' + 'foo'", "12foo"},  // two texts join
        {"12 + 'foo'", "型が一致しません。"},  // a number and a text add
        {"'foo' + 12", "型が一致しません。"},
        {"'&H' + 1", "型が一致しません。"},
        {"'&HG' + 1", "型が一致しません。"},
    });
}

TEST_F(JetSignsAndNulls, DateLiteralsAreDatesToFunctions) {
    expectValues({
        {"IsDate(#2024/01/31#)", "-1"},
        {"IsDate(#2024/01/31 13:45#)", "-1"},
        {"IsNumeric(#2024/01/31#)", "0"},
        {"IsNumeric(#1/31/2024 1:45:10 PM#)", "0"},
        {"CStr(#2024/01/31#)", "2024/01/31"},
        {"Format(#2024/01/31 13:45#)", "2024/01/31 13:45:00"},
        {"Year(#2024/01/31#)", "2024"},
        {"#2024/01/31# - #2024/01/01#", "30"},  // arithmetic stays on numbers
        {"#2024/01/31# > #2024/01/01#", "-1"},
    });
}

TEST_F(JetSignsAndNulls, OrAndImpEqvXorWithNull) {
    expectValues({
        // Or: True beside Null is True, False beside it Null.
        {"37 Or Null", "-1"},
        {"Null Or 37", "-1"},
        {"-1 Or Null", "-1"},
        {"True Or Null", "-1"},
        {"0 Or Null", "<null>"},
        {"Null Or False", "<null>"},
        {"Null Or Null", "<null>"},
        // And: False beside Null is False, True beside it Null.
        {"37 And Null", "<null>"},
        {"Null And 37", "<null>"},
        {"True And Null", "<null>"},
        {"0 And Null", "0"},
        {"Null And False", "0"},
        {"Null And Null", "<null>"},
        // Imp: Null Imp True is True, False Imp Null is True, else Null.
        {"Null Imp 37", "-1"},
        {"Null Imp True", "-1"},
        {"Null Imp 0", "<null>"},
        {"37 Imp Null", "<null>"},
        {"True Imp Null", "<null>"},
        {"0 Imp Null", "-1"},
        {"False Imp Null", "-1"},
        {"Null Imp Null", "<null>"},
        // Eqv and Xor need both truths.
        {"37 Eqv Null", "<null>"},
        {"Null Eqv 0", "<null>"},
        {"Null Eqv Null", "<null>"},
        {"37 Xor Null", "<null>"},
        {"Null Xor 0", "<null>"},
        {"Null Xor Null", "<null>"},
        {"Not Null", "<null>"},
        // Without a Null they stay bitwise.
        {"37 Or 2", "39"},
        {"37 And 5", "5"},
        {"(1 = 1) Or Null", "-1"},
        {"(1 = 2) And Null", "0"},
    });
}

TEST_F(JetSignsAndNulls, ANullInAnInListMatchesNothing) {
    expectValues({
        {"37 In (23, Null, 45)", "0"},
        {"23 In (23, Null, 45)", "-1"},
        {"45 In (Null, 23, 45)", "-1"},
        {"37 In (Null)", "0"},
        {"37 Not In (23, Null, 45)", "-1"},
        {"23 Not In (23, Null)", "0"},
        {"'b' In ('A', Null, 'B')", "-1"},
        {"TYPE_ID In (Null, 1 + 0)", "-1"},
        {"Null In (23, 45)", "<null>"},
        {"37 In (23, 45)", "0"},
    });
    EXPECT_EQ(rows("SELECT PERSON_ID FROM T_PERSON WHERE PERSON_ID Not In (1, Null) ORDER BY 1"),
              (std::vector<std::string>{"2", "3"}));
    EXPECT_EQ(rows("SELECT PERSON_ID FROM T_PERSON WHERE PERSON_ID In (Null, 3) ORDER BY 1"), (std::vector<std::string>{"3"}));
}

// In a query Jet works out only the branch IIf returns, so the common
// IIf(x = 0, 0, 1 / x) never divides by zero; the condition is read as
// IIf reads it everywhere else.
TEST_F(JetSignsAndNulls, IIfWorksOutOnlyTheBranchItReturns) {
    expectValues({
        {"IIf(True, 1, 1 / 0)", "1"},
        {"IIf(False, 'a' - 1, 'b')", "b"},
        {"IIf(Null, 1 / 0, 2)", "2"},                       // a Null condition is False
        {"IIf(TYPE_ID = 1, 1, 1 / 0) + 1", "2"},
        {"IIf('1', 'yes', 'no')", "yes"},                   // text that is a number is a truth
        {"IIf('abc', 1, 2)", "型が一致しません。"},
        {"IIf(1 / 0, 1, 2)", "0 で除算しました。"},
        {"IIf(True, 1 / 0, 2)", "0 で除算しました。"},      // the branch returned still fails
        {"IIf(False, 1, IIf(True, 'inner', 1 / 0))", "inner"},
        {"Format(IIf(True, #2024/01/31#, 0), 'yyyy年m月d日')", "2024年1月31日"},  // a date stays a date
        {"IIf(True, BIRTHDAY, Null) & ''", "1982/02/18 12:00:00"},
        {"IIf(AGE Between 30 And 50, 'middle', 'other')", "middle"},
    });
    EXPECT_EQ(rows("SELECT IIf(TYPE_ID - 1 = 0, 'none', 10 / (TYPE_ID - 1)) FROM T_PERSON ORDER BY PERSON_ID"),
              (std::vector<std::string>{"none", "10", "10"}));
    EXPECT_EQ(rows("SELECT PERSON_ID FROM T_PERSON WHERE IIf(AGE Is Null, 0, 100 \\ AGE) > 10 ORDER BY 1"),
              (std::vector<std::string>{"3"}));
}

TEST_F(JetSignsAndNulls, NewFunctionsAreCalledByTheirJetNames) {
    expectValues({
        {"VarType(#2024/01/31#)", "7"},
        {"TypeName('a')", "String"},
        {"VarType(CInt(AGE))", "2"},
        {"TypeName(BIRTHDAY)", "Date"},  // a Date/Time column as it stands
        {"Left$('abc', 2)", "ab"},
        {"left$(LASTNAME, 1)", "山"},
        {"Format$(1234.5, '#,##0')", "1,235"},
        {"StrConv('ｶﾞｯｺｳ', 4 + 32)", "がっこう"},
        {"Mid$(Null, 1)", "Null の使い方が不正です。"},
        // Asc and ASC: before a group the word is the call, whatever its case.
        {"Asc('A')", "65"},
        {"ASC ('b') + Asc(LASTNAME) * 0", "98"},
    });
    EXPECT_EQ(rows("SELECT PERSON_ID FROM T_PERSON ORDER BY PERSON_ID ASC"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(rows("SELECT PERSON_ID FROM T_PERSON ORDER BY Asc('a' & PERSON_ID) ASC, PERSON_ID DESC"),
              (std::vector<std::string>{"3", "2", "1"}));
}

}  // namespace
