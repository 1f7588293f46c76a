#include "platform/Utf8.h"

namespace lumo::utf8 {

int sequenceLength(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return -1;
    }
    for (int i = 1; i < length; ++i) {
        const auto index = static_cast<std::size_t>(i);
        if (index >= s.size()) return -i;
        const unsigned char lo = i == 1 ? low : 0x80;
        const unsigned char hi = i == 1 ? high : 0xBF;
        if (byte(index) < lo || byte(index) > hi) return -i;
    }
    return length;
}

std::size_t characterCount(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < s.size(); ++count)
        at += static_cast<unsigned char>(s[at]) < 0x80 ? 1 : characterBytes(s.substr(at));
    return count;
}

std::string_view firstCharacters(std::string_view s, std::size_t n) {
    std::size_t at = 0;
    for (std::size_t taken = 0; taken < n && at < s.size(); ++taken)
        at += static_cast<unsigned char>(s[at]) < 0x80 ? 1 : characterBytes(s.substr(at));
    return s.substr(0, at);
}

}  // namespace lumo::utf8
