#include "export/engine/ExportRun.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "export/engine/clsExportSource.h"
#include "platform/ErrorReport.h"
#include "platform/MessageSink.h"
#include "platform/ScopedSignal.h"
#include "engine/Recordset.h"

namespace lumo::exporter {

namespace fs = std::filesystem;

std::string finalMessage(const ExportResult& result) {
    std::string text;
    const auto add = [&text](const std::string& sentence) {
        if (!text.empty()) text += "\r\n";
        text += sentence;
    };
    // A kept file is all there is to say: nothing of the run was saved.
    if (result.keptExisting)
        return "中止したため、既存のファイルはそのまま残しています (書き出した " + std::to_string(result.records) +
               " 件は保存していません)。";
    if (result.unread > 0)
        add("読めなかったレコード " + std::to_string(result.unread) + " 件を空の行として書き出しました。");
    if (result.replaced > 0)
        add("CP932 で表せない文字 " + std::to_string(result.replaced) + " 文字を「?」に置き換えて書き出しました。");
    return text;
}

const char* identifierQuery(int16_t kind) {
    return kind == kPersons ? "SELECT PERSON_ID FROM T_PERSON" : "SELECT ID FROM T_SHEET";
}

ExportResult runExport(const std::string& connection, const std::string& file, int16_t kind, const ExportHooks& hooks,
                       StagedFile::Replace replace) {
    // While a run writes, a file size limit makes write() fail with EFBIG
    // instead of killing the process, so the run can report it and clean up.
    const ScopedSignal fileSizeLimit(SIGXFSZ, SIG_IGN);
    ExportResult result;
    std::unique_ptr<clsExportSource> source;
    result.failed = reported(kRunLocation, [&] {
        db::Connection cn;
        cn.Open(connection);
        db::Recordset ids;
        ids.Open(identifierQuery(kind), cn, db::adOpenStatic, db::adLockPessimistic, db::adCmdText);
        if (hooks.setRange) hooks.setRange(ids.RecordCount());

        source = std::make_unique<clsExportSource>();
        source->m_restoreCursor = hooks.restoreCursor;
        source->Initialize(connection, file, kind);
        // Initialize has reported why it could not start; every record would
        // only fail again.
        if (!source->Ready()) {
            result.failed = true;
            return;
        }
        int32_t counter = 1;  // 32-bit: a run of more than 32,767 records is ordinary
        while (!ids.Eof()) {
            source->ExecExport(ids.Fields(0).Value().toLong(), source->m_objText.get());
            // ExecExport has reported the failed write; every later line
            // would fail the same way, and the file has a gap.
            if (source->m_objText->failed()) {
                result.failed = true;
                break;
            }
            ++result.records;
            if (hooks.setValue) hooks.setValue(counter);
            if (hooks.yield) hooks.yield();
            ids.MoveNext();
            if (hooks.stopRequested && hooks.stopRequested()) {
                result.stopped = !ids.Eof();
                break;
            }
            ++counter;
        }
        result.unread = source->Unread();
        if (result.failed) return;
        result.replaced = source->m_objText->replacedCount();
        source->m_objText->close();
        if (result.stopped) {
            // The lines written so far are worth keeping only where they
            // replace nothing; the engine's end removes them otherwise.
            std::error_code ec;
            result.keptExisting = fs::exists(file, ec) || ec;
            if (!result.keptExisting) source->Publish(StagedFile::Replace::No);
        } else {
            source->Publish(replace);
        }
    }) || result.failed;

    // An unfinished file is not published: the engine's end removes it,
    // since a file that looks complete but is not would mislead whoever
    // reads it.
    source.reset();
    if (hooks.restoreCursor) hooks.restoreCursor();
    if (!result.failed) {
        const std::string summary = finalMessage(result);
        if (!summary.empty()) showMessage(summary, MsgButtons::OK, MsgIcon::Information, "エクスポート");
    }
    return result;
}

}  // namespace lumo::exporter
