#pragma once
// The folder's address book as the sync sees it: persons as contacts, and
// the one card text a person stands for (vCard 3.0, what phones read best,
// with the UID the pair carries). Comparing these texts is how a change on
// either side is recognised, so both sides' cards go through cardOf before
// they are compared. A thin layer over exchange/ContactStore, which talks
// to the library through its published interface.
//
// Ownership: owns its ContactStore for its lifetime; keeps the contacts it
// read until they are written. One thread at a time.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "exchange/Contact.h"
#include "exchange/ContactStore.h"
#include "sync/SyncState.h"

namespace lumo::sync {

class LocalBook {
public:
    explicit LocalBook(const std::filesystem::path& folder);

    std::vector<PersonId> ids();
    const exchange::Contact& contact(PersonId id);  // read once, then kept
    std::string cardOf(PersonId id, const std::string& uid);

    // Store a card's contact here; each returns the card as it now stands.
    PersonId add(exchange::Contact contact);
    void update(PersonId id, exchange::Contact contact);
    void remove(PersonId id);

    // A batch of writes on the book (exchange::ContactStore's batch): what
    // is added while it lives is stored at once by commit(), or, when the
    // guard goes away without one (a failure on the way), not at all. The
    // file's write lock is held meanwhile, so no network request may be
    // made inside one. Lives on the caller's stack, shorter than the book.
    class Batch {
    public:
        explicit Batch(LocalBook& book) : store_(book.store_) { store_.beginBatch(); }
        ~Batch() { store_.cancelBatch(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // Throws lumo::Error when the commit fails; then nothing is stored.
        void commit() { store_.commitBatch(); }

    private:
        exchange::ContactStore& store_;
    };

    // The card a contact stands for. The default group is written as no
    // group at all, whichever way the contact names it ("" or its caption),
    // so a card read back after storing is the card that was stored, and
    // phones see no category for it.
    std::string cardOf(exchange::Contact contact, const std::string& uid);

    // The last time the address book file was written (Unix seconds, the
    // later of the database and its write-ahead log): the latest moment any
    // person here can have changed.
    static long long lastWritten(const std::filesystem::path& folder);

private:
    exchange::ContactStore store_;
    std::map<PersonId, exchange::Contact> read_;
    std::optional<std::string> defaultGroup_;
};

}  // namespace lumo::sync
