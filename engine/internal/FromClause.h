#pragma once
// What the passes over a statement's tree (JetTree.h) read of a SELECT and
// of its FROM clause: the clause words and the select list of one SELECT
// among its level's parts, the tables of a FROM clause, its joins and the
// parenthesised joins in it; and the clauses of an UPDATE, INSERT or
// DELETE. Every pass that reads a SELECT, a join or a write reads it here.
// Internal to the engine; stateless, the caller's thread.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "JetTree.h"

namespace lumo::db::tree {

using Parts = std::vector<Clauses::Part>;

// A name as the statement means it, without brackets or quotes.
inline std::string_view nameAt(const Tree& tree, Place p) { return detail::unquotedName(tree.tokens[p.at]); }

// The part's expression when it is a Written list (the names of FROM).
inline const Written* writtenAt(const Tree& tree, const Clauses::Part& part) {
    return part.expression == kNoNode ? nullptr : std::get_if<Written>(&tree.nodes[part.expression]);
}

inline Parts& partsOf(Tree& tree, Index level) { return std::get<Clauses>(tree.nodes[level]).parts; }

// The words of a FROM clause's joins (ON and AS included).
bool isJoinWord(const Tree& tree, const Clauses::Part& part);

// The TOP of the SELECT whose word is part `select`: "TOP n" with n a
// number or date as written (the parser gives the count a part of its
// own), after the quantifier if there is one; nullopt for none (TOP
// standing as a name).
struct TopWords {
    std::size_t top;       // the TOP word
    std::size_t count;     // the count
    bool percent = false;  // PERCENT follows the count
    std::size_t list;      // the first part of the select list
};
std::optional<TopWords> topAt(const Tree& tree, const Parts& parts, std::size_t select);

// One SELECT of a level, from its word to the end of the level, as every
// pass reads it: its clause words among the level's parts (the parts'
// count for none) and the items of its select list.
struct Select {
    using Range = std::pair<std::size_t, std::size_t>;
    std::size_t select = 0;
    std::optional<TopWords> top;
    bool distinct = false;    // SELECT DISTINCT
    std::size_t list = 0;     // the first part of the select list
    // The clause word that ends the list (FROM, WHERE, GROUP, HAVING,
    // ORDER, a compound, LIMIT or ';'); CASE's words belong to an item.
    std::size_t listEnd = 0;
    std::vector<Range> items;  // each item's parts [first, second), between the commas; empty ones kept
    std::size_t from = 0;      // FROM, when it ends the list
    std::size_t where = 0;     // the first WHERE after FROM
    std::size_t fromEnd = 0;   // the first clause word after FROM that ends the FROM clause
    std::size_t order = 0;     // the first ORDER BY after the list
    bool star = false;         // an item that is '*' or q.*
    bool grouped = false;      // GROUP BY or HAVING after the list
    bool compound = false;     // UNION, INTERSECT or EXCEPT after the list
    // TOP, or GROUP BY, ORDER BY, HAVING, LIMIT, a compound or ';' after
    // the list: the rows are not simply those of the FROM and WHERE.
    bool shaped = false;
};
Select selectAt(const Tree& tree, const Parts& parts, std::size_t select);

// What names the result column of one select item, parts [first, second):
// its alias (... AS name), the column it is (name, q.name), or nothing: an
// expression, which Jet calls Expr1000, Expr1001, ...; '*' and q.* stand for
// their tables' columns. The one reader of an item's name: the source, the
// read columns and TOP's subquery columns all ask it.
struct SelectItem {
    enum class Kind { Named, Expression, Star };
    Kind kind = Kind::Expression;
    Select::Range expression;  // the item without AS and its alias
    std::string_view name;     // of a Named item, unquoted
};
SelectItem itemAt(const Tree& tree, const Parts& parts, Select::Range item);

// The significant tokens of item `i` of `q`, white space and what the
// passes took out left out; `end` is where its level's tokens end.
std::vector<Index> itemTokens(const Tree& tree, const Parts& parts, const Select& q, std::size_t i, Index end);

// Whether the tokens [b, e) call an aggregate (Count(, First(, ...:
// JetAggregates.h), which makes a query of groups; what the passes took
// out is skipped.
bool callsAggregate(const Tree& tree, Index b, Index e);

// The condition of a SELECT's WHERE when it is its level's last part;
// kNoNode otherwise.
Index whereOf(const Parts& parts, const Select& q);

// A table of a FROM clause, "T", "T A" or "T AS A", from part `b`.
struct Entry {
    Place table;
    Place alias{0, kNoNode};  // `at` kNoNode for none
    bool as = false;
    std::size_t end;        // the part after it
    std::string_view name;  // what its columns are qualified with
};
std::optional<Entry> entryAt(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e);

// One join of a FROM clause's level whose first word is part `b`:
// "[LEFT | RIGHT | INNER] [OUTER] JOIN <operand> ON <condition>", the
// operand starting at `join + 1`; nullopt when part `b` starts none.
// The one reader of a join's words: every pass that looks at a join asks
// it, and reads the operand itself (entryAt, groupAt).
struct Join {
    enum class Kind : std::uint8_t { Inner, Left, Right };  // JOIN alone is inner
    Kind kind = Kind::Inner;
    bool outer = false;  // OUTER written after LEFT or RIGHT
    std::size_t join;    // the JOIN word
    std::size_t on;      // the first ON after the JOIN word; `e` for none
};
std::optional<Join> joinAt(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e);

// Whether a join the passes rewrite (LEFT, INNER or a lone JOIN; not
// RIGHT, CROSS or a comma) starts at the part.
bool startsInnerOrLeftJoin(const Tree& tree, const Clauses::Part& part);

// The inner level of a part that is one closed parenthesised join;
// kNoNode otherwise.
Index groupAt(const Tree& tree, const Clauses::Part& part);

// q.c: a column with its qualifier; nullptr for anything else.
const QualifiedName* columnAt(const Tree& tree, Index node);

// "a.x = b.y", the one equality of two such columns an ON clause of the
// joins the passes look at holds; nullopt for anything else.
struct ColumnEquality {
    Index left, right;  // the QualifiedName nodes
    const QualifiedName& leftName;
    const QualifiedName& rightName;
};
std::optional<ColumnEquality> columnEquality(const Tree& tree, Index node);

// The sources of the FROM parts [b, e), with the joins in parentheses in
// them, in the order they stand: a table (T, T A, T AS A) or a derived
// table ((SELECT ...) [AS] X), each with the name its columns are
// qualified with.
struct Source {
    Place table;            // the table; `at` kNoNode for a derived table
    std::string_view name;  // its alias, or the table's own name
    bool derived = false;
};
std::vector<Source> sourcesOf(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e);

// The first item of a part that is a list of names (Written), when it is
// a name: the table of "T (C, ...)", a column of an INSERT's list.
std::optional<std::string_view> leadingName(const Tree& tree, const Clauses::Part& part);

// The statement's UPDATE, INSERT INTO or DELETE, read off its outer
// level: the parts that name the tables it writes (and reads), and for an
// UPDATE its SET word, for an INSERT its "T (C, ...)". The one reader of a
// write's clauses: the assignments and the statement's tables ask it.
struct Write {
    enum class Kind : std::uint8_t { Update, Insert, Delete };
    Kind kind;
    std::string_view table;         // the first table's name, unquoted; empty when it is no plain name
    std::size_t tables, tablesEnd;  // its tables' parts [tables, tablesEnd)
    std::size_t set;                // UPDATE: the SET word; the parts' count for none
    const Written* into = nullptr;  // INSERT: "T" or "T (C, ...)"
};
std::optional<Write> writeOf(const Tree& tree);

// The table that the FROM parts [b, e) (and the joins in parentheses in
// them) know as `qualifier`: the table itself, or the table it is an alias
// of; empty when none is.
std::string_view tableNamed(const Tree& tree, const Parts& parts, std::size_t b, std::size_t e,
                            std::string_view qualifier);

}  // namespace lumo::db::tree
