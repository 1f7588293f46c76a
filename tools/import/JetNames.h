#pragma once
// Jet (and Windows file names) compare names ignoring ASCII letter case:
// T_Phone is T_PHONE, lumobase.mdb is LumoBase.mdb.
#include <algorithm>
#include <string_view>

namespace lumo::tools {

inline bool sameJetName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace lumo::tools
