#include "bench/FileCompare.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace lumo::bench {

std::optional<std::string> firstDifference(const std::string& left, const std::string& right) {
    std::ifstream a(left, std::ios::binary), b(right, std::ios::binary);
    if (!a) return "cannot read " + left;
    if (!b) return "cannot read " + right;
    constexpr std::size_t kChunk = 1 << 16;
    std::vector<char> x(kChunk), y(kChunk);
    std::size_t offset = 0, line = 1;
    while (true) {
        a.read(x.data(), kChunk);
        b.read(y.data(), kChunk);
        const auto n = static_cast<std::size_t>(a.gcount()), m = static_cast<std::size_t>(b.gcount());
        const std::size_t common = std::min(n, m);
        const auto mismatch = std::mismatch(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(common), y.begin());
        const auto same = static_cast<std::size_t>(mismatch.first - x.begin());
        line += static_cast<std::size_t>(std::count(x.begin(), mismatch.first, '\n'));
        if (same < common || n != m) {
            const std::string where = "line " + std::to_string(line) + ", byte " + std::to_string(offset + same);
            return same < common ? where + ": the bytes differ" : where + ": one file ends there";
        }
        if (n == 0) return std::nullopt;
        offset += n;
    }
}

}  // namespace lumo::bench
