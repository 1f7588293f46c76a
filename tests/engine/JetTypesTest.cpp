// Each expression's Jet type as the translation infers it on the tree,
// with the literals in place (translateJet). The types are Jet's rules,
// written out by hand.
#include <gtest/gtest.h>

#include <vector>

#include "engine/JetSql.h"

namespace {

using lumo::db::JetType;
using lumo::db::translateJet;

struct TypeCase {
    const char* expression;
    JetType type;
};

const TypeCase kLiterals[] = {
    {"'x'", JetType::Text},         {"1", JetType::Integer},      {"100000", JetType::Long},
    {"1.5", JetType::Double},       {"2.5E3", JetType::Double},   {"True", JetType::Boolean},
    {"False", JetType::Boolean},    {"Null", JetType::Null},      {"#2003/11/22#", JetType::Date},
    {"(#7:00:00 AM#)", JetType::Date}, {"PERSON_ID", JetType::Unknown}, {"T.PERSON_ID", JetType::Unknown},
};

const TypeCase kOperators[] = {
    {"1 + 2", JetType::Integer},
    {"1 + 100000", JetType::Long},
    {"1 + 1.5", JetType::Double},
    {"'a' + 'b'", JetType::Text},
    {"#2003/11/22# + 1", JetType::Date},
    {"1 + #2003/11/22#", JetType::Date},
    {"#2003/11/22# - 1.5", JetType::Date},
    {"#2003/11/22# - #2003/11/01#", JetType::Double},
    {"1 - #2003/11/22#", JetType::Unknown},
    {"#2003/11/22# + Null", JetType::Null},
    {"#2003/11/22# + PERSON_ID", JetType::Unknown},
    {"-#2003/11/22#", JetType::Date},
    {"7 / 7", JetType::Double},
    {"7 \\ 2", JetType::Integer},
    {"7 Mod 100000", JetType::Long},
    {"2 ^ 2", JetType::Double},
    {"'a' & 1", JetType::Text},
    {"1 = 1", JetType::Boolean},
    {"'a' Like 'a%'", JetType::Boolean},
    {"1 Between 0 And 2", JetType::Boolean},
    {"1 In (1, 2)", JetType::Boolean},
    {"True And False", JetType::Boolean},
    {"5 Or 2", JetType::Long},
    {"Not True", JetType::Boolean},
    {"Not 5", JetType::Long},
    {"(1 = 1) Or (2 = 2)", JetType::Boolean},
};

const TypeCase kCalls[] = {
    {"DateAdd('d', 1, #2003/11/22#)", JetType::Date},
    {"DATESERIAL(2003, 11, 22)", JetType::Date},
    {"TimeSerial(7, 0, 0) + 0.5", JetType::Date},
    {"Now()", JetType::Date},
    {"CDate(1)", JetType::Date},
    {"CInt(1.5)", JetType::Integer},
    {"CCur(1)", JetType::Currency},
    {"CBool(1)", JetType::Boolean},
    {"Left$('abc', 1)", JetType::Text},
    {"DateDiff('d', #2003/11/22#, #2003/12/12#)", JetType::Unknown},
    {"coalesce(1, 2)", JetType::Unknown},  // SQLite's own
    {"max(1, 2)", JetType::Integer},       // one of the values given, which are Integers
    {"max(1, 2.5)", JetType::Unknown},
};

TEST(JetTypes, EachExpressionHasJetsType) {
    for (const auto& group : {std::vector<TypeCase>(std::begin(kLiterals), std::end(kLiterals)),
                              std::vector<TypeCase>(std::begin(kOperators), std::end(kOperators)),
                              std::vector<TypeCase>(std::begin(kCalls), std::end(kCalls))}) {
        for (const TypeCase& c : group) {
            const auto types = translateJet(std::string("SELECT ") + c.expression + " FROM T").itemTypes;
            ASSERT_EQ(types.size(), 1u) << c.expression;
            EXPECT_EQ(types[0], c.type) << c.expression;
        }
    }
}

TEST(JetTypes, OneTypePerItemOfTheOuterList) {
    const auto types =
        translateJet("SELECT 'a' AS X, DISTINCT_COL, #2003/11/22# + 1 AS D, (SELECT 1 FROM U) FROM T WHERE 1 = 1").itemTypes;
    EXPECT_EQ(types, (std::vector<JetType>{JetType::Text, JetType::Unknown, JetType::Date, JetType::Unknown}));
    EXPECT_EQ(translateJet("SELECT DISTINCT 1.5, 'x' FROM T").itemTypes,
              (std::vector<JetType>{JetType::Double, JetType::Text}));
    // A '*' leaves the columns unknown in number; no types.
    EXPECT_TRUE(translateJet("SELECT *, 1 FROM T").itemTypes.empty());
    EXPECT_TRUE(translateJet("SELECT T.*, 1 FROM T").itemTypes.empty());
    EXPECT_TRUE(translateJet("UPDATE T SET A = 1").itemTypes.empty());
}

}  // namespace
