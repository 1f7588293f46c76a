#pragma once
// The address book's URL taken apart: the origin (scheme, host, port) that
// every href of the server is relative to, and the collection's path.
// Value type; any thread.
#include <string>
#include <string_view>

namespace lumo::sync {

struct ServerUrl {
    std::string scheme;  // "http" or "https", lower case
    std::string host;    // without brackets for IPv6
    std::string origin;  // "https://host:port", as given
    std::string path;    // the collection's path, always ending in '/'

    // Throws lumo::Error for a URL that is not http(s)://host[:port]/path.
    static ServerUrl parse(std::string_view url);

    bool isLoopback() const;
    // The full URL of an href the server gave (an absolute path or a full URL).
    std::string resolve(std::string_view href) const;
    // An href as the state file keeps it: its path, percent-decoded, so that
    // "/a%40b.vcf" and "/a@b.vcf" from two answers are one card.
    std::string normalHref(std::string_view href) const;
    std::string collectionUrl() const { return origin + path; }
};

// Percent-encodes what a path segment may not hold as it is.
std::string encodePathSegment(std::string_view text);

}  // namespace lumo::sync
