#include "engine/JetSql.h"

#include <algorithm>
#include <array>
#include <optional>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <utility>

#include "platform/Error.h"
#include "JetTokens.h"
#include "Assignments.h"
#include "LikeChains.h"
#include "SearchJoins.h"
#include "RowSource.h"
#include "engine/OuterJoins.h"
#include "engine/SubstringSearch.h"
#include "engine/UnusedJoins.h"
#include "engine/ReadColumns.h"
#include "engine/JetDateLiteral.h"
#include "engine/JetExpression.h"
#include "DistinctRows.h"
#include "TopRows.h"

namespace lumo::db {
namespace {

using Kind = detail::TokenKind;
using detail::Token;

// ASCII classes without the C library's locale lookups: SQL keywords and
// punctuation are ASCII, and every byte of a UTF-8 character counts as a
// letter of a name.
constexpr bool isSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr bool isAlpha(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
constexpr bool isAlnum(unsigned char c) { return isAlpha(c) || isDigit(c); }
constexpr bool isWordStart(unsigned char c) { return isAlpha(c) || c == '_' || c >= 0x80; }
constexpr bool isWordChar(unsigned char c) { return isAlnum(c) || c == '_' || c == '$' || c >= 0x80; }


// SQLite's parameter markers (?, ?1, :a, @a, $a). The engine binds the
// literals of a statement to parameters of its own; one written by the
// caller would be left unbound, holding whatever an earlier run bound.
constexpr bool isParameterMarker(std::string_view op) { return op == "?" || op == ":" || op == "@" || op == "$"; }

// At sql[j], inside a number that starts at `from`: the sign of an
// exponent (2.013E-4), after digits and a point only.
bool signedExponent(std::string_view sql, std::size_t from, std::size_t j) {
    if ((sql[j] != '-' && sql[j] != '+') || j + 1 >= sql.size() || !isDigit(static_cast<unsigned char>(sql[j + 1])))
        return false;
    if ((sql[j - 1] | 0x20) != 'e') return false;
    for (std::size_t k = from; k + 1 < j; ++k)
        if (!isDigit(static_cast<unsigned char>(sql[k])) && sql[k] != '.') return false;
    return true;
}

// Splits Jet SQL into tokens and hands each to `emit(kind, text)`;
// concatenating every token's text gives the input back unchanged.
// Also refuses, before anything else sees the text, what no later step
// could handle: a statement nested deeper than kMaxNesting (every later
// step may then recurse or count per level safely) and text after the ';'
// that ends the statement.
template <class Emit>
void scanTokens(std::string_view sql, Emit&& emit) {
    std::size_t i = 0;
    const std::size_t n = sql.size();
    int depth = 0;
    bool ended = false;
    auto take = [&](Kind kind, std::size_t end) {
        const std::string_view text = sql.substr(i, end - i);
        if (kind != Kind::Space) {
            if (ended) throw Error("SQL ステートメントの後に文字が見つかりました。");
            if (kind == Kind::Op && text == "(" && ++depth > kMaxNesting)
                throw Error("クエリが複雑すぎます。かっこの入れ子は " + std::to_string(kMaxNesting) + " 段までです。");
            if (kind == Kind::Op && text == ")") --depth;
            if (kind == Kind::Op && text == ";" && depth <= 0) ended = true;
            if (kind == Kind::Op && isParameterMarker(text))
                throw Error("SQL 文にパラメータ (" + std::string(text) +
                            ") は使えません。値は文の中に直接書いてください (文字列は '...' で囲みます)。");
        }
        emit(kind, text);
        i = end;
    };
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(sql[i]);
        std::size_t j = i + 1;
        if (isSpace(c)) {
            while (j < n && isSpace(static_cast<unsigned char>(sql[j]))) ++j;
            take(Kind::Space, j);
        } else if (c == '-' && j < n && sql[j] == '-' && ended) {
            // Jet has no comments: "--" is two minus signs. After the end
            // of the statement a note in SQLite's style is let pass.
            while (j < n && sql[j] != '\n') ++j;
            take(Kind::Space, j);
        } else if (c == '\'' || c == '"' || c == '`') {
            // A doubled quote inside stands for one quote character.
            for (;;) {
                if (j >= n) throw Error("SQL 文の文字列が閉じていません: " + std::string(sql));
                if (sql[j] == static_cast<char>(c)) {
                    if (j + 1 < n && sql[j + 1] == static_cast<char>(c)) { j += 2; continue; }
                    ++j;
                    break;
                }
                ++j;
            }
            take(c == '\'' ? Kind::String : Kind::Quoted, j);
        } else if (c == '#') {
            while (j < n && sql[j] != '#' && sql[j] != '\n') ++j;
            if (j >= n || sql[j] != '#') throw Error("SQL 文の日付 (#) が閉じていません: " + std::string(sql));
            take(Kind::Date, j + 1);
        } else if (c == '[') {
            while (j < n && sql[j] != ']') ++j;
            if (j >= n) throw Error("SQL 文の角かっこが閉じていません: " + std::string(sql));
            take(Kind::Bracket, j + 1);
        } else if (isDigit(c) || (c == '.' && j < n && isDigit(static_cast<unsigned char>(sql[j])))) {
            while (j < n && (isAlnum(static_cast<unsigned char>(sql[j])) || sql[j] == '.' || signedExponent(sql, i, j))) ++j;
            take(Kind::Number, j);
        } else if (isWordStart(c)) {
            while (j < n && isWordChar(static_cast<unsigned char>(sql[j]))) ++j;
            take(Kind::Word, j);
        } else {
            // Two-character operators: <> <= >= != || ==
            const char next = j < n ? sql[j] : '\0';
            const bool two = (c == '<' && (next == '>' || next == '=')) || (c == '>' && next == '=') ||
                             (c == '!' && next == '=') || (c == '|' && next == '|') || (c == '=' && next == '=');
            take(Kind::Op, two ? i + 2 : j);
        }
    }
}

std::vector<Token> tokenize(std::string_view sql) {
    std::vector<Token> out;
    out.reserve(sql.size() / 3 + 4);
    scanTokens(sql, [&](Kind kind, std::string_view text) { out.push_back({kind, std::string(text)}); });
    return out;
}

using detail::equalsKeyword;
using detail::isOp;
using detail::isWord;


// Indexes of the significant (non-space) tokens.
std::vector<std::size_t> significant(const std::vector<Token>& tokens) {
    std::vector<std::size_t> idx;
    for (std::size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind != Kind::Space) idx.push_back(i);
    return idx;
}

// The token-level rewrites that need no expression structure.
void rewriteWords(std::vector<Token>& tokens) {
    const bool any = std::any_of(tokens.begin(), tokens.end(), [](const Token& t) {
        return isWord(t, "DEFAULT") || isWord(t, "TRUE") || isWord(t, "FALSE");
    });
    if (!any) return;
    const auto sig = significant(tokens);
    auto at = [&](std::size_t k) -> const Token* { return k < sig.size() ? &tokens[sig[k]] : nullptr; };
    for (std::size_t k = 0; k < sig.size(); ++k) {
        Token& t = tokens[sig[k]];
        if (t.kind != Kind::Word) continue;
        const bool afterDot = k > 0 && isOp(*at(k - 1), ".");
        const bool beforeDot = at(k + 1) && isOp(*at(k + 1), ".");
        if (isWord(t, "DEFAULT") && !(at(k + 1) && isWord(*at(k + 1), "VALUES"))) {
            t.kind = Kind::Quoted;
            t.text = "\"" + t.text + "\"";
        } else if (!afterDot && !beforeDot && (isWord(t, "TRUE") || isWord(t, "FALSE"))) {
            // A constant of the engine's own, not one the caller spliced
            // in: it stays in the statement's shape.
            const bool isTrue = isWord(t, "TRUE");
            t.kind = Kind::Op;
            t.text = isTrue ? "-1" : "0";
        }
    }
}

// Decides which tokens are constants the caller spliced in: string
// literals, and numbers other than column numbers after ORDER BY or
// GROUP BY. Fed every non-space token in order.
class LiteralLifter {
public:
    // True when the token is lifted out; its value is appended to `literals`.
    bool lift(Kind kind, std::string_view text, std::vector<SqlLiteral>& literals) {
        const bool afterOrderOrGroup = std::exchange(afterOrderOrGroup_, false);
        // A text after a sign stays in the shape: -'12' is Jet's minus of a
        // text (a number, or a type mismatch), which the translation must
        // tell from the minus of a number it leaves to SQLite.
        const bool afterSign = std::exchange(afterSign_, kind == Kind::Op && (text == "-" || text == "+"));
        // TOP's count stays in the shape: it moves to the end of the
        // statement, where a parameter would lose its place in the order.
        const bool afterTop = std::exchange(afterTop_, kind == Kind::Word && equalsKeyword(text, "TOP"));
        // A date after TOP stays too, as a number there does: lifted, it would
        // come back as a number, and the statement would change its shape.
        if (kind == Kind::Date && depth_ != columnDepth_ && !afterTop) {  // in an ORDER BY list it stays, as numbers do
            literals.push_back({SqlLiteral::Kind::Real, 0, dateValue(text), {}});
            return true;
        }
        if (kind == Kind::Op && text == "(") {
            ++depth_;
        } else if (kind == Kind::Op && text == ")") {
            if (--depth_ < columnDepth_) columnDepth_ = kNoColumnList;  // the subquery's ORDER BY ended with it
        } else if (kind == Kind::Word && (text.size() == 2 || text.size() == 5 || text.size() == 6)) {
            // Only BY, ORDER, GROUP, WHERE, LIMIT, UNION and HAVING matter here.
            if (afterOrderOrGroup && equalsKeyword(text, "BY")) columnDepth_ = depth_;
            else if (depth_ == columnDepth_ && (equalsKeyword(text, "HAVING") || equalsKeyword(text, "LIMIT") ||
                                                equalsKeyword(text, "WHERE") || equalsKeyword(text, "UNION")))
                columnDepth_ = kNoColumnList;
            afterOrderOrGroup_ = equalsKeyword(text, "ORDER") || equalsKeyword(text, "GROUP");
        }
        if (kind == Kind::String && !afterSign) {
            SqlLiteral lit{SqlLiteral::Kind::Text, 0, 0, {}};
            const char q = text.front();
            lit.text.reserve(text.size());
            for (std::size_t i = 1; i + 1 < text.size(); ++i) {
                lit.text += text[i];
                if (text[i] == q) ++i;  // a doubled quote is one character
            }
            literals.push_back(std::move(lit));
            return true;
        }
        if (kind != Kind::Number || depth_ == columnDepth_ || afterTop) return false;
        const std::string digits(text);
        char* end = nullptr;
        errno = 0;
        const long long v = std::strtoll(digits.c_str(), &end, 10);
        if (end && *end == '\0' && errno != ERANGE) {
            literals.push_back({SqlLiteral::Kind::Integer, v, 0, {}});
            return true;
        }
        const double d = std::strtod(digits.c_str(), &end);
        if (!end || *end != '\0') return false;  // let SQLite judge it
        literals.push_back({SqlLiteral::Kind::Real, 0, d, {}});
        return true;
    }

