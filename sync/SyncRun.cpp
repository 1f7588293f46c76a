// One sync of a folder's address book with a CardDAV address book.
//
// What each side holds is compared with the card both held after the last
// sync (the state file's `synced` text, in the form LocalBook::cardOf
// writes), so a change is "this side's card is no longer that text":
//
//   here \ server   unchanged        changed              deleted
//   unchanged       -                fetch, store here    delete here
//   changed         PUT (If-Match)   conflict             PUT again (kept)
//   deleted         DELETE (If-Match) add here again (kept) forget the pair
//
// An upload of a person that has a card on the server carries over what
// that card holds beyond the mapping (a phone's photo, its own properties;
// sync/CarriedProperties.h), from the server's text as last fetched, which
// the state file keeps; so does the upload of a conflict's winner.
//
// A conflict (changed on both sides, to different cards) goes to the newer
// side. The server's time is the card's DAV:getlastmodified; ours is the
// last write of the address book file (LocalBook::lastWritten), the latest
// moment the person can have changed here. The server wins only when its
// time is later; on a tie or without a server time ours wins. The losing
// card is written to DIR/SyncConflicts/ as a .vcf file.
//
// Cards the state does not know (a first sync, or cards new on the server)
// are first matched to persons here that no pair holds: an identical card,
// else the same person by the duplicate rule (exchange/Duplicates.h). A
// match is paired (and settled like a conflict when the two differ); the
// rest are added here. Persons no pair holds are then uploaded with
// If-None-Match: *, each recorded as a pending upload before its PUT.
//
// Every step is recorded in the state file right after it succeeded, each
// in its own transaction, so a sync broken off anywhere (a lost connection,
// a killed process) leaves pairs that are true, and the next sync picks up
// the rest: a card stored but not yet recorded comes back as a server card
// that matches its person (or its pending upload); a person stored here but
// not yet paired matches the card it came from. The sync token is kept only
// when the whole sync finished. New server cards are the one exception to
// one step at a time: they are added here in batches (one commit of the
// address book for up to 200 persons), each batch's pairs recorded in one
// transaction after its end; see addBatch.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <utility>

#include "exchange/CardUid.h"
#include "exchange/Duplicates.h"
#include "exchange/VCardReader.h"
#include "platform/Error.h"
#include "platform/StagedFile.h"
#include "sync/CarriedProperties.h"
#include "sync/CardDavClient.h"
#include "sync/LocalBook.h"
#include "sync/PersonFingerprints.h"
#include "sync/SyncFolder.h"
#include "sync/SyncState.h"

