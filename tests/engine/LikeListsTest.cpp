// Jet's character lists in LIKE patterns: [abc], [!abc], [a-z], and [%],
// [_], [[] for the characters themselves; by the matcher, and through a
// statement on a file, where the substring index must not narrow such a
// search wrongly.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Connection.h"
#include "engine/LikeFunction.h"
#include "engine/Recordset.h"
#include "schema/Schema.h"
#include "tests/engine/TestDatabase.h"

namespace lumo::test {
namespace {

struct LikeCase {
    const char* pattern;
    const char* text;
    bool matches;
};

TEST(EngineLikeLists, PatternsAgainstTexts) {
    const std::vector<LikeCase> cases{
        // One of the characters listed.
        {"[abc]", "a", true},
        {"[abc]", "c", true},
        {"[abc]", "d", false},
        {"[abc]", "", false},
        {"[abc]", "ab", false},
        {"[abc]%", "banana", true},
        {"%[xyz]", "jazz", true},
        {"%[xyz]", "jazzy!", false},
        {"[ABC]", "b", true},  // ASCII letters in either case
        {"[O]%", "O'Brien", true},
        {"[O]%", "o'brien", true},
        {"[O]%", "Brien", false},
        // Any character but those listed.
        {"[!abc]", "d", true},
        {"[!abc]", "a", false},
        {"[!abc]", "B", false},
        {"[!abc]", "", false},
        {"%[!0-9]%", "123", false},
        {"%[!0-9]%", "12a3", true},
        {"[!a]", "!", true},
        // Ranges, by code point; a '-' first or last is itself.
        {"[a-z]", "m", true},
        {"[a-z]", "M", true},
        {"[a-z]", "1", false},
        {"[0-9][0-9]-%", "03-1234", true},
        {"[0-9][0-9]-%", "0a-1234", false},
        {"[-a]", "-", true},
        {"[a-]", "-", true},
        {"[a-]", "b", false},
        {"[ぁ-ん]%", "やまだ", true},
        {"[ぁ-ん]%", "ヤマダ", false},
        {"[ァ-ヶ]%", "ヤマダ", true},
        {"%[山川]田", "小山田", true},
        {"%[山川]田", "小池田", false},
        {"[!山]田", "池田", true},
        {"[!山]田", "山田", false},
        // The wildcards and '[' themselves.
        {"100[%]", "100%", true},
        {"100[%]", "1000", false},
        {"100[%]", "100", false},
        {"%[%]%", "50% off", true},
        {"%[%]%", "50 off", false},
        {"a[_]b", "a_b", true},
        {"a[_]b", "axb", false},
        {"[[]株]%", "[株]商事", true},
        {"[[]株]%", "株商事", false},
        {"%[[]%", "a[b", true},
        {"%[[]%", "ab", false},
        {"%O''Brien [%]%", "Mr O''Brien % ok", true},
        // '[' without a ']' is itself; ']' alone is itself; [] is nothing.
        {"[abc", "[abc", true},
        {"[abc", "a", false},
        {"a]", "a]", true},
        {"a[]b", "ab", true},
        // Lists among % and _, with backtracking.
        {"%[ab]_c", "xxbyc", true},
        {"%[ab]_c", "xxbc", false},
        {"%a%[!a]", "aaaa", false},
        {"%a%[!a]", "aaab", true},
        {"_[a-c]%[x-z]", "ZbQQy", true},
        {"_[a-c]%[x-z]", "Zdy", false},
    };
    for (const LikeCase& c : cases)
        EXPECT_EQ(db::likeMatches(c.pattern, c.text), c.matches) << "'" << c.text << "' LIKE '" << c.pattern << "'";
}

// Through the engine, with the person file's substring index in place: a
// list must neither be read as text by the index (which would hide the
// persons it lists) nor stop a search that has a long enough run.
TEST(EngineLikeLists, SearchesOnAFileWithTheIndex) {
    TestDatabase file(std::string(schema::personDdl()) +
                      ";INSERT INTO T_PERSON (PERSON_ID, LASTNAME) VALUES (1, 'O''Brien'), (2, '100% 山田'), "
                      "(3, '[株]山田商事'), (4, 'a_b 山田'), (5, '山田太郎'), (6, '川田太郎'), (7, 'Obrist');");
    db::Connection cn;
    cn.Open(file.connectionString());
    const std::vector<std::pair<std::string, std::string>> cases{
        {"[O]%", "1 7"},
        {"[O]''%", "1"},
        {"%[%]%", "2"},
        {"%100[%] 山田%", "2"},
        {"%[[]株]山田%", "3"},
        {"%[_]%", "4"},
        {"%[山川]田太郎%", "5 6"},  // 田太郎 is the longest run: the index may narrow by it
        {"%[!山]田太郎%", "6"},
        {"%[川]田太郎%", "6"},
        {"%山田[商太]%", "3 5"},
    };
    for (const auto& [pattern, ids] : cases) {
        // Without ORDER BY, which would keep the index out.
        std::vector<int32_t> rows;
        db::Recordset rs;
        rs.Open("SELECT PERSON_ID FROM T_PERSON WHERE (T_PERSON.LASTNAME LIKE '" + pattern +
                    "' OR T_PERSON.COMPANY LIKE '" + pattern + "')",
                cn, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
        for (; !rs.Eof(); rs.MoveNext()) rows.push_back(rs.Fields(0).Value().toLong());
        std::sort(rows.begin(), rows.end());
        std::string found;
        for (int32_t id : rows) found += (found.empty() ? "" : " ") + std::to_string(id);
        EXPECT_EQ(found, ids) << pattern;
    }
}

}  // namespace
}  // namespace lumo::test
