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

char32_t firstCodePoint(std::string_view s) {
    const int length = sequenceLength(s);
    if (length < 0) return U'\uFFFD';
    const auto byte = [&](int i) { return static_cast<char32_t>(static_cast<unsigned char>(s[static_cast<std::size_t>(i)])); };
    if (length == 1) return byte(0);
    char32_t cp = byte(0) & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (int i = 1; i < length; ++i) cp = cp << 6 | (byte(i) & 0x3F);
    return cp;
}

void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace lumo::utf8
