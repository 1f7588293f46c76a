#pragma once
// Text as a Jet 4 file stores it: UTF-16LE, or (when the column uses
// Unicode compression and the value starts with the marker FF FE) runs
// of one-byte characters U+0001..U+00FF and runs of UTF-16LE code units,
// a zero byte switching between them, starting with one-byte runs.
// libmdb's own conversion goes through UCS-2 and turns every character
// outside the Basic Multilingual Plane into "??"; this one joins surrogate
// pairs, so 𠮷 and emoji arrive whole.
#include <cstddef>
#include <span>
#include <string>

namespace lumo::tools {

// Decodes stored bytes to UTF-8. A lone surrogate (which no valid text
// holds) becomes U+FFFD, and so does an odd last byte; `damaged` is set
// when that happened.
std::string decodeJetText(std::span<const unsigned char> stored, bool& damaged);

}  // namespace lumo::tools
