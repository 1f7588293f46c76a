#pragma once
// A property that does not hold stops the fuzzer with the input that broke
// it (abort() is a finding for libFuzzer; the message says which property).
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace lumo::fuzz {

inline void check(bool holds, std::string_view property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %.*s\n", static_cast<int>(property.size()), property.data());
    std::abort();
}

}  // namespace lumo::fuzz
