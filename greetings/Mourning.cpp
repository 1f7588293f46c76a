#include "greetings/Mourning.h"

namespace lumo::greetings {

bool isMourning(std::string_view memo) { return memo.find(kMourningWord) != std::string_view::npos; }

std::string withMourning(std::string_view memo, bool mourning) {
    if (mourning) return isMourning(memo) ? std::string(memo) : std::string(kMourningWord) + std::string(memo);
    std::string out;
    while (!memo.empty()) {
        const std::size_t at = memo.find(kMourningWord);
        if (at == std::string_view::npos) {
            out += memo;
            break;
        }
        out += memo.substr(0, at);
        memo.remove_prefix(at + kMourningWord.size());
        if (memo.starts_with(" ")) memo.remove_prefix(1);
        else if (memo.starts_with("　")) memo.remove_prefix(std::string_view("　").size());
    }
    return out;
}

}  // namespace lumo::greetings
