#pragma once
// The CardDAV (RFC 6352) operations of a sync on one address book
// collection: what the collection offers, the list of its cards with their
// ETags (a sync-collection report, RFC 6578, where offered; PROPFIND
// Depth 1 otherwise), cards fetched by addressbook-multiget, and
// conditional PUT and DELETE. Every HTTP status that is not the expected
// one throws lumo::Error with a Japanese message naming what failed (401,
// 403, 404, 412, 507 each their own), except where a method documents
// that it answers a status itself.
//
// Hrefs in and out are as ServerUrl::normalHref gives them (decoded paths).
//
// Ownership: the object owns its HttpClient. One thread at a time.
#include <optional>
#include <string>
#include <vector>

#include "sync/HttpClient.h"
#include "sync/ServerUrl.h"

namespace lumo::sync {

struct CollectionInfo {
    std::string syncToken;      // "" when the server offers none
    bool offersSyncReport = false;
};

struct CardEtag {
    std::string href;
    std::string etag;
};

struct CardListing {
    std::vector<CardEtag> present;  // all cards (full) or the changed ones (delta)
    std::vector<std::string> removed;  // delta only
    std::string syncToken;          // the new token; "" in ETag mode
    bool full = true;               // present lists every card of the collection
};

struct FetchedCard {
    std::string href;
    std::string etag;
    std::string data;
};

enum class PutResult { Stored, PreconditionFailed };

class CardDavClient {
public:
    CardDavClient(ServerUrl server, HttpSettings settings);

    const ServerUrl& server() const { return server_; }

    // PROPFIND Depth 0 on the collection; fails unless it is an address book.
    CollectionInfo probe();
    // A sync-collection report from `token` ("" for all cards). When the
    // server no longer knows the token it starts again from "" and says
    // so with full = true.
    CardListing changesSince(const std::string& token);
    // PROPFIND Depth 1: every card with its ETag.
    CardListing listAll();
    // addressbook-multiget in batches; cards the server no longer has are
    // left out.
    std::vector<FetchedCard> fetch(const std::vector<std::string>& hrefs);
    // PUT with If-Match: etag (or If-None-Match: * when etag is empty).
    // The new ETag ("" when the server sends none) goes to newEtag.
    PutResult put(const std::string& href, const std::string& card, const std::string& etag, std::string& newEtag);
    // DELETE with If-Match; a card already gone counts as deleted.
    PutResult remove(const std::string& href, const std::string& etag);
    // The card's DAV:getlastmodified, as Unix seconds; nullopt when the
    // server gives none.
    std::optional<long long> lastModified(const std::string& href);

    int requestsSent() const { return http_.requestsSent(); }
    double secondsWaiting() const { return http_.secondsWaiting(); }

private:
    HttpResponse send(const char* method, const std::string& url, std::vector<std::pair<std::string, std::string>> headers,
                      std::string body);
    [[noreturn]] void failStatus(const HttpResponse& response, const std::string& what, const std::string& url) const;

    ServerUrl server_;
    HttpClient http_;
};

// An HTTP date (RFC 7231: "Sun, 06 Nov 1994 08:49:37 GMT") as Unix seconds.
std::optional<long long> parseHttpDate(const std::string& text);

}  // namespace lumo::sync
