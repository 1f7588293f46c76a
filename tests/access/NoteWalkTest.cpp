// The walk over an old and a new note, on thousands of random note pairs:
// it always ends, within the number of entries of both notes plus two
// passes, and what it records are dated entries of the new note of ten or
// more characters, each at most once and in the note's order.
#include <gtest/gtest.h>

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

TEST(NoteWalk, RandomNotePairsEndAndRecordOnlyNewDatedEntries) {
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
