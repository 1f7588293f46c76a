#include "engine/JetExpression.h"

#include <algorithm>
#include <cstdlib>
#include <array>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/Error.h"
#include "engine/JetFunctions.h"
#include "JetTokens.h"

namespace lumo::db {
namespace {

using detail::equalsKeyword;
using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::Token;
using Kind = detail::TokenKind;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Deepest recursion of the renderer: groups (at most kMaxNesting, checked by
// the tokenizer) and Not written where an operand stands (a = Not b).
constexpr int kMaxDepth = 2 * kMaxNesting;

// What the clause an expression stands in expects of it.
enum class Context {
    Value,      // a value (select list, ORDER BY, arguments, VALUES)
    Condition,  // a truth (WHERE, ON, HAVING, WHEN)
    Names,      // tables and columns (FROM, JOIN, INTO, AS): written as they stand
    Assign,     // column = value (SET)
};

struct ClauseWord {
    std::string_view word;
    Context context;  // of the text after it
};

constexpr std::array<ClauseWord, 46> kClauseWords{{
    {"SELECT", Context::Value},     {"DISTINCT", Context::Value}, {"DISTINCTROW", Context::Value},
    {"ALL", Context::Value},        {"TOP", Context::Value},      {"PERCENT", Context::Value},
    {"FROM", Context::Names},       {"WHERE", Context::Condition}, {"GROUP", Context::Value},
    {"ORDER", Context::Value},      {"BY", Context::Value},       {"HAVING", Context::Condition},
    {"AS", Context::Names},         {"ON", Context::Condition},   {"JOIN", Context::Names},
    {"LEFT", Context::Names},       {"RIGHT", Context::Names},    {"INNER", Context::Names},
    {"OUTER", Context::Names},      {"FULL", Context::Names},     {"CROSS", Context::Names},
    {"NATURAL", Context::Names},    {"USING", Context::Names},    {"SET", Context::Assign},
    {"UNION", Context::Value},      {"INTERSECT", Context::Value}, {"EXCEPT", Context::Value},
    {"VALUES", Context::Value},     {"INTO", Context::Names},     {"ASC", Context::Value},
    {"DESC", Context::Value},       {"LIMIT", Context::Value},    {"OFFSET", Context::Value},
    {"UPDATE", Context::Names},     {"DELETE", Context::Names},   {"INSERT", Context::Names},
    {"CASE", Context::Value},       {"WHEN", Context::Condition}, {"THEN", Context::Value},
    {"ELSE", Context::Value},       {"END", Context::Value},      {"WITH", Context::Names},
    {"PRAGMA", Context::Names},     {"TABLE", Context::Names},    {"CREATE", Context::Names},
    {"DEFAULT", Context::Value},
}};

// The context after a token that starts a clause, or nothing.
std::optional<Context> clauseContext(const Token& t) {
    if (t.kind != Kind::Word || t.text.size() < 2 || t.text.size() > 11) return std::nullopt;
    for (const ClauseWord& c : kClauseWords)
        if (equalsKeyword(t.text, c.word)) return c.context;
    return std::nullopt;
}

// Words that are operators of an expression, never a name.
bool isOperatorWord(const Token& t) {
    static constexpr std::array<std::string_view, 12> words = {"AND", "OR",      "NOT", "XOR", "EQV",    "IMP",
                                                               "MOD", "LIKE",    "IN",  "IS",  "BETWEEN", "ESCAPE"};
    return t.kind == Kind::Word && std::any_of(words.begin(), words.end(), [&](std::string_view w) {
               return equalsKeyword(t.text, w);
           });
}

// Appends `text`, keeping two minus signs apart: SQLite reads "--" as the
// start of a comment, Jet as two minus signs.
void append(std::string& out, std::string_view text) {
    if (!out.empty() && out.back() == '-' && !text.empty() && text.front() == '-') out += ' ';
    out += text;
}

// An expression as SQLite text, and what the parent needs to know of it.
struct Piece {
    std::string text;
    bool truth = false;    // SQLite's 1 / 0 / Null (a comparison), not a Jet value
    bool column = false;   // a column reference: its declared collation applies
    bool literal = false;  // one number literal or parameter (a text after a sign stays in the shape)
    bool group = false;    // the text is one parenthesised group
};

// As a Jet value: a truth becomes -1 / 0 / Null.
Piece value(Piece p) {
    if (!p.truth) return p;
    Piece v;
    v.text = p.group ? "-" + p.text : "-(" + p.text + ")";
    return v;
}

// One element of a nesting level: a token, or a parenthesised group.
struct Item {
    std::size_t lead;  // first of the white-space tokens before it
    std::size_t at;    // the token, or the group's '('
    std::size_t end;   // one past the token, or past the group's ')'
    bool group;
};

class Renderer {
public:
    Renderer(const std::vector<Token>& tokens, bool numbered) : tokens_(tokens), close_(tokens.size(), kNone) {
        std::vector<std::size_t> open;
        int parameter = 0;
        if (numbered) parameter_.assign(tokens.size(), 0);
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            const Token& t = tokens[i];
            // A parameter written "?N" (a copy, JetTop.h): an anonymous one
            // after it takes the next number after the largest so far, as
            // SQLite numbers it.
            if (numbered && t.kind == Kind::Number && t.text.size() > 1 && t.text[0] == '?')
                parameter = std::max(parameter, std::atoi(t.text.c_str() + 1));
            if (t.kind != Kind::Op) continue;
            if (t.text == "(") {
                open.push_back(i);
            } else if (t.text == ")" && !open.empty()) {
                close_[open.back()] = i;
                open.pop_back();
            } else if (numbered && t.text == "?") {
                parameter_[i] = ++parameter;
            }
        }
        for (std::size_t i : open) close_[i] = tokens.size();  // runs to the end
    }

    std::string statement() { return level(0, tokens_.size(), Context::Value, false).text; }
    bool repeatsParameters() const { return repeats_; }

private:
    // The items of one level between token indexes [from, to), and the
    // index where the white space after the last one begins.
    std::vector<Item> items(std::size_t from, std::size_t to, std::size_t& trail) const {
        std::vector<Item> out;
        std::size_t lead = from;
        std::size_t i = from;
        while (i < to) {
            const Token& t = tokens_[i];
            if (t.kind == Kind::Space) { ++i; continue; }
            if (isOp(t, "(") && close_[i] != kNone) {
                const std::size_t end = std::min(close_[i] + 1, to);
                out.push_back({lead, i, end, true});
                i = end;
            } else {
                out.push_back({lead, i, i + 1, false});
                ++i;
            }
            lead = i;
        }
        trail = lead;
        return out;
    }

    void appendSpaces(std::string& out, std::size_t from, std::size_t to) const {
        for (std::size_t i = from; i < to; ++i) out += tokens_[i].text;
    }
    void appendLead(std::string& out, const Item& item) const { appendSpaces(out, item.lead, item.at); }

    const Token& token(const Item& item) const { return tokens_[item.at]; }

    std::string tokenText(std::size_t i) const {
        if (!parameter_.empty() && parameter_[i] > 0) return "?" + std::to_string(parameter_[i]);
        return tokens_[i].text;
    }

    // A group's content rendered in a context, with its parentheses.
    Piece group(const Item& item, Context context, bool operand) {
        const bool closed = close_[item.at] < item.end;
        Piece inner = level(item.at + 1, closed ? item.end - 1 : item.end, context, operand);
        inner.text = "(" + std::move(inner.text) + (closed ? ")" : "");
        inner.group = true;
        inner.literal = false;
        return inner;
    }

    // The tokens [from, to) of one level: its clauses, each expression
    // rendered for the context its clause gives. With `operand`, a level
    // that is one expression keeps its truth and column marks for the
    // expression around the group.
    Piece level(std::size_t from, std::size_t to, Context context, bool operand) {
        if (++depth_ > kMaxDepth) throw Error("クエリが複雑すぎます。式の入れ子が深すぎます。");
        std::size_t trail = to;
        const std::vector<Item> list = items(from, to, trail);
        Piece out;
        std::size_t start = 0;
        bool single = true;
        Context clause = context;
        for (std::size_t k = 0; k <= list.size(); ++k) {
            const bool last = k == list.size();
            const std::optional<Context> next = last ? std::nullopt : clauseAt(list, k, clause);
            if (!last && !next) continue;
            if (k > start) {
                appendLead(out.text, list[start]);
                Piece p = segment(list, start, k, context);
                if (single && last && start == 0 && operand) {
                    p.text = std::move(out.text) + p.text;
                    out = std::move(p);
                } else {
                    if (context == Context::Value) p = value(std::move(p));
                    append(out.text, p.text);
                }
            }
            if (last) break;
            single = false;
            appendLead(out.text, list[k]);
            out.text += tokenText(list[k].at);
            context = *next;
            // AS names one thing; after the next ',' the clause goes on.
            if (!isWord(token(list[k]), "AS")) clause = context;
            start = k + 1;
        }
        if (!single || !operand) out = Piece{std::move(out.text)};
        appendSpaces(out.text, trail, to);
        --depth_;
        return out;
    }

    // The context after the item at k when it ends an expression (',' and
    // ';' go back to the clause's), or nothing. Left( and Right( are functions.
    std::optional<Context> clauseAt(const std::vector<Item>& list, std::size_t k, Context clause) const {
        if (list[k].group) return std::nullopt;
        const Token& t = token(list[k]);
        if (isOp(t, ",") || isOp(t, ";")) return clause;
        if ((isWord(t, "LEFT") || isWord(t, "RIGHT")) && k + 1 < list.size() && list[k + 1].group) return std::nullopt;
        return clauseContext(t);
    }

    // The items [from, to) of one clause as written, groups rendered inside.
    Piece asWritten(const std::vector<Item>& list, std::size_t from, std::size_t to, Context context) {
        Piece out;
        for (std::size_t k = from; k < to; ++k) {
            if (k > from) appendLead(out.text, list[k]);
            append(out.text, list[k].group ? group(list[k], context, false).text : tokenText(list[k].at));
        }
        return out;
    }

    Piece segment(const std::vector<Item>& list, std::size_t from, std::size_t to, Context context) {
        if (context == Context::Names) return asWritten(list, from, to, Context::Names);
        if (to - from == 1 && !list[from].group) {  // the common case: one name or literal
            const Token& t = token(list[from]);
            Piece p{tokenText(list[from].at)};
            p.column = isName(t) && !isWord(t, "NULL");
            p.literal = !isName(t);
            return p;
        }
        std::size_t exprFrom = from;
        Piece target;
        if (context == Context::Assign) {
            std::size_t eq = from;
            while (eq < to && !(!list[eq].group && isOp(token(list[eq]), "="))) ++eq;
            if (eq + 1 >= to) return asWritten(list, from, to, Context::Value);
            target = asWritten(list, from, eq + 1, Context::Value);
            appendLead(target.text, list[eq + 1]);
            exprFrom = eq + 1;
        }
        Cursor c{list, exprFrom, to};
        std::optional<Piece> p = expression(c, kImp);
        if (!p || c.pos != to) return asWritten(list, from, to, Context::Value);
        if (context != Context::Assign) return std::move(*p);
        append(target.text, value(std::move(*p)).text);
        return target;
    }

    // ---- the expression parser ----

    struct Cursor {
        const std::vector<Item>& list;
        std::size_t pos;
        std::size_t end;
    };

    // Binding levels, loosest first.
    enum Level { kImp, kEqv, kXor, kOr, kAnd, kNot, kCompare, kConcat, kAddSub, kMod, kIntDiv, kMulDiv, kNegate, kPower };

    const Token* at(const Cursor& c, std::size_t offset = 0) const {
        const std::size_t k = c.pos + offset;
        return k < c.end && !c.list[k].group ? &tokens_[c.list[k].at] : nullptr;
    }
    bool atWord(const Cursor& c, std::string_view w, std::size_t offset = 0) const {
        const Token* t = at(c, offset);
        return t && isWord(*t, w);
    }
    bool atOp(const Cursor& c, std::string_view op) const {
        const Token* t = at(c);
        return t && isOp(*t, op);
    }

    // The binary operator of `level` at the cursor: the SQLite function it
    // becomes, or "" for one that stays SQLite's (And, Or); nothing when
    // the cursor is not at one.
    std::optional<std::string_view> binaryOperator(const Cursor& c, int level) const {
        const Token* t = at(c);
        if (!t) return std::nullopt;
        switch (level) {
        case kImp: if (isWord(*t, "IMP")) return "lumo_imp"; break;
        case kEqv: if (isWord(*t, "EQV")) return "lumo_eqv"; break;
        case kXor: if (isWord(*t, "XOR")) return "lumo_xor"; break;
        case kOr: if (isWord(*t, "OR")) return ""; break;
        case kAnd: if (isWord(*t, "AND")) return ""; break;
        case kAddSub:
            if (isOp(*t, "+")) return "lumo_add";
            if (isOp(*t, "-")) return "lumo_sub";
            break;
        case kMod: if (isWord(*t, "MOD")) return "lumo_mod"; break;
        case kIntDiv: if (isOp(*t, "\\")) return "lumo_idiv"; break;
        case kMulDiv:
            if (isOp(*t, "*")) return "lumo_mul";
            if (isOp(*t, "/")) return "lumo_div";
            break;
        default: break;
        }
        return std::nullopt;
    }

    static Piece call(std::string_view function, std::initializer_list<const Piece*> arguments) {
        Piece out;
        out.text.reserve(function.size() + 16);
        out.text += function;
        out.text += '(';
        bool first = true;
        for (const Piece* a : arguments) {
            if (!first) out.text += ", ";
            first = false;
            out.text += a->text;
        }
        out.text += ')';
        return out;
    }

    // The operator token at `k` and the white space around it, as written.
    void appendOperator(std::string& out, const Cursor& c, std::size_t k) const {
        appendLead(out, c.list[k]);
        out += tokens_[c.list[k].at].text;
    }

    std::optional<Piece> expression(Cursor& c, int level) {
        switch (level) {
        case kNot: return notLevel(c);
        case kCompare: return compareLevel(c);
        case kConcat: return concatLevel(c);
        case kNegate: return negateLevel(c);
        case kPower: return powerLevel(c, std::nullopt);
        default: break;
        }
        std::optional<Piece> x = expression(c, level + 1);
        if (!x || !binaryOperator(c, level)) return x;
        // A chain a op b op c ... is written in one pass: wrapping the text
        // so far at every step would copy it once per operator.
        struct Step {
            std::size_t op;
            std::size_t rightAt;
            std::string_view function;  // "" for And / Or of truths
            bool truthBefore;           // the text so far is a truth
            Piece right;
        };
        std::vector<Step> steps;
        bool truth = x->truth;
        while (const std::optional<std::string_view> function = binaryOperator(c, level)) {
            const std::size_t op = c.pos++;
            const std::size_t rightAt = c.pos;
            std::optional<Piece> y = expression(c, level + 1);
            if (!y) return std::nullopt;
            const bool native = function->empty() && truth && y->truth;
            const std::string_view name = !function->empty() ? *function : level == kOr ? "lumo_or" : "lumo_and";
            steps.push_back({op, rightAt, native ? std::string_view() : name, truth, std::move(*y)});
            truth = native;
        }
        std::string text;
        for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
            if (it->function.empty()) continue;
            text += it->function;
            text += it->truthBefore ? "(-(" : "(";
        }
        append(text, x->text);
        for (Step& step : steps) {
            if (step.function.empty()) {
                appendOperator(text, c, step.op);
                appendLead(text, c.list[step.rightAt]);
                append(text, step.right.text);
                continue;
            }
            text += step.truthBefore ? "), " : ", ";
            text += value(std::move(step.right)).text;
            text += ')';
        }
        return Piece{std::move(text), truth};
    }

