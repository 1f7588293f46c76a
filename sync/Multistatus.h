#pragma once
// The 207 Multi-Status answers of WebDAV (RFC 4918) as the CardDAV client
// needs them: per response its href, its own status (a removed card of a
// sync report) and the properties of its 200 propstat; the collection's
// sync token of a sync-collection report (RFC 6578). Parsed with libxml2,
// by namespace and local name, so any prefix the server picks works.
// Also the XML texts of the requests, with their hrefs escaped.
//
// Value types and free functions; any thread.
#include <string>
#include <string_view>
#include <vector>

namespace lumo::sync {

struct DavResponse {
    std::string href;
    int status = 0;                // the response's own status, 0 when it has propstats
    bool found = false;            // a propstat with status 200 came
    std::string etag;              // DAV:getetag
    std::string lastModified;      // DAV:getlastmodified
    std::string addressData;       // CARDDAV:address-data
    std::string syncToken;         // DAV:sync-token as a property (PROPFIND on the collection)
    bool isAddressBook = false;    // DAV:resourcetype holds CARDDAV:addressbook
    bool isCollection = false;     // DAV:resourcetype holds DAV:collection
    bool offersSyncReport = false; // DAV:supported-report-set names DAV:sync-collection
    bool offersMultiget = false;   // ... and CARDDAV:addressbook-multiget
};

struct Multistatus {
    std::vector<DavResponse> responses;
    std::string syncToken;  // the report's own DAV:sync-token
};

// Throws lumo::Error ("サーバーの応答を読めません: ...") for a body that is
// not well-formed XML or not a DAV:multistatus.
Multistatus parseMultistatus(std::string_view body);

// True when an error body (403/409 of a sync report) names the
// DAV:valid-sync-token precondition: the server forgot our token.
bool namesInvalidSyncToken(std::string_view body);

std::string escapeXml(std::string_view text);

std::string collectionPropfindBody();
std::string etagPropfindBody();
std::string lastModifiedPropfindBody();
std::string syncCollectionBody(std::string_view syncToken);
std::string multigetBody(const std::vector<std::string>& hrefs);

}  // namespace lumo::sync
