#include "sync/CardDavClient.h"

#include <ctime>
#include <set>
#include <utility>

#include "platform/Error.h"
#include "sync/Multistatus.h"

namespace lumo::sync {
namespace {

// Cards per addressbook-multiget: large enough that a first sync of
// thousands of cards is a few dozen requests, small enough that one
// answer stays a few hundred kilobytes.
constexpr std::size_t kMultigetBatch = 200;

using Headers = std::vector<std::pair<std::string, std::string>>;

std::string encodedPath(const std::string& path) {
    std::string out;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        out += encodePathSegment(std::string_view(path).substr(start, end - start));
        if (slash == std::string::npos) break;
        out += '/';
        start = slash + 1;
    }
    return out;
}

Multistatus multistatusOf(const HttpResponse& response) {
    if (response.status != 207) throw Error("サーバーの応答を読めません: 207 Multi-Status のはずが " +
                                            std::to_string(response.status) + " でした");
    return parseMultistatus(response.body);
}

}  // namespace

CardDavClient::CardDavClient(ServerUrl server, HttpSettings settings)
    : server_(std::move(server)), http_(server_, std::move(settings)) {}

HttpResponse CardDavClient::send(const char* method, const std::string& url, Headers headers, std::string body) {
    HttpRequest request{method, url, std::move(headers), std::move(body)};
    return http_.send(request);
}

void CardDavClient::failStatus(const HttpResponse& response, const std::string& what, const std::string& url) const {
    const std::string where = " (" + what + ", " + url + ")";
    switch (response.status) {
    case 401:
        throw Error("サーバーが利用者名かパスワードを受け付けません (401)。--user と --password-file を確かめてください" +
                    where);
    case 403: throw Error("サーバーがこの操作を許しません (403)" + where);
    case 404: throw Error("サーバーにアドレス帳が見つかりません (404)。URL を確かめてください" + where);
    case 412:
        throw Error("同期中にサーバーのカードがほかから変更されました (412)。もう一度同期してください" + where);
    case 507: throw Error("サーバーの保存容量が足りません (507)" + where);
    default:
        throw Error("サーバーがエラーを返しました (" + std::to_string(response.status) + ")" + where);
    }
}

CollectionInfo CardDavClient::probe() {
    const std::string url = server_.collectionUrl();
    const HttpResponse response =
        send("PROPFIND", url, {{"Depth", "0"}, {"Content-Type", "application/xml; charset=utf-8"}}, collectionPropfindBody());
    if (response.status != 207) failStatus(response, "アドレス帳の確認", url);
    const Multistatus answer = parseMultistatus(response.body);
    for (const DavResponse& r : answer.responses) {
        if (server_.normalHref(r.href) != server_.normalHref(server_.path)) continue;
        if (!r.isAddressBook)
            throw Error("この URL はアドレス帳 (CardDAV の addressbook) ではありません: " + url);
        return CollectionInfo{r.syncToken, r.offersSyncReport || !r.syncToken.empty()};
    }
    throw Error("サーバーの応答を読めません: アドレス帳そのものの情報がありません (" + url + ")");
}

CardListing CardDavClient::changesSince(const std::string& token) {
    const std::string url = server_.collectionUrl();
    const HttpResponse response =
        send("REPORT", url, {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}}, syncCollectionBody(token));
    if ((response.status == 403 || response.status == 409) && !token.empty() && namesInvalidSyncToken(response.body))
        return changesSince("");
    if (response.status != 207) failStatus(response, "変更の一覧", url);
    const Multistatus answer = parseMultistatus(response.body);
    if (answer.syncToken.empty()) throw Error("サーバーの応答を読めません: 同期トークンがありません (" + url + ")");
    CardListing out;
    out.full = token.empty();
    out.syncToken = answer.syncToken;
    const std::string self = server_.normalHref(server_.path);
    for (const DavResponse& r : answer.responses) {
        const std::string href = server_.normalHref(r.href);
        if (href == self) continue;
        if (r.status == 404) out.removed.push_back(href);
        else if (r.found && !r.etag.empty()) out.present.push_back({href, r.etag});
        else if (r.found) throw Error("サーバーの応答を読めません: ETag のないカードがあります (" + href + ")");
    }
    return out;
}

