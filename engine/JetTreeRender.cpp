// The renderer of JetTree.h: the one place that writes a statement's tree
// as SQLite's text, with Jet's operators as JetExpression.h lists them.
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "JetTree.h"
#include "TopRows.h"
#include "engine/JetSql.h"
#include "platform/Error.h"
#include "engine/LikeFunction.h"
#include "engine/functions/FunctionCall.h"

namespace lumo::db::tree {
namespace {

using detail::Token;

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

Piece call(std::string_view function, std::initializer_list<const Piece*> arguments) {
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

// Writes one tree; lives for one rendering.
class Renderer {
public:
    Renderer(const Tree& tree, const RenderOptions& options)
        : tree_(tree),
          tokens_(tree.tokens),
          typeOfNode_(options.typeOfNode),
          narrowed_(options.narrowed),
          numbered_(options.numbered) {
        if (!options.numbered && tree.additions.tops.empty()) return;
        // Each anonymous '?' gets the number SQLite would give it; a "?N"
        // stays as written. TOP's copies write their parameters numbered.
        parameter_.assign(tokens_.size(), 0);
        std::size_t written = 0;
        for (const Token& t : tokens_) written += t.text.size();
        copyBound_ = topGrowthBound(written);
        detail::ParameterNumbers numbers;
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            const std::size_t n = numbers.next(tokens_[i]);
            if (detail::isOp(tokens_[i], "?")) parameter_[i] = n;
        }
    }

    RenderedSql statement() {
        RenderedSql out{render(tree_.root).text, rowIdentityAt_};
        if (tree_.additions.finishedRowsAfter != kNoNode) out.text += " LIMIT -1)";
        return out;
    }

    // One node. The parser has given each expression its clause's
    // context already.
    Piece render(Index node) {
        if (!tree_.additions.tops.empty() && std::holds_alternative<Clauses>(tree_.nodes[node]))
            for (const TopRows& top : tree_.additions.tops)
                if (top.level == node) return drawTop(std::get<Clauses>(tree_.nodes[node]), top);
        return std::visit([this](const auto& n) { return this->draw(n); }, tree_.nodes[node]);
    }

private:
    void appendSpaces(std::string& out, Index from, Index to) const {
        for (Index i = from; i < to; ++i) out += tokens_[i].text;
    }
    void appendLead(std::string& out, Place p) const { appendSpaces(out, p.lead, p.at); }
    // The token and the white space before it, as written.
    void appendOperator(std::string& out, Place p) const {
        appendLead(out, p);
        out += tokens_[p.at].text;
    }

    bool numberedAt(Index i) const { return (numbered_ || copying_ > 0) && !parameter_.empty() && parameter_[i] > 0; }

    std::string tokenText(Index i) const {
        if (numberedAt(i)) return "?" + std::to_string(parameter_[i]);
        return tokens_[i].text;
    }

    void appendToken(std::string& out, Index i) const {
        if (numberedAt(i)) append(out, "?" + std::to_string(parameter_[i]));
        else append(out, tokens_[i].text);
    }

    Piece draw(const Atom& a) {
        const Token& t = tokens_[a.place.at];
        Piece p{tokenText(a.place.at)};
        p.column = a.role == Atom::Role::Name;
        p.literal = (a.role == Atom::Role::Literal || a.role == Atom::Role::Parameter) && t.kind != detail::TokenKind::String;
        return p;
    }

    Piece draw(const QualifiedName& n) {
        Piece p{tokens_[n.first.at].text};
        p.column = true;
        for (const Place& part : n.rest) appendOperator(p.text, part);
        return p;
    }

    Piece draw(const Call& f) {
        if (f.entry && f.entry->choosesBranch)
            if (std::optional<Piece> p = drawBranches(f)) return std::move(*p);
        Piece p{std::string(f.sqliteName)};
        // A chain function written in the statement gives a truth, as the
        // chain it stands for.
        p.truth = isLikeChainCall(tokens_[f.name.at].text);
        const Group& g = std::get<Group>(tree_.nodes[f.arguments]);
        appendLead(p.text, g.open);
        if (f.entry && typeOfNode_) dateArguments_ = &std::get<Clauses>(tree_.nodes[g.inner]);
        p.text += render(f.arguments).text;
        if (f.entry && f.entry->takesArgumentType) appendArgumentType(p.text, g);
        return p;
    }

    // IIf(c, a, b) as CASE WHEN IIf(c, 1, 0) THEN a ELSE b END: the
    // function's own reading of the condition (a Null is False, a text
    // that is not a number a type mismatch), and only the chosen branch
    // worked out. nullopt for a call without exactly three arguments,
    // which the function itself refuses.
    std::optional<Piece> drawBranches(const Call& f) {
        const Group& g = std::get<Group>(tree_.nodes[f.arguments]);
        const auto& parts = std::get<Clauses>(tree_.nodes[g.inner]).parts;
        if (!g.closed || parts.size() != 5 || parts[0].expression == kNoNode || parts[2].expression == kNoNode ||
            parts[4].expression == kNoNode || !detail::isOp(tokens_[parts[1].place.at], ",") ||
            !detail::isOp(tokens_[parts[3].place.at], ","))
            return std::nullopt;
        Piece p{"CASE WHEN "};
        p.text += f.sqliteName;
        p.text += '(';
        p.text += argumentText(parts[0].expression);
        p.text += ", 1, 0) THEN ";
        p.text += argumentText(parts[2].expression);
        p.text += " ELSE ";
        p.text += argumentText(parts[4].expression);
        p.text += " END";
        return p;
    }

    // One argument of a Jet function as a value, a date tagged as a date.
    std::string argumentText(Index node) {
        Piece p = value(render(node));
        if (!typeOfNode_ || !isDateArgument(node)) return std::move(p.text);
        return "lumo_date(" + p.text + ")";
    }

    // VarType(True): the argument's type, where the tree knows it and
    // SQLite's value would not tell it, as a second argument.
    void appendArgumentType(std::string& text, const Group& g) const {
        const auto& parts = std::get<Clauses>(tree_.nodes[g.inner]).parts;
        if (!typeOfNode_ || !g.closed || parts.size() != 1 || parts[0].expression == kNoNode) return;
        unsigned subtype = 0;
        switch (typeOfNode_(parts[0].expression)) {
        case JetType::Boolean: subtype = jet::kBooleanSubtype; break;
        case JetType::Date: subtype = jet::kDateSubtype; break;
        case JetType::Currency: subtype = jet::kCurrencySubtype; break;
        default:
            // A number written as it stands: Jet types it by its size. Only
            // the lone literal is told, so that every text of the shape
            // (1, 40000, 1.5, 'a') gets the same translation.
            if (!isLoneLiteral(parts[0].expression)) return;
            subtype = jet::kIntegerSubtype;
        }
        text.insert(text.size() - 1, ", " + std::to_string(subtype));
    }

    // A literal or the parameter it became, with signs before it or not.
    bool isLoneLiteral(Index node) const {
        if (const Signs* s = std::get_if<Signs>(&tree_.nodes[node])) node = s->operand;
        if (const Power* p = std::get_if<Power>(&tree_.nodes[node]); p && p->exponents.empty()) node = p->base;
        const Atom* a = std::get_if<Atom>(&tree_.nodes[node]);
        return a && (a->role == Atom::Role::Literal || a->role == Atom::Role::Parameter);
    }

    Piece draw(const Exists& e) {
        Piece p{tokens_[e.word.at].text, true};
        appendLead(p.text, std::get<Group>(tree_.nodes[e.query]).open);
        p.text += render(e.query).text;
        return p;
    }

    Piece draw(const Group& g) {
        Piece inner = render(g.inner);
        inner.text = "(" + std::move(inner.text) + (g.closed ? ")" : "");
        inner.group = true;
        inner.literal = false;
        return inner;
    }

    // Whether an argument of a Jet function is a date (a date literal, a
    // Date/Time column, a date plus a number, ...: JetTypes.h): SQLite
    // holds it as a number, so it is handed on tagged as a date
    // (JetDateColumns.h), and IsDate, Format and CStr see a date
    // (Format(BIRTHDAY + 1) shows the day after).
    bool isDateArgument(Index node) const {
        return typeOfNode_(node) == JetType::Date;
    }

    // Parts a pass has reordered (the search joins turn a FROM clause
    // round) may meet without the blank written between them: two words
    // touching would read as one.
    static bool isWordEnd(char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
               static_cast<unsigned char>(c) >= 0x80;
    }
    void separate(std::string& out, const Clauses::Part& part) const {
        if (part.place.lead != part.place.at || out.empty() || !isWordEnd(out.back())) return;
        const Index first = part.expression == kNoNode ? part.place.at : firstToken(part.expression);
        if (first < tokens_.size() && !tokens_[first].text.empty() && isWordEnd(tokens_[first].text.front()))
            out += ' ';
    }
    // The first token a part's expression writes, for `separate`; only the
    // FROM clause's parts move, which are names, groups and conditions.
    Index firstToken(Index node) const {
        const Node& n = tree_.nodes[node];
        if (const Written* w = std::get_if<Written>(&n)) return w->items.empty() ? kNoNode : w->items[0].place.at;
        if (const Atom* a = std::get_if<Atom>(&n)) return a->place.at;
        if (const QualifiedName* q = std::get_if<QualifiedName>(&n)) return q->first.at;
        return kNoNode;
    }

    // A clause word, or an expression of a level with words (not one
    // standing as an operand), after the white space written before it.
    void writePart(std::string& out, const Clauses::Part& part) {
        if (part.expression == kNoNode) {
            // The outer level's own text is the statement's: where the row
            // identity goes in it is where it goes in the whole.
            if (copying_ == 0 && part.place.at == tree_.additions.rowIdentityBefore) rowIdentityAt_ = out.size();
            for (const Additions::RowGroups& g : tree_.additions.rowGroups)
                if (g.beforeWord == part.place.at) out.append("GROUP BY ").append(g.keys).append(" ");
            out += tokenText(part.place.at);
            if (part.place.at == tree_.additions.finishedRowsAfter) out += " * FROM (SELECT";
            return;
        }
        // The common part, a lone name or literal (thousands in an In
        // list): its token as it stands, without a Piece of its own.
        const Node& node = tree_.nodes[part.expression];
        if (std::holds_alternative<Atom>(node)) {
            appendToken(out, std::get<Atom>(node).place.at);
            return;
        }
        Piece p = render(part.expression);
        if (part.context == Context::Value) p = value(std::move(p));
        append(out, p.text);
    }

    // The parts [from, to) of a level; the first without the white space
    // before it unless `lead`.
    void writeParts(std::string& out, const Clauses& level, std::size_t from, std::size_t to, bool lead) {
        for (std::size_t k = from; k < to; ++k) {
            const Clauses::Part& part = level.parts[k];
            if (k > from || lead) {
                appendLead(out, part.place);
                separate(out, part);
            }
            writePart(out, part);
        }
    }

    Piece draw(const Clauses& level) {
        Piece out;
        const bool whole = level.operand && level.parts.size() == 1 && level.parts[0].expression != kNoNode;
        const bool dateArguments = std::exchange(dateArguments_, nullptr) == &level;
        bool words = false;
        for (const Clauses::Part& part : level.parts) {
            appendLead(out.text, part.place);
            separate(out.text, part);
            words = words || part.expression == kNoNode;
            if (part.expression != kNoNode && dateArguments && isDateArgument(part.expression)) {
                append(out.text, argumentText(part.expression));
            } else if (whole) {
                Piece p = render(part.expression);
                p.text = std::move(out.text) + p.text;
                out = std::move(p);
            } else {
                writePart(out.text, part);
            }
        }
        if (words || !level.operand) out = Piece{std::move(out.text)};
        for (const Additions::RowGroups& g : tree_.additions.rowGroups)
            if (g.beforeWord == kNoNode && &std::get<Clauses>(tree_.nodes[g.level]) == &level)
                out.text.append(" GROUP BY ").append(g.keys);
        appendSpaces(out.text, level.trail, level.end);
        return out;
    }

    // ---- Jet's TOP (TopRows.h) ----

    // The parts of `range` written again, every parameter numbered.
    void writeCopy(std::string& out, const Clauses& level, TopRows::Range range) {
        const std::size_t before = out.size();
        ++copying_;
        writeParts(out, level, range.first, range.second, false);
        --copying_;
        copied_ += out.size() - before;
        if (copied_ > copyBound_) throw Error("クエリが複雑すぎます。TOP のある SELECT の並べ替えの列が多すぎます。");
    }

    void writeDirection(std::string& out, const Clauses& level, TopRows::Range words) {
        if (words.first == words.second) return;
        out += ' ';
        writeCopy(out, level, words);
    }

    Piece drawTop(const Clauses& level, const TopRows& top) {
        std::string out;
        writeParts(out, level, 0, top.select + 1, true);
        const std::string count = tokens_[top.count].text;
        if (top.ranked) {
            writeRankedRows(out, level, top);
        } else {
            writeParts(out, level, top.select + 1, top.top, true);
            appendLead(out, level.parts[top.top].place);
            writeParts(out, level, top.body, top.bodyEnd, false);
            if (top.counted) {
                out += " LIMIT (SELECT count(*) FROM (SELECT ";
                writeRanked(out, level, top, false);
                out += ')';
            } else {
                out += " LIMIT " + count;  // nothing ties: n rows, as written without "TOP n"
            }
        }
        writeParts(out, level, top.bodyEnd, level.parts.size(), true);
        appendSpaces(out, level.trail, level.end);
        return Piece{std::move(out)};
    }

    // In a subquery, which may refer to the query around it: the rows
    // themselves, ranked, each item under the name it had.
    //   SELECT __lumo_c1 AS A, ... FROM (SELECT *, rank() ... FROM (SELECT
    //   [DISTINCT] a AS __lumo_c1, ..., k1 AS __lumo_k1 rest)) WHERE ...
    //   ORDER BY __lumo_k1 ...
    void writeRankedRows(std::string& out, const Clauses& level, const TopRows& top) {
        for (std::size_t k = 0; k < top.items.size(); ++k) {
            out += (k ? ", __lumo_c" : " __lumo_c") + std::to_string(k + 1);
            if (!top.items[k].name.empty()) out += " AS " + top.items[k].name;
        }
        out += " FROM (SELECT *, ";
        writeRanked(out, level, top, true);
        for (std::size_t k = 0; k < top.keys.size(); ++k) {
            out += (k ? ", __lumo_k" : " ORDER BY __lumo_k") + std::to_string(k + 1);
            writeDirection(out, level, top.keys[k].direction);
        }
    }

    // "<window> AS __lumo_rank[, <share>] FROM (SELECT [DISTINCT] <list>,
    // <keys> <rest>)) WHERE <the rank is within n>"; with `named`, each
    // item of the list is called __lumo_cN.
    void writeRanked(std::string& out, const Clauses& level, const TopRows& top, bool named) {
        if (top.keys.empty()) {
            out += "row_number() OVER ()";
        } else {
            out += "rank() OVER (ORDER BY ";
            for (std::size_t k = 0; k < top.keys.size(); ++k) {
                out += (k ? ", __lumo_k" : "__lumo_k") + std::to_string(k + 1);
                writeDirection(out, level, top.keys[k].direction);
            }
            out += ')';
        }
        out += " AS __lumo_rank";
        // A rank r is within the first share s of the rows, rounded up, when
        // r < s + 1 (written beside the window, it stays SQLite's own +).
        const std::string count = tokens_[top.count].text;
        if (top.percent) out += ", count(*) OVER () * " + count + " / 100.0 + 1 AS __lumo_share";
        out += " FROM (SELECT ";
        if (top.quantifier != top.select) out += tokenText(level.parts[top.quantifier].place.at) + " ";
        for (std::size_t k = 0; k < top.items.size(); ++k) {
            if (k) out += ", ";
            writeCopy(out, level, named ? top.items[k].expression : top.items[k].whole);
            if (named) out += " AS __lumo_c" + std::to_string(k + 1);
        }
        if (top.items.empty()) out += '1';
        for (std::size_t k = 0; k < top.keys.size(); ++k) {
            out += ", ";
            writeCopy(out, level, top.keys[k].expression);
            out += " AS __lumo_k" + std::to_string(k + 1);
        }
        if (top.rest.first < top.rest.second) {
            out += ' ';
            writeCopy(out, level, top.rest);
        }
        out += top.percent ? ")) WHERE __lumo_rank < __lumo_share" : ")) WHERE __lumo_rank <= " + count;
    }

    Piece draw(const Written& w) {
        Piece out;
        bool first = true;
        for (const Written::Item& item : w.items) {
            if (!first) appendLead(out.text, item.place);
            first = false;
            if (item.group != kNoNode) append(out.text, render(item.group).text);
            else appendToken(out.text, item.place.at);
            if (item.place.at == tree_.additions.notIndexedAfter && copying_ == 0) out.text += " NOT INDEXED";
        }
        return out;
    }

    Piece draw(const Assignment& a) {
        Piece target = render(a.target);
        appendLead(target.text, a.valueStart);
        append(target.text, value(render(a.value)).text);
        return target;
    }

    Piece draw(const Chain& chain) {
        // A chain a op b op c ... is written in one pass: wrapping the text
        // so far at every step would copy it once per operator.
        Piece x = render(chain.first);
        struct Step {
            std::string_view function;  // "" for And / Or of truths
            bool truthBefore;           // the text so far is a truth
            Piece right;
        };
        std::vector<Step> steps;
        steps.reserve(chain.steps.size());
        bool truth = x.truth;
        for (const Chain::Step& s : chain.steps) {
            Piece y = render(s.right);
            const bool native = s.function.empty() && truth && y.truth;
            const std::string_view name = !s.function.empty() ? s.function : s.isOr ? "lumo_or" : "lumo_and";
            steps.push_back({native ? std::string_view() : name, truth, std::move(y)});
            truth = native;
        }
        std::string text;
        for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
            if (it->function.empty()) continue;
            text += it->function;
            text += it->truthBefore ? "(-(" : "(";
        }
        append(text, x.text);
        for (std::size_t k = 0; k < steps.size(); ++k) {
            Step& step = steps[k];
            if (step.function.empty()) {
                appendOperator(text, chain.steps[k].op);
                appendLead(text, chain.steps[k].rightStart);
                append(text, step.right.text);
                continue;
            }
            text += step.truthBefore ? "), " : ", ";
            text += value(std::move(step.right)).text;
            text += ')';
        }
        return Piece{std::move(text), truth};
    }

