#include "tools/import/ImportCommand.h"

#include <signal.h>
#include <unistd.h>

#include <deque>
#include <memory>
#include <ostream>
#include <string>

#include "platform/Error.h"
#include "tools/import/ImportPlan.h"
#include "tools/import/ImportSources.h"
#include "tools/import/ImportWriter.h"
#include "tools/import/JetFile.h"
#include "tools/init/NewDatabases.h"
#include "tools/lumo/Arguments.h"

namespace fs = std::filesystem;

namespace lumo::tools {
namespace {

constexpr std::string_view kUsage =
    "  lumo import [--skip-unknown] SOURCE DEST\n"
    "      Jet 4 (Microsoft Access .mdb) のデータベース (LumoBase.mdb, iLumoBase.mdb, LumoScrap.mdb) を\n"
    "      DEST/Data に Lumo のデータベースとして取り込みます。SOURCE は Data フォルダを含む\n"
    "      フォルダ、Data フォルダ、または .mdb ファイル一つです。SOURCE には書き込まず、\n"
    "      DEST の既存のファイルは上書きしません。\n"
    "      Imports the Jet databases of SOURCE (a folder holding Data/*.mdb, the Data\n"
    "      folder, or one .mdb file) into new databases in DEST/Data. SOURCE is never\n"
    "      written; existing files are never overwritten. Exit status 0 only when\n"
    "      every row was written.\n"
    "      --skip-unknown  知らない表と列を飛ばして残りを取り込む / import the rest of a\n"
    "                      file holding tables or columns this suite does not know\n";

std::string listUnknown(const std::vector<FilePlan>& plans) {
    std::string list;
    for (const FilePlan& plan : plans)
        for (const std::string& name : plan.unknown) list += "\n  " + std::string(plan.target.fileName) + ": " + name;
    return list;
}

constexpr std::string_view kExamples =
    "  lumo import /media/usb/Lumo ~/Lumo          # Jet のファイルを新しいフォルダへ / Jet files into a new folder\n"
    "  lumo import --skip-unknown old/Data/LumoBase.mdb new  # 知らない表を飛ばす / leaving out unknown tables\n";

int runImport(Arguments args, std::ostream& out, std::ostream& err) {
    // Interrupted, the run takes its half-made files with it.
    removeStagedFilesOnSignals({SIGINT, SIGTERM, SIGHUP});
    const ImportOptions options = parseImportOptions(args);
    const std::vector<FileResult> results = importDatabases(options, err, ::isatty(STDERR_FILENO) != 0);
    for (const FileResult& file : results)
        out << "作成しました (created): " << (options.destination / schema::kDataFolder / file.fileName).string() << '\n';
    printSummary(out, results);
    if (everythingWritten(results)) return kExitOk;
    out << "取り込まなかった行または列があります (not everything was imported)\n";
    return kExitFailure;
}

}  // namespace

const Command kImportCommand{"import", kUsage, kExamples, runImport};

ImportOptions parseImportOptions(Arguments args) {
    ImportOptions options;
    std::vector<fs::path> paths;
    ArgumentReader in(args);
    while (in.next()) {
        if (in.is("--skip-unknown"))
            options.skipUnknown = true;
        else if (in.isOption())
            in.refuseOption();
        else
            paths.emplace_back(std::string(in.word()));
    }
    if (paths.size() != 2) throw UsageError("SOURCE と DEST を指定してください (needs SOURCE and DEST)");
    options.source = paths[0];
    options.destination = paths[1];
    return options;
}

namespace {

// A failure's text with what libmdb wrote itself before it, so that the
// user sees both in the one report.
std::string withLibraryLines(const std::string& what, const std::deque<JetFile>& files) {
    std::string text = what;
    for (const JetFile& file : files)
        for (const std::string& line : file.libraryLines())
            text += " (libmdb, " + file.path().filename().string() + ": " + line + ")";
    return text;
}

std::vector<FileResult> importFiles(const ImportOptions& options, std::ostream& err, bool terminal,
                                    std::deque<JetFile>& files);

}  // namespace

std::vector<FileResult> importDatabases(const ImportOptions& options, std::ostream& err, bool terminal) {
    std::deque<JetFile> files;  // JetFile does not move
    try {
        std::vector<FileResult> results = importFiles(options, err, terminal, files);
        for (std::size_t i = 0; i < results.size(); ++i) results[i].libraryLines = files[i].libraryLines();
        return results;
    } catch (const Error& e) {
        throw Error(withLibraryLines(e.what(), files));
    }
}

namespace {

std::vector<FileResult> importFiles(const ImportOptions& options, std::ostream& err, bool terminal,
                                    std::deque<JetFile>& files) {
    const std::vector<SourceFile> sources = findSources(options.source);
    std::vector<FilePlan> plans;
    for (const SourceFile& source : sources) {
        files.emplace_back(source.path);
        plans.push_back(planImport(files.back(), source.target));
    }
    const std::string unknown = listUnknown(plans);
    if (!unknown.empty() && !options.skipUnknown)
        throw Error("Lumo の知らない表・列があります。何も書いていません。--skip-unknown を付けると残りを取り込みます"
                    " (unknown tables or columns; nothing was written):" + unknown);

    const fs::path dataFolder = options.destination / schema::kDataFolder;
    std::vector<fs::path> targets;
    for (const FilePlan& plan : plans) targets.push_back(dataFolder / plan.target.fileName);
    refuseExisting(targets);
    FolderGuard folderGuard(dataFolder);

    std::vector<FileResult> results;
    std::deque<StagedFile> staged;  // StagedFile does not move
    for (std::size_t i = 0; i < plans.size(); ++i) {
        const FilePlan& plan = plans[i];
        FileResult result{std::string(plan.target.fileName), {}, plan.unknown, {}};
        staged.emplace_back(targets[i]);
        buildDatabase(staged.back().path(), plan.target.ddl, [&](Database& db) {
            result.tables = writeImport(files[i], plan, db, progressOn(err, terminal, result.fileName));
        });
        for (const std::string& name : plan.unknown)
            if (name.find('.') == std::string::npos) result.tables.push_back(countSkippedTable(files[i], name));
        results.push_back(std::move(result));
    }
    publishAll(staged);
    folderGuard.keep();
    return results;
}

}  // namespace

}  // namespace lumo::tools
