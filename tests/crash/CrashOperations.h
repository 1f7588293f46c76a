#pragma once
// The writes the crash test repeats in a child process that it kills at
// random moments, each with the check that runs on the databases after
// the kills. A write numbered n marks its rows with n; the writer prints
// "<name> <n>" once the write has returned committed. To cover another
// write operation, add an entry to crashOperations().
//
// Ownership: CrashWriter owns its access objects and connections; it is
// made and used by the writer's one thread.
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "access/LumoAccess.h"
#include "engine/Connection.h"

namespace lumo::test::crash {

// What a write works with: the three databases of one folder, through
// the engine and through the library's objects.
struct CrashWriter {
    explicit CrashWriter(const std::filesystem::path& folder);

    db::Connection person, item, scrap;
    LumoAccess::Ref<LumoAccess::clsPidAccess> persons;
    LumoAccess::Ref<LumoAccess::clsIidAccess> items;
    LumoAccess::Ref<LumoAccess::clsScrapAccess> scraps;
};

struct CrashOperation {
    std::string_view name;
    // True when the write is committed.
    std::function<bool(CrashWriter&, int n)> write;
    // "" when the databases of `folder` hold every write in `committed` and
    // no write half done; otherwise what is wrong.
    std::function<std::string(const std::filesystem::path& folder, const std::set<int>& committed)> check;
};

const std::vector<CrashOperation>& crashOperations();

// The database files of a folder made by lumo init.
std::filesystem::path personFile(const std::filesystem::path& folder);
std::filesystem::path itemFile(const std::filesystem::path& folder);
std::filesystem::path scrapFile(const std::filesystem::path& folder);

}  // namespace lumo::test::crash
