// The parser of JetTree.h: a statement's tokens cut into nesting levels and
// clauses, and each expression parsed with Jet's operator table, loosest
// binding first (JetExpression.h). Where an expression is not one the
// parser reads (SQLite's own syntax), it is kept as written.
#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "JetTree.h"
#include "engine/JetFunctions.h"
#include "engine/JetSql.h"
#include "platform/Error.h"

namespace lumo::db::tree {
namespace {

using detail::equalsKeyword;
using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::Token;
using TokenKind = detail::TokenKind;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Deepest recursion: groups (at most kMaxNesting, checked by the
// tokenizer) and Not written where an operand stands (a = Not b).
constexpr int kMaxDepth = 2 * kMaxNesting;

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
    if (t.kind != TokenKind::Word || t.text.size() < 2 || t.text.size() > 11) return std::nullopt;
    for (const ClauseWord& c : kClauseWords)
        if (equalsKeyword(t.text, c.word)) return c.context;
    return std::nullopt;
}

// Words that are operators of an expression, never a name.
bool isOperatorWord(const Token& t) {
    static constexpr std::array<std::string_view, 12> words = {"AND", "OR",      "NOT", "XOR", "EQV",    "IMP",
                                                               "MOD", "LIKE",    "IN",  "IS",  "BETWEEN", "ESCAPE"};
    return t.kind == TokenKind::Word && std::any_of(words.begin(), words.end(), [&](std::string_view w) {
               return equalsKeyword(t.text, w);
           });
}

// One element of a nesting level: a token, or a parenthesised group.
struct Item {
    std::size_t lead;  // first of the white-space tokens before it
    std::size_t at;    // the token, or the group's '('
    std::size_t end;   // one past the token, or past the group's ')'
    bool group;
    Place place() const { return {static_cast<Index>(lead), static_cast<Index>(at)}; }
};

// Builds one Tree; lives for one parse.
class Parser {
public:
    explicit Parser(Tree& tree) : tree_(tree), tokens_(tree.tokens), close_(tokens_.size(), kNone), literal_(tokens_.size(), 0) {
        std::vector<std::size_t> open;
        Index parameters = 0;
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            const Token& t = tokens_[i];
            if (t.kind != TokenKind::Op) continue;
            if (t.text == "(") {
                open.push_back(i);
            } else if (t.text == ")" && !open.empty()) {
                close_[open.back()] = i;
                open.pop_back();
            } else if (t.text == "?") {
                literal_[i] = ++parameters;
            }
        }
        for (std::size_t i : open) close_[i] = tokens_.size();  // runs to the end
    }

    Index statement() { return level(0, tokens_.size(), Context::Value, false); }

private:
    template <class T>
    Index add(T node) {
        tree_.nodes.emplace_back(std::move(node));
        return static_cast<Index>(tree_.nodes.size() - 1);
    }

