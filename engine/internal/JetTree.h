#pragma once
// The expression tree of a Jet statement: its clauses, and each expression
// in them parsed with Jet's operator table (JetExpression.h lists the
// table and what each operator becomes in SQLite). The tree keeps every
// token where it was written: a node names its tokens by their index in
// the statement's token list, together with the white space before them,
// so that the one renderer (renderJetTree) writes the statement back with
// the white space, the case of the keywords and every literal as written,
// changing only what Jet means differently.
//
// A Tree borrows the token list it was parsed from: the list must outlive
// it. It owns its nodes, which name each other by their index in `nodes`.
// The passes over the tree (kPasses, JetSql.cpp) change nodes, add nodes
// at the end, reorder a level's parts and fill in the additions; a pass
// may respell a clause word where it stands (a LEFT JOIN made INNER), but
// none adds, removes or moves a token, so every index into the list stays
// valid. Built and read by one thread at a time.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "JetTokens.h"
#include "engine/JetType.h"

namespace lumo::db::jet {
struct FunctionEntry;
}

namespace lumo::db::tree {

using Index = std::uint32_t;
inline constexpr Index kNoNode = static_cast<Index>(-1);

// One token and the white space written before it: the tokens [lead, at)
// are spaces, `at` is the token.
struct Place {
    Index lead = 0;
    Index at = 0;
};

// What the clause an expression stands in expects of it.
enum class Context : std::uint8_t {
    Value,      // a value (select list, ORDER BY, arguments, VALUES)
    Condition,  // a truth (WHERE, ON, HAVING, WHEN)
    Names,      // tables and columns (FROM, JOIN, INTO, AS): written as they stand
    Assign,     // column = value (SET)
};

// One token standing for a value, or one the parser takes as it stands.
struct Atom {
    enum class Role : std::uint8_t {
        Literal,    // a number, text or date written in the statement (or a True/False the engine wrote)
        Parameter,  // '?': a literal lifted out of the statement's shape
        Null,
        Name,       // a column or other name, unqualified
        Other,      // '*', or a lone token of a clause the parser does not read
    };
    Place place;
    Role role;
    // For a Parameter: its place among the statement's '?' (1 for the
    // first), which is its literal's place in JetSqlText::literals().
    Index literal = 0;
};

// q.c, q.*, or a longer chain: the first name, then '.' and name in turn.
struct QualifiedName {
    Place first;
    std::vector<Place> rest;
};

// F(...): the name, and its argument list as a Group.
struct Call {
    Place name;
    std::string_view sqliteName;  // what the engine registers it as, or the name written
    const jet::FunctionEntry* entry;  // Jet's function; nullptr for SQLite's own
    Index arguments;
};

// Exists (subquery).
struct Exists {
    Place word;
    Index query;  // a Group
};

// ( ... ): one nesting level. `end` is one past its ')', or the end of the
// statement for one never closed.
struct Group {
    Place open;
    Index end;
    bool closed;
    Index inner;  // Clauses
};

// One nesting level cut into clauses at its keywords and commas: each part
// is a clause word (or ',' / ';') or the expression between two of them.
struct Clauses {
    struct Part {
        Place place;              // the word, or the first token of the expression
        Index expression;         // kNoNode for a word
        Context context;          // of the expression
    };
    std::vector<Part> parts;
    Index trail;  // the white space after the last part: tokens [trail, end)
    Index end;
    // A group's level that is one expression, standing where an operand
    // stands: the expression's marks (a truth, a column) carry to it.
    bool operand;
};

// Items of a clause kept as written, each token as it stands and each
// group rendered inside: text the expression parser does not read
// (SQLite's CASE, x > ALL (...)), the names of FROM, and the like.
struct Written {
    struct Item {
        Place place;
        Index group;  // kNoNode for a token
    };
    std::vector<Item> items;
};

// SET target = value.
struct Assignment {
    Index target;      // Written: the column and the '='
    Place valueStart;  // the white space before the value
    Index value;
};

// a op b op c ... of one binding level (Imp, Eqv, Xor, Or, And, Mod, \,
// * /, + -), left-associative.
struct Chain {
    struct Step {
        Place op;
        Place rightStart;
        // The SQLite function the operator becomes; "" for And and Or, which
        // stay SQLite's between two truths.
        std::string_view function;
        bool isOr;
        Index right;
    };
    Index first;
    std::vector<Step> steps;
};

// a & b & ...
struct Concat {
    std::vector<Index> operands;
};

// Not ... Not x.
struct Not {
    struct Word {
        Place word;
        Place next;  // the token after it: its white space is written between
    };
    std::vector<Word> words;
    Index operand;
};

// Signs before an operand, outermost first.
struct Signs {
    struct Sign {
        Place sign;
        Place next;
    };
    std::vector<Sign> signs;
    Index operand;
};

// x ^ y ^ ...; `numberSign` a sign written directly before the number x,
// which belongs to it (-10^2 is 100).
struct Power {
    Index base;
    bool signed_;
    Place numberSign;
    std::vector<Index> exponents;
};

// x = y, x Like y [Escape e], x Is [Not] y, x [Not] Between a And b,
// x [Not] In (...), chained left to right.
struct Compare {
    enum class Kind : std::uint8_t { Comparison, Like, Is, Between, In };
    struct Step {
        Kind kind;
        Place op;
        bool negated;        // Not Like, Not Between, Not In
        Place notWord;       // with `negated`, or the Not of Is Not
        bool isNot;          // Is Not
        Place rightStart;    // the white space before the right side (Between: the low bound; In: the list)
        Index right;         // the right side, the low bound, or the In list
        bool escaped;        // Like ... Escape e
        Place escapeWord;
        Place escapeStart;
        Index escape;
        Place andWord;       // Between's And
        Place highStart;
        Index high;
    };
    Index first;
    std::vector<Step> steps;
};

// An In list with the Null entries left out (a Null entry matches
// nothing); kNoNode for an empty entry.
struct InList {
    std::vector<Index> entries;
};

// A value converted as Jet converts it where SQLite would not: written
// by a pass, never by the parser.
struct Converted {
    enum class To : std::uint8_t {
        WholeNumber,  // a value assigned to a Long or Integer column, rounded as Jet rounds it
    };
    To to;
    Index operand;
};

// A chain of LIKE tests "T.c LIKE p OR T.c LIKE q ..." written as one
// call that gives the chain's truth (LikeFunction.h), by a pass: with
// `oneColumn`, the column and then each pattern; otherwise each column
// followed by its pattern.
struct LikeChain {
    bool oneColumn;
    std::vector<Index> operands;
};

// A search's condition narrowed by the keys of its outer-joined tables
// (SearchJoins.h), written by a pass in place of a WHERE's condition:
//   (condition) AND (S.c IN (SELECT C.k FROM C WHERE <C's tests>) OR ...)
// Each LIKE test then stands twice, in the condition and in its table's
// subquery, so the statement's parameters are written numbered.
struct KeysNarrowing {
    struct Keys {
        Index column;              // S.c, a QualifiedName of the ON clause
        Index key;                 // C.k, the other side of it
        Place table;               // C as the FROM clause names it
        Place alias;               // its alias; `at` kNoNode for none
        bool as;                   // the alias written after AS
        std::vector<Index> tests;  // the condition's LIKE tests of C
    };
    Index condition;
    std::vector<Keys> keys;
};

// A condition narrowed by a substring index (SubstringSearch.h), written
// by a pass in place of a WHERE's condition. The statement's text writes
// the condition alone; its narrowed text (RenderOptions::narrowed)
//   (condition) AND Q.key IN (SELECT rowid FROM <words> WHERE <words>
//   MATCH ?M UNION ALL SELECT <key> FROM <unindexed>)
struct IndexNarrowing {
    Index condition;
    Place qualifier;        // Q, as the chain's first test writes it
    std::string key, words, unindexed;  // of the index (SubstringIndex.h)
    std::size_t parameter;  // M: after every literal of the statement
};

using Node = std::variant<Atom, QualifiedName, Call, Exists, Group, Clauses, Written, Assignment, Chain, Concat, Not,
                          Signs, Power, Compare, InList, Converted, LikeChain, KeysNarrowing, IndexNarrowing>;

// A SELECT with Jet's TOP (TopRows.h), read off its level's parts once
// every other pass has changed them: the renderer writes the level with
// the counting query, or as the rows ranked. Ranges are of the level's
// parts, [first, second).
struct TopRows {
    using Range = std::pair<std::size_t, std::size_t>;
    struct Item {
        Range whole, expression;  // the expression without its AS alias
        std::string name;         // what a subquery's column is called, quoted; "" for an expression
    };
    struct Key {
        Range expression;  // the key, or the item a position or an alias names
        Range direction;   // ASC / DESC
    };
    Index level;              // the Clauses
    std::size_t select;       // the SELECT word
    std::size_t quantifier;   // DISTINCT or ALL; `select` for none
    std::size_t top;          // the TOP word
    std::size_t body;         // the first part after TOP n [PERCENT]
    std::size_t bodyEnd;      // past the last part before a final ';'
    Index count;              // the count's token
    bool percent = false;
    bool counted = false;     // ORDER BY or PERCENT: rows are counted (otherwise LIMIT n)
    bool ranked = false;      // a subquery that ranks its rows itself
    std::vector<Item> items;
    std::vector<Key> keys;
    Range rest;               // FROM ... HAVING
};

// What the passes over the tree add to the statement that no token of it
// stands for; the renderer writes each in SQLite's spelling.
struct Additions {
    // The token of a table read whole: SQLite reads it NOT INDEXED, in key
    // order, as Jet reads it.
    Index notIndexedAfter = kNoNode;
    // The outer FROM word of a single-source SELECT and that source: when
    // asked, the row identity is written as the last item before the FROM.
    Index rowIdentityBefore = kNoNode;
    std::string rowIdentitySource;
    // The DISTINCT word of a SELECT DISTINCT whose rows are made distinct
    // once they are finished (OuterJoins.h): the renderer writes it as
    // "DISTINCT * FROM (SELECT" and closes the statement with " LIMIT -1)".
    Index finishedRowsAfter = kNoNode;
    // Each SELECT with TOP, by its level.
    std::vector<TopRows> tops;
    // SELECT DISTINCTROW over some of a join's tables (DistinctRows.h):
    // its rows grouped by the row identities of those tables, written as
    // "GROUP BY <keys> " before the clause word `beforeWord`, or at the end
    // of `level` (kNoNode).
    struct RowGroups {
        Index level;
        Index beforeWord;
        std::string keys;
    };
    std::vector<RowGroups> rowGroups;
    // A DISTINCTROW word stands among the clause words, marked by the
    // parser for the pass that writes it (DistinctRows.h).
    bool distinctRows = false;
    // Parameters the text writes twice (Between's bounds, a KeysNarrowing's
    // tests), marked by the parser and the passes: the statement's
    // parameters are written numbered.
    bool numbered = false;
};

struct Tree {
    std::vector<detail::Token>& tokens;
    std::vector<Node> nodes;
    Index root = kNoNode;  // Clauses of the whole statement
    Additions additions;
    // The token ranges [first, second) a pass took out of the statement (a
    // join nothing reads, an item nobody reads): their parts have left the
    // tree, and the passes that read the tokens between parts skip them
    // (significantIn).
    std::vector<std::pair<Index, Index>> removed;
};

// Calls `f` with each token of [b, e) that is not white space and that no
// pass took out, in order; `f` returns false to stop.
template <class F>
void forEachSignificant(const Tree& tree, Index b, Index e, F&& f) {
    for (Index i = b; i < e; ++i) {
        if (tree.tokens[i].kind == detail::TokenKind::Space) continue;
        bool removed = false;
        for (const auto& [first, second] : tree.removed) {
            if (i < first || i >= second) continue;
            removed = true;
            i = second - 1;
            break;
        }
        if (!removed && !f(i)) return;
    }
}

// The tokens forEachSignificant walks, as a list.
inline std::vector<Index> significantIn(const Tree& tree, Index b, Index e) {
    std::vector<Index> out;
    forEachSignificant(tree, b, e, [&](Index i) {
        out.push_back(i);
        return true;
    });
    return out;
}

// Questions the passes ask of a level's parts.
inline const std::vector<Clauses::Part>& outerParts(const Tree& tree) {
    return std::get<Clauses>(tree.nodes[tree.root]).parts;
}
// The part's clause word (or ',' / ';'); nullptr for an expression.
inline const detail::Token* wordOf(const Tree& tree, const Clauses::Part& part) {
    return part.expression == kNoNode ? &tree.tokens[part.place.at] : nullptr;
}
inline bool isWordPart(const Tree& tree, const Clauses::Part& part, std::string_view word) {
    const detail::Token* t = wordOf(tree, part);
    return t && detail::isWord(*t, word);
}
inline bool isCommaPart(const Tree& tree, const Clauses::Part& part) {
    const detail::Token* t = wordOf(tree, part);
    return t && detail::isOp(*t, ",");
}

// Parses the statement's tokens. Throws lumo::Error for an expression
// nested too deeply.
Tree parseJetTree(std::vector<detail::Token>& tokens);

// How the tree is written.
using NodeTypes = std::function<JetType(Index node)>;
struct RenderOptions {
    // Each '?' written ?N (Between repeats its bounds, a KeysNarrowing its
    // tests, and an anonymous parameter would then stand for two values).
    bool numbered = false;
    // With the narrowing by the substring indexes (IndexNarrowing).
    bool narrowed = false;
    // An expression's Jet type (JetTypes.h); empty, every type is Unknown.
    // A Jet function given a Date (a date literal, a Date/Time column) is
    // given it as a date, and VarType and TypeName learn the type of their
    // argument.
    NodeTypes typeOfNode;
};

// The SQLite text of a tree, written once, and where the row identity of
// its additions goes in it (before the outer FROM word): the text an
// updatable recordset runs is this one with it put there.
struct RenderedSql {
    std::string text;
    std::size_t rowIdentityAt = std::string::npos;  // npos: the tree has no row identity
    // The text with ", [source]._rowid_ AS <kRowidColumn>" as the outer
    // SELECT's last column; the text itself without a row identity.
    std::string withRowIdentity(const Additions& additions) const;
};
RenderedSql renderJetTree(const Tree& tree, const RenderOptions& options);

}  // namespace lumo::db::tree
