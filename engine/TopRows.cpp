#include "TopRows.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "FromClause.h"
#include "platform/Error.h"

namespace lumo::db::tree {
namespace {

using detail::isOp;
using detail::isWord;
using Range = TopRows::Range;

bool isAnyWordPart(const Tree& tree, const Clauses::Part& part, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return isWordPart(tree, part, w); });
}

// The parts [from, to) split at their commas, empty runs left out.
std::vector<Range> splitAtCommas(const Tree& tree, const Parts& parts, std::size_t from, std::size_t to) {
    std::vector<Range> out;
    std::size_t start = from;
    for (std::size_t k = from; k <= to; ++k) {
        if (k < to && !isCommaPart(tree, parts[k])) continue;
        if (k > start) out.emplace_back(start, k);
        start = k + 1;
    }
    return out;
}

// The part's expression, when the part is the range's only one.
const Node* loneNode(const Tree& tree, const Parts& parts, Range r) {
    if (r.second != r.first + 1 || parts[r.first].expression == kNoNode) return nullptr;
    return &tree.nodes[parts[r.first].expression];
}

std::string quoted(std::string_view name) {
    std::string out = "\"";
    for (const char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// An item of the select list: its expression, its alias, and the name a
// subquery's column gets (the alias, or the column it names).
TopRows::Item itemOf(const Tree& tree, const Parts& parts, Range r) {
    const SelectItem item = itemAt(tree, parts, r);
    return {r, item.expression, item.kind == SelectItem::Kind::Named ? quoted(item.name) : std::string()};
}

// One ORDER BY key: what the counting query sorts on, and its direction.
// A column number or an alias of the list stands for that item's
// expression, as SQLite's own ORDER BY reads it.
TopRows::Key keyOf(const Tree& tree, const Parts& parts, Range r, const std::vector<TopRows::Item>& items) {
    std::size_t end = r.second;
    while (end > r.first + 1 && isAnyWordPart(tree, parts[end - 1], {"ASC", "DESC"})) --end;
    TopRows::Key key{{r.first, end}, {end, r.second}};
    const Atom* a = nullptr;
    if (const Node* n = loneNode(tree, parts, key.expression)) a = std::get_if<Atom>(n);
    if (!a) return key;
    const detail::Token& t = tree.tokens[a->place.at];
    if (t.kind == detail::TokenKind::Number && t.text.find_first_not_of("0123456789") == std::string::npos) {
        const long position = std::strtol(t.text.c_str(), nullptr, 10);
        const bool onStar = position >= 1 && static_cast<std::size_t>(position) <= items.size() &&
                            itemAt(tree, parts, items[position - 1].whole).kind == SelectItem::Kind::Star;
        if (position < 1 || static_cast<std::size_t>(position) > items.size() || onStar)
            throw Error("TOP のある SELECT では、ORDER BY の列番号 " + t.text +
                        " は選択リストの列 (* 以外) を指してください。列の名前か式で並べ替えてください。");
        key.expression = items[position - 1].expression;
        return key;
    }
    if (a->role == Atom::Role::Name) {
        const std::string_view name = nameAt(tree, a->place);
        for (const TopRows::Item& item : items)
            if (item.expression != item.whole) {
                const Written& alias = std::get<Written>(tree.nodes[parts[item.whole.second - 1].expression]);
                if (detail::sameName(nameAt(tree, alias.items[0].place), name)) {
                    key.expression = item.expression;
                    break;
                }
            }
    }
    return key;
}

void checkCount(const detail::Token& count, bool percent) {
    const std::string text(count.text);
    char* end = nullptr;
    errno = 0;
    if (percent) std::strtod(text.c_str(), &end);
    else std::strtoll(text.c_str(), &end, 10);
    if (count.kind != detail::TokenKind::Number || !end || *end != '\0' || errno == ERANGE)
        throw Error("TOP の後には行数を整数で書いてください (TOP n PERCENT では割合を数で書きます): TOP " + text);
}

// The TOP of the SELECT at part `select` of `level`, read for the renderer.
TopRows readTop(const Tree& tree, Index level, const Select& q, bool inGroup) {
    const Parts& parts = std::get<Clauses>(tree.nodes[level]).parts;
    const std::size_t select = q.select;
    const TopWords& words = *q.top;
    const Atom& count = std::get<Atom>(tree.nodes[parts[words.count].expression]);
    checkCount(tree.tokens[count.place.at], words.percent);
    TopRows top{level, select, select, words.top, words.list, parts.size(), count.place.at, words.percent,
                false, false, {}, {}, {}};
    if (words.top > select + 1) top.quantifier = select + 1;
    // Jet's TOP belongs to one SELECT; SQLite's LIMIT would end the whole
    // compound, whichever member it is written in.
    for (const Clauses::Part& part : parts)
        if (isAnyWordPart(tree, part, {"UNION", "INTERSECT", "EXCEPT"}))
            throw Error("TOP は UNION などでつないだ SELECT には使えません。");
    while (top.bodyEnd > top.body && isOp(tree.tokens[parts[top.bodyEnd - 1].place.at], ";") &&
           parts[top.bodyEnd - 1].expression == kNoNode)
        --top.bodyEnd;
    for (std::size_t k = top.body; k < top.bodyEnd; ++k)
        if (isAnyWordPart(tree, parts[k], {"LIMIT", "OFFSET"})) throw Error("TOP と LIMIT は一緒に使えません。");
    const std::size_t listEnd = std::min(q.listEnd, top.bodyEnd);
    const std::size_t order = std::min(q.order, top.bodyEnd);
    for (const Range& r : q.items)
        if (r.first < r.second) top.items.push_back(itemOf(tree, parts, r));
    top.counted = order < top.bodyEnd || top.percent;
    if (order < top.bodyEnd)
        for (const Range& r : splitAtCommas(tree, parts, order + 2, top.bodyEnd))
            top.keys.push_back(keyOf(tree, parts, r, top.items));
    top.rest = {listEnd, order};
    // SQLite reads no column of an outer query in a LIMIT, and a subquery
    // often refers to one (the top rows per group).
    top.ranked = top.counted && inGroup && !q.star && !top.items.empty();
    return top;
}

// The levels that are the inside of a closed group: a subquery's.
std::vector<bool> groupedLevels(const Tree& tree) {
    std::vector<bool> out(tree.nodes.size(), false);
    for (const Node& n : tree.nodes)
        if (const Group* g = std::get_if<Group>(&n); g && g->closed) out[g->inner] = true;
    return out;
}

// The tokens a level spans, to tell which TOP stands inside which.
std::pair<Index, Index> spanOf(const Tree& tree, Index level) {
    const Clauses& c = std::get<Clauses>(tree.nodes[level]);
    return {c.parts.empty() ? c.trail : c.parts.front().place.lead, c.end};
}

}  // namespace

void readTopRows(Tree& tree) {
    const bool any = std::any_of(tree.tokens.begin(), tree.tokens.end(),
                                 [](const detail::Token& t) { return isWord(t, "TOP"); });
    if (!any) return;
    const std::vector<bool> grouped = groupedLevels(tree);
    std::vector<TopRows> tops;
    for (Index n = 0; n < tree.nodes.size(); ++n) {
        const Clauses* level = std::get_if<Clauses>(&tree.nodes[n]);
        if (!level) continue;
        for (std::size_t k = 0; k < level->parts.size(); ++k) {
            if (!isWordPart(tree, level->parts[k], "SELECT")) continue;
            const Select q = selectAt(tree, level->parts, k);
            if (!q.top) continue;
            tops.push_back(readTop(tree, n, q, grouped[n]));
            break;
        }
    }
    // Each level copies the ones inside it.
    for (const TopRows& inner : tops) {
        const std::pair<Index, Index> span = spanOf(tree, inner.level);
        const auto around = std::count_if(tops.begin(), tops.end(), [&](const TopRows& outer) {
            const std::pair<Index, Index> o = spanOf(tree, outer.level);
            return outer.level != inner.level && o.first <= span.first && span.second <= o.second;
        });
        if (around >= kMaxNestedTop)
            throw Error("クエリが複雑すぎます。TOP のある副問い合わせの入れ子は " + std::to_string(kMaxNestedTop) +
                        " 段までです。");
    }
    tree.additions.tops = std::move(tops);
}

}  // namespace lumo::db::tree