    // A date token as the tokenizer read it ("#...#"), or as rewritten for
    // display (the automation date as a number, negative ones in
    // parentheses).
    static double dateValue(std::string_view text) {
        if (text.front() == '#') return jetDateLiteral(text.substr(1, text.size() - 2));
        if (text.front() == '(') text = text.substr(1, text.size() - 2);
        return std::strtod(std::string(text).c_str(), nullptr);
    }

private:
    int depth_ = 0;
    // Nesting level of an ORDER BY / GROUP BY list; a stray ')' can make
    // levels negative, so "outside one" is a level no text reaches.
    static constexpr int kNoColumnList = INT_MIN;
    int columnDepth_ = kNoColumnList;
    bool afterOrderOrGroup_ = false;
    bool afterTop_ = false;
    bool afterSign_ = false;
};

// The Jet type of a literal the lifter took from a token of `kind`.
JetType literalType(Kind kind, const SqlLiteral& literal) {
    if (kind == Kind::Date) return JetType::Date;
    switch (literal.kind) {
    case SqlLiteral::Kind::Text: return JetType::Text;
    case SqlLiteral::Kind::Real: return JetType::Double;
    case SqlLiteral::Kind::Integer: break;
    }
    if (literal.integer >= -32768 && literal.integer <= 32767) return JetType::Integer;
    if (literal.integer >= -2147483648LL && literal.integer <= 2147483647LL) return JetType::Long;
    return JetType::Double;
}

// Replaces each literal by ?N; gives the literals' types in order.
std::vector<JetType> parameterize(std::vector<Token>& tokens) {
    LiteralLifter lifter;
    std::vector<SqlLiteral> literals;
    std::vector<JetType> types;
    bool glued = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        if (t.kind == Kind::Space || !lifter.lift(t.kind, t.text, literals)) continue;
        types.push_back(literalType(t.kind, literals.back()));
        t.kind = Kind::Op;
        t.text = "?";
        // 'x'03 (a text with a word or malformed number right after it)
        // would read as the numbered parameter ?03.
        glued = glued || (i + 1 < tokens.size() && !tokens[i + 1].text.empty() &&
                          isWordChar(static_cast<unsigned char>(tokens[i + 1].text.front())));
    }
    if (!glued) return types;
    std::vector<Token> spaced;
    spaced.reserve(tokens.size() + 8);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        spaced.push_back(std::move(tokens[i]));
        if (isOp(spaced.back(), "?") && i + 1 < tokens.size() && !tokens[i + 1].text.empty() &&
            isWordChar(static_cast<unsigned char>(tokens[i + 1].text.front())))
            spaced.push_back({Kind::Space, " "});
    }
    tokens = std::move(spaced);
    return types;
}

