// The CP932 writer. Properties: the bytes written decode as CP932; decoded
// again they are the input with each replaced character written as '?', so
// the number of '?' is the input's own plus the replacements; ASCII passes
// through unchanged.
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/Check.h"
#include "platform/Cp932File.h"

using lumo::fuzz::check;

namespace {

// CP932 to UTF-8; false when the bytes are not valid CP932.
bool decode(const std::string& cp932, std::string& utf8) {
    static iconv_t cd = iconv_open("UTF-8", "CP932");
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    utf8.assign(cp932.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(cp932.data());
    std::size_t inLeft = cp932.size();
    char* out = utf8.data();
    std::size_t outLeft = utf8.size();
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) return false;
    utf8.resize(utf8.size() - outLeft);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static lumo::Cp932Encoder encoder;
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string written;
    const std::size_t replaced = encoder.encode(input, written);
    std::string back;
    check(decode(written, back), "the output is valid CP932");
    const auto questions = [](const std::string& s) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), '?')); };
    check(questions(written) == questions(input) + replaced, "each replacement is one '?'");
    if (std::all_of(input.begin(), input.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        check(written == input && replaced == 0, "ASCII passes through unchanged");
    return 0;
}
