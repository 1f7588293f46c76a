// The walk over an old and a new note, on thousands of random note pairs:
// it always ends, within the number of entries of both notes plus two
// passes, and it records exactly what a plain walk written here from the
// rules records: entries, dates and lengths are found by this file's own
// reading of the notes, not by the entry reader under test.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "access/core/NoteEntry.h"
#include "access/core/NoteWalk.h"
#include "platform/MessageSink.h"
#include "platform/Utf8.h"
#include "tests/access/RandomNotes.h"

namespace lumo::test {
namespace {

std::vector<std::string> entriesOf(const std::string& text) {
    const access::NoteText note(text);
    std::vector<std::string> entries;
    for (int32_t position = 1; position <= note.length();) entries.push_back(access::GetNoteEntry(position, note));
    return entries;
}

bool recordable(const std::string& entry) {
    return utf8::characterCount(entry) >= 10 && access::noteDate(entry).has_value();
}

struct Walked {
    int64_t passes;
    std::vector<std::string> recorded;
};

Walked walk(const std::string& oldNote, const std::string& newNote) {
    Walked w{0, {}};
    w.passes = access::walkNotes(oldNote, newNote, [&](const std::string& entry) { w.recorded.push_back(entry); });
    return w;
}

// ---- The reference: the rules, read plainly ---------------------------

// Characters, not bytes: a UTF-8 continuation byte starts no character.
std::vector<std::string> charactersOf(std::string_view text) {
    std::vector<std::string> out;
    for (unsigned char c : text) {
        if ((c & 0xC0) == 0x80 && !out.empty()) out.back() += static_cast<char>(c);
        else out.emplace_back(1, static_cast<char>(c));
    }
    return out;
}

// The date a text starts with, as a comparable yyyymmdd: its first eight
// characters (the whole text when shorter), blanks at either end left out,
// in the forms the random notes use: yy/mm/dd, yy/m/d and yyyy/m/d, years
// 00-29 in 2000-2029.
std::optional<int> referenceDate(std::string_view text) {
    const auto chars = charactersOf(text);
    std::string head;
    for (std::size_t i = 0; i < chars.size() && i < 8; ++i) head += chars[i];
    while (!head.empty() && (head.front() == ' ' || head.front() == '\t')) head.erase(0, 1);
    while (!head.empty() && (head.back() == ' ' || head.back() == '\t')) head.pop_back();
    std::vector<std::string> fields(1);
    for (char c : head) {
        if (c == '/') fields.emplace_back();
        else if (c >= '0' && c <= '9') fields.back() += c;
        else return std::nullopt;
    }
    if (fields.size() != 3) return std::nullopt;
    const std::string& y = fields[0];
    if (!(y.size() == 2 || y.size() == 4) || fields[1].empty() || fields[1].size() > 2 || fields[2].empty() ||
        fields[2].size() > 2)
        return std::nullopt;
    int year = std::stoi(y), month = std::stoi(fields[1]), day = std::stoi(fields[2]);
    if (y.size() == 2) year += year < 30 ? 2000 : 1900;
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    return year * 10000 + month * 100 + day;
}

// The entries of a note: a line ends at a line feed (a carriage return
// before it is no part of the line) or at the end of the text; an entry is
// a line, and the next line too when that one is not dated. A line that
// ends the text is tested for a date with its line break.
std::vector<std::string> referenceEntries(std::string_view note) {
    struct Line {
        std::string text, tested;
    };
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < note.size()) {
        const std::size_t feed = note.find('\n', start);
        const std::size_t end = feed == std::string_view::npos ? note.size() : feed;
        std::string text(note.substr(start, end - start));
        if (feed != std::string_view::npos && !text.empty() && text.back() == '\r') text.pop_back();
        const bool endsWithBreak = feed != std::string_view::npos && feed + 1 == note.size();
        lines.push_back({text, endsWithBreak ? std::string(note.substr(start)) : text});
        start = feed == std::string_view::npos ? note.size() : feed + 1;
    }
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i + 1 < lines.size() && !referenceDate(lines[i + 1].tested)) {
            entries.push_back(lines[i].text + lines[i + 1].text);
            ++i;
        } else {
            entries.push_back(lines[i].text);
        }
    }
    return entries;
}

