#include "engine/functions/KanaWidth.h"

#include <array>
#include <vector>

#include "engine/functions/TextRules.h"
#include "platform/Utf8.h"

namespace lumo::db::jet {
namespace {

// The full-width form of each half-width katakana U+FF61..U+FF9F.
constexpr std::array<char32_t, 63> kHalfKana{
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C,
};
constexpr char32_t kHalfFirst = 0xFF61;
constexpr char32_t kHalfVoiced = 0xFF9E, kHalfSemiVoiced = 0xFF9F;

// Katakana that take the voiced mark (ガ is カ + 1), and those that also
// take the semi-voiced one (パ is ハ + 2); ウ voiced is ヴ.
bool takesVoiced(char32_t k) {
    return (k >= 0x30AB && k <= 0x30C2 && (k - 0x30AB) % 2 == 0) || k == 0x30C4 || k == 0x30C6 || k == 0x30C8 ||
           (k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0);
}
bool takesSemiVoiced(char32_t k) { return k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0; }

std::vector<char32_t> codePoints(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); at += utf8::characterBytes(text.substr(at)))
        out.push_back(firstCodePoint(text.substr(at)));
    return out;
}

// The half-width katakana of a full-width one, or 0.
char32_t halfOf(char32_t full) {
    for (std::size_t i = 0; i < kHalfKana.size(); ++i)
        if (kHalfKana[i] == full) return kHalfFirst + static_cast<char32_t>(i);
    return 0;
}

}  // namespace

std::string toWide(std::string_view text) {
    const std::vector<char32_t> cps = codePoints(text);
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < cps.size(); ++i) {
        const char32_t c = cps[i];
        if (c == 0x20) out += utf8Of(0x3000);
        else if (c > 0x20 && c < 0x7F) out += utf8Of(c + 0xFEE0);
        else if (c >= kHalfFirst && c < kHalfFirst + kHalfKana.size()) {
            char32_t full = kHalfKana[c - kHalfFirst];
            const char32_t next = i + 1 < cps.size() ? cps[i + 1] : 0;
            if (next == kHalfVoiced && (takesVoiced(full) || full == 0x30A6)) {
                full = full == 0x30A6 ? 0x30F4 : full + 1;
                ++i;
            } else if (next == kHalfSemiVoiced && takesSemiVoiced(full)) {
                full += 2;
                ++i;
            }
            out += utf8Of(full);
        } else {
            out += utf8Of(c);
        }
    }
    return out;
}

std::string toNarrow(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : codePoints(text)) {
        if (c == 0x3000) out += ' ';
        else if (c >= 0xFF01 && c <= 0xFF5E) out += static_cast<char>(c - 0xFEE0);
        else if (const char32_t half = halfOf(c)) out += utf8Of(half);
        else if (c == 0x30F4) out += utf8Of(0xFF73) + utf8Of(kHalfVoiced);  // ヴ → ｳﾞ
        else if (takesVoiced(c - 1) && halfOf(c - 1)) out += utf8Of(halfOf(c - 1)) + utf8Of(kHalfVoiced);
        else if (takesSemiVoiced(c - 2) && halfOf(c - 2)) out += utf8Of(halfOf(c - 2)) + utf8Of(kHalfSemiVoiced);
        else out += utf8Of(c);
    }
    return out;
}

// Hiragana U+3041..U+3096 and ゝ ゞ are the katakana 0x60 below.
std::string toKatakana(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : codePoints(text))
        out += utf8Of((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E ? c + 0x60 : c);
    return out;
}

std::string toHiragana(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : codePoints(text))
        out += utf8Of((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE ? c - 0x60 : c);
    return out;
}

}  // namespace lumo::db::jet
