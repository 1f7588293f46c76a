#pragma once
// HTTP(S) requests to one server over libcurl, on one connection kept open
// between requests. Certificates are always checked (a private CA may be
// named with caFile); plain http is refused unless the host is a loopback
// address or allowPlainHttp is set. The password is handed to libcurl only;
// it is never written anywhere else.
//
// Failures of transport (no connection, a timeout, a certificate that does
// not check) throw lumo::Error with a Japanese message; an HTTP status is
// not a failure here, the caller reads it.
//
// Ownership: the object owns its libcurl handle for its lifetime. One
// thread at a time.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sync/ServerUrl.h"

namespace lumo::sync {

struct HttpSettings {
    std::string user;
    std::string password;
    std::string caFile;          // extra CA certificates (PEM); "" for the system's
    bool allowPlainHttp = false;  // --insecure: plain http also to other hosts
    long timeoutSeconds = 30;
};

struct HttpRequest {
    std::string method;  // "PROPFIND", "REPORT", "PUT", "DELETE", ...
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

struct HttpResponse {
    long status = 0;
    std::string etag;          // the ETag header, as sent (quotes included)
    std::string lastModified;  // the Last-Modified header
    std::string contentType;
    std::string body;
};

class HttpClient {
public:
    // Throws lumo::Error when the URL's scheme is refused.
    HttpClient(const ServerUrl& server, HttpSettings settings);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    HttpResponse send(const HttpRequest& request);
    int requestsSent() const { return sent_; }
    // Wall time spent waiting for the server, for the report's figures.
    double secondsWaiting() const { return waiting_; }

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
    HttpSettings settings_;
    int sent_ = 0;
    double waiting_ = 0;
};

}  // namespace lumo::sync
