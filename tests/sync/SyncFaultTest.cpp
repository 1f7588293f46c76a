// Faults of the server: each ends the sync with its own Japanese message
// and leaves both sides as they were (no pair recorded for a card that was
// not stored, the persons here untouched). Radicale gives the real 401;
// a small fake server on 127.0.0.1 gives the answers Radicale does not.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "platform/Error.h"
#include "tests/sync/SyncTestSupport.h"

namespace lumo::test {
namespace {

using Rows = std::vector<std::string>;

// Answers each request with what `answer` gives for its first line ("" :
// no answer at all, the connection held open until the server ends).
// Ownership: the object owns its listening socket and thread.
class FakeServer {
public:
    explicit FakeServer(std::function<std::string(const std::string& requestLine)> answer) : answer_(std::move(answer)) {
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
    ~FakeServer() {
        stopping_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        thread_.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/u/book/"; }

private:
    void serve() {
        while (!stopping_) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) return;
            for (;;) {
                std::string request;
                char buffer[4096];
                std::size_t headerEnd = std::string::npos;
                while (headerEnd == std::string::npos) {
                    const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                    if (got <= 0) break;
                    request.append(buffer, static_cast<std::size_t>(got));
                    headerEnd = request.find("\r\n\r\n");
                }
                if (headerEnd == std::string::npos) break;
                std::size_t length = 0;
                if (const std::size_t at = request.find("Content-Length: "); at != std::string::npos)
                    length = std::stoul(request.substr(at + 16));
                while (request.size() < headerEnd + 4 + length) {
                    const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                    if (got <= 0) break;
                    request.append(buffer, static_cast<std::size_t>(got));
                }
                const std::string reply = answer_(request.substr(0, request.find("\r\n")));
                if (reply.empty()) {
                    while (!stopping_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    break;
                }
                ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            }
            ::close(client);
        }
    }

    std::function<std::string(const std::string&)> answer_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

std::string http(int status, const std::string& body = "", const std::string& extra = "") {
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nContent-Type: application/xml\r\n" + extra + "\r\n" + body;
}

const std::string kCollection =
    "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:response>"
    "<d:href>/u/book/</d:href><d:propstat><d:prop><d:resourcetype><d:collection/><c:addressbook/></d:resourcetype>"
    "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response></d:multistatus>";
const std::string kNoCards =
    "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\"><response><href>/u/book/</href><propstat><prop>"
    "<resourcetype><collection/></resourcetype></prop><status>HTTP/1.1 200 OK</status></propstat></response></multistatus>";

// The probe and the listing answered as an empty address book; the upload of
// the one person here gets `put`.
std::function<std::string(const std::string&)> emptyBookThen(std::string put) {
    auto propfinds = std::make_shared<int>(0);
    return [put, propfinds](const std::string& line) {
        if (line.starts_with("PROPFIND")) return (*propfinds)++ == 0 ? http(207, kCollection) : http(207, kNoCards);
        return put;
    };
}

TEST(SyncFaultTest, EachFaultHasItsMessageAndLeavesBothSidesAsTheyWere) {
    const struct {
        const char* name;
        std::function<std::string(const std::string&)> answer;  // nullptr: nothing listens
        const char* message;
        long long pendingLeft;  // an upload begun and not known to be stored: settled by the next sync
    } cases[]{
        {"unreachable", nullptr, "サーバーに接続できません", 0},
        {"timeout", [](const std::string&) { return std::string(); }, "秒以内に応答しません", 0},
        {"401", [](const std::string&) { return http(401); }, "(401)", 0},
        {"403", [](const std::string&) { return http(403); }, "(403)", 0},
        {"404", [](const std::string&) { return http(404); }, "(404)", 0},
        {"not an address book",
         [](const std::string&) {
             return http(207, "<multistatus xmlns=\"DAV:\"><response><href>/u/book/</href><propstat><prop><resourcetype>"
                              "<collection/></resourcetype></prop><status>HTTP/1.1 200 OK</status></propstat></response>"
                              "</multistatus>");
         },
         "アドレス帳 (CardDAV の addressbook) ではありません", 0},
        {"malformed", [](const std::string&) { return http(207, "<multistatus xmlns=\"DAV:\"><response>"); },
         "サーバーの応答を読めません", 0},
        {"not multistatus", [](const std::string&) { return http(207, "<html><body>hello</body></html>"); },
         "サーバーの応答を読めません", 0},
        {"507 on upload", emptyBookThen(http(507)), "(507)", 1},
        {"403 on upload", emptyBookThen(http(403)), "(403)", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Folder here;
        addHere(here, person("山田", "太郎", {"090-1111-0000"}));
        const Rows before = rowsHere(here);
        std::optional<FakeServer> server;
        std::string url = "http://127.0.0.1:" + std::to_string(freeLoopbackPort()) + "/u/book/";
        if (c.answer) {
            server.emplace(c.answer);
            url = server->url();
        }
        sync::HttpSettings settings;
        settings.timeoutSeconds = 1;
        try {
            syncNow(here, url, settings);
            ADD_FAILURE() << "no failure reported";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(rowsHere(here), before);
        const auto state = here.path() / "Data" / "LumoSync.sqlite";
        EXPECT_EQ(scalarOf(state, "SELECT COUNT(*) FROM card"), 0);
        EXPECT_EQ(scalarOf(state, "SELECT COUNT(*) FROM pending_upload"), c.pendingLeft);
    }
}

TEST(SyncFaultTest, A412OnUploadIsLeftForTheNextSync) {
    const Folder here;
    addHere(here, person("山田", "太郎", {"090-1111-0000"}));
    FakeServer server(emptyBookThen(http(412)));
    const sync::SyncReport r = syncNow(here, server.url());
    EXPECT_EQ(r.deferred, 1);
    EXPECT_EQ(r.addedThere, 0);
    const auto state = here.path() / "Data" / "LumoSync.sqlite";
    EXPECT_EQ(scalarOf(state, "SELECT COUNT(*) FROM card"), 0);
    EXPECT_EQ(scalarOf(state, "SELECT COUNT(*) FROM pending_upload"), 0);
    EXPECT_NE(describe(r).back().find("次の同期に回した"), std::string::npos);
}

TEST(SyncFaultTest, AWrongPasswordIsRefusedAndTheRightOneSyncs) {
    const std::string url = sharedRadicale().makeAddressBook(kUser, "password-book");
    const Folder here;
    addHere(here, person("山田", "太郎", {"090-1111-0000"}));
    sync::HttpSettings http = account();
    http.password = "wrong-password";
    try {
        syncNow(here, url, http);
        ADD_FAILURE() << "a wrong password was taken";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("(401)"), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).find("wrong-password"), std::string::npos) << e.what();
    }
    EXPECT_EQ(syncNow(here, url).addedThere, 1);
    EXPECT_EQ(cardsThere(sharedRadicale().storedCards(kUser, "password-book")), Rows{"山田 太郎 / 090-1111-0000 / "});
}

TEST(SyncFaultTest, PlainHttpGoesOnlyToThisComputer) {
    const Folder here;
    try {
        syncNow(here, "http://dav.example.jp/u/book/");
        ADD_FAILURE() << "plain http to another host";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("--insecure"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace lumo::test
