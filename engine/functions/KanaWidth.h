#pragma once
// The conversions of Japanese text that StrConv offers: half-width
// characters to full-width and back (ASCII and the half-width katakana,
// whose voiced marks join or split: ｶﾞ and ガ), and katakana to hiragana
// and back. Characters without the other form stay as they are.
// Stateless; any thread.
#include <string>
#include <string_view>

namespace lumo::db::jet {

std::string toWide(std::string_view text);      // ABC ｱｶﾞ → ＡＢＣ アガ
std::string toNarrow(std::string_view text);    // ＡＢＣ アガ → ABC ｱｶﾞ
std::string toKatakana(std::string_view text);  // あが → アガ
std::string toHiragana(std::string_view text);  // アガ → あが

}  // namespace lumo::db::jet
