#pragma once
// 喪中: a person in mourning for year Y is marked by the word kMourningWord
// in the memo of the person's greeting row of year Y. The rest of the memo
// is the user's own text and is kept as it is. Pure functions; any thread.
#include <string>
#include <string_view>

namespace lumo::greetings {

inline constexpr std::string_view kMourningWord = "【喪中】";

bool isMourning(std::string_view memo);
// The memo with the word added in front (once) or removed (every
// occurrence, with the space that followed it).
std::string withMourning(std::string_view memo, bool mourning);

}  // namespace lumo::greetings
