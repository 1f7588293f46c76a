#pragma once
// Entries of a note. A note is a sequence of lines; a line whose first
// eight characters spell a date starts a dated entry, and an undated line
// that follows it belongs to the same entry. ToDo rows are made from
// entries (Notes.h).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "access/core/NoteText.h"

namespace lumo::access {

// Location code of the entry reader's report.
inline constexpr std::string_view kNoteEntryCode = "MDL-lac1000";

// The date a text starts with: its first eight characters, or the whole
// text when it is shorter, read by the platform's date recognition
// (lumo::dates::recognize); nothing when they are no date.
std::optional<double> noteDate(std::string_view text);

// Reads the entry that starts at character position `intPos` (1-based) and
// moves `intPos` to the start of the next one. An entry is one line, or
// one line followed without a separator by the next line when that line is
// not dated; a third line always starts a new entry. A line ends at a line
// feed or at the end of the text; the line feed and a carriage return
// directly before it are not part of the line, so CR LF and a bare LF both
// end one line.
//
// After the last entry `intPos` is length + 1; a call there (or beyond)
// returns "" and leaves it. A line that ends the text is tested for a date
// together with its final line break, as the stored notes have always been
// read: a short date such as "01/9/1" ending a note with CR LF is not a
// date, while the same line followed by another line is.
//
// A failure (a position below 1, a date recognition that fails) is
// reported under kNoteEntryCode; the call then returns what it had read,
// leaves `intPos` as it was at the failure and sets *failed.
std::string GetNoteEntry(int32_t& intPos, const NoteText& strText, bool* failed = nullptr);

}  // namespace lumo::access
