#include "exchange/Charset.h"

#include <iconv.h>

#include <cerrno>

#include "platform/Utf8.h"

namespace lumo::exchange {
namespace {

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

}  // namespace

std::string validUtf8(std::string_view bytes, int& bad) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const int length = utf8::sequenceLength(bytes);
        if (length > 0) {
            out.append(bytes.substr(0, static_cast<std::size_t>(length)));
            bytes.remove_prefix(static_cast<std::size_t>(length));
        } else {
            out += "\xEF\xBF\xBD";
            ++bad;
            bytes.remove_prefix(static_cast<std::size_t>(-length));
        }
    }
    return out;
}

std::optional<std::string> decodeCharset(std::string_view bytes, std::string_view charset) {
    std::string name = upper(charset);
    if (name == "UTF-8" || name == "UTF8") {
        int bad = 0;
        std::string out = validUtf8(bytes, bad);
        if (bad) return std::nullopt;
        return out;
    }
    if (name == "SHIFT_JIS" || name == "SHIFT-JIS" || name == "SJIS" || name == "MS_KANJI" || name == "WINDOWS-31J")
        name = "CP932";
    Iconv cd("UTF-8", name.c_str());
    if (!cd.ok()) return std::nullopt;
    std::string out(bytes.size() * 3 + 4, '\0');
    char* from = const_cast<char*>(bytes.data());  // iconv's signature; it only reads
    std::size_t inLeft = bytes.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &from, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace lumo::exchange