CardListing CardDavClient::listAll() {
    const std::string url = server_.collectionUrl();
    const HttpResponse response =
        send("PROPFIND", url, {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}}, etagPropfindBody());
    if (response.status != 207) failStatus(response, "カードの一覧", url);
    const Multistatus answer = parseMultistatus(response.body);
    CardListing out;
    const std::string self = server_.normalHref(server_.path);
    for (const DavResponse& r : answer.responses) {
        const std::string href = server_.normalHref(r.href);
        if (href == self || r.isCollection || !r.found) continue;
        if (r.etag.empty()) throw Error("サーバーの応答を読めません: ETag のないカードがあります (" + href + ")");
        out.present.push_back({href, r.etag});
    }
    return out;
}

std::vector<FetchedCard> CardDavClient::fetch(const std::vector<std::string>& hrefs) {
    std::vector<FetchedCard> out;
    const std::string url = server_.collectionUrl();
    for (std::size_t start = 0; start < hrefs.size(); start += kMultigetBatch) {
        std::vector<std::string> batch;
        std::set<std::string> asked;
        for (std::size_t i = start; i < hrefs.size() && i < start + kMultigetBatch; ++i) {
            batch.push_back(encodedPath(hrefs[i]));
            asked.insert(hrefs[i]);
        }
        const HttpResponse response = send("REPORT", url, {{"Depth", "1"}, {"Content-Type", "application/xml; charset=utf-8"}},
                                           multigetBody(batch));
        if (response.status != 207) failStatus(response, "カードの取得", url);
        for (const DavResponse& r : multistatusOf(response).responses) {
            const std::string href = server_.normalHref(r.href);
            if (!r.found) continue;
            if (!asked.contains(href)) continue;
            if (r.addressData.empty())
                throw Error("サーバーの応答を読めません: カードの中身がありません (" + href + ")");
            out.push_back({href, r.etag, r.addressData});
        }
    }
    return out;
}

PutResult CardDavClient::put(const std::string& href, const std::string& card, const std::string& etag,
                             std::string& newEtag) {
    const std::string url = server_.resolve(encodedPath(href));
    Headers headers{{"Content-Type", "text/vcard; charset=utf-8"}};
    if (etag.empty()) headers.emplace_back("If-None-Match", "*");
    else headers.emplace_back("If-Match", etag);
    const HttpResponse response = send("PUT", url, std::move(headers), card);
    if (response.status == 412) return PutResult::PreconditionFailed;
    if (response.status != 201 && response.status != 204 && response.status != 200)
        failStatus(response, "カードの書き込み", url);
    newEtag = response.etag;
    // A weak ETag says the server changed the card as it stored it; the
    // next sync fetches it back instead of trusting our copy.
    if (newEtag.starts_with("W/")) newEtag.clear();
    return PutResult::Stored;
}

PutResult CardDavClient::remove(const std::string& href, const std::string& etag) {
    const std::string url = server_.resolve(encodedPath(href));
    Headers headers;
    if (!etag.empty()) headers.emplace_back("If-Match", etag);
    const HttpResponse response = send("DELETE", url, std::move(headers), "");
    if (response.status == 404 || response.status == 410) return PutResult::Stored;
    if (response.status == 412) return PutResult::PreconditionFailed;
    if (response.status != 204 && response.status != 200) failStatus(response, "カードの削除", url);
    return PutResult::Stored;
}

std::optional<long long> CardDavClient::lastModified(const std::string& href) {
    const std::string url = server_.resolve(encodedPath(href));
    const HttpResponse response =
        send("PROPFIND", url, {{"Depth", "0"}, {"Content-Type", "application/xml; charset=utf-8"}}, lastModifiedPropfindBody());
    if (response.status == 404) return std::nullopt;
    if (response.status != 207) failStatus(response, "カードの更新日時", url);
    for (const DavResponse& r : parseMultistatus(response.body).responses)
        if (r.found && !r.lastModified.empty()) return parseHttpDate(r.lastModified);
    return std::nullopt;
}

std::optional<long long> parseHttpDate(const std::string& text) {
    std::tm tm{};
    const char* end = strptime(text.c_str(), "%a, %d %b %Y %H:%M:%S", &tm);
    if (!end) return std::nullopt;
    return static_cast<long long>(timegm(&tm));
}

}  // namespace lumo::sync
