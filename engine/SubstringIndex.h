#pragma once
// Substring indexes: what lets a search for a word inside text columns
// (LIKE '%word%') start from the few rows that can hold the word instead
// of reading every row.
//
// A file declares each of its indexes in a table lumo_search_indexes (the
// person file has one, over the name columns of T_PERSON; files made
// before it have none, and their searches read every row). An index is an
// FTS5 table of trigrams (three characters) of the indexed columns, one
// row per key, and a table of keys whose text the index cannot vouch for;
// triggers in the file keep both true. Together they give every row that
// LIKE could find, and some more: LIKE itself still decides.
//
// The engine uses an index when a statement's condition is an OR of LIKE
// tests on indexed columns (SubstringSearch.h), and only for a run whose
// patterns each hold three whole characters between wildcards and lists
// of characters (LikePattern.h): a shorter word has no trigram to look
// for.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::db {

struct SqlLiteral;

struct SubstringIndex {
    std::string table;                 // the indexed table
    std::string key;                   // its INTEGER PRIMARY KEY column
    std::vector<std::string> columns;  // the indexed columns
    std::string words;                 // the FTS5 trigram table, rowid = key
    std::string unindexed;             // keys (column `key`) always to be read
};

// The index of a table, or null when it has none.
using SubstringIndexLookup = std::function<const SubstringIndex*(std::string_view table)>;

// The FTS5 query that finds every row matching one of `patterns` (the
// numbers of text literals in `literals`); nullopt when one of them holds
// no run of three whole characters (a word not well-formed UTF-8 counts as
// none), since then only reading every row is sure to find all.
std::optional<std::string> substringQuery(const std::vector<SqlLiteral>& literals,
                                          const std::vector<std::size_t>& patterns);

}  // namespace lumo::db
