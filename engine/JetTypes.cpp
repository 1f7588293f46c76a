#include "JetTypes.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "FromClause.h"
#include "engine/JetAggregates.h"
#include "engine/functions/FunctionCall.h"

namespace lumo::db::tree {
namespace {

using detail::isOp;
using detail::isWord;
using TokenKind = detail::TokenKind;

bool numeric(JetType t) {
    return t == JetType::Boolean || t == JetType::Integer || t == JetType::Long || t == JetType::Currency ||
           t == JetType::Double;
}

// The wider of two numeric types, as Jet widens the operands of + - *.
JetType wider(JetType a, JetType b) {
    const auto rank = [](JetType t) {
        switch (t) {
        case JetType::Boolean:
        case JetType::Integer: return 1;
        case JetType::Long: return 2;
        case JetType::Currency: return 3;
        default: return 4;  // Double
        }
    };
    const int r = std::max(rank(a), rank(b));
    return r == 1 ? JetType::Integer : r == 2 ? JetType::Long : r == 3 ? JetType::Currency : JetType::Double;
}

// a + b and a - b. A text beside a date is read as a number, as Jet
// reads it, so that a Date never depends on which kind of literal stands
// beside it (JetStatement::itemTypes).
JetType sum(JetType a, JetType b, bool minus) {
    if (a == JetType::Null || b == JetType::Null) return JetType::Null;
    if (a == JetType::Date && b == JetType::Date) return minus ? JetType::Double : JetType::Date;
    const auto number = [](JetType t) { return numeric(t) || t == JetType::Text; };
    if ((a == JetType::Date && number(b)) || (number(a) && b == JetType::Date && !minus)) return JetType::Date;
    if (!minus && a == JetType::Text && b == JetType::Text) return JetType::Text;
    if (numeric(a) && numeric(b)) return wider(a, b);
    return JetType::Unknown;
}

JetType typeOfSubtype(const jet::FunctionEntry& entry) {
    if (entry.textOnly) return JetType::Text;
    switch (entry.resultSubtype) {
    case jet::kDateSubtype: return JetType::Date;
    case jet::kIntegerSubtype:
    case jet::kByteSubtype: return JetType::Integer;
    case jet::kCurrencySubtype: return JetType::Currency;
    case jet::kBooleanSubtype: return JetType::Boolean;
    case jet::kSingleSubtype:
    case jet::kDecimalSubtype: return JetType::Double;
    default: return JetType::Unknown;
    }
}

class Types {
public:
    Types(const Tree& tree, std::span<const JetType> parameters, const DateNames& dateNames)
        : tree_(tree), parameters_(parameters), dateNames_(dateNames) {}

    JetType of(Index node) const {
        return std::visit([this](const auto& n) { return this->type(n); }, tree_.nodes[node]);
    }

private:
    const detail::Token& token(Place p) const { return tree_.tokens[p.at]; }

    JetType type(const Atom& a) const {
        const detail::Token& t = token(a.place);
        switch (a.role) {
        case Atom::Role::Null: return JetType::Null;
        case Atom::Role::Parameter:
            return a.literal >= 1 && a.literal <= parameters_.size() ? parameters_[a.literal - 1] : JetType::Unknown;
        case Atom::Role::Literal: return literalType(t);
        case Atom::Role::Name: return date({}, t);
        default: return JetType::Unknown;
        }
    }

    // A literal left in the statement (the display path keeps them all).
    static JetType literalType(const detail::Token& t) {
        if (t.kind == TokenKind::String) return JetType::Text;
        if (t.kind == TokenKind::Date) return JetType::Date;
        if (isOp(t, "-1") || isOp(t, "0")) return JetType::Boolean;  // True and False as the engine writes them
        if (t.kind != TokenKind::Number) return JetType::Unknown;
        if (t.text.find_first_of(".eE") != std::string::npos) return JetType::Double;
        const long long v = std::atoll(t.text.c_str());
        return v <= 32767 ? JetType::Integer : v <= 2147483647 ? JetType::Long : JetType::Double;
    }

    JetType type(const QualifiedName& q) const {
        // q.c: rest is the '.' and the column.
        return q.rest.size() == 2 ? date(detail::unquotedName(token(q.first)), token(q.rest[1])) : JetType::Unknown;
    }

    JetType date(std::string_view qualifier, const detail::Token& column) const {
        if (!dateNames_ || !detail::isName(column)) return JetType::Unknown;
        return dateNames_(qualifier, detail::unquotedName(column)) ? JetType::Date : JetType::Unknown;
    }

    JetType type(const Call& f) const {
        const auto& parts = std::get<Clauses>(tree_.nodes[std::get<Group>(tree_.nodes[f.arguments]).inner]).parts;
        if (!f.entry) return answersOneOfItsValues(token(f.name).text) ? sharedType(parts, 0) : JetType::Unknown;
        if (f.entry->choosesBranch) return sharedType(parts, 1);  // IIf: the type both branches have
        if (f.entry->keepsDate) {
            if (!parts.empty() && parts[0].expression != kNoNode && of(parts[0].expression) == JetType::Date)
                return JetType::Date;
        }
        return typeOfSubtype(*f.entry);
    }