    Piece draw(const Not& n) {
        Piece x = render(n.operand);
        for (auto it = n.words.rbegin(); it != n.words.rend(); ++it) {
            if (x.truth) {
                std::string text = tokens_[it->word.at].text;
                appendLead(text, it->next);
                append(text, x.text);
                x = Piece{std::move(text), true};
            } else {
                x = call("lumo_not", {&x});
            }
        }
        return x;
    }

    Piece draw(const Compare& compare) {
        Piece x = render(compare.first);
        for (const Compare::Step& s : compare.steps) {
            Piece left = value(std::move(x));
            std::string text = std::move(left.text);
            const auto appendOperatorWords = [&] {
                appendOperator(text, s.op);
                if (s.negated) appendOperator(text, s.notWord);
            };
            switch (s.kind) {
            case Compare::Kind::Comparison:
            case Compare::Kind::Like:
            case Compare::Kind::Is: {
                Piece right = value(render(s.right));
                // Text compares ignoring case unless a column brings its own collation.
                if (s.kind == Compare::Kind::Comparison && !left.column && !right.column) right.text += " COLLATE NOCASE";
                appendOperatorWords();
                if (s.isNot) appendOperator(text, s.notWord);
                appendLead(text, s.rightStart);
                append(text, right.text);
                if (s.escaped) {
                    Piece e = value(render(s.escape));
                    appendOperator(text, s.escapeWord);
                    appendLead(text, s.escapeStart);
                    append(text, e.text);
                }
                break;
            }
            case Compare::Kind::Between: {
                const Piece a = value(render(s.right)), b = value(render(s.high));
                if (!left.column) text += " COLLATE NOCASE";
                appendOperatorWords();
                appendLead(text, s.rightStart);
                text += call("lumo_low", {&a, &b}).text;
                appendOperator(text, s.andWord);
                appendLead(text, s.highStart);
                text += call("lumo_high", {&a, &b}).text;
                break;
            }
            case Compare::Kind::In:
                if (!left.column) text += " COLLATE NOCASE";
                appendOperatorWords();
                appendLead(text, s.rightStart);
                text += render(s.right).text;
                break;
            }
            x = Piece{std::move(text), true};
        }
        return x;
    }

