#pragma once
// Text as it stands in a vertical (縦書き) column: one cell per character
// square, numbers written in the chosen style, the dashes of house numbers
// made one separator, and Latin letters widened so that they stand upright.
// Pure functions of their arguments; any thread.
#include <string>
#include <string_view>
#include <vector>

namespace lumo::cards {

enum class NumberStyle {
    Kanji,    // 一〇二: digit by digit
    Kanji10,  // 百二: with 十, 百 and 千 (up to 9999; longer numbers digit by digit)
    Arabic,   // upright digits; a number of two digits side by side in one square
};

// One square of a column. `sideBySide` cells hold two full-width digits
// written across the column (縦中横), narrowed to fit.
struct Cell {
    std::string text;
    bool sideBySide = false;
    bool operator==(const Cell&) const = default;
};

// The separator that every dash between house numbers becomes.
inline constexpr std::string_view kNumberSeparator = "ー";

// The cells of `text` in a vertical column. 丁目, 番地, 号 and every other
// word stay as written; only digits, dashes, ASCII and spaces change.
std::vector<Cell> verticalCells(std::string_view text, NumberStyle style);

// The characters of the cells in reading order: what a reader of the
// printed column (or pdftotext) gets back.
std::string cellText(const std::vector<Cell>& cells);

// A cell holding a numeral (a digit or 〇一…九十百千 made from one): columns
// are not split between two of these.
bool isNumeralCell(const Cell& cell);

// ASCII digits as full-width ones (０-９), other characters unchanged. The
// cards print only full-width characters, so that the PDF embeds one
// subset of the font and never a second, Latin one.
std::string wideDigits(std::string_view text);

// The digits of a postal code written in any width with any separators
// ("123-4567", "１２３－４５６７", "〒123 4567"); at most seven.
std::string postalDigits(std::string_view zip);

}  // namespace lumo::cards