// One note read entry by entry; past its last entry a read gives "".
struct ReferenceNote {
    explicit ReferenceNote(std::vector<std::string> all) : entries(std::move(all)) {}

    std::vector<std::string> entries;
    std::size_t read = 0;  // entries read so far
    bool past = false;     // both notes were used up: the walk ends
    std::string entry;

    void next() { entry = read < entries.size() ? entries[read++] : std::string(); }
    bool textLeft() const { return read < entries.size(); }
    bool usedUp() const { return !textLeft() && !past; }
};

// The walk, rule by rule: what it records, in order.
std::vector<std::string> referenceWalk(std::string_view oldNote, std::string_view newNote) {
    ReferenceNote older(referenceEntries(oldNote)), newer(referenceEntries(newNote));
    std::vector<std::string> recorded;
    const auto bothNext = [&] {
        older.next();
        newer.next();
    };
    const auto advanceBoth = [&] {
        if (newer.usedUp() && older.usedUp()) newer.past = older.past = true;
        else bothNext();
    };
    bothNext();
    while (!newer.past) {
        const std::string fresh = newer.entry, stored = older.entry;
        const auto freshDate = referenceDate(fresh), storedDate = referenceDate(stored);
        if (fresh == stored) {
            advanceBoth();  // 1. unchanged
        } else if (charactersOf(fresh).size() <= 9) {
            bothNext();  // 2. too short to record
        } else if (freshDate && storedDate) {  // 3. both dated
            if (*freshDate < *storedDate) {
                recorded.push_back(fresh);
                newer.next();
            } else if (*freshDate > *storedDate) {
                if (older.textLeft()) {
                    older.next();
                } else {
                    recorded.push_back(fresh);
                    bothNext();
                }
            } else {
                recorded.push_back(fresh);
                bothNext();
            }
        } else if (freshDate) {  // 4. only the new entry dated
            recorded.push_back(fresh);
            advanceBoth();
        } else if (storedDate) {  // 5. a long undated new entry; the dated old one waits
            newer.next();
        } else {
            bothNext();
        }
    }
    return recorded;
}

// ---- The walk against the reference -------------------------------------

