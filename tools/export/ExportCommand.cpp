#include "tools/export/ExportCommand.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <utility>
#include <vector>

#include "export/engine/ExportRun.h"
#include "export/engine/clsExportSource.h"
#include "platform/MessageSink.h"
#include "platform/ScopedSignal.h"
#include "platform/StagedFile.h"
#include "engine/ConnectionString.h"
#include "tools/lumo/Arguments.h"
#include "tools/lumo/ReportLine.h"

namespace lumo::tools {
namespace {

namespace fs = std::filesystem;

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int) { g_interrupted = true; }

// Ctrl-C asks the run to stop after the current record, as Cancel does.
class InterruptGuard {
public:
    InterruptGuard() { g_interrupted = false; }

private:
    ScopedSignal handler_{SIGINT, &onInterrupt};
};

// A progress bar on standard error, redrawn only when the shown percentage
// changes.
class ProgressBar {
public:
    explicit ProgressBar(std::ostream& err) : err_(err), enabled_(::isatty(STDERR_FILENO) != 0) {}
    void setRange(int32_t maximum) { maximum_ = maximum; }
    void setValue(int32_t value) {
        if (!enabled_ || maximum_ <= 0) return;
        const int percent = static_cast<int>(int64_t{value} * 100 / maximum_);
        if (percent == shown_) return;
        shown_ = percent;
        constexpr int width = 30;
        const int filled = percent * width / 100;
        err_ << '\r' << '[' << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(width - filled), '-') << "] " << std::setw(3) << percent << "% "
             << value << '/' << maximum_ << std::flush;
    }
    void finish() {
        if (enabled_ && shown_ >= 0) err_ << '\n';
    }

private:
    std::ostream& err_;
    bool enabled_;
    int32_t maximum_ = 0;
    int shown_ = -1;
};

// Counts the reports of a run and lets each distinct text through once:
// a failure that repeats for every record (a missing table) would
// otherwise print a line per record.
class ReportCounter {
public:
    bool firstTime(const std::string& text) {
        ++total_;
        for (auto& [seen, count] : texts_)
            if (seen == text) return ++count, false;
        texts_.emplace_back(text, 1);
        return true;
    }
    int total() const { return total_; }
    void summarize(std::ostream& err) const {
        for (const auto& [text, count] : texts_)
            if (count > 1)
                err << "lumo export: 同じ報告 (" << reportLine(text) << ") が " << count << " 回ありました。\n";
    }

private:
    std::vector<std::pair<std::string, int>> texts_;
    int total_ = 0;
};

int run(Arguments args, std::ostream& out, std::ostream& err) {
    std::string kindName, outFile, dir = ".";
    bool force = false, haveDir = false;
    ArgumentReader in(args);
    while (in.next()) {
        if (const auto file = in.value("--out", "--out にはファイル名が必要です")) {
            outFile = *file;
        } else if (in.is("--force")) {
            force = true;
        } else if (in.isOption()) {
            throw UsageError("知らないオプションです: " + std::string(in.word()));
        } else if (kindName.empty()) {
            kindName = in.word();
        } else if (!haveDir) {
            dir = in.word();
            haveDir = true;
        } else {
            throw UsageError("引数が多すぎます: " + std::string(in.word()));
        }
    }
    if (kindName != "person" && kindName != "goods") throw UsageError("person か goods を指定してください");
    const int16_t kind = kindName == "person" ? exporter::kPersons : exporter::kGoods;
    const fs::path base = fs::absolute(dir);
    const fs::path database = base / "Data" / (kind == exporter::kPersons ? "LumoBase.mdb" : "iLumoBase.mdb");
    const fs::path target = outFile.empty() ? base / (kindName + ".csv") : fs::absolute(outFile);

    StagedFile::removeLeftovers(target);  // of runs that were killed
    if (fs::exists(target) && !force) {
        err << "lumo export: ファイル '" << target.string()
            << "' は既に存在します。上書きするには --force を指定してください。\n";
        return kExitFailure;
    }
    if (!fs::is_directory(target.parent_path())) {
        err << "lumo export: フォルダ '" << target.parent_path().string() << "' がありません。\n";
        return kExitFailure;
    }

    // Every report of the run goes to standard error and makes the exit
    // status a failure; the replacement notice is part of the summary.
    ReportCounter reports;
    ScopedMessageSink sink([&](const MessageRequest& request) {
        if (request.icon == MsgIcon::Information) return MsgResult::OK;
        if (request.buttons != MsgButtons::OK || reports.firstTime(request.text))
            return printReport(err, "export", request);
        return MsgResult::OK;
    });

    ProgressBar bar(err);
    InterruptGuard interrupt;
    removeStagedFilesOnSignals({SIGTERM, SIGHUP});
    exporter::ExportHooks hooks;
    hooks.setRange = [&](int32_t maximum) { bar.setRange(maximum); };
    hooks.setValue = [&](int32_t value) { bar.setValue(value); };
    hooks.stopRequested = [] { return g_interrupted.load(); };

    const auto started = std::chrono::steady_clock::now();
    const std::string connection = db::jetConnectionString(database.string());
    const exporter::ExportResult result = exporter::runExport(
        connection, target.string(), kind, hooks, force ? StagedFile::Replace::Yes : StagedFile::Replace::No);
    bar.finish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    reports.summarize(err);

    if (result.failed) {
        err << "lumo export: 失敗しました。" << target.string() << " は書き出していません (変更はありません)。\n";
        return kExitFailure;
    }
    if (result.keptExisting) {
        out << "中止しました (Ctrl-C): 既存のファイル " << target.string() << " はそのまま残しています (書き出した "
            << result.records << " 件は保存していません)\n";
        return kExitInterrupted;
    }
    std::ostringstream summary;
    summary << (result.stopped ? "中止しました (Ctrl-C): " : "") << target.string() << " に " << result.records
            << " 件を書き出しました (" << std::fixed << std::setprecision(2) << seconds << " 秒)";
    if (result.unread > 0) summary << "。読めなかったレコード " << result.unread << " 件は空の行です";
    if (result.replaced > 0) summary << "。CP932 で表せない文字 " << result.replaced << " 文字を「?」に置き換えました";
    out << summary.str() << '\n';
    if (reports.total() > 0) {
        err << "lumo export: 失敗しました。報告が " << reports.total() << " 件あり、読めなかったレコード "
            << result.unread << " 件を空の行として書き出しています。\n";
        return kExitFailure;
    }
    return result.stopped ? kExitInterrupted : kExitOk;
}

}  // namespace

const Command kExportCommand{
    "export",
    "  lumo export person|goods [--out FILE] [--force] [DIR]\n"
    "      DIR/Data の住所録 (person) か商品台帳 (goods) を CP932 の CSV に書き出します。\n"
    "      exports the address book or the goods ledger of DIR (default: .) as a CP932 CSV file;\n"
    "      FILE defaults to DIR/person.csv or DIR/goods.csv; --force replaces an existing file.\n"
    "      The file appears only when the run ends; a failed run leaves an existing file as it was.\n"
    "      Ctrl-C stops after the current record and exits with status 130; what was written is kept\n"
    "      only where no file existed (a partial file never replaces an existing one).\n"
    "      A record that could not be read whole is written as an empty line and counted.\n"
    "      列の説明 / the columns: docs/csv.md (パッケージ / package: /usr/share/doc/lumo/csv.md)\n",
    "  lumo export person                          # Data/LumoBase.mdb -> person.csv\n"
    "  lumo export goods --out ledger.csv --force  # Data/iLumoBase.mdb -> ledger.csv (replaced)\n",
    &run,
};

}  // namespace lumo::tools
