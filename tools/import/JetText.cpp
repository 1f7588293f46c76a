#include "tools/import/JetText.h"

#include <cstdint>
#include <vector>

#include "platform/Utf8.h"

namespace lumo::tools {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Undoes the compression: the stored text as plain UTF-16 code units.
std::vector<char16_t> codeUnits(std::span<const unsigned char> stored, bool& damaged) {
    std::vector<char16_t> units;
    units.reserve(stored.size());
    const bool compressed = stored.size() >= 2 && stored[0] == 0xFF && stored[1] == 0xFE;
    if (!compressed) {
        for (std::size_t i = 0; i + 1 < stored.size(); i += 2)
            units.push_back(static_cast<char16_t>(stored[i] | (stored[i + 1] << 8)));
        if (stored.size() % 2 != 0) {
            units.push_back(kReplacement);
            damaged = true;
        }
        return units;
    }
    bool oneByte = true;
    for (std::size_t i = 2; i < stored.size();) {
        if (stored[i] == 0) {
            oneByte = !oneByte;
            ++i;
        } else if (oneByte) {
            units.push_back(stored[i++]);
        } else if (i + 1 < stored.size()) {
            units.push_back(static_cast<char16_t>(stored[i] | (stored[i + 1] << 8)));
            i += 2;
        } else {
            units.push_back(kReplacement);
            damaged = true;
            ++i;
        }
    }
    return units;
}

}  // namespace

std::string decodeJetText(std::span<const unsigned char> stored, bool& damaged) {
    const std::vector<char16_t> units = codeUnits(stored, damaged);
    std::string out;
    out.reserve(units.size() * 3);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            utf8::append(out, 0x10000 + ((static_cast<char32_t>(u - 0xD800) << 10) | (units[i + 1] - 0xDC00)));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            utf8::append(out, kReplacement);
            damaged = true;
        } else {
            utf8::append(out, u);
        }
    }
    return out;
}

}  // namespace lumo::tools
