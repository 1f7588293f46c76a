#include "schema/TypeChecks.h"

#include <array>

namespace lumo::schema {
namespace {

struct TypedColumn {
    std::string_view declared;  // first word of the declared type
    std::string_view jetName;
    std::string_view storage;   // the typeof() values allowed besides null
    std::string_view range;     // "BETWEEN ..." for the value
};

// Dates run from 100/01/01 to 9999/12/31 23:59:59, as automation dates.
constexpr std::array<TypedColumn, 5> kTypes{{
    {"LONG", "Long", "'integer'", "BETWEEN -2147483648 AND 2147483647"},
    {"SHORT", "Integer", "'integer'", "BETWEEN -32768 AND 32767"},
    {"YESNO", "Yes/No", "'integer'", "BETWEEN -32768 AND 32767"},
    {"DATETIME", "Date", "'integer', 'real'", "BETWEEN -657434 AND 2958466"},
    {"DOUBLE", "Double", "'integer', 'real'", "BETWEEN -1.79769313486232e308 AND 1.79769313486232e308"},
}};

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The column name and declared type of a line "    NAME TYPE ..." inside
// CREATE TABLE, or nothing.
const TypedColumn* typedColumn(std::string_view line, std::string_view& name) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == 0 || i >= line.size() || line[i] == '-') return nullptr;
    const std::size_t nameStart = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    name = line.substr(nameStart, i - nameStart);
    while (i < line.size() && isBlank(line[i])) ++i;
    std::size_t typeEnd = i;
    while (typeEnd < line.size() && !isBlank(line[typeEnd]) && line[typeEnd] != ',') ++typeEnd;
    const std::string_view type = line.substr(i, typeEnd - i);
    for (const TypedColumn& t : kTypes)
        if (type == t.declared) return &t;
    return nullptr;
}

}  // namespace

std::string withTypeChecks(std::string_view ddl) {
    std::string out;
    out.reserve(ddl.size() * 2);
    while (!ddl.empty()) {
        const std::size_t end = ddl.find('\n');
        std::string_view line = ddl.substr(0, end);
        ddl = end == std::string_view::npos ? std::string_view{} : ddl.substr(end + 1);
        std::string_view name;
        if (const TypedColumn* t = typedColumn(line, name)) {
            const bool comma = !line.empty() && line.back() == ',';
            if (comma) line.remove_suffix(1);
            std::string bare(name);
            if (bare.size() > 1 && bare.front() == '"') bare = bare.substr(1, bare.size() - 2);
            out += line;
            out += " CONSTRAINT \"" + bare + ":type:" + std::string(t->jetName) + "\" CHECK (" + std::string(name) +
                   " IS NULL OR typeof(" + std::string(name) + ") IN (" + std::string(t->storage) + "))";
            out += " CONSTRAINT \"" + bare + ":range:" + std::string(t->jetName) + "\" CHECK (" + std::string(name) +
                   " IS NULL OR " + std::string(name) + " " + std::string(t->range) + ")";
            if (comma) out += ',';
        } else {
            out += line;
        }
        if (end != std::string_view::npos) out += '\n';
    }
    return out;
}

}  // namespace lumo::schema
