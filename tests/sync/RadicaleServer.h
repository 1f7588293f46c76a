#pragma once
// Debian's Radicale, run by the test itself on 127.0.0.1 with a free port
// and a temporary storage folder, as a real CardDAV server for the sync
// tests. Started with Debian's own /usr/bin/python3; stopped by its process
// id (SIGTERM, then SIGKILL) when the object ends.
//
// Ownership: the object owns the server process and its folder. One thread.
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "tests/support/DatabaseState.h"
#include "tests/sync/ServerProcess.h"

namespace lumo::test {

class RadicaleServer {
public:
    // `users` (name -> password) turns on htpasswd plain authentication;
    // empty, anyone may use every address book.
    explicit RadicaleServer(const std::map<std::string, std::string>& users = {});
    ~RadicaleServer();
    RadicaleServer(const RadicaleServer&) = delete;
    RadicaleServer& operator=(const RadicaleServer&) = delete;

    // Makes an empty address book /user/name/ and returns its URL.
    std::string makeAddressBook(const std::string& user, const std::string& name);
    // The cards of an address book as the server stores them: file name ->
    // content.
    std::map<std::string, std::string> storedCards(const std::string& user, const std::string& name) const;

    // Where the server keeps an address book: a test may copy it away and
    // back while the server is idle (Radicale reads it afresh per request).
    std::filesystem::path bookFolder(const std::string& user, const std::string& name) const;

    std::string origin() const { return "http://127.0.0.1:" + std::to_string(port_); }
    int port() const { return port_; }

private:
    TemporaryFolder folder_{"lumo_radicale"};
    int port_ = 0;
    std::unique_ptr<ServerProcess> process_;  // ends before its folder
};

}  // namespace lumo::test
