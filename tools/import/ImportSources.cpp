#include "tools/import/ImportSources.h"

#include <optional>
#include <string>
#include <system_error>

#include "platform/Error.h"
#include "tools/import/JetNames.h"

namespace fs = std::filesystem;

namespace lumo::tools {
namespace {

std::string expectedNames() {
    std::string names;
    for (const schema::DatabaseFile& db : schema::databaseFiles())
        names += (names.empty() ? "" : ", ") + std::string(db.fileName);
    return names;
}

// The Data folder in `source`, in any letter case (a copy of a Windows
// folder may hold data/ or DATA/); Data itself when several are there.
std::optional<fs::path> dataFolderIn(const fs::path& source) {
    std::error_code ec;
    if (fs::is_directory(source / schema::kDataFolder, ec)) return source / schema::kDataFolder;
    for (const fs::directory_entry& entry : fs::directory_iterator(source, ec))
        if (entry.is_directory(ec) && sameJetName(entry.path().filename().string(), schema::kDataFolder))
            return entry.path();
    return std::nullopt;
}

}  // namespace

std::vector<SourceFile> findSources(const fs::path& source) {
    std::error_code ec;
    const auto databases = schema::databaseFiles();
    if (fs::is_regular_file(source, ec)) {
        for (const schema::DatabaseFile& db : databases)
            if (sameJetName(source.filename().string(), db.fileName)) return {{source, db}};
        throw Error(source.string() + " は取り込めるファイル名ではありません。" + expectedNames() +
                    " のどれかを指定してください (the file name says which database it is)");
    }
    if (!fs::is_directory(source, ec)) throw Error(source.string() + " がありません (no such file or folder)");

    const fs::path folder = dataFolderIn(source).value_or(source);
    std::vector<SourceFile> found;
    for (const schema::DatabaseFile& db : databases) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
            if (entry.is_regular_file(ec) && sameJetName(entry.path().filename().string(), db.fileName)) {
                found.push_back({entry.path(), db});
                break;
            }
        }
    }
    if (found.empty())
        throw Error(folder.string() + " に取り込むファイル (" + expectedNames() + ") がありません (nothing to import)");
    return found;
}

}  // namespace lumo::tools
