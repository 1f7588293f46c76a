#include "Assignments.h"

#include <optional>
#include <variant>

#include "FromClause.h"

namespace lumo::db::tree {
namespace {

using detail::isName;
using detail::isOp;
using detail::isWord;
using detail::unquotedName;

// The items of the target of a SET part: an Assignment's, or those of a
// part the expression parser did not read (C = CASE ...).
Written* setTarget(Tree& tree, const Clauses::Part& part) {
    if (part.expression == kNoNode) return nullptr;
    Node& node = tree.nodes[part.expression];
    if (Assignment* a = std::get_if<Assignment>(&node)) return std::get_if<Written>(&tree.nodes[a->target]);
    return std::get_if<Written>(&node);
}

// The statement's write when it assigns values: "UPDATE T ... SET ..."
// or "INSERT INTO T (C, ...) ...", T a plain name.
std::optional<Write> assigningWrite(const Tree& tree) {
    std::optional<Write> write = writeOf(tree);
    if (!write || write->table.empty() || outerParts(tree).size() < 4) return std::nullopt;
    if (write->kind == Write::Kind::Update) return write;
    if (write->kind == Write::Kind::Insert && write->into->items.size() >= 2 && write->into->items[1].group != kNoNode)
        return write;
    return std::nullopt;
}

void updateValues(const Tree& tree, const Write& write, std::vector<AssignedValue>& out) {
    const auto& parts = outerParts(tree);
    for (std::size_t k = write.set + 1; k < parts.size(); k += 2) {
        if (parts[k].expression == kNoNode) return;
        const Assignment* a = std::get_if<Assignment>(&tree.nodes[parts[k].expression]);
        if (!a) return;
        const auto& target = std::get<Written>(tree.nodes[a->target]).items;
        if (target.size() != 2 || target[0].group != kNoNode || !isName(tree.tokens[target[0].place.at])) return;
        out.push_back({write.table, unquotedName(tree.tokens[target[0].place.at]), parts[k].expression, 0});
        if (k + 1 >= parts.size() || !isCommaPart(tree, parts[k + 1])) return;
    }
}

void insertValues(const Tree& tree, const Write& write, std::vector<AssignedValue>& out) {
    const auto& parts = outerParts(tree);
    if (parts.size() < 5 || write.into->items.size() != 2) return;
    std::vector<std::string_view> columns;
    const Group& list = std::get<Group>(tree.nodes[write.into->items[1].group]);
    for (const Clauses::Part& part : std::get<Clauses>(tree.nodes[list.inner]).parts)
        if (const auto name = leadingName(tree, part)) columns.push_back(*name);
    if (!isWordPart(tree, parts[3], "VALUES")) return;
    for (std::size_t k = 4; k < parts.size(); k += 2) {
        if (parts[k].expression == kNoNode) return;
        const Group* row = std::get_if<Group>(&tree.nodes[parts[k].expression]);
        if (!row) return;
        std::size_t item = 0;
        const auto& values = std::get<Clauses>(tree.nodes[row->inner]).parts;
        for (std::size_t v = 0; v < values.size(); ++v) {
            if (isCommaPart(tree, values[v])) ++item;
            else if (values[v].expression != kNoNode && item < columns.size())
                out.push_back({write.table, columns[item], row->inner, v});
        }
        if (k + 1 >= parts.size() || !isCommaPart(tree, parts[k + 1])) return;
    }
}

std::vector<AssignedValue> valuesOf(const Tree& tree, const Write& write) {
    std::vector<AssignedValue> out;
    if (write.kind == Write::Kind::Update) updateValues(tree, write, out);
    else insertValues(tree, write, out);
    return out;
}

}  // namespace

std::vector<AssignedValue> assignedValues(const Tree& tree) {
    const std::optional<Write> write = assigningWrite(tree);
    return write ? valuesOf(tree, *write) : std::vector<AssignedValue>();
}

Index& valueNode(Tree& tree, const AssignedValue& value) {
    Node& owner = tree.nodes[value.owner];
    if (Assignment* a = std::get_if<Assignment>(&owner)) return a->value;
    return std::get<Clauses>(owner).parts[value.part].expression;
}

void unqualifySetTargets(Tree& tree) {
    const std::optional<Write> write = assigningWrite(tree);
    if (!write || write->kind != Write::Kind::Update) return;
    const auto& parts = outerParts(tree);
    bool target = true;
    for (std::size_t k = write->set + 1; k < parts.size(); ++k) {
        const Clauses::Part& part = parts[k];
        if (isWordPart(tree, part, "WHERE")) return;
        if (isCommaPart(tree, part)) {
            target = true;
            continue;
        }
        Written* w = std::exchange(target, false) ? setTarget(tree, part) : nullptr;
        if (!w || w->items.size() < 3) continue;
        const auto token = [&](std::size_t k) -> const detail::Token& { return tree.tokens[w->items[k].place.at]; };
        const bool plain = w->items[0].group == kNoNode && w->items[1].group == kNoNode && w->items[2].group == kNoNode;
        if (plain && isName(token(0)) && isOp(token(1), ".") && isName(token(2)))
            w->items.erase(w->items.begin(), w->items.begin() + 2);
    }
}

void roundWholeAssignments(Tree& tree, const WholeColumnLookup& isWhole) {
    if (!isWhole) return;
    for (const AssignedValue& v : assignedValues(tree)) {
        if (!isWhole(v.table, v.column).value_or(false)) continue;
        const Index operand = valueNode(tree, v);
        tree.nodes.emplace_back(Converted{Converted::To::WholeNumber, operand});
        valueNode(tree, v) = static_cast<Index>(tree.nodes.size() - 1);
    }
}

void findAssignedParameters(const Tree& tree, std::size_t parameters, JetStatement& st) {
    const std::optional<Write> write = parameters == 0 ? std::nullopt : assigningWrite(tree);
    if (!write) return;
    st.writtenTable = write->table;
    st.parameterColumns.assign(parameters, {});
    const std::vector<AssignedValue> values = valuesOf(tree, *write);
    for (const AssignedValue& v : values) {
        const Node& owner = tree.nodes[v.owner];
        const Assignment* a = std::get_if<Assignment>(&owner);
        const Index value = a ? a->value : std::get<Clauses>(owner).parts[v.part].expression;
        const Atom* atom = std::get_if<Atom>(&tree.nodes[value]);
        if (atom && atom->role == Atom::Role::Parameter && atom->literal >= 1 && atom->literal <= parameters)
            st.parameterColumns[atom->literal - 1] = v.column;
    }
}

}  // namespace lumo::db::tree
