// The note-entry reader on its own: entries and positions, in characters.
#include <gtest/gtest.h>

#include "access/core/NoteEntry.h"
#include "platform/Dates.h"
#include "platform/MessageSink.h"
#include "tests/access/RandomNotes.h"

namespace lumo::test {
namespace {

using access::GetNoteEntry;
using access::NoteText;

struct Read {
    std::string entry;
    int32_t position;  // after the call
};

// Reads `count` entries of `text` from `position`.
std::vector<Read> readEntries(const std::string& text, int32_t position, int count) {
    const NoteText note(text);
    std::vector<Read> out;
    for (int i = 0; i < count; ++i) {
        std::string entry = GetNoteEntry(position, note);
        out.push_back({std::move(entry), position});
    }
    return out;
}

bool operator==(const Read& a, const Read& b) { return a.entry == b.entry && a.position == b.position; }
void PrintTo(const Read& r, std::ostream* os) { *os << '"' << r.entry << "\" @" << r.position; }

TEST(NoteEntry, EntriesAndPositions) {
    struct Case {
        const char* name;
        std::string text;
        int32_t from;
        std::vector<Read> expected;
    };
    const std::vector<Case> cases = {
        {"one character", "A", 1, {{"A", 2}, {"", 2}}},
        {"two dated lines", "01/09/01 a\r\n01/09/02 b", 1, {{"01/09/01 a", 13}, {"01/09/02 b", 23}}},
        {"an undated second line joins", "01/09/01 a\r\nmore\r\n01/09/03 c", 1,
         {{"01/09/01 amore", 19}, {"01/09/03 c", 29}}},
        {"a final CR LF is no part of the entry", "abc\r\n", 1, {{"abc", 6}, {"", 6}}},
        {"at the end nothing moves", "01/09/01 a", 11, {{"", 11}}},
        {"beyond the end nothing moves", "01/09/01 a", 40, {{"", 40}}},
        {"a third undated line is an entry of its own", "a\r\nb\r\nc", 1, {{"ab", 7}, {"c", 8}}},
        {"empty text", "", 1, {{"", 1}}},
        {"positions count characters", "01/09/01 会議\r\n01/09/02 出張\r\n", 1,
         {{"01/09/01 会議", 14}, {"01/09/02 出張", 27}}},
        {"from the middle of a line", "01/09/01 会議\r\nメモ", 10, {{"会議メモ", 16}}},
        {"bare LF", "01/09/01 a\n01/09/02 b\n", 1, {{"01/09/01 a", 12}, {"01/09/02 b", 23}}},
        {"bare LF joins like CR LF", "01/09/01 a\nmore\n01/09/03 c", 1, {{"01/09/01 amore", 17}, {"01/09/03 c", 27}}},
        {"a line starting with LF", "\n\nx", 1, {{"", 3}, {"x", 4}}},
        {"an empty line between CR LF lines", "a\r\n\r\nb", 1, {{"a", 6}, {"b", 7}}},
        {"a carriage return alone stays", "a\rb\r\nc", 1, {{"a\rbc", 7}}},
        {"a final bare LF", "memo\n", 1, {{"memo", 6}}},
        {"a short date ending the text is read with its break", "01/09/01 a\r\n01/9/1\r\n", 1,
         {{"01/09/01 a01/9/1", 21}}},
        {"the same short date followed by a line starts an entry", "01/09/01 a\r\n01/9/1\r\nb", 1,
         {{"01/09/01 a", 13}, {"01/9/1b", 22}}},
        {"a broken UTF-8 byte is one character", "ab\xff\r\ncd", 1, {{"ab\xff" "cd", 8}}},
    };
    RecordingSink sink;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readEntries(c.text, c.from, static_cast<int>(c.expected.size())), c.expected);
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST(NoteEntry, APositionBelowOneIsReportedAndNothingMoves) {
    RecordingSink sink;
    const NoteText note("01/09/01 a");
    for (int32_t position : {0, -5}) {
        bool failed = false;
        int32_t at = position;
        EXPECT_EQ(GetNoteEntry(at, note, &failed), "");
        EXPECT_TRUE(failed);
        EXPECT_EQ(at, position);
    }
    ASSERT_EQ(sink.messages().size(), 2u);
    EXPECT_EQ(sink.messages()[0].text.substr(0, 13), "MDL-lac1000\r\n");
}

TEST(NoteEntry, DateOfAText) {
    EXPECT_EQ(access::noteDate("01/09/24 会議"), dates::recognize("01/09/24"));
    EXPECT_TRUE(access::noteDate("2001/9/1会議"));
    EXPECT_FALSE(access::noteDate("1/9 memo"));
    EXPECT_FALSE(access::noteDate("会議 01/09/24"));
    EXPECT_FALSE(access::noteDate(""));
    EXPECT_TRUE(access::noteDate("01/9/1"));  // shorter than eight: the whole text
}

// Every note splits into entries that join back to its lines, positions
// move forward and end just past the text, and CR LF or bare LF line ends
// give the same entries.
TEST(NoteEntry, PropertiesOfRandomNotes) {
    RandomNotes random(20010924);
    RecordingSink sink;
    for (int n = 0; n < 3000; ++n) {
        const std::vector<std::string> lines = random.lines(12);
        std::string joined;
        for (const std::string& line : lines) joined += line;
        std::vector<std::vector<std::string>> byStyle;
        const bool finalBreak = random.pick(0, 1) == 1;
        for (int style = 0; style < 2; ++style) {
            const std::string text = random.join(lines, style, finalBreak);
            SCOPED_TRACE(testing::PrintToString(text));
            const NoteText note(text);
            int32_t position = 1;
            std::vector<std::string> entries;
            std::string all;
            while (position <= note.length()) {
                const int32_t before = position;
                entries.push_back(GetNoteEntry(position, note));
                ASSERT_GT(position, before);
                EXPECT_EQ(entries.back().find('\n'), std::string::npos);
                all += entries.back();
            }
            EXPECT_EQ(position, note.length() + 1);
            EXPECT_LE(entries.size(), lines.size());
            EXPECT_EQ(all, joined);
            byStyle.push_back(entries);
        }
        EXPECT_EQ(byStyle[0], byStyle[1]);
    }
    EXPECT_TRUE(sink.messages().empty());
}

}  // namespace
}  // namespace lumo::test
