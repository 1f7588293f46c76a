#pragma once
// Reads the expected-content files of the Jet fixtures: one JSON object
// per line, {"table": NAME, "row": {COLUMN: VALUE, ...}}, the values being
// null, true/false, whole numbers or strings (characters as themselves,
// no \u escapes). Only that much JSON is read.
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace lumo::test {

using JsonValue = std::variant<std::nullptr_t, bool, std::int64_t, std::string>;

struct ExpectedRow {
    std::string table;
    std::vector<std::pair<std::string, JsonValue>> columns;  // in file order
};

// Throws std::runtime_error for text outside that subset.
std::vector<ExpectedRow> readJsonLines(const std::filesystem::path& file);

}  // namespace lumo::test
