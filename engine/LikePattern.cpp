#include "engine/LikePattern.h"

namespace lumo::db {
namespace {

// The code point at s[i] and its byte length; a stray byte stands for
// itself, one byte long, so that no text can make a list read past its end.
std::pair<char32_t, std::size_t> codePointAt(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (n == 1 || i + n > s.size()) return {c, 1};
    char32_t code = c & (0x3F >> (n - 1));
    for (std::size_t k = 1; k < n; ++k) {
        const auto next = static_cast<unsigned char>(s[i + k]);
        if ((next & 0xC0) != 0x80) return {c, 1};
        code = (code << 6) | (next & 0x3F);
    }
    return {code, n};
}

void addText(LikePattern& out, std::string_view bytes) {
    if (out.parts.empty() || out.parts.back().kind != LikePart::Kind::Text)
        out.parts.push_back({LikePart::Kind::Text, {}, {}, false});
    out.parts.back().text += bytes;
}

// The list between '[' and ']' (exclusive).
void addList(LikePattern& out, std::string_view list) {
    LikePart part{LikePart::Kind::OneOf, {}, {}, false};
    if (list.starts_with('!') && list.size() > 1) {
        part.negated = true;
        list.remove_prefix(1);
    }
    std::vector<std::pair<char32_t, std::size_t>> chars;
    for (std::size_t i = 0; i < list.size();) {
        chars.push_back(codePointAt(list, i));
        i += chars.back().second;
    }
    if (chars.empty()) return;  // [] stands for nothing
    for (std::size_t k = 0; k < chars.size(); ++k) {
        const bool range = k + 2 < chars.size() && chars[k + 1].first == '-';
        if (range) {
            part.ranges.emplace_back(chars[k].first, chars[k + 2].first);
            k += 2;
        } else {
            part.ranges.emplace_back(chars[k].first, chars[k].first);
        }
    }
    // One character listed is that character: [%], [_], [[] and [O] are
    // plain text, which the quick matcher and the index can use.
    if (!part.negated && chars.size() == 1) {
        addText(out, list);
        return;
    }
    out.parts.push_back(std::move(part));
}

char32_t lower(char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
char32_t upper(char32_t c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

}  // namespace

LikePattern parseLike(std::string_view pattern) {
    LikePattern out;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '%') {
            if (out.parts.empty() || out.parts.back().kind != LikePart::Kind::AnyRun)
                out.parts.push_back({LikePart::Kind::AnyRun, {}, {}, false});
            ++i;
        } else if (c == '_') {
            out.parts.push_back({LikePart::Kind::AnyOne, {}, {}, false});
            ++i;
        } else if (const std::size_t close = c == '[' ? pattern.find(']', i + 1) : std::string_view::npos;
                   close != std::string_view::npos) {
            addList(out, pattern.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            addText(out, pattern.substr(i, 1));
            ++i;
        }
    }
    return out;
}

bool inList(const LikePart& part, char32_t c) {
    bool found = false;
    for (const auto& [low, high] : part.ranges)
        for (char32_t x : {c, lower(c), upper(c)})
            if (x >= low && x <= high) found = true;
    return found != part.negated;
}

}  // namespace lumo::db
