#pragma once
// Notes and their ToDo rows, written once over the names of the table that
// carries the note: persons (T_PERSON) and sheets (T_SHEET) each have a
// NOTE column, and T_TODOLIST keeps the recorded entries of their notes,
// linked by PERSON_ID or SHEET_ID, with a check flag CHK_FLAG that the
// clients clear once an entry is done.
//
// Both routines run on the access object's connection, on the object's
// thread, and keep nothing after the call.
#include <string>
#include <string_view>

#include "access/LumoAccess.h"

namespace lumo::access {

class Database;

struct NoteTable {
    std::string_view table;       // rows that carry a NOTE
    std::string_view key;         // their key column
    std::string_view linkColumn;  // the T_TODOLIST column that holds that key
    struct Codes {
        std::string_view updateNote, deleteToDo;
    } codes;
};

inline constexpr NoteTable kPersonNotes{"T_PERSON", "PERSON_ID", "PERSON_ID", {"CLS-pida1043", "CLS-pida1045"}};
inline constexpr NoteTable kSheetNotes{"T_SHEET", "ID", "SHEET_ID", {"CLS-iida1022", "CLS-iida1037"}};

// Stores `note` as the NOTE of row `id` (Null when empty) and records the
// entries of `note` that are new or changed against the stored note as
// ToDo rows of `id` (NoteWalk.h). A row whose NOTE starts with the same
// eight characters as an entry, when it is the ToDo recordset's current
// row, takes the entry's text and keeps its CHK_FLAG; otherwise a row is
// added with CHK_FLAG True. For an `id` without a row nothing is stored as
// its note, and the entries of `note` are walked against an empty note.
//
// No transaction: the note and each ToDo row are stored as they are
// reached, and a failure keeps what was stored before it. A failure is
// reported under the table's updateNote code; returns true then.
//
// The person update and the sheet update call this before their own
// transaction.
bool updateNote(const NoteTable& notes, const Database& db, LumoAccess::Long id, const std::string& note);

// Deletes every ToDo row whose check flag is off, whoever it belongs to.
// A failure is reported under the table's deleteToDo code; returns true then.
bool deleteToDo(const NoteTable& notes, const Database& db);

}  // namespace lumo::access
