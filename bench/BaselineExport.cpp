#include "bench/BaselineExport.h"

#include <string_view>

#include "bench/SqliteReader.h"
#include "platform/Cp932File.h"
#include "platform/CsvField.h"
#include "platform/Dates.h"

namespace lumo::bench {
namespace {

constexpr char kElementSeparator = '\x1e';
constexpr char kPairSeparator = '\x1f';

// A trailing group: an empty field, then label and value of each element.
// No rows (Null) reads as one empty element, as the export's readers leave
// their one-element arrays untouched when there is nothing to read.
void appendGroup(std::string& line, std::string_view packed) {
    line += ',';
    while (true) {
        const std::size_t end = packed.find(kElementSeparator);
        const std::string_view element = packed.substr(0, end);
        const std::size_t split = element.find(kPairSeparator);
        line += ',';
        appendCsvField(line, element.substr(0, split));
        line += ',';
        if (split != std::string_view::npos) appendCsvField(line, element.substr(split + 1));
        if (end == std::string_view::npos) break;
        packed.remove_prefix(end + 1);
    }
}

void appendCell(std::string& line, const SqliteQuery& row, int column, Cell cell) {
    switch (cell) {
    case Cell::Text: appendCsvField(line, row.text(column)); break;
    case Cell::Number: line += std::to_string(row.integer(column)); break;
    case Cell::Ymd: line += dates::formatYmd(row.real(column)); break;
    case Cell::ShortDate: line += dates::formatShortDate(row.real(column)); break;
    case Cell::SheetKind: line += row.integer(column) == 0 ? "仕入データ" : "販売データ"; break;
    case Cell::Group: appendGroup(line, row.text(column)); break;
    }
}

}  // namespace

std::string baselineSql(const BaselineQuery& query) {
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < query.columns.size(); ++i) {
        if (i > 0) sql += ", ";
        sql += query.columns[i].expression;
    }
    return sql + " " + query.from;
}

BaselineResult runBaseline(const BaselineQuery& query, const std::string& database, const std::string& csv) {
    const SqliteFile file(database);
    SqliteQuery rows(file, baselineSql(query));
    Cp932File out(csv);
    out.writeLine(query.header);
    BaselineResult result;
    std::string line;
    const int count = static_cast<int>(query.columns.size());
    while (rows.step()) {
        line.clear();
        for (int i = 0; i < count; ++i) {
            const Cell cell = query.columns[static_cast<std::size_t>(i)].cell;
            // A group brings its own leading separator.
            if (i > 0 && cell != Cell::Group) line += ',';
            appendCell(line, rows, i, cell);
        }
        out.writeLine(line);
        ++result.records;
    }
    result.replaced = out.replacedCount();
    out.close();
    return result;
}

}  // namespace lumo::bench
