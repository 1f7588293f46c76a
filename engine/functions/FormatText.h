#pragma once
// The user-defined formats of Format: the same format text means a number,
// date or text layout depending on the placeholders it holds. Each layout
// is written once here; Format, FormatNumber, FormatCurrency,
// FormatPercent and FormatDateTime all come down to one of them.
// Stateless; any thread.
#include <string>
#include <string_view>
#include <vector>

namespace lumo::db::jet {

// One piece of a format text: a character to interpret, or literal text
// (quoted "...", escaped with \, or any character outside ASCII).
struct FormatPiece {
    bool literal;
    std::string_view text;
};
std::vector<FormatPiece> formatPieces(std::string_view format);
// The sections of a format, split at the semicolons outside quotes.
std::vector<std::string_view> formatSections(std::string_view format);

enum class FormatKind { Number, Date, Text };
// What the format lays out: dates when it holds y m d h n s w q c a(aa)
// g e (not E+ / E-) or AM/PM, text when it holds @ & < > and no 0 or #, numbers otherwise.
FormatKind formatKind(std::string_view format);

// Layouts. Numbers round half away from zero on the binary value's digits
// where the rounding falls within 15 significant digits (12.345 is stored
// below 12.345, so "0.00" gives 12.34), on the 15 digits beyond.
std::string layNumber(double value, std::string_view format);
std::string layDate(double value, std::string_view format, int firstDay, int firstWeek);
std::string layText(std::string_view text, std::string_view format);

// The date forms of a Japanese desktop that named formats use.
std::string longDate(double value);   // 2024年1月31日
std::string longTime(double value);   // 9:05:00
std::string shortTime(double value);  // 09:05

}  // namespace lumo::db::jet