    // The items of one level between token indexes [from, to), and the
    // index where the white space after the last one begins.
    std::vector<Item> items(std::size_t from, std::size_t to, std::size_t& trail) const {
        std::vector<Item> out;
        std::size_t lead = from;
        std::size_t i = from;
        while (i < to) {
            const Token& t = tokens_[i];
            if (t.kind == TokenKind::Space) { ++i; continue; }
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

    const Token& token(const Item& item) const { return tokens_[item.at]; }

    void enter() {
        if (++depth_ > kMaxDepth) throw Error("クエリが複雑すぎます。式の入れ子が深すぎます。");
    }

    Index group(const Item& item, Context context, bool operand) {
        const bool closed = close_[item.at] < item.end;
        const Index inner = level(item.at + 1, closed ? item.end - 1 : item.end, context, operand);
        return add(Group{item.place(), static_cast<Index>(item.end), closed, inner});
    }

    // The tokens [from, to) of one level, cut into clauses.
    Index level(std::size_t from, std::size_t to, Context context, bool operand) {
        enter();
        std::size_t trail = to;
        const std::vector<Item> list = items(from, to, trail);
        Clauses out;
        out.operand = operand;
        out.trail = static_cast<Index>(trail);
        out.end = static_cast<Index>(to);
        std::size_t start = 0;
        Context clause = context;
        // TOP's count is a part of its own: the select list follows it
        // without a word between.
        std::size_t listAfterCount = kNone;
        for (std::size_t k = 0; k <= list.size(); ++k) {
            const bool last = k == list.size();
            const std::optional<Context> next = last ? std::nullopt : clauseAt(list, k, clause);
            if (!last && !next && k != listAfterCount) continue;
            if (k > start) out.parts.push_back({list[start].place(), segment(list, start, k, context), context});
            if (last) break;
            if (!next) {
                start = k;
                continue;
            }
            if (isWord(token(list[k]), "TOP") && opensList(out.parts) && isTopCount(list, k + 1)) listAfterCount = k + 2;
            out.parts.push_back({list[k].place(), kNoNode, context});
            if (isWord(token(list[k]), "DISTINCTROW")) tree_.additions.distinctRows = true;
            context = *next;
            // AS names one thing; after the next ',' the clause goes on.
            if (!isWord(token(list[k]), "AS")) clause = context;
            start = k + 1;
        }
        --depth_;
        return add(std::move(out));
    }

    // Whether the parts so far end with SELECT [DISTINCT | DISTINCTROW |
    // ALL]: where a TOP stands for Jet's TOP.
    bool opensList(const std::vector<Clauses::Part>& parts) const {
        const auto wordAt = [&](std::size_t back) -> const Token* {
            if (parts.size() < back || parts[parts.size() - back].expression != kNoNode) return nullptr;
            return &tokens_[parts[parts.size() - back].place.at];
        };
        const Token* last = wordAt(1);
        if (!last) return false;
        if (isWord(*last, "SELECT")) return true;
        const Token* before = wordAt(2);
        return detail::isQuantifier(*last) && before && isWord(*before, "SELECT");
    }

    // A number or date right after TOP: its count (a name there is TOP
    // used as a name).
    bool isTopCount(const std::vector<Item>& list, std::size_t k) const {
        if (k >= list.size() || list[k].group) return false;
        const TokenKind kind = token(list[k]).kind;
        return kind == TokenKind::Number || kind == TokenKind::Date;
    }

    // A clause word that is also the name of one of Jet's functions (Left,
    // Right, Asc): before a group it is the call, never the clause.
    static bool namesFunction(const Token& t) {
        return (isWord(t, "LEFT") || isWord(t, "RIGHT") || isWord(t, "ASC")) && jetFunction(t.text).has_value();
    }

    // The context after the item at k when it ends an expression (',' and
    // ';' go back to the clause's), or nothing. Left(, Right( and Asc( are functions.
    std::optional<Context> clauseAt(const std::vector<Item>& list, std::size_t k, Context clause) const {
        if (list[k].group) return std::nullopt;
        const Token& t = token(list[k]);
        if (isOp(t, ",") || isOp(t, ";")) return clause;
        if (namesFunction(t) && k + 1 < list.size() && list[k + 1].group) return std::nullopt;
        return clauseContext(t);
    }

    Index asWritten(const std::vector<Item>& list, std::size_t from, std::size_t to, Context context) {
        Written out;
        out.items.reserve(to - from);
        for (std::size_t k = from; k < to; ++k)
            out.items.push_back({list[k].place(), list[k].group ? group(list[k], context, false) : kNoNode});
        return add(std::move(out));
    }

    Atom atom(const Item& item, Atom::Role role) const { return {item.place(), role, literal_[item.at]}; }

    // The one token of a segment: a name, a literal or something kept.
    Atom lone(const Item& item) const {
        const Token& t = token(item);
        if (isWord(t, "NULL")) return atom(item, Atom::Role::Null);
        if (isName(t)) return atom(item, Atom::Role::Name);
        if (isOp(t, "?")) return atom(item, Atom::Role::Parameter);
        const bool literal = t.kind == TokenKind::Number || t.kind == TokenKind::String || t.kind == TokenKind::Date ||
                             t.text == "-1" || t.text == "0";
        return atom(item, literal ? Atom::Role::Literal : Atom::Role::Other);
    }

    Index segment(const std::vector<Item>& list, std::size_t from, std::size_t to, Context context) {
        if (context == Context::Names) return asWritten(list, from, to, Context::Names);
        if (to - from == 1 && !list[from].group) return add(lone(list[from]));
        const std::size_t mark = tree_.nodes.size();
        std::size_t exprFrom = from;
        Index target = kNoNode;
        if (context == Context::Assign) {
            std::size_t eq = from;
            while (eq < to && !(!list[eq].group && isOp(token(list[eq]), "="))) ++eq;
            if (eq + 1 >= to) return asWritten(list, from, to, Context::Value);
            target = asWritten(list, from, eq + 1, Context::Value);
            exprFrom = eq + 1;
        }
        Cursor c{list, exprFrom, to};
        const Index p = expression(c, kImp);
        if (p == kNoNode || c.pos != to) {
            tree_.nodes.resize(mark);  // what the failed parse built
            return asWritten(list, from, to, Context::Value);
        }
        if (context != Context::Assign) return p;
        return add(Assignment{target, list[exprFrom].place(), p});
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
    Place place(const Cursor& c, std::size_t k) const { return c.list[k].place(); }

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

    Index expression(Cursor& c, int level) {
        switch (level) {
        case kNot: return notLevel(c);
        case kCompare: return compareLevel(c);
        case kConcat: return concatLevel(c);
        case kNegate: return negateLevel(c);
        case kPower: return powerLevel(c, std::nullopt);
        default: break;
        }
        const Index x = expression(c, level + 1);
        if (x == kNoNode || !binaryOperator(c, level)) return x;
        Chain chain{x, {}};
        while (const std::optional<std::string_view> function = binaryOperator(c, level)) {
            const std::size_t op = c.pos++;
            const std::size_t rightAt = c.pos;
            if (rightAt >= c.end) return kNoNode;
            const Index y = expression(c, level + 1);
            if (y == kNoNode) return kNoNode;
            chain.steps.push_back({place(c, op), place(c, rightAt), *function, level == kOr, y});
        }
        return add(std::move(chain));
    }

    Index notLevel(Cursor& c) {
        std::vector<std::size_t> nots;
        while (atWord(c, "NOT")) nots.push_back(c.pos++);
        const Index x = expression(c, kCompare);
        if (x == kNoNode || nots.empty()) return x;
        Not out;
        out.words.reserve(nots.size());
        for (std::size_t k : nots) out.words.push_back({place(c, k), place(c, k + 1)});
        out.operand = x;
        return add(std::move(out));
    }

    Index compareLevel(Cursor& c) {
        Index x = expression(c, kConcat);
        if (x == kNoNode) return x;
        Compare out{x, {}};
        for (;;) {
            const Token* t = at(c);
            if (!t) break;
            static constexpr std::array<std::string_view, 8> comparisons = {"=", "<>", "<", ">", "<=", ">=", "==", "!="};
            const bool comparison = t->kind == TokenKind::Op &&
                                    std::find(comparisons.begin(), comparisons.end(), t->text) != comparisons.end();
            const bool negated = isWord(*t, "NOT") && (atWord(c, "LIKE", 1) || atWord(c, "BETWEEN", 1) || atWord(c, "IN", 1));
            const Token* word = negated ? at(c, 1) : t;
            if (!comparison && !isWord(*word, "LIKE") && !isWord(*word, "IS") && !isWord(*word, "BETWEEN") &&
                !isWord(*word, "IN"))
                break;
            Compare::Step step{};
            step.op = place(c, c.pos);
            step.negated = negated;
            if (negated) step.notWord = place(c, c.pos + 1);
            c.pos += negated ? 2 : 1;
            if (comparison || isWord(*word, "LIKE") || isWord(*word, "IS")) {
                step.kind = comparison ? Compare::Kind::Comparison
                                       : isWord(*word, "LIKE") ? Compare::Kind::Like : Compare::Kind::Is;
                if (isWord(*word, "IS") && atWord(c, "NOT")) {  // x Is Not Null
                    step.isNot = true;
                    step.notWord = place(c, c.pos++);
                }
                if (c.pos >= c.end) return kNoNode;
                step.rightStart = place(c, c.pos);
                step.right = expression(c, kConcat);
                if (step.right == kNoNode) return kNoNode;
                if (isWord(*word, "LIKE") && atWord(c, "ESCAPE")) {
                    step.escaped = true;
                    step.escapeWord = place(c, c.pos++);
                    if (c.pos >= c.end) return kNoNode;
                    step.escapeStart = place(c, c.pos);
                    step.escape = expression(c, kConcat);
                    if (step.escape == kNoNode) return kNoNode;
                }
            } else if (isWord(*word, "BETWEEN")) {
                step.kind = Compare::Kind::Between;
                if (c.pos >= c.end) return kNoNode;
                const std::size_t low = c.pos;
                step.rightStart = place(c, c.pos);
                step.right = expression(c, kConcat);
                if (step.right == kNoNode || !atWord(c, "AND")) return kNoNode;
                step.andWord = place(c, c.pos++);
                if (c.pos >= c.end) return kNoNode;
                step.highStart = place(c, c.pos);
                step.high = expression(c, kConcat);
                if (step.high == kNoNode) return kNoNode;
                // Each bound is written twice (lumo_low, lumo_high): a
                // parameter in one makes the statement's parameters numbered.
                for (std::size_t i = c.list[low].at; i < c.list[c.pos - 1].end && !tree_.additions.numbered; ++i)
                    tree_.additions.numbered = isOp(tokens_[i], "?");
            } else {  // In
                step.kind = Compare::Kind::In;
                if (c.pos >= c.end || !c.list[c.pos].group) return kNoNode;
                const Item& list = c.list[c.pos++];
                step.rightStart = list.place();
                step.right = inList(list);
            }
            out.steps.push_back(step);
        }
        if (out.steps.empty()) return x;
        return add(std::move(out));
    }

    // The list after In. Jet compares the value with each entry and a Null
    // entry matches nothing, so 37 In (23, Null, 45) is False where
    // SQLite's In would be Null: the Null entries are left out. A list
    // without one, and a subquery, stay a group as written.
    Index inList(const Item& item) {
        // Long lists of values are common (IN lists of thousands of keys):
        // a look at the bare tokens first, before anything is built.
        bool any = false;
        for (std::size_t i = item.at + 1; i < item.end && !any; ++i)
            any = tokens_[i].kind == TokenKind::Word && isWord(tokens_[i], "NULL");
        if (!any) return group(item, Context::Value, false);
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
        if (!nulls) return group(item, Context::Value, false);
        enter();
        InList out;
        for (const auto& [from, to] : entries) {
            if (to == from + 1 && !list[from].group && isWord(token(list[from]), "NULL")) continue;
            out.entries.push_back(to > from ? segment(list, from, to, Context::Value) : kNoNode);
        }
        --depth_;
        return add(std::move(out));
    }

    Index concatLevel(Cursor& c) {
        const Index x = expression(c, kAddSub);
        if (x == kNoNode || !atOp(c, "&")) return x;
        Concat out{{x}};
        while (atOp(c, "&")) {
            ++c.pos;
            const Index y = expression(c, kAddSub);
            if (y == kNoNode) return kNoNode;
            out.operands.push_back(y);
        }
        return add(std::move(out));
    }

    Index negateLevel(Cursor& c) {
        std::vector<std::size_t> found;
        while (atOp(c, "-") || atOp(c, "+")) found.push_back(c.pos++);
        // A sign written directly before a number belongs to the number, as
        // Jet reads it: -10^2 is (-10)^2, while -(10)^2 and - 10^2 are not.
        std::optional<std::size_t> numberSign;
        if (!found.empty() && signedNumberAt(c, found.back())) {
            numberSign = found.back();
            found.pop_back();
        }
        const Index x = powerLevel(c, numberSign);
        return x == kNoNode ? x : signs(c, found, x);
    }

    // Whether the sign at item `sign` touches the number literal (or the
    // parameter a number or date literal became) at the cursor.
    bool signedNumberAt(const Cursor& c, std::size_t sign) const {
        const Token* t = at(c);
        if (!t || c.list[c.pos].lead != c.list[c.pos].at || sign + 1 != c.pos) return false;
        return t->kind == TokenKind::Number || t->kind == TokenKind::Date || isOp(*t, "?");
    }

    Index signs(const Cursor& c, const std::vector<std::size_t>& found, Index operand) {
        if (found.empty()) return operand;
        Signs out;
        out.signs.reserve(found.size());
        for (std::size_t k : found) out.signs.push_back({place(c, k), place(c, k + 1)});
        out.operand = operand;
        return add(std::move(out));
    }

    // With `numberSign`, the sign before the first operand is part of it.
    Index powerLevel(Cursor& c, std::optional<std::size_t> numberSign) {
        const Index x = primary(c);
        if (x == kNoNode) return x;
        if (!numberSign && !atOp(c, "^")) return x;
        Power out{x, numberSign.has_value(), numberSign ? place(c, *numberSign) : Place{}, {}};
        while (atOp(c, "^")) {
            ++c.pos;
            std::vector<std::size_t> found;  // 2 ^ -1
            while (atOp(c, "-") || atOp(c, "+")) found.push_back(c.pos++);
            const Index y = primary(c);
            if (y == kNoNode) return kNoNode;
            out.exponents.push_back(signs(c, found, y));
        }
        return add(std::move(out));
    }

    Index primary(Cursor& c) {
        if (c.pos >= c.end) return kNoNode;
        const Item& item = c.list[c.pos];
        if (item.group) {
            ++c.pos;
            std::size_t k = item.at + 1;
            while (k < item.end && tokens_[k].kind == TokenKind::Space) ++k;
            const bool query = k < item.end && (isWord(tokens_[k], "SELECT") || isWord(tokens_[k], "WITH"));
            return group(item, Context::Value, !query);
        }
        const Token& t = token(item);
        if (isWord(t, "NOT")) {  // Not where an operand stands: a = Not b
            enter();
            const Index x = notLevel(c);
            --depth_;
            return x;
        }
        if (isWord(t, "EXISTS") && c.pos + 1 < c.end && c.list[c.pos + 1].group) {
            const Index query = group(c.list[c.pos + 1], Context::Value, false);
            c.pos += 2;
            return add(Exists{item.place(), query});
        }
        // Left(, Right( and Asc( are Jet's functions, not the clause words.
        const bool function = namesFunction(t) && c.pos + 1 < c.end && c.list[c.pos + 1].group;
        if (!function && (isOperatorWord(t) || clauseContext(t))) return kNoNode;
        ++c.pos;
        if (isWord(t, "NULL")) return add(atom(item, Atom::Role::Null));
        if (!isName(t)) {
            if (t.kind == TokenKind::Op && t.text != "?" && t.text != "-1" && t.text != "0" && t.text != "*") return kNoNode;
            return add(lone(item));
        }
        // A name, qualified or not, or a function call.
        std::vector<Place> rest;
        while (atOp(c, ".") && at(c, 1) && (isName(*at(c, 1)) || isOp(*at(c, 1), "*"))) {
            rest.push_back(place(c, c.pos));
            rest.push_back(place(c, c.pos + 1));
            c.pos += 2;
        }
        if (!rest.empty()) return add(QualifiedName{item.place(), std::move(rest)});
        if (t.kind == TokenKind::Word && c.pos < c.end && c.list[c.pos].group) {
            const std::optional<JetFunction> jet = jetFunction(t.text);
            const Index arguments = group(c.list[c.pos++], Context::Value, false);
            return add(Call{item.place(), jet ? jet->sqliteName : std::string_view(t.text), jet ? jet->entry : nullptr,
                            arguments});
        }
        return add(atom(item, Atom::Role::Name));
    }

    Tree& tree_;
    const std::vector<Token>& tokens_;
    std::vector<std::size_t> close_;  // per '(': its ')', or the end for one never closed
    std::vector<Index> literal_;      // per '?' token its place among them
    int depth_ = 0;
};

}  // namespace

Tree parseJetTree(std::vector<detail::Token>& tokens) {
    Tree tree{tokens, {}, kNoNode, {}, {}};
    tree.nodes.reserve(tokens.size() / 2 + 4);
    tree.root = Parser(tree).statement();
    return tree;
}

}  // namespace lumo::db::tree