    std::optional<Piece> notLevel(Cursor& c) {
        std::vector<std::size_t> nots;
        while (atWord(c, "NOT")) nots.push_back(c.pos++);
        std::optional<Piece> x = expression(c, kCompare);
        for (auto it = nots.rbegin(); x && it != nots.rend(); ++it) {
            if (x->truth) {
                std::string text = tokens_[c.list[*it].at].text;
                appendLead(text, c.list[*it + 1]);
                append(text, x->text);
                x = Piece{std::move(text), true};
            } else {
                x = call("lumo_not", {&*x});
            }
        }
        return x;
    }

    // Text compares ignoring case unless a column brings its own collation.
    static void appendNoCase(Piece& p) { p.text += " COLLATE NOCASE"; }

    std::optional<Piece> compareLevel(Cursor& c) {
        std::optional<Piece> x = expression(c, kConcat);
        while (x) {
            const Token* t = at(c);
            if (!t) break;
            static constexpr std::array<std::string_view, 8> comparisons = {"=", "<>", "<", ">", "<=", ">=", "==", "!="};
            const bool comparison = t->kind == Kind::Op && std::find(comparisons.begin(), comparisons.end(), t->text) !=
                                                                comparisons.end();
            const bool negated = isWord(*t, "NOT") && (atWord(c, "LIKE", 1) || atWord(c, "BETWEEN", 1) || atWord(c, "IN", 1));
            const Token* word = negated ? at(c, 1) : t;
            if (!comparison && !isWord(*word, "LIKE") && !isWord(*word, "IS") && !isWord(*word, "BETWEEN") &&
                !isWord(*word, "IN"))
                break;
            Piece left = value(std::move(*x));
            std::string text = std::move(left.text);
            const std::size_t op = c.pos;
            c.pos += negated ? 2 : 1;
            const auto appendOperatorWords = [&] {
                appendOperator(text, c, op);
                if (negated) appendOperator(text, c, op + 1);
            };
            if (comparison || isWord(*word, "LIKE") || isWord(*word, "IS")) {
                if (isWord(*word, "IS") && atWord(c, "NOT")) ++c.pos;  // x Is Not Null
                const std::size_t rightAt = c.pos;
                std::optional<Piece> y = expression(c, kConcat);
                if (!y) return std::nullopt;
                Piece right = value(std::move(*y));
                if (comparison && !left.column && !right.column) appendNoCase(right);
                appendOperatorWords();
                for (std::size_t k = op + (negated ? 2 : 1); k < rightAt; ++k) appendOperator(text, c, k);
                appendLead(text, c.list[rightAt]);
                append(text, right.text);
                if (isWord(*word, "LIKE") && atWord(c, "ESCAPE")) {
                    const std::size_t escape = c.pos++;
                    const std::size_t escapeAt = c.pos;
                    std::optional<Piece> e = expression(c, kConcat);
                    if (!e) return std::nullopt;
                    appendOperator(text, c, escape);
                    appendLead(text, c.list[escapeAt]);
                    append(text, value(std::move(*e)).text);
                }
            } else if (isWord(*word, "BETWEEN")) {
                const std::size_t lowAt = c.pos;
                std::optional<Piece> low = expression(c, kConcat);
                if (!low || !atWord(c, "AND")) return std::nullopt;
                const std::size_t andAt = c.pos++;
                const std::size_t highAt = c.pos;
                std::optional<Piece> high = expression(c, kConcat);
                if (!high) return std::nullopt;
                const Piece a = value(std::move(*low)), b = value(std::move(*high));
                if (a.text.find('?') != std::string::npos || b.text.find('?') != std::string::npos) repeats_ = true;
                if (!left.column) text += " COLLATE NOCASE";
                appendOperatorWords();
                appendLead(text, c.list[lowAt]);
                text += call("lumo_low", {&a, &b}).text;
                appendOperator(text, c, andAt);
                appendLead(text, c.list[highAt]);
                text += call("lumo_high", {&a, &b}).text;
            } else {  // In
                if (c.pos >= c.end || !c.list[c.pos].group) return std::nullopt;
                const Item& list = c.list[c.pos++];
                if (!left.column) text += " COLLATE NOCASE";
                appendOperatorWords();
                appendLead(text, list);
                text += inList(list);
            }
            x = Piece{std::move(text), true};
        }
        return x;
    }

