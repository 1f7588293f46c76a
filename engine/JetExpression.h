#pragma once
// The expressions of a Jet statement with Jet's meaning, written as SQLite
// text. The statement is cut into clauses at its keywords and commas; each
// expression between them is parsed with Jet's operator table, from the
// tightest binding to the loosest:
//   ^  |  unary -  |  * /  |  \  |  Mod  |  + -  |  &  |
//   = <> < > <= >= Like Is Between In  |  Not  |  And  |  Or  |  Xor  |
//   Eqv  |  Imp
// (all binary operators left-associative), except that a sign written
// directly before a number literal is part of the literal, so -10^2 is
// (-10)^2 = 100 while -(10)^2 and - 10^2 are -100. What each operator becomes:
//   - comparisons, Like, Is, In stay SQLite's (so that an indexed column
//     stays usable); where neither side is a column, text compares with
//     COLLATE NOCASE, as Jet compares text ignoring case. As a value they
//     give -1 for True: -(a = b).
//   - Between orders its bounds: x BETWEEN lumo_low(a, b) AND lumo_high(a, b).
//   - a Null in an In list matches nothing: 37 In (23, Null, 45) is written
//     37 IN (23, 45), False where SQLite's In would give Null.
//   - Not, And, Or of truths stay SQLite's; on numbers they and Xor, Eqv,
//     Imp are Jet's bitwise functions (JetOperators.h).
//   - + - * / \ Mod ^ and the unary minus of anything but a literal become
//     the functions of JetOperators.h; & becomes lumo_concat(...).
//   - a function call Name(...) takes the name sqliteFunctionName() gives.
// An expression the parser does not know (SQLite's own syntax, such as
// CASE or x > ALL (...)) is written as it stands. Nothing else changes: the
// white space, the case of keywords and every literal stay as written, so
// the statements that use none of the rewritten operators come out as they
// went in.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "JetTokens.h"
#include "JetTree.h"
#include "JetTypes.h"
#include "StatementTables.h"
#include "engine/JetDateColumns.h"
#include "engine/JetType.h"

namespace lumo::db {

// A translated statement's tokens parsed once into its tree (JetTree.h),
// for the passes over the tree and the renderer. Owns the tokens and the
// tree, which refers to them: neither copied nor moved. Borrows the
// literals' types and the date lookup, which must outlive it. One thread
// at a time.
class StatementTree {
public:
    // `parameters`: the type of the literal each '?' stands for, in order.
    // Throws lumo::Error for an expression nested too deeply.
    StatementTree(std::vector<detail::Token> tokens, std::span<const JetType> parameters,
                  const DateColumnLookup& dateColumns);
    StatementTree(const StatementTree&) = delete;
    StatementTree& operator=(const StatementTree&) = delete;

    tree::Tree& tree() { return tree_; }
    const tree::Tree& tree() const { return tree_; }

    // The SQLite text. A '?' parameter stays anonymous unless the text
    // writes one twice (Between's bounds, a search's tests narrowed by
    // keys); the parameters are then numbered ?1, ?2, ... as SQLite numbers
    // them; the text with the row identity of the additions is written
    // with it (RenderedSql). With `narrowed`, with the narrowing by the
    // substring indexes.
    tree::RenderedSql sql(bool narrowed = false) const;

    // The Jet type of each item of the outer select list (JetTypes.h).
    std::vector<JetType> itemTypes() const;

private:
    JetType typeOf(tree::Index node) const;

    std::vector<detail::Token> tokens_;
    tree::Tree tree_;
    std::span<const JetType> parameters_;
    const DateColumnLookup& dateColumns_;
    // The statement's tables, found when a name is first asked about: most
    // statements' expressions name no column.
    mutable std::optional<tree::StatementTables> tables_;
    tree::DateNames dateNames_;
};

}  // namespace lumo::db
