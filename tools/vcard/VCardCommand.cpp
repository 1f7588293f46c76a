#include "tools/vcard/VCardCommand.h"

#include <charconv>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "exchange/VCardExchange.h"
#include "platform/Error.h"

namespace lumo::tools {
namespace {

namespace fs = std::filesystem;
using namespace lumo::exchange;

std::string_view valueOf(Arguments args, std::size_t& i, std::string_view option) {
    if (++i >= args.size()) throw UsageError(std::string(option) + " には値が必要です");
    return args[i];
}

std::vector<LumoAccess::Long> parseIds(std::string_view list) {
    std::vector<LumoAccess::Long> ids;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view part = list.substr(start, comma - start);
        LumoAccess::Long id = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), id);
        if (part.empty() || ec != std::errc() || end != part.data() + part.size() || id <= 0)
            throw UsageError("--ids は 1,2,3 のような人物の番号の並びです: " + std::string(list));
        ids.push_back(id);
        start = comma + 1;
    }
    return ids;
}

int runExport(Arguments args, std::ostream& out, std::ostream& err) {
    ExportOptions options;
    std::string dir, outFile, folder;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--version") {
            const std::string_view v = valueOf(args, i, a);
            if (v == "3.0") options.version = VCardVersion::v30;
            else if (v == "4.0") options.version = VCardVersion::v40;
            else throw UsageError("--version は 3.0 か 4.0 です: " + std::string(v));
        } else if (a == "--out") {
            outFile = valueOf(args, i, a);
        } else if (a == "--folder") {
            folder = valueOf(args, i, a);
        } else if (a == "--group") {
            options.group = std::string(valueOf(args, i, a));
        } else if (a == "--ids") {
            options.ids = parseIds(valueOf(args, i, a));
        } else if (a == "--force") {
            options.replace = true;
        } else if (a.starts_with("--")) {
            throw UsageError("知らないオプションです: " + std::string(a));
        } else if (dir.empty()) {
            dir = a;
        } else {
            throw UsageError("引数が多すぎます: " + std::string(a));
        }
    }
    if (dir.empty()) throw UsageError("DIR を指定してください");
    if (!outFile.empty() && !folder.empty()) throw UsageError("--out と --folder は一緒に使えません");
    ExportResult result;
    if (folder.empty() && (outFile.empty() || outFile == "-")) {
        out << exportVCardText(dir, options, result);
        out.flush();
    } else {
        if (!outFile.empty()) options.file = outFile;
        else options.folder = folder;
        result = exportVCards(dir, options);
        out << result.persons << " 人を書き出しました: "
            << (options.file.empty() ? options.folder.string() + " (" + std::to_string(result.files.size()) + " ファイル)"
                                     : options.file.string())
            << '\n';
    }
    for (const std::string& p : result.problems) err << "lumo vcard: " << p << '\n';
    return result.problems.empty() ? kExitOk : kExitFailure;
}

int runImport(Arguments args, std::ostream& out, std::ostream& err) {
    ImportOptions options;
    std::string dir;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--group") {
            options.group = std::string(valueOf(args, i, a));
        } else if (a == "--dry-run") {
            options.dryRun = true;
        } else if (a.starts_with("--")) {
            throw UsageError("知らないオプションです: " + std::string(a));
        } else if (dir.empty()) {
            dir = a;
        } else {
            files.emplace_back(a);
        }
    }
    if (dir.empty() || files.empty()) throw UsageError("DIR と読み込むファイルを指定してください");
    const std::vector<ImportSource> sources = importSources(files);
    const ImportReport report = importVCards(dir, sources, options);
    for (const std::string& p : report.problems) err << "lumo vcard: " << p << '\n';
    const std::string would = options.dryRun ? " (試しに読んだだけで、登録していません)" : "";
    out << "カード " << report.cards << " 枚: 追加 " << report.added << " 人" << would << "、既にある人 "
        << report.present << " 人、読めないカード " << report.rejected << " 枚";
    if (report.failed) out << "、登録できなかった人 " << report.failed << " 人";
    if (report.photosSkipped) out << "、取り込まなかった写真など " << report.photosSkipped << " 件";
    out << '\n';
    for (const std::string& s : report.skipped) out << "  既にある: " << s << '\n';
    if (!report.placedElsewhere.empty()) {
        out << "そのままの場所がなかった項目:\n";
        for (const std::string& p : report.placedElsewhere) out << "  " << p << '\n';
    }
    return report.rejected || report.failed ? kExitFailure : kExitOk;
}

int run(Arguments args, std::ostream& out, std::ostream& err) {
    if (args.empty()) throw UsageError("export か import を指定してください");
    if (args[0] == "export") return runExport(args.subspan(1), out, err);
    if (args[0] == "import") return runImport(args.subspan(1), out, err);
    throw UsageError("export か import を指定してください: " + std::string(args[0]));
}

}  // namespace

const Command kVCardCommand{
    "vcard",
    "  lumo vcard export DIR [--version 3.0|4.0] [--out FILE | --folder OUT] [--group G] [--ids 1,2,3] [--force]\n"
    "      DIR/Data の住所録を vCard (UTF-8, CR LF) に書き出します。\n"
    "      exports the address book of DIR as vCards (default 3.0): to standard output, to FILE, or\n"
    "      one file per person into the folder OUT, named by the card's stable UID; --group and\n"
    "      --ids choose persons; --force replaces existing files.\n"
    "  lumo vcard import DIR [--group G] [--dry-run] FILE...\n"
    "      vCard (2.1, 3.0, 4.0) を DIR/Data の住所録に読み込みます。FILE はファイル、フォルダ (*.vcf)、- (標準入力)。\n"
    "      imports cards; a person already there (same name and reading and a shared phone or mail)\n"
    "      is skipped; --group G puts the new persons into group G; --dry-run stores nothing. The\n"
    "      report names every property that had no place and where it went.\n",
    "  lumo vcard export . --out persons.vcf         # 見本の住所録を1つのファイルへ / every person into one file\n"
    "  lumo vcard export . --version 4.0 --folder cards  # 1人1ファイル / one file per person\n"
    "  lumo vcard import . --dry-run persons.vcf     # 試しに読む / what an import would do\n",
    &run,
};

}  // namespace lumo::tools
