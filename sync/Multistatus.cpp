#include "sync/Multistatus.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>

#include "platform/Error.h"

namespace lumo::sync {
namespace {

constexpr const char* kDav = "DAV:";
constexpr const char* kCardDav = "urn:ietf:params:xml:ns:carddav";

struct DocumentFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using Document = std::unique_ptr<xmlDoc, DocumentFree>;

Document parseXml(std::string_view body) {
    // No network, no entity expansion, no DTD loading: the answer is data.
    constexpr int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS;
    return Document(xmlReadMemory(body.data(), static_cast<int>(body.size()), "answer.xml", nullptr, options));
}

bool is(const xmlNode* node, const char* ns, const char* name) {
    return node && node->type == XML_ELEMENT_NODE && node->ns && node->ns->href &&
           std::strcmp(reinterpret_cast<const char*>(node->ns->href), ns) == 0 &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

std::string textOf(const xmlNode* node) {
    std::string out;
    if (xmlChar* content = xmlNodeGetContent(node)) {
        out = reinterpret_cast<const char*>(content);
        xmlFree(content);
    }
    return out;
}

std::string trimmed(std::string text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

template <class F>
void forChildren(const xmlNode* parent, F&& f) {
    for (const xmlNode* child = parent->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE) f(child);
}

// "HTTP/1.1 404 Not Found" -> 404; 0 when it does not read as one.
int statusCode(const std::string& line) {
    const std::size_t space = line.find(' ');
    if (space == std::string::npos || space + 4 > line.size()) return 0;
    int code = 0;
    for (std::size_t i = space + 1; i < space + 4; ++i) {
        if (line[i] < '0' || line[i] > '9') return 0;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

void readProperties(const xmlNode* prop, DavResponse& out) {
    forChildren(prop, [&](const xmlNode* p) {
        if (is(p, kDav, "getetag")) out.etag = trimmed(textOf(p));
        else if (is(p, kDav, "getlastmodified")) out.lastModified = trimmed(textOf(p));
        else if (is(p, kCardDav, "address-data")) out.addressData = textOf(p);
        else if (is(p, kDav, "sync-token")) out.syncToken = trimmed(textOf(p));
        else if (is(p, kDav, "resourcetype")) {
            forChildren(p, [&](const xmlNode* t) {
                if (is(t, kCardDav, "addressbook")) out.isAddressBook = true;
                if (is(t, kDav, "collection")) out.isCollection = true;
            });
        } else if (is(p, kDav, "supported-report-set")) {
            forChildren(p, [&](const xmlNode* supported) {
                forChildren(supported, [&](const xmlNode* report) {
                    forChildren(report, [&](const xmlNode* r) {
                        if (is(r, kDav, "sync-collection")) out.offersSyncReport = true;
                        if (is(r, kCardDav, "addressbook-multiget")) out.offersMultiget = true;
                    });
                });
            });
        }
    });
}

DavResponse readResponse(const xmlNode* node) {
    DavResponse out;
    bool hasHref = false;
    forChildren(node, [&](const xmlNode* child) {
        if (is(child, kDav, "href") && !hasHref) {
            out.href = trimmed(textOf(child));
            hasHref = true;
        } else if (is(child, kDav, "status")) {
            out.status = statusCode(trimmed(textOf(child)));
        } else if (is(child, kDav, "propstat")) {
            int status = 0;
            const xmlNode* prop = nullptr;
            forChildren(child, [&](const xmlNode* part) {
                if (is(part, kDav, "status")) status = statusCode(trimmed(textOf(part)));
                if (is(part, kDav, "prop")) prop = part;
            });
            if (status == 200 && prop) {
                out.found = true;
                readProperties(prop, out);
            }
        }
    });
    if (!hasHref || out.href.empty()) throw Error("サーバーの応答を読めません: href のない response があります");
    return out;
}

}  // namespace

Multistatus parseMultistatus(std::string_view body) {
    const Document doc = parseXml(body);
    if (!doc) throw Error("サーバーの応答を読めません: XML として正しくありません");
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!is(root, kDav, "multistatus"))
        throw Error("サーバーの応答を読めません: DAV の multistatus ではありません");
    Multistatus out;
    forChildren(root, [&](const xmlNode* child) {
        if (is(child, kDav, "response")) out.responses.push_back(readResponse(child));
        else if (is(child, kDav, "sync-token")) out.syncToken = trimmed(textOf(child));
    });
    return out;
}

bool namesInvalidSyncToken(std::string_view body) {
    const Document doc = parseXml(body);
    if (!doc) return false;
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!is(root, kDav, "error")) return false;
    bool named = false;
    forChildren(root, [&](const xmlNode* child) { named = named || is(child, kDav, "valid-sync-token"); });
    return named;
}

std::string escapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string collectionPropfindBody() {
    return R"(<?xml version="1.0" encoding="utf-8"?>)"
           R"(<d:propfind xmlns:d="DAV:"><d:prop><d:resourcetype/><d:sync-token/><d:supported-report-set/>)"
           R"(</d:prop></d:propfind>)";
}

std::string etagPropfindBody() {
    return R"(<?xml version="1.0" encoding="utf-8"?>)"
           R"(<d:propfind xmlns:d="DAV:"><d:prop><d:resourcetype/><d:getetag/></d:prop></d:propfind>)";
}

std::string lastModifiedPropfindBody() {
    return R"(<?xml version="1.0" encoding="utf-8"?>)"
           R"(<d:propfind xmlns:d="DAV:"><d:prop><d:getlastmodified/><d:getetag/></d:prop></d:propfind>)";
}

std::string syncCollectionBody(std::string_view syncToken) {
    std::string out = R"(<?xml version="1.0" encoding="utf-8"?>)"
                      R"(<d:sync-collection xmlns:d="DAV:"><d:sync-token>)";
    out += escapeXml(syncToken);
    out += R"(</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>)";
    return out;
}

std::string multigetBody(const std::vector<std::string>& hrefs) {
    std::string out = R"(<?xml version="1.0" encoding="utf-8"?>)"
                      R"(<c:addressbook-multiget xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">)"
                      R"(<d:prop><d:getetag/><c:address-data/></d:prop>)";
    for (const std::string& href : hrefs) out += "<d:href>" + escapeXml(href) + "</d:href>";
    out += "</c:addressbook-multiget>";
    return out;
}

}  // namespace lumo::sync
