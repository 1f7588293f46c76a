#include "tools/init/InitCommand.h"

#include <signal.h>

#include <array>
#include <charconv>
#include <deque>
#include <functional>
#include <ostream>
#include <string>

#include "platform/Error.h"
#include "schema/Schema.h"
#include "tools/init/Books.h"
#include "tools/init/NewDatabases.h"
#include "tools/init/SampleData.h"
#include "tools/init/Sqlite.h"
#include "tools/init/SyntheticData.h"
#include "tools/lumo/Arguments.h"

namespace fs = std::filesystem;

namespace lumo::tools {
namespace {

constexpr std::string_view kUsage =
    "  lumo init [--sample] [--persons N] [--sheets N] [--scraps N] [DIR]\n"
    "      DIR/Data に LumoBase.mdb, iLumoBase.mdb, LumoScrap.mdb を新しく作ります。\n"
    "      既にあるファイルは上書きしません。DIR の既定はカレントフォルダです。\n"
    "      Creates the person, item and scrap databases in DIR/Data (DIR defaults\n"
    "      to the current folder). Existing files are never overwritten.\n"
    "      --sample       見本データを入れる / add a small sample data set\n"
    "      --persons N    合成の人物を N 件追加 / add N synthetic persons\n"
    "      --sheets N     合成の伝票を N 件追加 / add N synthetic sheets\n"
    "      --scraps N     合成のスクラップを N 件追加 / add N synthetic scraps\n";

std::int64_t parseCount(std::string_view option, std::string_view text) {
    std::int64_t value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > kMaxSyntheticRecords)
        throw UsageError(std::string(option) + " には 0 から " + std::to_string(kMaxSyntheticRecords) +
                         " までの数を指定してください (expects a count from 0 to " +
                         std::to_string(kMaxSyntheticRecords) + "): " + std::string(text));
    return value;
}

constexpr std::string_view kExamples =
    "  lumo init --sample                          # 見本データ入り / with the sample data, in ./Data\n"
    "  lumo init --persons 1000 --sheets 1000 big  # 合成データ / synthetic records, in big/Data\n";

int runInit(Arguments args, std::ostream& out, std::ostream&) {
    // Interrupted, the run takes its half-built files with it.
    removeStagedFilesOnSignals({SIGINT, SIGTERM, SIGHUP});
    for (const fs::path& file : createDatabases(parseInitOptions(args)))
        out << "作成しました (created): " << file.string() << '\n';
    return kExitOk;
}

}  // namespace

const Command kInitCommand{"init", kUsage, kExamples, runInit};

InitOptions parseInitOptions(Arguments args) {
    InitOptions options;
    bool folderGiven = false;
    const std::array<std::pair<std::string_view, std::int64_t InitOptions::*>, 3> counts{
        {{"--persons", &InitOptions::persons}, {"--sheets", &InitOptions::sheets}, {"--scraps", &InitOptions::scraps}}};
    ArgumentReader in(args);
    while (in.next()) {
        if (in.is("--sample")) {
            options.sample = true;
            continue;
        }
        bool matched = false;
        for (const auto& [name, member] : counts) {
            if (const auto count = in.value(name, std::string(name) + " の後に件数がありません (needs a count)")) {
                options.*member = parseCount(name, *count);
                matched = true;
                break;
            }
        }
        if (matched) continue;
        if (in.isOption()) in.refuseOption();
        if (folderGiven) throw UsageError("フォルダは一つだけ指定できます (only one DIR): " + std::string(in.word()));
        options.folder = fs::path(std::string(in.word()));
        folderGiven = true;
    }
    return options;
}

std::vector<fs::path> createDatabases(const InitOptions& options) {
    const fs::path dataFolder = options.folder / schema::kDataFolder;
    const auto databases = schema::databaseFiles();

    std::vector<fs::path> targets;
    for (const schema::DatabaseFile& db : databases) targets.push_back(dataFolder / db.fileName);
    refuseExisting(targets);
    FolderGuard folderGuard(dataFolder);

    const std::array<std::function<void(Database&)>, 3> fills{
        [&](Database& db) {
            PersonBook book(db);
            if (options.sample) addSamplePersons(book);
            addSyntheticPersons(book, options.persons);
        },
        [&](Database& db) {
            ItemLedger ledger(db);
            if (options.sample) addSampleItems(ledger);
            addSyntheticSheets(ledger, options.sheets);
        },
        [&](Database& db) {
            ScrapBook book(db);
            if (options.sample) addSampleScraps(book);
            addSyntheticScraps(book, options.scraps);
        }};

    std::deque<StagedFile> staged;  // StagedFile does not move
    for (std::size_t i = 0; i < databases.size(); ++i) {
        staged.emplace_back(dataFolder / databases[i].fileName);
        buildDatabase(staged.back().path(), databases[i].ddl, fills[i]);
    }
    std::vector<fs::path> created = publishAll(staged);
    folderGuard.keep();
    return created;
}

}  // namespace lumo::tools
