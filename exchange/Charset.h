#pragma once
// Text of vCard values in the character sets cards name (CHARSET=...), as
// UTF-8. Stateless; any thread.
#include <optional>
#include <string>
#include <string_view>

namespace lumo::exchange {

// `bytes` in `charset` (Shift_JIS, CP932, ISO-8859-1, UTF-8, ... any name
// glibc's iconv knows; Shift_JIS is read as CP932, which is what Japanese
// phones write) as UTF-8. Nothing when the charset is unknown or the bytes
// are not valid in it.
std::optional<std::string> decodeCharset(std::string_view bytes, std::string_view charset);

// `bytes` with every ill-formed UTF-8 sequence replaced by U+FFFD; `bad`
// counts them.
std::string validUtf8(std::string_view bytes, int& bad);

}  // namespace lumo::exchange
