#pragma once
// Two-way sync of a folder's address book with one CardDAV address book:
// the one function `lumo sync` and the address book program's 同期 button
// call. See sync/SyncRun.cpp for the rules (pairing, changes, conflicts).
//
// Threads: syncFolder blocks for the whole sync (network included), so a
// window program calls it off its GUI thread; one sync per folder at a
// time (a second one, in this or another process, fails at once with a
// message). It uses its own library object and connections, so other
// objects on the same files may be used meanwhile from other threads.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sync/HttpClient.h"

namespace lumo::sync {

struct SyncSettings {
    std::string url;    // the address book collection, http(s)://host/path/
    HttpSettings http;  // user, password, certificates, timeout
};

struct SyncReport {
    // Changes made here.
    int addedHere = 0, updatedHere = 0, deletedHere = 0;
    // Changes made on the server.
    int addedThere = 0, updatedThere = 0, deletedThere = 0;
    int paired = 0;     // a person here and a card there found to be the same
    int conflicts = 0;  // changed on both sides: the newer won, the other is in conflictFolder
    int kept = 0;       // deleted on one side, changed on the other: restored on the deleting side
    int deferred = 0;   // changed on the server during the sync: taken up by the next sync
    std::filesystem::path conflictFolder;   // DIR/SyncConflicts
    std::vector<std::string> conflictFiles;  // written by this sync
    std::vector<std::string> notes;          // cards that could not be taken, and why
    bool usedSyncToken = false;             // sync-collection (true) or ETags (false)
    int requests = 0;
    double serverSeconds = 0;  // waiting for the server
    double totalSeconds = 0;
};

// Runs one sync. Throws lumo::Error with a Japanese message when it cannot
// finish (server unreachable, refused, ...); what was done until then is
// recorded, both sides are consistent, and the next sync finishes the work.
SyncReport syncFolder(const std::filesystem::path& folder, const SyncSettings& settings);

// The end of the last finished sync of the folder (Unix seconds) and its
// address book URL, for the address book program to show; nullopt when it
// never synced.
struct LastSync {
    long long finishedAt = 0;
    std::string url;
};
std::optional<LastSync> lastSync(const std::filesystem::path& folder);

// The report as the lines `lumo sync` prints (Japanese).
std::vector<std::string> describe(const SyncReport& report);

}  // namespace lumo::sync
