#include "access/core/NoteWalk.h"

#include "access/core/NoteEntry.h"
#include "access/core/NoteText.h"
#include "schema/ToDoRule.h"

namespace lumo::access {
namespace {

// One note being read entry by entry: holds the index of a note that the
// caller owns and keeps alive for the walk; one walk, one thread.
class NoteCursor {
public:
    explicit NoteCursor(std::string_view note) : text_(note) {}

    // False when the reader failed (it has reported the failure).
    bool read() {
        bool failed = false;
        entry_ = GetNoteEntry(position_, text_, &failed);
        return !failed;
    }

    const std::string& entry() const { return entry_; }
    // Some text is left after the current entry.
    bool textLeft() const { return position_ <= text_.length(); }
    // The last entry has been read.
    bool usedUp() const { return position_ == text_.length() + 1; }
    // The walk goes on while a position has not moved past its note's end.
    bool inWalk() const { return position_ <= text_.length() + 1; }
    void stepPastEnd() { ++position_; }

private:
    NoteText text_;
    int32_t position_ = 1;
    std::string entry_;
};

}  // namespace

int64_t walkNotes(std::string_view oldNote, std::string_view newNote,
                  const std::function<void(const std::string& entry)>& record) {
    NoteCursor older(oldNote), newer(newNote);
    int64_t passes = 0;
    const auto readBoth = [&] { return older.read() && newer.read(); };
    const auto advanceBoth = [&] {
        if (!newer.usedUp() || !older.usedUp()) return readBoth();
        newer.stepPastEnd();
        older.stepPastEnd();
        return true;
    };
    bool going = readBoth();
    while (going && (newer.inWalk() || older.inWalk())) {
        ++passes;
        const std::string& fresh = newer.entry();
        if (fresh == older.entry()) {
            going = advanceBoth();
        } else if (!schema::longEnoughForToDo(fresh)) {
            going = readBoth();
        } else {
            const auto newDate = noteDate(fresh);
            const auto oldDate = noteDate(older.entry());
            if (newDate && oldDate && *newDate < *oldDate) {
                record(fresh);
                going = newer.read();
            } else if (newDate && oldDate && *newDate > *oldDate && older.textLeft()) {
                going = older.read();
            } else if (newDate && oldDate) {  // same date, or later than all of the old note
                record(fresh);
                going = readBoth();
            } else if (newDate) {
                record(fresh);
                going = advanceBoth();
            } else if (oldDate) {
                going = newer.read();
            } else {
                going = readBoth();
            }
        }
    }
    return passes;
}

}  // namespace lumo::access
