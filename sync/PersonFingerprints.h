#pragma once
// A fingerprint of each person's rows (the person, phones, mails,
// greetings, children, and the group captions), read with a few list
// statements on the program's own engine connection. A later sync reads a
// person whole (and writes its card) only when its fingerprint differs
// from the one recorded with its pair, so a sync with a few changes among
// thousands of persons reads only those few. A fingerprint is a hint, not
// the truth: when it differs, the card decides (same card: no change), so
// any change of the hash or of how rows are written costs one full read.
//
// Ownership: owns its engine connection for its lifetime. One thread.
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "sync/SyncState.h"

namespace lumo::db {
class Connection;
}

namespace lumo::sync {

class PersonFingerprints {
public:
    explicit PersonFingerprints(const std::filesystem::path& folder);
    ~PersonFingerprints();
    PersonFingerprints(const PersonFingerprints&) = delete;
    PersonFingerprints& operator=(const PersonFingerprints&) = delete;

    // Every person's fingerprint (16 hex digits).
    std::map<PersonId, std::string> all();
    // One person's, as all() gives it; "" for a person that is not there.
    std::string of(PersonId id);

private:
    std::map<PersonId, unsigned long long> hashes(const std::string& where);
    std::unique_ptr<db::Connection> connection_;
};

}  // namespace lumo::sync
