// The $ forms of the text functions (Left$, Format$, Str$, ...): the same
// function under a second name, whose result is always text. Where the
// plain form gives Null (Left(Null, 1)), the $ form fails with "Null の使い
// 方が不正です。", as a function whose result must be text does.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "engine/functions/FunctionCall.h"

namespace lumo::db::jet {
namespace {

constexpr std::array<std::string_view, 16> kWithDollar{
    "Chr", "ChrW", "Format", "Hex", "LCase", "Left", "LTrim", "Mid",
    "Oct", "Right", "RTrim", "Space", "Str", "String", "Trim", "UCase",
};

}  // namespace

// Built once, from the families' own entries, so that a $ form cannot
// drift from its plain form.
std::span<const FunctionEntry> dollarForms() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (std::string_view name : kWithDollar) out.push_back(std::string(name) + "$");
        return out;
    }();
    static const std::vector<FunctionEntry> entries = [] {
        std::vector<FunctionEntry> out;
        for (const auto family : {textFunctions, conversionFunctions, formatFunctions}) {
            for (const FunctionEntry& entry : family()) {
                const auto at = std::find(kWithDollar.begin(), kWithDollar.end(), entry.name);
                if (at == kWithDollar.end()) continue;
                FunctionEntry dollar = entry;
                dollar.name = names[static_cast<std::size_t>(at - kWithDollar.begin())];
                dollar.nullGivesNull = kNullNone;
                dollar.resultSubtype = 0;
                dollar.textOnly = true;
                out.push_back(dollar);
            }
        }
        return out;
    }();
    return entries;
}

}  // namespace lumo::db::jet