// Date literals as the numbers they stand for (for display; the shape
// lifts them like any other constant).
void datesAsNumbers(std::vector<Token>& tokens) {
    for (Token& t : tokens) {
        if (t.kind != Kind::Date) continue;
        char text[40];
        const double value = jetDateLiteral(std::string_view(t.text).substr(1, t.text.size() - 2));
        std::snprintf(text, sizeof text, value < 0 ? "(%.17g)" : "%.17g", value);
        t.text = text;
    }
}

// The schema's answers the passes ask (none on the display path).
struct Lookups {
    const DateColumnLookup& dateColumns;
    const SubstringIndexLookup& substringIndexes;
    const UniqueKeyLookup& uniqueKeys;
    const WholeColumnLookup& wholeColumns;
    const std::vector<std::string>& readColumns;
};

// What the passes work on: the statement's tokens until the parse, then
// its tree; the schema's answers; and what the passes learn for the later
// ones and for the statement. Lives for one translation.
struct PassState {
    std::vector<Token> tokens;
    const Lookups& lookups;
    JetStatement& st;
    std::vector<JetType> parameterTypes;  // per '?', once the literals are parameters
    bool wholeTable = false;              // a single-source SELECT that reads its table whole
    // Once parsed: the statement, whose texts (plain, with the row
    // identity, narrowed) are all written from its one tree.
    std::optional<StatementTree> statement;
};

