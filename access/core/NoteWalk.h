#pragma once
// The walk that finds the entries of a changed note worth a ToDo row: the
// stored (old) note and the new note are read entry by entry side by side,
// in date order, and every dated entry of the new note that is new or
// changed is handed to `record`.
//
// Each pass takes the first rule that applies:
//  1. the entries are equal: read the next of both (when both notes are
//     used up, the walk ends);
//  2. the new entry has at most 9 characters: read the next of both;
//  3. both are dated:
//     - new date earlier: record the new entry, read the next new entry;
//     - new date later: read the next old entry, or, when the old note is
//       used up, record the new entry and read the next of both;
//     - same date: record the new entry, read the next of both;
//  4. only the new entry is dated: record it, read the next of both as in 1;
//  5. the new entry is undated (and long, and differs): read the next new
//     entry, and the next old one too unless the old entry is dated (a
//     dated old entry waits for the new note's next dated entry).
// Every pass reads at least one entry or ends the walk, so a walk takes at
// most as many passes as the two notes have entries, plus one. A read
// past the end of a note gives the empty entry.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lumo::access {

// Walks the two notes; `record` may fail, which ends the walk and passes
// the failure on. A failure of the entry reader has been reported by the
// reader and ends the walk quietly. Returns the number of passes.
int64_t walkNotes(std::string_view oldNote, std::string_view newNote,
                  const std::function<void(const std::string& entry)>& record);

}  // namespace lumo::access
