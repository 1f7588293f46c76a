// Field lookup by name: names that differ from one another in a single
// byte at the start, inside the first word of eight, in the last
// (overlapping) word, and names shorter than a word, each found in any ASCII
// case and never mistaken for its neighbour.
#include "engine/Recordset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

const std::vector<std::string> kNames = {
    "Q",        "R",                      // one byte
    "ABCDEFG",  "ABCDEFH",                // shorter than a word, last byte differs
    "ABCDEFGH", "XBCDEFGH",               // exactly a word, first byte differs
    "ABCDEFGHIJ", "ABCDEFGHIK",           // a word and a tail, last byte differs
    "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOQ",      // two words
    "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOPR",    // two words and a tail
    "ABCDEFGHIJKLMNOPQR_1", "ABCDEFGHIJKLMNOPQR_2",
    "ABCD_FGHIJKLMNOPQR_1",               // a difference inside the first word only
};

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Every other letter lowered.
std::string mixed(std::string s) {
    for (std::size_t i = 0; i < s.size(); i += 2) s[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
    return s;
}

class FieldNameTest : public ::testing::Test {
protected:
    void SetUp() override {
        cn.Open(db.connectionString(), "", "", -1);
        std::string sql = "SELECT ";
        for (std::size_t i = 0; i < kNames.size(); ++i)
            sql += (i ? ", " : "") + std::to_string(i + 1) + " AS " + kNames[i];
        rs.Open(sql + " FROM T_PERSON WHERE PERSON_ID = 1", cn, adOpenForwardOnly, adLockReadOnly, adCmdText);
    }
    TestDatabase db{kEngineTables};
    Connection cn;
    Recordset rs;
};

}  // namespace

TEST_F(FieldNameTest, EachNameFindsItsOwnFieldInAnyCase) {
    ASSERT_FALSE(rs.Eof());
    for (int round = 0; round < 2; ++round) {  // the second round follows the order learnt in the first
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            const auto expected = static_cast<int32_t>(i + 1);
            EXPECT_EQ(rs.Fields(kNames[i]).Value().toLong(), expected) << kNames[i];
            EXPECT_EQ(rs.Fields(lower(kNames[i])).Value().toLong(), expected) << lower(kNames[i]);
            EXPECT_EQ(rs.Fields(mixed(kNames[i])).Value().toLong(), expected) << mixed(kNames[i]);
            EXPECT_EQ(rs.Fields(kNames[i]).Name(), kNames[i]);
        }
    }
    // In reverse, so that no guess from the order above holds.
    for (std::size_t i = kNames.size(); i-- > 0;)
        EXPECT_EQ(rs.Fields(lower(kNames[i])).Value().toLong(), static_cast<int32_t>(i + 1)) << kNames[i];
}

TEST_F(FieldNameTest, NearMissesAreNotFound) {
    for (const std::string& name : kNames) {
        std::string other = name;
        other.back() = '#';  // differs in the last byte only
        EXPECT_THROW(rs.Fields(other), lumo::Error) << other;
        other = name;
        other.front() = '#';
        EXPECT_THROW(rs.Fields(other), lumo::Error) << other;
        EXPECT_THROW(rs.Fields(name + "S"), lumo::Error) << name;
        // Bit 0x20 is a case only for letters: "_1" flipped is not "_1".
        other = name;
        other.back() = static_cast<char>(other.back() ^ 0x20);
        if (std::isalpha(static_cast<unsigned char>(name.back())))
            EXPECT_EQ(rs.Fields(other).Name(), name);
        else
            EXPECT_THROW(rs.Fields(other), lumo::Error) << other;
    }
}