    Piece draw(const Converted& c) {
        const Piece x = value(render(c.operand));
        switch (c.to) {
        case Converted::To::WholeNumber: return call("lumo_whole", {&x});
        }
        return x;
    }

    // A truth, as the chain it stands for: And and Or around it stay SQLite's.
    Piece draw(const LikeChain& chain) {
        Piece p{std::string(chain.oneColumn ? kLikeAnyFunction : kLikePairsFunction) + "(", true};
        for (std::size_t k = 0; k < chain.operands.size(); ++k) {
            if (k > 0) p.text += ", ";
            p.text += render(chain.operands[k]).text;
        }
        p.text += ')';
        return p;
    }

    Piece draw(const KeysNarrowing& n) {
        // Each test is written a second time in its subquery: the pass has
        // marked the statement's parameters numbered.
        std::string text = "(";
        text += render(n.condition).text;
        text += ") AND (";
        for (std::size_t k = 0; k < n.keys.size(); ++k) {
            const KeysNarrowing::Keys& keys = n.keys[k];
            if (k > 0) text += " OR ";
            text += render(keys.column).text;
            text += " IN (SELECT ";
            text += render(keys.key).text;
            text += " FROM ";
            text += tokens_[keys.table.at].text;
            if (keys.alias.at != kNoNode) {
                text += keys.as ? " AS " : " ";
                text += tokens_[keys.alias.at].text;
            }
            text += " WHERE ";
            for (std::size_t t = 0; t < keys.tests.size(); ++t) {
                if (t > 0) text += " OR ";
                text += render(keys.tests[t]).text;
            }
            text += ')';
        }
        text += ')';
        return Piece{std::move(text), true};
    }

