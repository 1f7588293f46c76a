#pragma once
// The yardstick for the export: the same CSV file produced by one SQL
// query over the same SQLite file, each row formatted with the same
// quoting rule and written through the same CP932 writer. A baseline is
// described as a table of result columns, each with the way its value
// becomes text; one routine runs any such description.
//
// The trailing groups of a person line (phones, mails, children) arrive
// packed by group_concat: elements separated by U+001E, label and value by
// U+001F. Text holding either character would be split wrongly; the
// byte-for-byte comparison with the real export shows it if it happens.
#include <cstdint>
#include <string>
#include <vector>

namespace lumo::bench {

// How one result column becomes CSV text.
enum class Cell {
    Text,       // the stored text; Null as ""
    Number,     // an integer as decimal text; Null as 0
    Ymd,        // an automation date as "yyyy/mm/dd"; Null as day 0
    ShortDate,  // an automation date in the short date form
    SheetKind,  // 0 "仕入データ", anything else "販売データ"
    Group,      // packed label/value pairs, appended as a trailing group
};

struct BaselineColumn {
    std::string expression;  // SQL of the result column
    Cell cell;
};

struct BaselineQuery {
    std::string header;  // the file's first line
    std::vector<BaselineColumn> columns;
    std::string from;    // FROM ... ORDER BY ... of the one query
};

struct BaselineResult {
    std::int64_t records = 0;
    std::size_t replaced = 0;  // characters written as '?'
};

// The person and goods baselines.
const BaselineQuery& personBaseline();
const BaselineQuery& goodsBaseline();

// The query's SQL text.
std::string baselineSql(const BaselineQuery& query);

// Writes the CSV file of `query` over the database file. Throws
// std::runtime_error or lumo::Error.
BaselineResult runBaseline(const BaselineQuery& query, const std::string& database, const std::string& csv);

}  // namespace lumo::bench
