#include "cards/VerticalText.h"

#include <array>
#include <cstdint>

#include "platform/Utf8.h"

namespace lumo::cards {
namespace {

// One character of the input: its bytes and, when well-formed, its code point.
struct Char {
    std::string_view bytes;
    char32_t code = 0;
};

std::vector<Char> characters(std::string_view text) {
    std::vector<Char> out;
    while (!text.empty()) {
        const int length = utf8::sequenceLength(text);
        const std::size_t n = utf8::characterBytes(text);
        Char c{text.substr(0, n)};
        if (length > 0) c.code = utf8::firstCodePoint(text);
        out.push_back(c);
        text.remove_prefix(n);
    }
    return out;
}

std::string encode(char32_t c) {
    std::string s;
    utf8::append(s, c);
    return s;
}

int digitOf(char32_t c) {
    if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
    if (c >= U'０' && c <= U'９') return static_cast<int>(c - U'０');
    return -1;
}

// Dashes that always separate: the ASCII and full-width hyphen-minus, the
// Unicode hyphens and dashes, the minus sign.
bool isDash(char32_t c) {
    switch (c) {
    case U'-': case U'‐': case U'‑': case U'‒': case U'–': case U'—': case U'―': case U'−': case U'－':
        return true;
    default:
        return false;
    }
}

constexpr std::array<std::string_view, 10> kKanjiDigits{"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
constexpr std::array<std::string_view, 10> kWideDigits{"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};

// 1..9999 with 千, 百 and 十 (a leading 一 is left out: 百, not 一百).
std::vector<Cell> positional(int n) {
    static constexpr std::array<std::string_view, 4> units{"千", "百", "十", ""};
    static constexpr std::array<int, 4> powers{1000, 100, 10, 1};
    std::vector<Cell> cells;
    for (std::size_t i = 0; i < 4; ++i) {
        const int d = n / powers[i] % 10;
        if (d == 0) continue;
        if (d > 1 || units[i].empty()) cells.push_back({std::string(kKanjiDigits[static_cast<std::size_t>(d)])});
        if (!units[i].empty()) cells.push_back({std::string(units[i])});
    }
    return cells;
}

void appendNumber(std::vector<Cell>& cells, const std::string& digits, NumberStyle style) {
    switch (style) {
    case NumberStyle::Kanji10:
        if (digits.size() <= 4 && digits[0] != '0') {
            for (Cell& c : positional(std::stoi(digits))) cells.push_back(std::move(c));
            return;
        }
        [[fallthrough]];
    case NumberStyle::Kanji:
        for (char d : digits) cells.push_back({std::string(kKanjiDigits[static_cast<std::size_t>(d - '0')])});
        return;
    case NumberStyle::Arabic:
        if (digits.size() == 2) {
            cells.push_back({wideDigits(digits), true});
            return;
        }
        for (char d : digits) cells.push_back({std::string(kWideDigits[static_cast<std::size_t>(d - '0')])});
        return;
    }
}

}  // namespace

std::vector<Cell> verticalCells(std::string_view text, NumberStyle style) {
    const std::vector<Char> chars = characters(text);
    std::vector<Cell> cells;
    std::string digits;
    const auto flush = [&] {
        if (digits.empty()) return;
        appendNumber(cells, digits, style);
        digits.clear();
    };
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i].code;
        if (const int d = digitOf(c); d >= 0) {
            digits += static_cast<char>('0' + d);
            continue;
        }
        // ー is a long vowel after katakana; only between two digits is it
        // a dash typed with the wrong key.
        const bool betweenDigits = !digits.empty() && i + 1 < chars.size() && digitOf(chars[i + 1].code) >= 0;
        flush();
        if (isDash(c) || (c == U'ー' && betweenDigits)) {
            cells.push_back({std::string(kNumberSeparator)});
        } else if (c == U' ') {
            cells.push_back({"　"});
        } else if (c > 0x20 && c < 0x7F) {
            cells.push_back({encode(c - 0x21 + 0xFF01)});  // full width, so it stands upright
        } else if (c == U'\t' || c == U'\r' || c == U'\n') {
            cells.push_back({"　"});
        } else {
            cells.push_back({std::string(chars[i].bytes)});
        }
    }
    flush();
    return cells;
}

std::string cellText(const std::vector<Cell>& cells) {
    std::string s;
    for (const Cell& c : cells) s += c.text;
    return s;
}

bool isNumeralCell(const Cell& cell) {
    if (cell.sideBySide) return true;
    static constexpr std::array<std::string_view, 13> numerals{"〇", "一", "二", "三", "四", "五", "六",
                                                               "七", "八", "九", "十", "百", "千"};
    for (std::string_view n : numerals)
        if (cell.text == n) return true;
    for (std::string_view n : kWideDigits)
        if (cell.text == n) return true;
    return false;
}

std::string wideDigits(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c >= '0' && c <= '9') out += kWideDigits[static_cast<std::size_t>(c - '0')];
        else out += c;
    }
    return out;
}

std::string postalDigits(std::string_view zip) {
    std::string digits;
    for (const Char& c : characters(zip))
        if (const int d = digitOf(c.code); d >= 0 && digits.size() < 7) digits += static_cast<char>('0' + d);
    return digits;
}

}  // namespace lumo::cards
