#include "platform/ErrorReport.h"

#include <stdexcept>
#include <string>

#include "platform/MessageSink.h"

namespace lumo {
namespace {

// Failures that carry no description of their own (not a std::exception).
constexpr std::string_view kUnknownFailure = "アプリケーション定義またはオブジェクト定義のエラーです。";

LastReport& threadLastReport() noexcept {
    thread_local LastReport last;
    return last;
}

}  // namespace

const LastReport& lastReport() noexcept { return threadLastReport(); }

void clearLastReport() noexcept { threadLastReport() = LastReport{}; }

void showReport(std::string_view locationCode, std::string_view description, ReportKind kind) noexcept {
    try {
        LastReport& last = threadLastReport();
        last.present = true;
        last.kind = kind == ReportKind::None ? ReportKind::Other : kind;
        last.locationCode.assign(locationCode);
        last.description.assign(description);
        std::string text;
        text.reserve(locationCode.size() + 2 + description.size());
        text.append(locationCode).append("\r\n").append(description);
        showMessage(std::move(text), MsgButtons::OK, MsgIcon::None, {});
    } catch (...) {
        // A sink that cannot show the box must not turn a handled failure
        // into a new one; the routine still returns its error flag.
    }
}

void reportCurrentFailure(std::string_view locationCode) noexcept {
    try {
        throw;
    } catch (const Error& e) {
        showReport(locationCode, e.what(), e.kind());
    } catch (const std::exception& e) {
        showReport(locationCode, e.what());
    } catch (...) {
        showReport(locationCode, kUnknownFailure);
    }
}

}  // namespace lumo
