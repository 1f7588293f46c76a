#pragma once
// Half-width katakana (U+FF61..U+FF9F, as Japanese phones write readings)
// to full-width katakana, with a following voiced or semi-voiced sound mark
// joined to its letter (ｶﾞ → ガ, ﾊﾟ → パ). Everything else is kept.
#include <string>
#include <string_view>

namespace lumo::exchange {

std::string fullWidthKana(std::string_view text);

}  // namespace lumo::exchange
