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

std::string sqlString(std::string_view text) { return '\'' + sqlQuoted(text) + '\''; }

}  // namespace lumo::access