    // The list after In. Jet compares the value with each entry and a Null
    // entry matches nothing, so 37 In (23, Null, 45) is False where
    // SQLite's In would be Null: the Null entries are left out. A list
    // without one, and a subquery, are written as they stand.
    std::string inList(const Item& item) {
        // Long lists of values are common (IN lists of thousands of keys):
        // a look at the bare tokens first, before anything is built.
        bool any = false;
        for (std::size_t i = item.at + 1; i < item.end && !any; ++i)
            any = tokens_[i].kind == Kind::Word && isWord(tokens_[i], "NULL");
        if (!any) return group(item, Context::Value, false).text;
        const bool closed = close_[item.at] < item.end;
        std::size_t trail = 0;
        const std::vector<Item> list = items(item.at + 1, closed ? item.end - 1 : item.end, trail);
        std::vector<std::pair<std::size_t, std::size_t>> entries;  // item ranges between the commas
        bool nulls = false;
        for (std::size_t k = 0, start = 0; k <= list.size(); ++k) {
            if (k < list.size() && (list[k].group || !isOp(token(list[k]), ","))) continue;
            nulls = nulls || (k == start + 1 && !list[start].group && isWord(token(list[start]), "NULL"));
            entries.emplace_back(start, k);
            start = k + 1;
        }
        if (!nulls) return group(item, Context::Value, false).text;
        if (++depth_ > kMaxDepth) throw Error("クエリが複雑すぎます。式の入れ子が深すぎます。");
        std::string text = "(";
        for (const auto& [from, to] : entries) {
            if (to == from + 1 && !list[from].group && isWord(token(list[from]), "NULL")) continue;
            if (text.size() > 1) text += ", ";
            if (to > from) append(text, value(segment(list, from, to, Context::Value)).text);
        }
        --depth_;
        return text + ")";
    }

