#pragma once
// Connection strings of the suite: "Provider=...;Data Source=<path>" with
// the OLE DB rules for values. A value may be enclosed in double or single
// quotes (the enclosing quote doubled inside stands for one), so that a
// path holding ';' or quotes names exactly that file. Stateless; any thread.
#include <string>
#include <string_view>

namespace lumo::db {

struct ConnectionStringParts {
    std::string provider;
    std::string dataSource;  // as written, quotes removed ('\' not yet mapped)
};

// Throws lumo::Error for a segment that is not key=value and for a quoted
// value that is not closed or is followed by more text before the next ';'.
// Keys other than Provider and Data Source are accepted and ignored.
ConnectionStringParts parseConnectionString(std::string_view text);

// A value as it must be written in a connection string: unchanged unless it
// holds ';', '"', '\'' or leading or trailing white space;
// then enclosed in double quotes (single quotes when it holds '"' and no
// '\''), the enclosing quote doubled inside.
std::string quoteConnectionValue(std::string_view value);

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + the quoted path: the one
// place that turns a database path into a connection string.
std::string jetConnectionString(std::string_view databasePath);

}  // namespace lumo::db
