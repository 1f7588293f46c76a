#pragma once
// Byte-for-byte comparison of two files.
#include <optional>
#include <string>

namespace lumo::bench {

// Empty when both files hold the same bytes; otherwise where they first
// differ ("line 12, byte 3456: ..."), or why they could not be compared.
std::optional<std::string> firstDifference(const std::string& left, const std::string& right);

}  // namespace lumo::bench