    std::optional<Piece> concatLevel(Cursor& c) {
        std::optional<Piece> x = expression(c, kAddSub);
        if (!x || !atOp(c, "&")) return x;
        Piece out{"lumo_concat(" + value(std::move(*x)).text};
        while (atOp(c, "&")) {
            ++c.pos;
            std::optional<Piece> y = expression(c, kAddSub);
            if (!y) return std::nullopt;
            out.text += ", ";
            out.text += value(std::move(*y)).text;
        }
        out.text += ')';
        return out;
    }

    std::optional<Piece> negateLevel(Cursor& c) {
        std::vector<std::size_t> signs;
        while (atOp(c, "-") || atOp(c, "+")) signs.push_back(c.pos++);
        // A sign written directly before a number belongs to the number, as
        // Jet reads it: -10^2 is (-10)^2, while -(10)^2 and - 10^2 are not.
        std::optional<std::size_t> numberSign;
        if (!signs.empty() && signedNumberAt(c, signs.back())) {
            numberSign = signs.back();
            signs.pop_back();
        }
        std::optional<Piece> x = powerLevel(c, numberSign);
        return x ? applySigns(c, signs, std::move(*x)) : x;
    }

    // Whether the sign at item `sign` touches the number literal (or the
    // parameter a number or date literal became) at the cursor.
    bool signedNumberAt(const Cursor& c, std::size_t sign) const {
        const Token* t = at(c);
        if (!t || c.list[c.pos].lead != c.list[c.pos].at || sign + 1 != c.pos) return false;
        return t->kind == Kind::Number || t->kind == Kind::Date || isOp(*t, "?");
    }

