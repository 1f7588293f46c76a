// The C entry points for clients outside the suite: their message handler
// becomes the process's message sink, the same mechanism the export
// wizard's windows use, and the calling thread's last report is readable.
#include "access/LumoAccess.h"
#include "platform/ErrorReport.h"
#include "platform/MessageSink.h"

namespace lumo::access {
namespace {

MsgResult answerOf(int32_t answer, MsgButtons buttons) {
    const auto offered = [buttons](MsgResult r) {
        switch (buttons) {
        case MsgButtons::OK: return r == MsgResult::OK;
        case MsgButtons::OKCancel: return r == MsgResult::OK || r == MsgResult::Cancel;
        case MsgButtons::YesNo: return r == MsgResult::Yes || r == MsgResult::No;
        case MsgButtons::YesNoCancel: return r != MsgResult::OK;
        }
        return false;
    };
    if (answer < LumoAccess::kAnswerOK || answer > LumoAccess::kAnswerNo) return safeAnswer(buttons);
    const auto result = static_cast<MsgResult>(answer);
    return offered(result) ? result : safeAnswer(buttons);
}

// The codes of the header are the enumerators' positions.
static_assert(static_cast<int32_t>(MsgButtons::YesNoCancel) == LumoAccess::kButtonsYesNoCancel);
static_assert(static_cast<int32_t>(MsgIcon::Information) == LumoAccess::kIconInformation);
static_assert(static_cast<int32_t>(MsgResult::No) == LumoAccess::kAnswerNo);
static_assert(static_cast<int32_t>(ReportKind::None) == LumoAccess::kReportNone);
static_assert(static_cast<int32_t>(ReportKind::Other) == LumoAccess::kReportOther);
static_assert(static_cast<int32_t>(ReportKind::NotFound) == LumoAccess::kReportNotFound);
static_assert(static_cast<int32_t>(ReportKind::Constraint) == LumoAccess::kReportConstraint);
static_assert(static_cast<int32_t>(ReportKind::Busy) == LumoAccess::kReportBusy);
static_assert(static_cast<int32_t>(ReportKind::ReadOnly) == LumoAccess::kReportReadOnly);
static_assert(static_cast<int32_t>(ReportKind::DiskFullOrIo) == LumoAccess::kReportDiskFullOrIo);
static_assert(static_cast<int32_t>(ReportKind::Damaged) == LumoAccess::kReportDamaged);
static_assert(static_cast<int32_t>(ReportKind::BadArgument) == LumoAccess::kReportBadArgument);

MessageSink clientSink(LumoAccess::LumoMessageHandler handler, void* context) {
    return [handler, context](const MessageRequest& request) {
        int32_t answer = -1;
        try {
            answer = handler(context, request.text.c_str(), static_cast<int32_t>(request.buttons),
                             static_cast<int32_t>(request.icon), request.title.c_str());
        } catch (...) {
            // A handler written in C++ that throws anyway: the box counts
            // as closed without an answer.
        }
        return answerOf(answer, request.buttons);
    };
}

}  // namespace
}  // namespace lumo::access

extern "C" {

[[gnu::visibility("default")]] int32_t LumoSetMessageHandler(LumoAccess::LumoMessageHandler handler,
                                                             void* context) noexcept {
    try {
        lumo::setMessageSink(handler ? lumo::access::clientSink(handler, context) : lumo::MessageSink{});
    } catch (...) {
        return LumoAccess::kResultOutOfMemory;  // the previous sink stays
    }
    return LumoAccess::kResultOk;
}

[[gnu::visibility("default")]] void LumoResetMessageHandler() noexcept { lumo::setMessageSink({}); }

[[gnu::visibility("default")]] int32_t LumoGetLastReport(const char** locationCode, const char** description) noexcept {
    const lumo::LastReport& last = lumo::lastReport();
    if (locationCode) *locationCode = last.locationCode.c_str();
    if (description) *description = last.description.c_str();
    return last.present ? LumoAccess::kLastReportPresent : LumoAccess::kLastReportAbsent;
}

[[gnu::visibility("default")]] int32_t LumoGetLastReportKind() noexcept {
    const lumo::LastReport& last = lumo::lastReport();
    return static_cast<int32_t>(last.present ? last.kind : lumo::ReportKind::None);
}

[[gnu::visibility("default")]] void LumoClearLastReport() noexcept { lumo::clearLastReport(); }

}  // extern "C"
