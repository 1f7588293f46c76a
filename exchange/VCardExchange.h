#pragma once
// Export and import of a folder's address book as vCard files: what
// `lumo vcard` and the address book program's menu call. Each call opens
// the folder's address book (ContactStore) for its duration; one thread.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "access/LumoAccess.h"
#include "exchange/VCardWriter.h"

namespace lumo::exchange {

struct ExportOptions {
    VCardVersion version = VCardVersion::v30;
    // Exactly one of these: one file with every card, or a folder with one
    // file per person named by its card's UID (CardUids::fileNameFor).
    std::filesystem::path file;
    std::filesystem::path folder;
    std::optional<std::string> group;    // only the persons of this group caption
    std::vector<LumoAccess::Long> ids;   // only these persons, in this order (empty: every person, by id)
    bool replace = false;                // replace files that exist
};

struct ExportResult {
    int persons = 0;
    std::vector<std::filesystem::path> files;
    std::vector<std::string> problems;  // persons that could not be read; the rest is written
};

// Throws lumo::Error when the folder cannot be opened or a file cannot be
// written (a file already written is left; one being written is not).
ExportResult exportVCards(const std::filesystem::path& dir, const ExportOptions& options);

// Every chosen person's card as one text (for standard output).
std::string exportVCardText(const std::filesystem::path& dir, const ExportOptions& options, ExportResult& result);

struct ImportSource {
    std::string name;   // shown in the report ("-" for standard input)
    std::string bytes;
};

// The sources named on a command line: files, folders (their *.vcf files,
// sorted by name) and "-" (standard input). Throws lumo::Error for a name
// that cannot be read.
std::vector<ImportSource> importSources(const std::vector<std::string>& names);

struct ImportOptions {
    std::optional<std::string> group;  // the group of every new person (instead of CATEGORIES)
    bool dryRun = false;               // read and compare, store nothing
};

struct ImportReport {
    int cards = 0;
    int added = 0;    // stored (or, in a dry run, that would be)
    int present = 0;  // skipped: the address book already has the person
    int rejected = 0; // cards that could not be read whole
    int failed = 0;   // cards the library refused to store
    int photosSkipped = 0;
    std::vector<LumoAccess::Long> addedIds;
    // "file:line 名前: PROP → where", one per property that had no place.
    std::vector<std::string> placedElsewhere;
    // "file:line 名前: 既にあります" for each skipped card.
    std::vector<std::string> skipped;
    std::vector<std::string> problems;  // file:line: what was wrong
};

// Reads every card and stores each new person whole (or not at all), all
// of them in one batch of the library committed at the end: a person the
// library refuses leaves nothing and is named in `problems`, the others
// are stored (addedIds). When the final commit fails, no person of the
// import is stored: `added` is 0, they count as failed, `problems` says so
// and the UIDs are not remembered. Throws lumo::Error only when the folder
// cannot be opened or locked for writing.
ImportReport importVCards(const std::filesystem::path& dir, const std::vector<ImportSource>& sources,
                          const ImportOptions& options);

}  // namespace lumo::exchange
