#include "sync/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <mutex>
#include <string_view>

#include "platform/Error.h"
#include "sync/HttpFaults.h"

namespace lumo::sync {
namespace {

void initializeCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

size_t appendBody(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return std::string(text);
}

// Picks the few headers the client reads; a new status line (after a
// 100 Continue or a redirect) starts the set afresh.
size_t readHeader(char* data, size_t size, size_t count, void* target) {
    auto& response = *static_cast<HttpResponse*>(target);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        response.etag.clear();
        response.lastModified.clear();
        response.contentType.clear();
    }
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos) {
        std::string name(line.substr(0, colon));
        std::ranges::transform(name, name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const std::string value = trimmed(line.substr(colon + 1));
        if (name == "etag") response.etag = value;
        else if (name == "last-modified") response.lastModified = value;
        else if (name == "content-type") response.contentType = value;
    }
    return size * count;
}

Error lostConnection(const std::string& url) {
    return Error("サーバーとの接続が途中で切れました: " + url);
}

Error transportError(CURLcode code, const std::string& url, long timeoutSeconds, const char* detail) {
    const std::string why = detail && *detail ? detail : curl_easy_strerror(code);
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return Error("サーバーが " + std::to_string(timeoutSeconds) + " 秒以内に応答しません: " + url);
    case CURLE_COULDNT_RESOLVE_HOST:
        return Error("サーバーの名前が見つかりません: " + url);
    case CURLE_COULDNT_CONNECT:
        return Error("サーバーに接続できません (" + why + "): " + url);
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CONNECT_ERROR:
        return Error("サーバーの証明書を確かめられません (" + why + "): " + url);
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        return lostConnection(url);
    default:
        return Error("サーバーとの通信に失敗しました (" + why + "): " + url);
    }
}

}  // namespace

struct HttpClient::Handle {
    struct Cleanup {
        void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
    };
    std::unique_ptr<CURL, Cleanup> curl;
};

HttpClient::HttpClient(const ServerUrl& server, HttpSettings settings)
    : handle_(std::make_unique<Handle>()), settings_(std::move(settings)) {
    if (server.scheme == "http" && !server.isLoopback() && !settings_.allowPlainHttp)
        throw Error("暗号化しない http で送れるのはこの計算機 (127.0.0.1, localhost) のサーバーだけです。"
                    "https の URL を使うか、承知のうえで --insecure を付けてください: " +
                    server.origin);
    initializeCurlOnce();
    handle_->curl.reset(curl_easy_init());
    if (!handle_->curl) throw Error("通信の準備ができません (libcurl)");
}

HttpClient::~HttpClient() = default;

HttpResponse HttpClient::send(const HttpRequest& request) {
    int number = 0;
    if (httpFaultBeforeSending(number)) throw lostConnection(request.url);
    CURL* curl = handle_->curl.get();
    curl_easy_reset(curl);
    HttpResponse response;
    std::unique_ptr<curl_slist, SlistFree> headers;
    for (const auto& [name, value] : request.headers) {
        const std::string line = name + ": " + value;
        curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
        if (!grown) throw Error("通信の準備ができません (メモリ不足)");
        (void)headers.release();
        headers.reset(grown);
    }
    // An empty Expect keeps libcurl from waiting for 100 Continue on large bodies.
    curl_slist* grown = curl_slist_append(headers.get(), "Expect:");
    if (grown) {
        (void)headers.release();
        headers.reset(grown);
    }
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    if (!request.body.empty() || request.method == "PUT") {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    }
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response.body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &readHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &response);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, settings_.timeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, std::min(settings_.timeoutSeconds, 15L));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    if (!settings_.caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, settings_.caFile.c_str());
    if (!settings_.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(curl, CURLOPT_USERNAME, settings_.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, settings_.password.c_str());
    }
    ++sent_;
    const auto started = std::chrono::steady_clock::now();
    const CURLcode code = curl_easy_perform(curl);
    waiting_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (code != CURLE_OK) throw transportError(code, request.url, settings_.timeoutSeconds, errorText);
    if (httpFaultAfterAnswer(number)) throw lostConnection(request.url);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);
    return response;
}

}  // namespace lumo::sync
