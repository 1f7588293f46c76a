#include "platform/CsvField.h"

namespace lumo {

bool csvNeedsQuotes(std::string_view field) {
    return field.find_first_of(",\"\r\n") != std::string_view::npos;
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