    // Unary signs, innermost first. A minus before a number literal stays
    // SQLite's (-1 is a number either way); before anything else, a text
    // literal included, it is Jet's. A plus is nothing in either (+'abc'
    // stays the text), so it stays as written.
    Piece applySigns(const Cursor& c, const std::vector<std::size_t>& signs, Piece x) const {
        if (signs.empty()) return x;
        // Which signs are Jet's (innermost first), then the text in one pass.
        std::vector<bool> jets(signs.size());
        bool literal = x.literal;
        for (std::size_t k = signs.size(); k-- > 0;) {
            jets[k] = tokens_[c.list[signs[k]].at].text == "-" && !literal;
            literal = false;
        }
        std::string text;
        for (std::size_t k = 0; k < signs.size(); ++k) {
            if (jets[k]) {
                text += "lumo_neg(";
                continue;
            }
            append(text, tokens_[c.list[signs[k]].at].text);
            appendLead(text, c.list[signs[k] + 1]);
        }
        append(text, value(std::move(x)).text);
        for (std::size_t k = 0; k < signs.size(); ++k)
            if (jets[k]) text += ')';
        return Piece{std::move(text)};
    }

    // With `numberSign`, the sign before the first operand is part of it.
    std::optional<Piece> powerLevel(Cursor& c, std::optional<std::size_t> numberSign = std::nullopt) {
        std::optional<Piece> x = primary(c);
        if (x && numberSign) {
            std::string text = tokens_[c.list[*numberSign].at].text;
            append(text, x->text);
            x = Piece{std::move(text)};  // no longer a lone literal: a sign before it is Jet's
        }
        while (x && atOp(c, "^")) {
            ++c.pos;
            std::vector<std::size_t> signs;  // 2 ^ -1
            while (atOp(c, "-") || atOp(c, "+")) signs.push_back(c.pos++);
            std::optional<Piece> y = primary(c);
            if (!y) return std::nullopt;
            const Piece a = value(std::move(*x)), b = value(applySigns(c, signs, std::move(*y)));
            x = call("lumo_pow", {&a, &b});
        }
        return x;
    }