namespace lumo::sync {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUrlKey = "url";
constexpr const char* kTokenKey = "sync_token";
constexpr const char* kFinishedKey = "finished_at";

long long nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// The file name of a new card on the server: its UID without the "urn:uuid:"
// in front, in letters, digits, '-', '_' and '.'.
std::string cardFileName(std::string_view uid) {
    if (uid.starts_with("urn:uuid:")) uid.remove_prefix(9);
    std::string out;
    for (const char c : uid) out += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.') ? c : '_';
    return out + ".vcf";
}

// A card of the server that could be read: its text and its contact.
struct ServerCard {
    std::string href;
    std::string etag;
    std::string data;  // as the server sent it
    std::string uid;
    exchange::Contact contact;
};

// "Yamada\tTaro": persons the duplicate rule can find the same must share it.
std::string nameKey(const exchange::Contact& c) {
    std::string out;
    for (const char ch : c.person.strLastName + "\t" + c.person.strFirstName)
        if (ch != ' ') out += ch;
    return out;
}

// One sync of a folder at a time: two at once would both upload the same
// new persons. An flock on DIR/Data/LumoSync.lock, held for the run; the
// system drops it when the process ends, however it ends.
class FolderLock {
public:
    explicit FolderLock(const fs::path& folder) {
        const fs::path file = folder / "Data" / "LumoSync.lock";
        fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) throw Error("同期の記録のロックを作れません: " + file.string());
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd_);
            throw Error("この住所録はいまほかで同期中です。終わってからもう一度同期してください");
        }
    }
    ~FolderLock() { ::close(fd_); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

const fs::path& requireAddressBook(const fs::path& folder) {
    const fs::path file = folder / "Data" / "LumoBase.mdb";
    if (!fs::exists(file)) throw Error("住所録のファイルがありません: " + file.string());
    return folder;
}

class SyncRun {
public:
    SyncRun(const fs::path& folder, const SyncSettings& settings)
        : folder_(requireAddressBook(folder)),
          lock_(folder),
          localTime_(LocalBook::lastWritten(folder)),
          state_(SyncState::fileOf(folder)),
          book_(folder),
          fingerprints_(folder),
          uids_(folder),
          dav_(ServerUrl::parse(settings.url), settings.http) {
        report_.conflictFolder = folder / "SyncConflicts";
        bindToAddressBook(settings.url);
    }

    SyncReport run() {
        const auto started = std::chrono::steady_clock::now();
        const CollectionInfo info = dav_.probe();
        CardListing listing;
        if (info.offersSyncReport && !info.syncToken.empty()) {
            report_.usedSyncToken = true;
            listing = dav_.changesSince(state_.value(kTokenKey));
        } else {
            listing = dav_.listAll();
        }
        readState();
        takeListing(listing);
        settlePendingUploads();
        fetchChanged();
        settlePairs();
        uids_.save();
        takeNewServerCards();
        uploadNewPersons();

        SyncState::Transaction finish(state_);
        if (!listing.syncToken.empty()) state_.setValue(kTokenKey, listing.syncToken);
        state_.setValue(kFinishedKey, std::to_string(nowSeconds()));
        finish.commit();
        report_.requests = dav_.requestsSent();
        report_.serverSeconds = dav_.secondsWaiting();
        report_.totalSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return report_;
    }

private:
    enum class ServerSide { Unchanged, Changed, Removed };

    void bindToAddressBook(const std::string& url) {
        const std::string known = state_.value(kUrlKey);
        if (known == url) return;
        if (!known.empty())
            throw Error("この住所録は別のアドレス帳 (" + known + ") と同期しています。別のアドレス帳と同期するには、" +
                        SyncState::fileOf(folder_).string() + " を消してから同期してください (最初の同期として、同じ人は組にされます)");
        SyncState::Transaction bind(state_);
        state_.setValue(kUrlKey, url);
        bind.commit();
    }

    void readState() {
        for (CardPair& pair : state_.pairs()) pairs_.emplace(pair.href, std::move(pair));
        fingerprintNow_ = fingerprints_.all();
        for (const auto& [id, fingerprint] : fingerprintNow_) localIds_.insert(id);
    }

    void takeListing(const CardListing& listing) {
        for (const CardEtag& card : listing.present) present_[card.href] = card.etag;
        removed_.insert(listing.removed.begin(), listing.removed.end());
        if (listing.full)
            for (const auto& [href, pair] : pairs_)
                if (!present_.contains(href)) removed_.insert(href);
    }

    // Uploads of a sync that was broken off: a card the server has under
    // the recorded href is the one we sent; anything else was not stored
    // and is uploaded afresh as a new person.
    void settlePendingUploads() {
        for (const PendingUpload& upload : state_.pendingUploads()) {
            SyncState::Transaction step(state_);
            const auto there = present_.find(upload.href);
            if (there != present_.end() && !pairs_.contains(upload.href)) {
                CardPair pair{upload.person, upload.href, upload.uid, there->second, upload.card, ""};
                state_.putPair(pair);
                state_.putServerCard(pair.href, upload.card);
                pairs_[pair.href] = pair;
            }
            state_.removePendingUpload(upload.person);
            step.commit();
        }
    }

    void fetchChanged() {
        std::vector<std::string> hrefs;
        for (const auto& [href, etag] : present_) {
            const auto pair = pairs_.find(href);
            if (pair == pairs_.end() || pair->second.etag != etag) hrefs.push_back(href);
        }
        // A pair without an ETag (the server sent none for our PUT) is
        // fetched again even when the report does not name it.
        for (const auto& [href, pair] : pairs_)
            if (pair.etag.empty() && !present_.contains(href) && !removed_.contains(href)) hrefs.push_back(href);
        std::set<std::string> asked(hrefs.begin(), hrefs.end());
        for (FetchedCard& card : dav_.fetch(hrefs)) {
            asked.erase(card.href);
            std::vector<exchange::ReadCard> read = exchange::readVCards(card.data, card.href);
            if (read.size() != 1 || read.front().rejected) {
                std::string why = read.empty() ? "カードがありません" : "";
                for (const exchange::ReadCard& r : read)
                    for (const std::string& problem : r.problems) why += (why.empty() ? "" : "; ") + problem;
                report_.notes.push_back("サーバーのカードを読めないので取り込みませんでした: " + card.href +
                                        (why.empty() ? "" : " (" + why + ")"));
                unreadable_.insert(card.href);
                continue;
            }
            ServerCard server{card.href, card.etag.empty() ? present_[card.href] : card.etag, std::move(card.data),
                              read.front().uid, std::move(read.front().contact)};
            fetched_.emplace(server.href, std::move(server));
        }
        // Asked for but gone by the time of the fetch: deleted meanwhile.
        for (const std::string& href : asked) removed_.insert(href);
    }

    std::string localCard(PersonId id, const std::string& uid) { return book_.cardOf(id, uid); }

    void settlePairs() {
        std::vector<CardPair> pairs;
        for (const auto& [href, pair] : pairs_) pairs.push_back(pair);
        for (CardPair pair : pairs) {
            if (unreadable_.contains(pair.href)) continue;
            const bool here = localIds_.contains(pair.person);
            const std::string recorded = pair.fingerprint;
            pair.fingerprint = here ? fingerprintNow_[pair.person] : std::string();
            // The same rows as at the last sync: the same card, unread.
            const bool sameRows = here && !recorded.empty() && recorded == pair.fingerprint;
            const std::string local = !here ? std::string() : sameRows ? pair.synced : localCard(pair.person, pair.uid);
            const bool localChanged = here && local != pair.synced;
            if (here && !sameRows && !localChanged && !removed_.contains(pair.href) && !fetched_.contains(pair.href))
                record(pair);  // rows written anew, the card unchanged: keep the new fingerprint
            ServerSide server = ServerSide::Unchanged;
            const ServerCard* card = nullptr;
            std::string serverText;
            if (removed_.contains(pair.href)) {
                server = ServerSide::Removed;
            } else if (const auto f = fetched_.find(pair.href); f != fetched_.end()) {
                card = &f->second;
                serverText = book_.cardOf(card->contact, pair.uid);
                if (serverText == pair.synced) {
                    // Written anew in another form, or changed only where the
                    // mapping does not read: the same card here, the new text
                    // kept for the next upload.
                    pair.etag = card->etag;
                    record(pair, &card->data);
                } else {
                    server = ServerSide::Changed;
                }
            }
            settle(pair, here, local, localChanged, server, card, serverText);
        }
    }

    void settle(CardPair& pair, bool here, const std::string& local, bool localChanged, ServerSide server,
                const ServerCard* card, const std::string& serverText) {
        switch (server) {
        case ServerSide::Unchanged:
            if (!here) {
                if (dav_.remove(pair.href, pair.etag) == PutResult::PreconditionFailed) return deferred();
                forget(pair.href);
                ++report_.deletedThere;
            } else if (localChanged) {
                upload(pair, local, pair.etag, report_.updatedThere);
            }
            return;
        case ServerSide::Changed:
            if (!here) {
                pair.person = book_.add(card->contact);
                localIds_.insert(pair.person);
                uids_.remember(static_cast<LumoAccess::Long>(pair.person), pair.uid);
                takeServer(pair, *card);
                ++report_.kept;
            } else if (!localChanged || local == serverText) {
                if (local == serverText) {
                    pair.etag = card->etag;
                    pair.synced = serverText;
                    record(pair, &card->data);
                } else {
                    book_.update(pair.person, card->contact);
                    takeServer(pair, *card);
                    ++report_.updatedHere;
                }
            } else {
                conflict(pair, local, *card);
            }
            return;
        case ServerSide::Removed:
            if (!here) {
                forget(pair.href);
            } else if (localChanged) {
                int uploaded = 0;
                upload(pair, local, "", uploaded);
                report_.kept += uploaded;
            } else {
                book_.remove(pair.person);
                localIds_.erase(pair.person);
                forget(pair.href);
                ++report_.deletedHere;
            }
            return;
        }
    }

    // The server's card is stored here (the person exists already): the
    // pair records the card as it now stands here.
    void takeServer(CardPair& pair, const ServerCard& card) {
        pair.etag = card.etag;
        pair.fingerprint = fingerprints_.of(pair.person);
        pair.synced = localCard(pair.person, pair.uid);
        record(pair, &card.data);
    }

    // Uploads the person's card with what the server's card (`serverCard`,
    // else the one last kept) holds beyond the mapping.
    void upload(CardPair& pair, const std::string& local, const std::string& ifMatch, int& counter,
                const std::string* serverCard = nullptr) {
        const std::string body = uploadCard(pair, local, ifMatch, serverCard);
        std::string etag;
        if (dav_.put(pair.href, body, ifMatch, etag) == PutResult::PreconditionFailed) return deferred();
        pair.etag = etag;
        pair.synced = local;
        record(pair, &body);
        ++counter;
    }

    std::string uploadCard(const CardPair& pair, const std::string& local, const std::string& ifMatch,
                           const std::string* given) {
        std::string server = given ? *given : state_.serverCard(pair.href);
        // A pair recorded by a sync that kept no server cards: the card is
        // fetched, so that the upload does not drop what only it holds.
        if (server.empty() && !ifMatch.empty())
            for (FetchedCard& card : dav_.fetch({pair.href})) server = std::move(card.data);
        if (server.empty()) return local;
        return cardWithCarriedOver(book_.contact(pair.person), server,
                                   [&](const exchange::Contact& contact) { return book_.cardOf(contact, pair.uid); });
    }

    void conflict(CardPair& pair, const std::string& local, const ServerCard& card) {
        const std::optional<long long> serverTime = dav_.lastModified(pair.href);
        ++report_.conflicts;
        if (serverTime && *serverTime > localTime_) {
            keepLoser(pair.uid, "here", local);
            book_.update(pair.person, card.contact);
            takeServer(pair, card);
            ++report_.updatedHere;
        } else {
            keepLoser(pair.uid, "server", card.data);
            int ignored = 0;
            upload(pair, local, card.etag, ignored, &card.data);
            ++report_.updatedThere;
        }
    }

    void keepLoser(const std::string& uid, const char* side, const std::string& text) {
        fs::create_directories(report_.conflictFolder);
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
        std::string safeUid;
        for (const char c : uid) safeUid += (std::isalnum(static_cast<unsigned char>(c)) || c == '-') ? c : '_';
        const fs::path target = report_.conflictFolder / (std::string(stamp) + "-" + safeUid + "-" + side + ".vcf");
        StagedFile file(target);
        {
            std::ofstream out(file.path(), std::ios::binary);
            out << text;
            if (!out.flush()) throw Error("衝突したカードを保存できません: " + target.string());
        }
        file.publish(StagedFile::Replace::Yes);
        report_.conflictFiles.push_back(target.string());
    }

    void deferred() { ++report_.deferred; }

    // The pair's fingerprint must be one taken before its card was read, so
    // that a change made meanwhile shows as a different fingerprint.
    // `serverCard`, when given, is kept as the server's text of the card.
    void record(const CardPair& pair, const std::string* serverCard = nullptr) {
        SyncState::Transaction step(state_);
        state_.putPair(pair);
        if (serverCard) state_.putServerCard(pair.href, *serverCard);
        step.commit();
        pairs_[pair.href] = pair;
    }

    void forget(const std::string& href) {
        SyncState::Transaction step(state_);
        state_.removePair(href);
        step.commit();
        pairs_.erase(href);
    }

    // Server cards no pair holds: paired with the same person here, or added.
    void takeNewServerCards() {
        std::set<PersonId> held;
        for (const auto& [href, pair] : pairs_) held.insert(pair.person);
        std::map<std::string, std::vector<PersonId>> unpaired;
        for (const PersonId id : localIds_)
            if (!held.contains(id)) unpaired[nameKey(book_.contact(id))].push_back(id);
        // Cards matching no person here are added after the matching (a new
        // person is no candidate for another card), in batches.
        std::vector<std::pair<CardPair, const ServerCard*>> toAdd;
        for (auto& [href, card] : fetched_) {
            if (pairs_.contains(href)) continue;
            const std::string uid = card.uid.empty() ? uidFromHref(href) : card.uid;
            const std::string serverText = book_.cardOf(card.contact, uid);
            auto& candidates = unpaired[nameKey(card.contact)];
            // A card with the UID of a person here that no pair holds is that
            // person's (uploaded by a sync that did not live to record it);
            // else an identical card, else the same person by the duplicate rule.
            auto match = candidates.end();
            if (const auto ours = uids_.personOf(uid);
                ours && localIds_.contains(*ours) && !held.contains(*ours) && !pairedNow_.contains(*ours)) {
                match = std::ranges::find(candidates, PersonId{*ours});
                if (match == candidates.end()) match = candidates.insert(candidates.end(), *ours);
            }
            const auto stillFree = [&](PersonId id) { return !pairedNow_.contains(id); };
            if (match == candidates.end())
                match = std::ranges::find_if(candidates, [&](PersonId id) { return stillFree(id) && localCard(id, uid) == serverText; });
            if (match == candidates.end())
                match = std::ranges::find_if(candidates, [&](PersonId id) {
                    return stillFree(id) && exchange::sameContact(book_.contact(id), card.contact);
                });
            CardPair pair{0, href, uid, card.etag, "", ""};
            if (match == candidates.end()) {
                toAdd.emplace_back(std::move(pair), &card);
                continue;
            }
            pair.person = *match;
            pair.fingerprint = fingerprintNow_[pair.person];
            pairedNow_.insert(pair.person);
            uids_.remember(static_cast<LumoAccess::Long>(pair.person), uid);
            candidates.erase(match);
            ++report_.paired;
            const std::string local = localCard(pair.person, uid);
            if (local == serverText) {
                pair.synced = local;
                record(pair, &card.data);
            } else {
                conflict(pair, local, card);
            }
        }
        uids_.save();
        for (std::size_t next = 0; next < toAdd.size();) next = addBatch(toAdd, next);
    }

    // Each new person's rows committed on their own cost a wait for the disk
    // each; a batch stores many persons with one. A batch holds the file's
    // write lock, so it is kept short (the address book program waits
    // meanwhile), and no request goes to the server inside it.
    static constexpr std::size_t kBatchCards = 200;
    static constexpr std::chrono::milliseconds kBatchTime{500};

    // Adds cards from `first` on in one batch; returns where the next starts.
    // Before the batch's end nothing of it is stored or recorded (the next
    // sync fetches the cards again); after it, the UID file already names
    // each card's person, so a sync broken off before the state records the
    // pairs pairs them by UID next time.
    std::size_t addBatch(std::vector<std::pair<CardPair, const ServerCard*>>& toAdd, std::size_t first) {
        const auto started = std::chrono::steady_clock::now();
        std::size_t end = first;
        try {
            LocalBook::Batch batch(book_);
            for (; end < toAdd.size() && end - first < kBatchCards; ++end) {
                CardPair& pair = toAdd[end].first;
                pair.person = book_.add(toAdd[end].second->contact);
                uids_.remember(static_cast<LumoAccess::Long>(pair.person), pair.uid);
                if (std::chrono::steady_clock::now() - started >= kBatchTime) {
                    ++end;
                    break;
                }
            }
            uids_.save();
            batch.commit();
        } catch (...) {
            // None of the batch was stored: its ids may go to other persons
            // later, who must not inherit these cards' UIDs (a UID pairs).
            for (std::size_t i = first; i < end && i < toAdd.size(); ++i)
                if (toAdd[i].first.person != 0) uids_.forget(static_cast<LumoAccess::Long>(toAdd[i].first.person));
            try {
                uids_.save();
            } catch (const Error&) {
                // The batch's own failure is the one to report.
            }
            throw;
        }
        // Read back after the end: the fingerprint's connection sees no rows
        // of an open batch.
        for (std::size_t i = first; i < end; ++i) {
            CardPair& pair = toAdd[i].first;
            localIds_.insert(pair.person);
            pair.fingerprint = fingerprints_.of(pair.person);
            pair.synced = localCard(pair.person, pair.uid);
        }
        SyncState::Transaction step(state_);
        for (std::size_t i = first; i < end; ++i) {
            state_.putPair(toAdd[i].first);
            state_.putServerCard(toAdd[i].first.href, toAdd[i].second->data);
        }
        step.commit();
        for (std::size_t i = first; i < end; ++i) pairs_[toAdd[i].first.href] = toAdd[i].first;
        report_.addedHere += static_cast<int>(end - first);
        return end;
    }

    std::set<PersonId> pairedNow_;  // persons paired with a new server card in this sync

    static std::string uidFromHref(const std::string& href) {
        std::string name = href.substr(href.find_last_of('/') + 1);
        if (name.ends_with(".vcf")) name.resize(name.size() - 4);
        return name;
    }

    void uploadNewPersons() {
        std::set<PersonId> held;
        for (const auto& [href, pair] : pairs_) held.insert(pair.person);
        // The folder's identity, which the UIDs derive from, is kept before
        // any of them goes to the server.
        for (const PersonId id : localIds_)
            if (!held.contains(id)) (void)uids_.uidOf(static_cast<LumoAccess::Long>(id));
        uids_.save();
        for (const PersonId id : localIds_) {
            if (held.contains(id)) continue;
            const std::string uid = uids_.uidOf(static_cast<LumoAccess::Long>(id));
            PendingUpload pending{id, dav_.server().normalHref(dav_.server().path) + cardFileName(uid), uid,
                                  localCard(id, uid)};
            {
                SyncState::Transaction intent(state_);
                state_.addPendingUpload(pending);
                intent.commit();
            }
            std::string etag;
            const PutResult result = dav_.put(pending.href, pending.card, "", etag);
            SyncState::Transaction done(state_);
            if (result == PutResult::Stored) {
                CardPair pair{id, pending.href, uid, etag, pending.card, fingerprintNow_[id]};
                state_.putPair(pair);
                state_.putServerCard(pair.href, pending.card);
                pairs_[pair.href] = pair;
                ++report_.addedThere;
            } else {
                ++report_.deferred;
            }
            state_.removePendingUpload(id);
            done.commit();
        }
    }

    fs::path folder_;
    FolderLock lock_;
    long long localTime_;  // taken before the book is opened: opening it writes its log file
    SyncState state_;
    LocalBook book_;
    PersonFingerprints fingerprints_;
    exchange::CardUids uids_;  // the UIDs lumo vcard writes too
    CardDavClient dav_;
    SyncReport report_;

    std::map<PersonId, std::string> fingerprintNow_;  // of every person here, at the start
    std::map<std::string, CardPair> pairs_;  // by href
    std::set<PersonId> localIds_;
    std::map<std::string, std::string> present_;  // href -> ETag, from the listing
    std::set<std::string> removed_;
    std::set<std::string> unreadable_;
    std::map<std::string, ServerCard> fetched_;
};

}  // namespace

SyncReport syncFolder(const std::filesystem::path& folder, const SyncSettings& settings) {
    return SyncRun(folder, settings).run();
}

std::optional<LastSync> lastSync(const std::filesystem::path& folder) {
    const fs::path file = SyncState::fileOf(folder);
    if (!fs::exists(file)) return std::nullopt;
    SyncState state(file);
    const std::string finished = state.value(kFinishedKey);
    if (finished.empty()) return std::nullopt;
    return LastSync{std::stoll(finished), state.value(kUrlKey)};
}

}  // namespace lumo::sync
