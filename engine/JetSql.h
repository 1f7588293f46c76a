#pragma once
// Translation of Jet-dialect SQL into SQLite SQL, done with a tokenizer so
// that string literals are never touched. What changes:
//   expressions      -> Jet's operators with Jet's values (JetExpression.h):
//                       a & b -> lumo_concat(a, b), a + b -> lumo_add(a, b),
//                       a comparison as a value -> -(a = b), ...; "--" is
//                       two minus signs, not a comment
//   DEFAULT          -> "DEFAULT" where it names a column (also T.DEFAULT)
//   UPDATE T SET T.C -> UPDATE T SET C      (qualified SET targets)
//   True / False     -> -1 / 0
//   #2024/01/31#     -> the automation date (see JetDateLiteral.h)
//   SET C = 1.5      -> a value assigned to a Long or Integer column is
//                       rounded as Jet rounds it (JetWholeColumns.h)
//   Format(T.D)      -> a Date/Time column as a function's argument is
//                       tagged as a date (JetDateColumns.h), when the
//                       translation is given the schema's column types
//   SELECT TOP n     -> a LIMIT that counts the rows Jet gives: with ORDER
//                       BY the rows that tie with the n-th as well; TOP n
//                       PERCENT the share of the rows, rounded up (JetTop.h)
// Text after a ';' that ends the statement is refused, as Jet refuses it,
// and so is nesting deeper than kMaxNesting parentheses, and so are
// parameter markers (?, ?1, :name, @name, $name): a plain command text has
// none, and its values are written in it.
// Everything else (bracketed names, parenthesised joins, RIGHT JOIN, LIKE
// with % and _) runs in SQLite as written. The passes that make these
// changes are listed once, in the order they run, with what each needs
// before it and why it exists, in kPasses (JetSql.cpp): those on the
// tokens, the parse into the statement's tree (JetExpression.h), those on
// the tree, and the rendering, once per text.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/JetDateColumns.h"
#include "engine/JetType.h"
#include "engine/JetWholeColumns.h"
#include "engine/SubstringIndex.h"
#include "engine/UniqueKeys.h"

namespace lumo::db {

struct JetStatement {
    std::string sql;           // the SQLite text
    bool isSelect = false;     // a statement that returns rows
    // A SELECT that reads one table or view and nothing else (no join, no
    // DISTINCT, GROUP BY, aggregate or compound): the name of that source,
    // without brackets. Such a recordset can be updatable.
    std::string singleSource;
    // For a single-source SELECT: the same statement with the row identity
    // "<source>._rowid_ AS " kRowidColumn as its last result column (last,
    // so that column numbers in ORDER BY keep their meaning).
    std::string sqlWithRowid;
    // Per item of the outer select list: the qualifier of an item written
    // as q.col or [q].[col] without AS, otherwise empty. Empty as a whole
    // when the list holds '*'.
    std::vector<std::string> qualifiers;
    // Per item of the outer select list: what names its result column(s).
    // Jet names an expression without AS "Expr1000", "Expr1001", ... in
    // order. Empty for statements other than SELECT.
    enum class Item { Named, Expression, Star };
    std::vector<Item> items;
    // Per item of the outer select list: its Jet type as the translation
    // infers it (JetType::Unknown where it does not; a column's item is
    // Unknown, its declaration gives its type). Empty when the list holds
    // '*' or the statement is not a SELECT. Of a translated shape, whether
    // an item is a Date holds for every text of the shape (the shape keeps
    // dates apart from other literals, and no rule makes a Date of one
    // kind of non-date literal but not of another); the other types are
    // those of the literals of the text translated, which is why the
    // engine uses only the Dates (a computed column of dates reads as
    // dates).
    std::vector<JetType> itemTypes;
    // For JetSqlText::translate of an INSERT ... VALUES or an UPDATE ... SET:
    // the table written, and per parameter (in order) the column that a
    // lone literal is assigned to, or "" (so that the engine can convert a
    // date typed as text the way Jet converts it).
    std::string writtenTable;
    std::vector<std::string> parameterColumns;
    // A SELECT whose condition tests indexed columns with LIKE
    // (SubstringSearch.h): the statement narrowed by the index, and per
    // narrowing the literal numbers of its patterns. Its index queries are
    // bound after the literals. Empty when there is no such test.
    std::string narrowedSql;
    std::vector<std::vector<std::size_t>> narrowingPatterns;
};

// Deepest nesting of parentheses a statement may have.
inline constexpr int kMaxNesting = 64;  // below what SQLite's own parser can take

inline constexpr std::string_view kRowidColumn = "__lumo_rowid";

// A constant that the caller spliced into the text.
struct SqlLiteral {
    enum class Kind { Integer, Real, Text } kind;
    long long integer = 0;
    double real = 0;
    std::string text;
};

// A Jet statement split into its shape and its literals. The callers
// splice keys and words into their SQL, so nearly every text is new; the
// shape (literals replaced by ?1..?n) is what repeats, and it is the key
// under which the engine caches translation and prepared statement.
// Numbers after ORDER BY / GROUP BY stay in the shape (they name columns).
class JetSqlText {
public:
    // Throws lumo::Error for text the tokenizer cannot read (an
    // unterminated string literal, bracket or date, a malformed date, text
    // after the end of the statement, nesting deeper than kMaxNesting, a
    // parameter marker). The text is not copied: it must outlive the
    // object; and the object must outlive every run of its statement,
    // which binds the literals' texts without copying them.
    explicit JetSqlText(std::string_view jetSql);