    std::optional<Piece> primary(Cursor& c) {
        if (c.pos >= c.end) return std::nullopt;
        const Item& item = c.list[c.pos];
        if (item.group) {
            ++c.pos;
            const std::size_t first = item.at + 1;
            std::size_t k = first;
            while (k < item.end && tokens_[k].kind == Kind::Space) ++k;
            const bool query = k < item.end && (isWord(tokens_[k], "SELECT") || isWord(tokens_[k], "WITH"));
            return group(item, Context::Value, !query);
        }
        const Token& t = token(item);
        if (isWord(t, "NOT")) {  // Not where an operand stands: a = Not b
            if (++depth_ > kMaxDepth) throw Error("クエリが複雑すぎます。式の入れ子が深すぎます。");
            std::optional<Piece> x = notLevel(c);
            --depth_;
            return x;
        }
        if (isWord(t, "EXISTS") && c.pos + 1 < c.end && c.list[c.pos + 1].group) {
            std::string text = t.text;
            appendLead(text, c.list[c.pos + 1]);
            text += group(c.list[c.pos + 1], Context::Value, false).text;
            c.pos += 2;
            return Piece{std::move(text), true};
        }
        // Left( and Right( are Jet's functions, not the joins.
        const bool leftOrRight = (isWord(t, "LEFT") || isWord(t, "RIGHT")) && c.pos + 1 < c.end && c.list[c.pos + 1].group;
        if (!leftOrRight && (isOperatorWord(t) || clauseContext(t))) return std::nullopt;
        ++c.pos;
        if (isWord(t, "NULL")) return Piece{t.text};
        if (!isName(t)) {
            if (t.kind == Kind::Op && t.text != "?" && t.text != "-1" && t.text != "0" && t.text != "*") return std::nullopt;
            Piece p{tokenText(item.at)};
            p.literal = t.text != "*" && t.kind != Kind::String;
            return p;
        }
        // A name, qualified or not, or a function call.
        Piece p{t.text};
        p.column = true;
        while (atOp(c, ".") && at(c, 1) && (isName(*at(c, 1)) || isOp(*at(c, 1), "*"))) {
            appendOperator(p.text, c, c.pos);
            appendOperator(p.text, c, c.pos + 1);
            c.pos += 2;
        }
        if (t.kind == Kind::Word && p.text.size() == t.text.size() && c.pos < c.end && c.list[c.pos].group) {
            const std::optional<std::string_view> registered = sqliteFunctionName(t.text);
            Piece f{registered ? std::string(*registered) : t.text};
            // The search rewrites' one call for a chain of LIKE tests gives
            // a truth, as the chain did: And and Or around it stay SQLite's.
            f.truth = detail::equalsKeyword(t.text, "LUMO_LIKE_ANY") || detail::equalsKeyword(t.text, "LUMO_LIKE_PAIRS");
            appendLead(f.text, c.list[c.pos]);
            f.text += group(c.list[c.pos++], Context::Value, false).text;
            return f;
        }
        return p;
    }

    const std::vector<Token>& tokens_;
    std::vector<std::size_t> close_;  // per '(': its ')', or the end for one never closed
    std::vector<int> parameter_;      // per '?' token its number, when numbered
    bool repeats_ = false;
    int depth_ = 0;
};

}  // namespace

std::string renderJetStatement(const std::vector<detail::Token>& tokens) {
    Renderer anonymous(tokens, false);
    std::string sql = anonymous.statement();
    if (!anonymous.repeatsParameters()) return sql;
    return Renderer(tokens, true).statement();
}

}  // namespace lumo::db
