#include "access/core/SqlText.h"

namespace lumo::access {

std::string sqlQuoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out;
}

std::string concat(std::initializer_list<std::string_view> parts) {
    std::string s;
    for (std::string_view p : parts) s += p;
    return s;
}
std::string sqlString(std::string_view text) { return '\'' + sqlQuoted(text) + '\''; }

}  // namespace lumo::access
