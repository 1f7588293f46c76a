#pragma once
// A CardDAV address book held in memory and served on 127.0.0.1 by one
// thread, quick enough that a benchmark of the sync measures the client
// rather than the server: PROPFIND (Depth 0) of the collection with a sync
// token, sync-collection and addressbook-multiget reports, PUT and DELETE
// with their preconditions. Benchmarks only; it trusts its client.
//
// Ownership: owns its socket, its thread and the cards; stopped when the
// object ends. Its methods may be called from any thread.
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace lumo::bench {

class MemoryCardDav {
public:
    MemoryCardDav();
    ~MemoryCardDav();
    MemoryCardDav(const MemoryCardDav&) = delete;
    MemoryCardDav& operator=(const MemoryCardDav&) = delete;

    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/book/"; }
    std::size_t cards() const;

private:
    struct Card {
        std::string data;
        long version = 0;  // of the change that wrote it
        bool removed = false;
    };
    void serve();
    void connection(int client);
    std::string answer(const std::string& method, const std::string& path, const std::string& headers,
                       const std::string& body);

    mutable std::mutex mutex_;
    std::map<std::string, Card> cards_;  // by path
    long version_ = 1;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace lumo::bench