    // The type every argument from the `first` on has, a Null among them
    // aside (IIf(c, BIRTHDAY, Null) is a date or Null); Unknown when they
    // differ or a part is not an argument.
    JetType sharedType(const std::vector<Clauses::Part>& arguments, std::size_t first) const {
        JetType shared = JetType::Null;
        std::size_t argument = 0;
        for (const Clauses::Part& part : arguments) {
            if (part.expression == kNoNode) {
                if (!isOp(tree_.tokens[part.place.at], ",")) return JetType::Unknown;
                continue;
            }
            if (argument++ < first) continue;
            const JetType t = of(part.expression);
            if (t == JetType::Null) continue;
            if (shared != JetType::Null && t != shared) return JetType::Unknown;
            shared = t;
        }
        return argument > first && shared != JetType::Null ? shared : JetType::Unknown;
    }
    JetType type(const Exists&) const { return JetType::Boolean; }
    JetType type(const Group& g) const { return of(g.inner); }
    JetType type(const Clauses& level) const {
        if (level.parts.size() != 1 || level.parts[0].expression == kNoNode) return JetType::Unknown;
        return of(level.parts[0].expression);
    }
    JetType type(const Written&) const { return JetType::Unknown; }
    JetType type(const Assignment&) const { return JetType::Unknown; }
    JetType type(const InList&) const { return JetType::Unknown; }
    JetType type(const Converted&) const { return JetType::Unknown; }
    JetType type(const LikeChain&) const { return JetType::Boolean; }
    JetType type(const KeysNarrowing&) const { return JetType::Boolean; }
    JetType type(const IndexNarrowing& n) const { return of(n.condition); }
    JetType type(const Compare&) const { return JetType::Boolean; }
    JetType type(const Concat&) const { return JetType::Text; }
    // A sign that belongs to a number leaves its type (-#2003/11/22# is a Date).
    JetType type(const Power& p) const { return p.exponents.empty() ? of(p.base) : JetType::Double; }

    JetType type(const Signs& s) const {
        const JetType t = of(s.operand);
        if (t == JetType::Boolean) return JetType::Integer;
        return numeric(t) || t == JetType::Date || t == JetType::Null ? t : JetType::Unknown;
    }

    JetType type(const Not& n) const {
        const JetType t = of(n.operand);
        if (t == JetType::Boolean || t == JetType::Null) return t;
        return numeric(t) ? JetType::Long : JetType::Unknown;
    }

    JetType type(const Chain& chain) const {
        JetType t = of(chain.first);
        for (const Chain::Step& s : chain.steps) {
            const JetType r = of(s.right);
            const std::string_view f = s.function;
            if (f == "lumo_add" || f == "lumo_sub") t = sum(t, r, f == "lumo_sub");
            else if (t == JetType::Null || r == JetType::Null) t = JetType::Null;
            else if (f == "lumo_mul") t = numeric(t) && numeric(r) ? wider(t, r) : JetType::Unknown;
            else if (f == "lumo_div") t = JetType::Double;
            else if (f == "lumo_idiv" || f == "lumo_mod")
                t = t == JetType::Integer && r == JetType::Integer ? JetType::Integer : JetType::Long;
            else if (t == JetType::Boolean && r == JetType::Boolean) t = JetType::Boolean;  // And Or Xor Eqv Imp
            else t = numeric(t) && numeric(r) ? JetType::Long : JetType::Unknown;
        }
        return t;
    }

    const Tree& tree_;
    std::span<const JetType> parameters_;
    const DateNames& dateNames_;
};

}  // namespace

JetType typeOf(const Tree& tree, Index node, std::span<const JetType> parameters, const DateNames& dateNames) {
    return Types(tree, parameters, dateNames).of(node);
}

std::vector<JetType> selectItemTypes(const Tree& tree, std::span<const JetType> parameters,
                                     const DateNames& dateNames) {
    const auto& parts = outerParts(tree);
    const auto word = [&](std::size_t k, std::string_view w) { return isWordPart(tree, parts[k], w); };
    if (parts.empty() || !word(0, "SELECT")) return {};
    const Select q = selectAt(tree, parts, 0);
    const Types types(tree, parameters, dateNames);
    std::vector<JetType> out;
    for (const auto& [first, end] : q.items) {
        if (first == end || parts[first].expression == kNoNode) return {};  // an empty item, or CASE
        const Node& item = tree.nodes[parts[first].expression];
        if (const Atom* a = std::get_if<Atom>(&item); a && isOp(tree.tokens[a->place.at], "*")) return {};
        if (const QualifiedName* n = std::get_if<QualifiedName>(&item); n && isOp(tree.tokens[n->rest.back().at], "*"))
            return {};
        // A bare column needs no lookup: its declaration gives its type.
        const bool column = std::holds_alternative<QualifiedName>(item) ||
                            (std::holds_alternative<Atom>(item) && std::get<Atom>(item).role == Atom::Role::Name);
        out.push_back(column ? JetType::Unknown : types.of(parts[first].expression));
        // Past AS and its name; any other word ends what the types know.
        for (std::size_t k = first + 1; k < end; ++k)
            if (parts[k].expression == kNoNode && !word(k, "AS")) return out;
    }
    return out;
}

}  // namespace lumo::db::tree
