#include "bench/MemoryCardDav.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace lumo::bench {
namespace {

std::string reply(int status, const std::string& body, const std::string& extra = "") {
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nContent-Type: application/xml; charset=utf-8\r\n" + extra + "\r\n" + body;
}

std::string header(const std::string& headers, const std::string& name) {
    const std::size_t at = headers.find("\r\n" + name + ": ");
    if (at == std::string::npos) return {};
    const std::size_t start = at + name.size() + 4;
    return headers.substr(start, headers.find("\r\n", start) - start);
}

std::string etagOf(long version) { return "\"" + std::to_string(version) + "\""; }

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

// The texts between <...href> and </...href>.
std::vector<std::string> hrefsIn(const std::string& body) {
    std::vector<std::string> out;
    std::size_t at = body.find("href>");
    while (at != std::string::npos) {
        const std::size_t end = body.find('<', at + 5);
        if (end == std::string::npos) break;
        out.push_back(body.substr(at + 5, end - at - 5));
        const std::size_t closing = body.find("href>", end);  // of </d:href>
        at = closing == std::string::npos ? closing : body.find("href>", closing + 5);
    }
    return out;
}

}  // namespace

MemoryCardDav::MemoryCardDav() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, 8);
    thread_ = std::thread([this] { serve(); });
}

MemoryCardDav::~MemoryCardDav() {
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
    thread_.join();
}

std::size_t MemoryCardDav::cards() const {
    const std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& [path, card] : cards_) n += card.removed ? 0 : 1;
    return n;
}

void MemoryCardDav::serve() {
    while (!stopping_) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        connection(client);
        ::close(client);
    }
}

void MemoryCardDav::connection(int client) {
    std::string buffer;
    char chunk[65536];
    for (;;) {
        std::size_t headerEnd;
        while ((headerEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
            const ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) return;
            buffer.append(chunk, static_cast<std::size_t>(got));
        }
        const std::string headers = buffer.substr(0, headerEnd + 2);
        const std::string lengthText = header(headers, "Content-Length");
        const std::size_t length = lengthText.empty() ? 0 : std::stoul(lengthText);
        while (buffer.size() < headerEnd + 4 + length) {
            const ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) return;
            buffer.append(chunk, static_cast<std::size_t>(got));
        }
        const std::string body = buffer.substr(headerEnd + 4, length);
        buffer.erase(0, headerEnd + 4 + length);
        const std::size_t space = headers.find(' ');
        const std::string method = headers.substr(0, space);
        const std::string path = headers.substr(space + 1, headers.find(' ', space + 1) - space - 1);
        const std::string out = answer(method, path, headers, body);
        if (::send(client, out.data(), out.size(), MSG_NOSIGNAL) < 0) return;
    }
}

std::string MemoryCardDav::answer(const std::string& method, const std::string& path, const std::string& headers,
                                  const std::string& body) {
    const std::lock_guard lock(mutex_);
    const std::string token = "urn:bench:sync:" + std::to_string(version_);
    if (method == "PROPFIND") {
        return reply(207, "<multistatus xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><response><href>" + path +
                              "</href><propstat><prop><resourcetype><collection/><C:addressbook/></resourcetype>"
                              "<sync-token>" + token + "</sync-token></prop><status>HTTP/1.1 200 OK</status></propstat>"
                              "</response></multistatus>");
    }
    if (method == "REPORT" && body.find("sync-collection") != std::string::npos) {
        const std::size_t at = body.find("urn:bench:sync:");
        const long since = at == std::string::npos ? 0 : std::stol(body.substr(at + 15));
        std::string out = "<multistatus xmlns=\"DAV:\"><sync-token>" + token + "</sync-token>";
        for (const auto& [href, card] : cards_) {
            if (card.version <= since) continue;
            if (card.removed)
                out += "<response><href>" + href + "</href><status>HTTP/1.1 404 Not Found</status></response>";
            else
                out += "<response><href>" + href + "</href><propstat><prop><getetag>" + etagOf(card.version) +
                       "</getetag></prop><status>HTTP/1.1 200 OK</status></propstat></response>";
        }
        return reply(207, out + "</multistatus>");
    }
    if (method == "REPORT") {
        std::string out = "<multistatus xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\">";
        for (const std::string& href : hrefsIn(body)) {
            const auto card = cards_.find(href);
            if (card == cards_.end() || card->second.removed) {
                out += "<response><href>" + href + "</href><status>HTTP/1.1 404 Not Found</status></response>";
                continue;
            }
            out += "<response><href>" + href + "</href><propstat><prop><getetag>" + etagOf(card->second.version) +
                   "</getetag><C:address-data>" + escaped(card->second.data) +
                   "</C:address-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>";
        }
        return reply(207, out + "</multistatus>");
    }
    const auto card = cards_.find(path);
    const bool exists = card != cards_.end() && !card->second.removed;
    const std::string ifMatch = header(headers, "If-Match");
    if (method == "PUT") {
        if (!header(headers, "If-None-Match").empty() && exists) return reply(412, "");
        if (!ifMatch.empty() && (!exists || etagOf(card->second.version) != ifMatch)) return reply(412, "");
        cards_[path] = Card{body, ++version_, false};
        return reply(exists ? 204 : 201, "", "ETag: " + etagOf(version_) + "\r\n");
    }
    if (method == "DELETE") {
        if (!exists) return reply(404, "");
        if (!ifMatch.empty() && etagOf(card->second.version) != ifMatch) return reply(412, "");
        card->second = Card{"", ++version_, true};
        return reply(204, "");
    }
    return reply(405, "");
}

}  // namespace lumo::bench