struct Pass {
    std::string_view name;
    std::string_view after;  // the pass it needs before it
    std::string_view why;
    bool productionOnly;     // skipped on the display path, which keeps the literals in place
    void (*run)(PassState&);
};

// The passes, in the order they run: on the tokens, then the parse, then
// on the statement's tree. The renderer writes the tree afterwards, and it
// gives a Jet function each argument typed Date as a date (JetTypes.h).
constexpr std::array<Pass, 19> kPasses{{
    {"dates as numbers", "", "SQLite has no date literal: a date is its automation date", false,
     [](PassState& s) { datesAsNumbers(s.tokens); }},
    {"words", "", "True and False are -1 and 0; DEFAULT naming a column is quoted", false,
     [](PassState& s) { rewriteWords(s.tokens); }},
    {"parameters", "dates as numbers", "every text of one shape shares one translation", true,
     [](PassState& s) { s.parameterTypes = parameterize(s.tokens); }},
    {"parse", "parameters", "the passes below and the renderer work on the statement's tree", false,
     [](PassState& s) { s.statement.emplace(std::move(s.tokens), s.parameterTypes, s.lookups.dateColumns); }},
    {"distinct rows", "parse", "SQLite has no DISTINCTROW: a join's rows are grouped into records", false,
     [](PassState& s) { tree::writeDistinctRows(s.statement->tree()); }},
    {"source", "distinct rows", "a one-table SELECT can be updatable and gets its row identity", false,
     [](PassState& s) { tree::readSource(s.statement->tree(), s.st, s.wholeTable); }},
    {"outer joins", "source", "SQLite's planner reads outer joins in the order written", false,
     [](PassState& s) {
         if (s.st.isSelect && s.st.singleSource.empty()) rewriteOuterJoins(s.statement->tree(), s.lookups.uniqueKeys);
     }},
    {"read columns", "outer joins", "items a caller never reads cost a lookup per row", false,
     [](PassState& s) {
         if (s.st.isSelect && s.st.singleSource.empty())
             narrowToReadColumns(s.statement->tree(), s.lookups.readColumns, s.st);
     }},
    {"unused joins", "read columns", "a join nothing reads is work without rows", false,
     [](PassState& s) { dropUnusedJoins(s.statement->tree(), s.lookups.uniqueKeys); }},
    {"substring narrowing", "unused joins", "a LIKE test on an indexed column reads the index, not every row", false,
     [](PassState& s) {
         if (!s.st.isSelect || !s.st.singleSource.empty() || !s.lookups.substringIndexes) return;
         s.st.narrowingPatterns = narrowBySubstringIndex(s.statement->tree(), s.lookups.substringIndexes);
     }},
    {"search joins", "substring narrowing", "a search over outer joins starts from the matching rows", false,
     [](PassState& s) {
         if (s.st.isSelect) tree::rewriteSearchJoins(s.statement->tree());
     }},
    {"like chains", "search joins", "a chain of LIKE tests costs one call per row, not one per test", false,
     [](PassState& s) {
         if (s.st.isSelect) tree::joinLikeChains(s.statement->tree());
     }},
    {"set targets", "parse", "SQLite takes no qualified SET target", false,
     [](PassState& s) { tree::unqualifySetTargets(s.statement->tree()); }},
    {"whole assignments", "set targets", "a value assigned to a Long or Integer column is rounded as Jet rounds it",
     true, [](PassState& s) { tree::roundWholeAssignments(s.statement->tree(), s.lookups.wholeColumns); }},
    {"assigned parameters", "whole assignments", "a date typed as text converts as Jet converts it for its column",
     true, [](PassState& s) { tree::findAssignedParameters(s.statement->tree(), s.parameterTypes.size(), s.st); }},
    {"not indexed", "parse", "a whole table is read in key order, as Jet reads it", false,
     [](PassState& s) {
         if (s.wholeTable) tree::readWholeTableInKeyOrder(s.statement->tree());
     }},
    {"row identity", "parse", "an updatable recordset finds each row it changes by its row identity", false,
     [](PassState& s) {
         if (!s.st.singleSource.empty()) tree::addRowIdentity(s.statement->tree(), s.st.singleSource);
     }},
    {"top", "row identity", "Jet's TOP gives the rows that tie with the last one; read once the parts are final",
     false, [](PassState& s) { tree::readTopRows(s.statement->tree()); }},
    {"render", "top", "SQLite's text of the statement, written once from its tree", false,
     [](PassState& s) {
         JetStatement& st = s.st;
         tree::RenderedSql text = s.statement->sql();
         if (!st.singleSource.empty()) st.sqlWithRowid = text.withRowIdentity(s.statement->tree().additions);
         st.sql = std::move(text.text);
         st.itemTypes = s.statement->itemTypes();
         if (!st.narrowingPatterns.empty()) st.narrowedSql = s.statement->sql(true).text;
     }},
}};