    Piece draw(const IndexNarrowing& n) {
        Piece condition = render(n.condition);
        if (!narrowed_) return condition;
        std::string text = "(" + std::move(condition.text) + ") AND ";
        text += tokens_[n.qualifier.at].text;
        text += '.';
        text += n.key;
        text += " IN (SELECT rowid FROM ";
        text += n.words;
        text += " WHERE ";
        text += n.words;
        text += " MATCH ?";
        text += std::to_string(n.parameter);
        text += " UNION ALL SELECT ";
        text += n.key;
        text += " FROM ";
        text += n.unindexed;
        text += ')';
        return Piece{std::move(text), true};
    }

    Piece draw(const InList& list) {
        std::string text = "(";
        for (const Index entry : list.entries) {
            if (text.size() > 1) text += ", ";
            if (entry != kNoNode) append(text, value(render(entry)).text);
        }
        return Piece{text + ")"};
    }

    Piece draw(const Concat& c) {
        Piece out{"lumo_concat("};
        bool first = true;
        for (const Index operand : c.operands) {
            if (!first) out.text += ", ";
            first = false;
            // A date joins as its text ('x' & #2003/11/22# is x2003/11/22).
            const bool date = typeOfNode_ && isDateArgument(operand);
            if (date) out.text += "lumo_date(";
            out.text += value(render(operand)).text;
            if (date) out.text += ')';
        }
        out.text += ')';
        return out;
    }

