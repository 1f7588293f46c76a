#include "access/core/Notes.h"

#include "access/core/Database.h"
#include "access/core/Fields.h"
#include "access/core/NoteWalk.h"
#include "access/core/SqlText.h"
#include "platform/ErrorReport.h"
#include "platform/Utf8.h"
#include "engine/Recordset.h"

namespace lumo::access {
namespace {

// The note row and the ToDo rows are opened for writing, each locked as it
// is written.
void openForWriting(db::Recordset& rs, const std::string& sql, db::Connection& cnn) {
    rs.Open(sql, cnn, db::adOpenDynamic, db::adLockPessimistic, db::adCmdText);
}

bool isEmpty(db::Recordset& rs) { return rs.Bof() && rs.Eof(); }

// The current ToDo row stands for the same dated entry: its NOTE starts
// with the entry's first eight characters. A Null NOTE never does.
bool sameDatePrefix(db::Recordset& todo, const std::string& entry) {
    const db::Variant& stored = todo.Fields("NOTE").Value();
    if (stored.isNull()) return false;
    return utf8::firstCharacters(stored.toString(), 8) == utf8::firstCharacters(entry, 8);
}

// One ToDo write. The recordset is never moved: after an addition the
// added row is its current row, so a later entry of the same date
// replaces the text of the row just added.
void recordEntry(db::Recordset& todo, const NoteTable& notes, LumoAccess::Long id, const std::string& entry) {
    if (isEmpty(todo) || !sameDatePrefix(todo, entry)) {
        todo.AddNew();
        todo.Fields("CHK_FLAG") = db::Variant(true);
        todo.Fields(notes.linkColumn) = db::Variant(id);
    }
    todo.Fields("NOTE") = db::Variant(entry);
    todo.Update();
}

}  // namespace

bool updateNote(const NoteTable& notes, const Database& db, LumoAccess::Long id, const std::string& note) {
    return reported(notes.codes.updateNote, [&] {
        db::Connection& cnn = db.get();
        const std::string key = std::to_string(id);
        db::Recordset rs;
        openForWriting(rs, concat({"SELECT NOTE FROM ", notes.table, " WHERE ", notes.key, " = ", key}), cnn);
        std::string oldNote;
        if (!rs.Bof() && !rs.Eof()) {
            oldNote = textOf(rs, "NOTE");
            rs.Fields("NOTE") = textOrNull(note);
            rs.Update();
        }
        rs.Close();
        openForWriting(rs, concat({"SELECT * FROM T_TODOLIST WHERE ", notes.linkColumn, " = ", key}), cnn);
        walkNotes(oldNote, note, [&](const std::string& entry) { recordEntry(rs, notes, id, entry); });
        rs.Close();
    });
}

bool deleteToDo(const NoteTable& notes, const Database& db) {
    return reported(notes.codes.deleteToDo,
                    [&] { db.get().Execute("DELETE FROM T_TODOLIST WHERE CHK_FLAG = 0", -1); });
}

}  // namespace lumo::access
