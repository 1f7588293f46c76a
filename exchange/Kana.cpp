#include "exchange/Kana.h"

#include <array>
#include <cstdint>

#include "platform/Utf8.h"

namespace lumo::exchange {
namespace {

// Full-width forms of U+FF61..U+FF9F, in that order.
constexpr std::array<char16_t, 63> kFullWidth = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ', u'ョ', u'ッ', u'ー',
    u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ', u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ',
    u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ', u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ',
    u'ム', u'メ', u'モ', u'ヤ', u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜'};

constexpr char32_t kVoicedMark = 0xFF9E, kSemiVoicedMark = 0xFF9F;

// The half-width kana at text[i] (three bytes EF BD A1..EF BE 9F), or 0.
char32_t halfWidthAt(std::string_view text, std::size_t i) {
    if (i + 2 >= text.size() || static_cast<unsigned char>(text[i]) != 0xEF) return 0;
    const auto b1 = static_cast<unsigned char>(text[i + 1]), b2 = static_cast<unsigned char>(text[i + 2]);
    const char32_t c = 0xF000 | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
    return c >= 0xFF61 && c <= 0xFF9F ? c : 0;
}

// ウ, カ..ト (but ッ) and ハ..ホ take the voiced mark (one code point further); ハ..ホ
// also take the semi-voiced one (two further). ウ voiced is ヴ.
char32_t joined(char32_t base, char32_t mark) {
    const bool ka = base >= u'カ' && base <= u'ト' && base != u'ッ', ha = base >= u'ハ' && base <= u'ホ';
    if (mark == kVoicedMark) {
        if (base == u'ウ') return u'ヴ';
        if (ka || ha) return base + 1;
    } else if (mark == kSemiVoicedMark && ha) {
        return base + 2;
    }
    return 0;
}

}  // namespace

std::string fullWidthKana(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t half = halfWidthAt(text, i);
        if (!half) {
            out += text[i++];
            continue;
        }
        const char32_t full = kFullWidth[half - 0xFF61];
        i += 3;
        if (const char32_t mark = halfWidthAt(text, i); mark == kVoicedMark || mark == kSemiVoicedMark) {
            if (const char32_t both = joined(full, mark)) {
                utf8::append(out, both);
                i += 3;
                continue;
            }
        }
        utf8::append(out, full);
    }
    return out;
}

}  // namespace lumo::exchange
