#include "sync/ServerUrl.h"

#include <algorithm>
#include <cctype>

#include "platform/Error.h"

namespace lumo::sync {
namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    std::ranges::transform(out, out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace

ServerUrl ServerUrl::parse(std::string_view url) {
    const auto bad = [&] {
        return Error("アドレス帳の URL が正しくありません (http://HOST/PATH か https://HOST/PATH の形です): " +
                     std::string(url));
    };
    const std::size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos) throw bad();
    ServerUrl out;
    out.scheme = lower(url.substr(0, schemeEnd));
    if (out.scheme != "http" && out.scheme != "https") throw bad();
    const std::string_view rest = url.substr(schemeEnd + 3);
    const std::size_t pathStart = rest.find('/');
    const std::string_view authority = rest.substr(0, pathStart);
    if (authority.empty() || authority.find('@') != std::string_view::npos ||
        authority.find_first_of(" \t\r\n?#") != std::string_view::npos)
        throw bad();
    if (authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) throw bad();
        out.host = lower(authority.substr(1, close - 1));
    } else {
        out.host = lower(authority.substr(0, authority.find(':')));
    }
    if (out.host.empty()) throw bad();
    out.origin = out.scheme + "://" + std::string(authority);
    out.path = pathStart == std::string_view::npos ? "/" : std::string(rest.substr(pathStart));
    if (out.path.find_first_of(" \t\r\n?#") != std::string::npos) throw bad();
    if (out.path.back() != '/') out.path += '/';
    return out;
}

bool ServerUrl::isLoopback() const {
    return host == "localhost" || host == "::1" || host.starts_with("127.");
}

std::string ServerUrl::resolve(std::string_view href) const {
    if (href.find("://") != std::string_view::npos) return std::string(href);
    if (!href.empty() && href.front() == '/') return origin + std::string(href);
    return collectionUrl() + std::string(href);
}

std::string ServerUrl::normalHref(std::string_view href) const {
    std::string_view path = href;
    if (const std::size_t scheme = path.find("://"); scheme != std::string_view::npos) {
        const std::size_t slash = path.find('/', scheme + 3);
        path = slash == std::string_view::npos ? std::string_view("/") : path.substr(slash);
    } else if (path.empty() || path.front() != '/') {
        return percentDecoded(this->path + std::string(path));
    }
    return percentDecoded(path);
}

std::string encodePathSegment(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '-' || c == '_' || c == '.' || c == '~' || c == '@') {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

}  // namespace lumo::sync