    // Unary signs, innermost first. A minus before a number literal stays
    // SQLite's (-1 is a number either way); before anything else, a text
    // literal included, it is Jet's. A plus is nothing in either (+'abc'
    // stays the text), so it stays as written.
    Piece draw(const Signs& s) {
        Piece x = render(s.operand);
        std::vector<bool> jets(s.signs.size());
        bool literal = x.literal;
        for (std::size_t k = s.signs.size(); k-- > 0;) {
            jets[k] = tokens_[s.signs[k].sign.at].text == "-" && !literal;
            literal = false;
        }
        std::string text;
        for (std::size_t k = 0; k < s.signs.size(); ++k) {
            if (jets[k]) {
                text += "lumo_neg(";
                continue;
            }
            append(text, tokens_[s.signs[k].sign.at].text);
            appendLead(text, s.signs[k].next);
        }
        append(text, value(std::move(x)).text);
        for (std::size_t k = 0; k < s.signs.size(); ++k)
            if (jets[k]) text += ')';
        return Piece{std::move(text)};
    }

    Piece draw(const Power& p) {
        Piece x = render(p.base);
        if (p.signed_) {
            std::string text = tokens_[p.numberSign.at].text;
            append(text, x.text);
            x = Piece{std::move(text)};  // no longer a lone literal: a sign before it is Jet's
        }
        for (const Index exponent : p.exponents) {
            const Piece a = value(std::move(x)), b = value(render(exponent));
            x = call("lumo_pow", {&a, &b});
        }
        return x;
    }

    const Tree& tree_;
    const std::vector<Token>& tokens_;
    const NodeTypes& typeOfNode_;
    std::size_t rowIdentityAt_ = std::string::npos;
    bool narrowed_;
    bool numbered_;
    std::vector<std::size_t> parameter_;  // per '?' token its number, when numbered or copied
    // Inside TOP's copies (their parameters numbered), and how much they
    // have written.
    int copying_ = 0;
    std::size_t copied_ = 0, copyBound_ = 0;
    // The arguments of the Jet function being drawn, until they are.
    const Clauses* dateArguments_ = nullptr;
};

}  // namespace

RenderedSql renderJetTree(const Tree& tree, const RenderOptions& options) {
    return Renderer(tree, options).statement();
}

std::string RenderedSql::withRowIdentity(const Additions& additions) const {
    if (rowIdentityAt == std::string::npos) return text;
    std::string out = text.substr(0, rowIdentityAt);
    out += ", [";
    out += additions.rowIdentitySource;
    out += "]._rowid_ AS ";
    out += kRowidColumn;
    out += ' ';
    out.append(text, rowIdentityAt);
    return out;
}

}  // namespace lumo::db::tree
