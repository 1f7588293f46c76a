#include "platform/CsvField.h"

namespace lumo {

bool csvNeedsQuotes(std::string_view field) {
    // A plain loop: find_first_of runs memchr over the set for every byte.
    for (char c : field)
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    return false;
}

void appendCsvField(std::string& line, std::string_view field) {
    if (!csvNeedsQuotes(field)) {
        line += field;
        return;
    }
    line += '"';
    for (char c : field) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

std::string csvField(std::string_view field) {
    std::string out;
    appendCsvField(out, field);
    return out;
}

}  // namespace lumo