// The faults a walk can have: a new entry dated after the old note's first
// entry dropped, an unchanged entry after a changed one of the same date
// recorded again.
TEST(NoteWalk, NewAndChangedDatedEntriesAreRecordedAndUnchangedOnesAreNot) {
    struct Case {
        const char* name;
        std::string oldNote, newNote;
        std::vector<std::string> recorded;
    };
    const std::vector<Case> cases = {
        {"added after the first", "01/09/01 A", "01/09/01 A\r\n01/09/15 C", {"01/09/15 C"}},
        {"added between two", "01/09/01 A\r\n01/09/20 Z", "01/09/01 A\r\n01/09/15 C\r\n01/09/20 Z", {"01/09/15 C"}},
        {"added after all", "01/09/01 A\r\n01/09/02 B", "01/09/01 A\r\n01/09/02 B\r\n01/09/03 C", {"01/09/03 C"}},
        {"changed, same date follows", "01/09/05 A\r\n01/09/05 B", "01/09/05 A2\r\n01/09/05 B", {"01/09/05 A2"}},
        {"changed, next date follows", "01/09/05 A\r\n01/09/06 B", "01/09/05 A2\r\n01/09/06 B", {"01/09/05 A2"}},
        {"unchanged", "01/09/05 A\r\nmore\r\n01/09/06 B", "01/09/05 A\r\nmore\r\n01/09/06 B", {}},
        {"added before all", "01/09/05 A", "01/09/03 B\r\n01/09/05 A", {"01/09/03 B"}},
        {"the first replaced by a later one", "01/09/01 A\r\n01/09/20 Z", "01/09/15 C\r\n01/09/20 Z", {"01/09/15 C"}},
        {"later than all of the old note", "01/09/01 A", "01/09/15 C", {"01/09/15 C"}},
    };
    RecordingSink sink;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(referenceWalk(c.oldNote, c.newNote), c.recorded);
        EXPECT_EQ(walk(c.oldNote, c.newNote).recorded, c.recorded);
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST(NoteWalk, RandomNotePairsEndAndRecordWhatTheRulesRecord) {
    RandomNotes random(19990101);
    RecordingSink sink;
    for (int n = 0; n < 5000; ++n) {
        const auto oldLines = random.lines(10);
        const auto newLines = random.pick(0, 3) == 0 ? random.lines(10) : random.edited(oldLines);
        const std::string oldNote = random.join(oldLines, random.pick(0, 2), random.pick(0, 1) == 1);
        const std::string newNote = random.join(newLines, random.pick(0, 2), random.pick(0, 1) == 1);
        SCOPED_TRACE(testing::PrintToString(oldNote) + " -> " + testing::PrintToString(newNote));

        const Walked w = walk(oldNote, newNote);
        const auto oldEntries = entriesOf(oldNote);
        const auto newEntries = entriesOf(newNote);
        ASSERT_EQ(newEntries, referenceEntries(newNote));
        // Every entry the rules record, and nothing else, old note empty or not.
        EXPECT_EQ(w.recorded, referenceWalk(oldNote, newNote));
        EXPECT_LE(w.passes, static_cast<int64_t>(oldEntries.size() + newEntries.size() + 2));

        // A subsequence of the recordable new entries.
        auto next = newEntries.begin();
        for (const std::string& entry : w.recorded) {
            EXPECT_TRUE(recordable(entry)) << entry;
            next = std::find(next, newEntries.end(), entry);
            ASSERT_NE(next, newEntries.end()) << entry << " is not a new entry after the ones recorded before it";
            ++next;
        }

        // Unchanged, nothing is recorded.
        EXPECT_TRUE(walk(newNote, newNote).recorded.empty());
        // Against an empty old note, every recordable entry is recorded.
        std::vector<std::string> all;
        for (const std::string& entry : newEntries)
            if (recordable(entry)) all.push_back(entry);
        EXPECT_EQ(walk("", newNote).recorded, all);
        EXPECT_EQ(referenceWalk("", newNote), all);
    }
    EXPECT_TRUE(sink.messages().empty());
}

// The two states in which no rule used to move on.
TEST(NoteWalk, StatesThatUsedToStandStill) {
    struct Case {
        const char* name;
        std::string oldNote, newNote;
        std::vector<std::string> recorded;
    };
    const std::vector<Case> cases = {
        {"a new undated line of ten or more characters", "", "a plain memo line", {}},
        {"the same, against an undated old line", "old memo line", "a plain memo line", {}},
        {"the same, against a dated old entry", "01/09/05 meeting", "a plain memo line\r\n01/09/05 meeting", {}},
        {"a new date earlier than the old, at the end of the new note", "01/09/05 meeting", "01/09/03 meeting",
         {"01/09/03 meeting"}},
        {"earlier dates one after another", "01/09/09 meeting", "01/09/03 meeting\r\n01/09/05 meeting",
         {"01/09/03 meeting", "01/09/05 meeting"}},
    };
    RecordingSink sink;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Walked w = walk(c.oldNote, c.newNote);
        EXPECT_EQ(w.recorded, c.recorded);
        EXPECT_LE(w.passes, static_cast<int64_t>(entriesOf(c.oldNote).size() + entriesOf(c.newNote).size() + 2));
    }
    EXPECT_TRUE(sink.messages().empty());
}

}  // namespace
}  // namespace lumo::test
