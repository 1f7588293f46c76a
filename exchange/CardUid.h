#pragma once
// The stable UID of every person's card in one folder: what `lumo vcard
// export --folder` names its files by and what a sync carries.
//
// The tables have no column for it, so it lives in a file of our own beside
// the databases, DIR/Data/LumoCardUids.txt (UTF-8 lines):
//   folder <32 hex digits>        a random identity of this address book, made once
//   <PERSON_ID> <TAB> <UID>       the UID of a person that came from a card
// A person without a line has the UID derived from the folder's identity
// and its PERSON_ID, "urn:uuid:" + a version-8 UUID whose last 32 bits are
// the id, so it is the same on every run without being stored. A person
// imported from a card keeps that card's UID (a line), so a card exported,
// imported elsewhere and exported again keeps its UID.
//
// One object per folder and run; it owns its copy of the file's lines until
// save(). One thread at a time.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "access/LumoAccess.h"

namespace lumo::exchange {

class CardUids {
public:
    // Reads DIR/Data/LumoCardUids.txt when it exists. Throws lumo::Error
    // for a file that cannot be read.
    explicit CardUids(std::filesystem::path folder);

    // The UID of the person's card.
    std::string uidOf(LumoAccess::Long personId);
    // The person whose card has this UID (remembered, or derived from this
    // folder's identity), if any. Whether the person still exists is the
    // caller's to check.
    std::optional<LumoAccess::Long> personOf(std::string_view uid) const;
    // Keeps an imported card's UID for the person (nothing when it is the
    // derived one anyway or empty).
    void remember(LumoAccess::Long personId, std::string_view uid);
    void forget(LumoAccess::Long personId);

    // Writes the file (staged: whole or not at all) when something changed.
    // Throws lumo::Error when it cannot.
    void save();

    // A file name for a card of this UID: its letters, digits, '-' and '_'
    // (others as %XX), with ".vcf".
    static std::string fileNameFor(std::string_view uid);
    // The UID derived from a folder identity and a person id.
    static std::string derivedUid(std::string_view folderId, LumoAccess::Long personId);

    const std::string& folderId();

private:
    // uids_ and persons_ change together, through these two.
    void link(LumoAccess::Long personId, std::string uid);
    bool unlink(LumoAccess::Long personId);

    std::filesystem::path file_;
    std::string folderId_;
    std::map<LumoAccess::Long, std::string> uids_;
    // The same lines by UID: an import asks once per card, and a scan of
    // every line made an import of n cards take n * n / 2 comparisons.
    std::map<std::string, std::set<LumoAccess::Long>, std::less<>> persons_;
    bool changed_ = false;
};

}  // namespace lumo::exchange
