#pragma once
// The one quoting rule for CSV fields written by the suite's tools: a field
// that holds a comma, a double quote, CR or LF is enclosed in double quotes
// with its inner quotes doubled; every other field is written as it is.
#include <string>
#include <string_view>

namespace lumo {

bool csvNeedsQuotes(std::string_view field);

// Appends the field, quoted where needed, to `line`.
void appendCsvField(std::string& line, std::string_view field);

// The field as it appears in a line.
std::string csvField(std::string_view field);

}  // namespace lumo