    // Where a literal stands in the text, as byte offsets [begin, end).
    struct Span {
        std::size_t begin, end;
    };
    // A text split elsewhere (see ShapeMemo.h): the parts must be what the
    // constructor above finds in `jetSql`. They are lent, not copied: they
    // must outlive the object and stay as they are meanwhile.
    JetSqlText(std::string_view jetSql, const std::string& shape, const std::vector<SqlLiteral>& literals,
               const std::vector<Span>& spans)
        : text_(jetSql), lent_{&shape, &literals, &spans} {}

    const std::string& shape() const { return lent_.shape ? *lent_.shape : shape_; }
    const std::vector<SqlLiteral>& literals() const { return lent_.literals ? *lent_.literals : literals_; }
    const std::vector<Span>& literalSpans() const { return lent_.spans ? *lent_.spans : spans_; }
    // The SQLite translation of the shape, with one anonymous '?' per
    // literal in order (numbered "?N" parameters cost SQLite a search
    // through all earlier ones each, which is quadratic in long IN lists).
    // With `dateColumns`, Date/Time columns given to Jet's functions reach
    // them as dates (JetDateColumns.h).
    // With `substringIndexes`, LIKE tests on indexed columns also get the
    // narrowed statement (SubstringIndex.h); with `uniqueKeys`, a DISTINCT
    // the keys make idle is left out (DistinctKeys.h).
    // With `wholeColumns`, values assigned to whole-number columns are
    // rounded as Jet rounds them (JetWholeColumns.h).
    // With `readColumns` (result column names), a SELECT whose caller reads
    // only those may return only those (ReadColumns.h).
    JetStatement translate(const DateColumnLookup& dateColumns = {}, const SubstringIndexLookup& substringIndexes = {},
                           const UniqueKeyLookup& uniqueKeys = {}, const WholeColumnLookup& wholeColumns = {},
                           const std::vector<std::string>& readColumns = {}) const;

private:
    std::string_view text_;
    std::string shape_;
    std::vector<SqlLiteral> literals_;
    std::vector<Span> spans_;
    // The parts of a text split elsewhere, used instead of the three above.
    struct Lent {
        const std::string* shape = nullptr;
        const std::vector<SqlLiteral>* literals = nullptr;
        const std::vector<Span>* spans = nullptr;
    } lent_;
};

// The whole translation with the literals left in place (for display and
// tests).
JetStatement translateJet(std::string_view jetSql);

}  // namespace lumo::db
