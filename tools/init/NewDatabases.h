#pragma once
// What every command that makes database files of the suite shares (lumo
// init, lumo import): the check that no target exists yet, the folders
// made on the way (removed again on failure), the build of one file in
// one transaction, and the publication of a set of staged files, all or
// none.
#include <deque>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "tools/init/Sqlite.h"
#include "platform/StagedFile.h"

namespace lumo::tools {

// Removes what killed runs left beside each target, then throws
// lumo::Error naming every target that exists already.
void refuseExisting(const std::vector<std::filesystem::path>& targets);

// Removes the folders this run made (the Data folder and any missing
// parents of it) again when the run fails. Only empty folders go.
// Owned by the run that makes the folder; lives as long as that run.
class FolderGuard {
public:
    // Creates `folder` with its missing parents; throws lumo::Error.
    explicit FolderGuard(const std::filesystem::path& folder);
    ~FolderGuard();
    FolderGuard(const FolderGuard&) = delete;
    FolderGuard& operator=(const FolderGuard&) = delete;
    void keep() { made_.clear(); }

private:
    std::vector<std::filesystem::path> made_;
};

// Runs the DDL and the fill step on a new file in one transaction, with
// the journal off (a failed build is thrown away, not repaired), then
// switches the file to write-ahead logging.
void buildDatabase(const std::filesystem::path& file, std::string_view ddl,
                   const std::function<void(Database&)>& fill);

// Moves every staged file into place, or (when one cannot be moved)
// withdraws those already moved and throws. Returns the final paths.
std::vector<std::filesystem::path> publishAll(std::deque<StagedFile>& staged);

}  // namespace lumo::tools
