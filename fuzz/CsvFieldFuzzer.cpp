// CSV field quoting. Property: a line of fields written with the one
// quoting rule reads back into the same fields with the rules of Python's
// csv module (default dialect: '"' quotes, doubled inside, ',' separates).
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/Check.h"
#include "platform/CsvField.h"

using lumo::fuzz::check;

namespace {

// Python's csv.reader on one record that may span lines (strict for what
// the writer can produce: text after a closing quote is a finding).
std::vector<std::string> readRecord(const std::string& line) {
    std::vector<std::string> fields(1);
    std::size_t i = 0;
    bool atStart = true;
    while (i < line.size()) {
        const char c = line[i];
        if (atStart && c == '"') {
            ++i;
            for (;;) {
                check(i < line.size(), "a quoted field is closed");
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') { fields.back() += '"'; i += 2; continue; }
                    ++i;
                    break;
                }
                fields.back() += line[i++];
            }
            check(i == line.size() || line[i] == ',', "nothing follows a closing quote but a comma");
            atStart = false;
            continue;
        }
        if (c == ',') { fields.emplace_back(); atStart = true; ++i; continue; }
        check(c != '"' && c != '\r' && c != '\n', "an unquoted field holds no quote or line end");
        fields.back() += c;
        atStart = false;
        ++i;
    }
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input split at NUL bytes gives the fields of one line.
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) fields.emplace_back();
        else fields.back() += static_cast<char>(data[i]);
    }
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        lumo::appendCsvField(line, fields[i]);
    }
    check(readRecord(line) == fields, "the fields read back as written");
    return 0;
}
