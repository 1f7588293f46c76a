#pragma once
// The sync state file, DIR/Data/LumoSync.sqlite, beside the databases: which
// person is which card (href, UID, ETag), the card as last synced (so a
// change on our side shows as a different card), the card as the server
// last gave it (whose properties the mapping does not own go along with
// the next upload of the person, sync/CarriedProperties.h), uploads begun but not
// known to be finished, and per address book the sync token and the time
// of the last finished sync. A plain SQLite file in WAL mode; every change
// happens inside a transaction (SyncState::Transaction), so a process killed
// at any moment leaves the file as it was at the last commit.
//
// Ownership: the object owns its SQLite connection for its lifetime. One
// thread at a time; two processes on the same file wait for each other's
// write transactions (busy timeout), they never mix them.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/SqliteHandle.h"

namespace lumo::sync {

using PersonId = long long;

struct CardPair {
    PersonId person = 0;
    std::string href;
    std::string uid;
    std::string etag;    // "" when unknown: the next sync fetches the card again
    std::string synced;  // the card text both sides held after the last sync
    std::string fingerprint;  // of the person's rows then (PersonFingerprints); "" unknown
};

// An upload of a new card, recorded before its PUT: a sync killed after the
// server stored the card but before the pair was recorded finds the card
// under this href next time and pairs it instead of uploading it twice.
struct PendingUpload {
    PersonId person = 0;
    std::string href;
    std::string uid;
    std::string card;
};

class SyncState {
public:
    // Opens or creates the file (its folder must exist). Throws lumo::Error.
    explicit SyncState(const std::filesystem::path& file);
    ~SyncState();
    SyncState(const SyncState&) = delete;
    SyncState& operator=(const SyncState&) = delete;

    static std::filesystem::path fileOf(const std::filesystem::path& folder);

    // The address book this state belongs to; "" for a new file.
    std::string value(const std::string& key) const;
    void setValue(const std::string& key, const std::string& value);

    std::vector<CardPair> pairs() const;
    // Inserts or replaces the pair of this href (and drops another pair of
    // the same person).
    void putPair(const CardPair& pair);
    // Also forgets the pair's server card.
    void removePair(const std::string& href);

    // The card text the server last gave for this href (or, after an
    // upload, the text uploaded); "" when none is kept. Kept apart from
    // the pairs, which every sync reads whole, because a phone's card with
    // its photo may be large.
    std::string serverCard(const std::string& href) const;
    void putServerCard(const std::string& href, const std::string& card);

    std::vector<PendingUpload> pendingUploads() const;
    void addPendingUpload(const PendingUpload& upload);
    void removePendingUpload(PersonId person);

    // Forgets every pair, pending upload and token (another address book).
    void clear();

    // A write transaction: rolled back when the object ends uncommitted.
    class Transaction {
    public:
        explicit Transaction(SyncState& state);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

    private:
        SyncState& state_;
        bool open_ = true;
    };

private:
    void exec(const char* sql) const;
    db::DbHandle db_;
};

}  // namespace lumo::sync