JetStatement translateText(std::string_view jetSql, const Lookups& lookups, bool production) {
    JetStatement st;
    PassState state{tokenize(jetSql), lookups, st, {}, false, std::nullopt};
    for (const Pass& pass : kPasses)
        if (production || !pass.productionOnly) pass.run(state);
    return st;
}

}  // namespace

std::vector<Token> detail::tokenizeJet(std::string_view sql) { return tokenize(sql); }

// One pass over the text without keeping tokens: this runs for every
// statement, the full translation only when the shape is new.
JetSqlText::JetSqlText(std::string_view jetSql) : text_(jetSql) {
    LiteralLifter lifter;
    shape_.reserve(jetSql.size());
    scanTokens(jetSql, [&](Kind kind, std::string_view text) {
        if (kind != Kind::Space && lifter.lift(kind, text, literals_)) {
            const auto begin = static_cast<std::size_t>(text.data() - jetSql.data());
            spans_.push_back({begin, begin + text.size()});
            shape_ += '?';
            // A date is written ?#N: its translation differs from a
            // number's in the same place (a function is given it as a
            // date, an expression with it reads as a Date), so the two
            // must not share a cached translation.
            if (kind == Kind::Date) shape_ += '#';
            shape_ += std::to_string(literals_.size());
        } else {
            shape_ += text;
        }
    });
}

JetStatement JetSqlText::translate(const DateColumnLookup& dateColumns, const SubstringIndexLookup& substringIndexes,
                                   const UniqueKeyLookup& uniqueKeys, const WholeColumnLookup& wholeColumns,
                                   const std::vector<std::string>& readColumns) const {
    return translateText(text_, Lookups{dateColumns, substringIndexes, uniqueKeys, wholeColumns, readColumns}, true);
}

JetStatement translateJet(std::string_view jetSql) {
    const DateColumnLookup noDates;
    const SubstringIndexLookup noIndexes;
    const UniqueKeyLookup noKeys;
    const WholeColumnLookup noWholes;
    const std::vector<std::string> everyColumn;
    return translateText(jetSql, Lookups{noDates, noIndexes, noKeys, noWholes, everyColumn}, false);
}

}  // namespace lumo::db
