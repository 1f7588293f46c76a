// The batch entry points: a client's interface pointer, checked to be an
// object of this library, and its connection's batch (engine/Connection.h),
// with the refusals and the failed end told apart in the result.
#include <string_view>

#include "access/LumoAccess.h"
#include "access/core/BatchBookkeeping.h"
#include "access/core/BatchTarget.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"

namespace lumo::access {
namespace {

enum class BatchStep { Begin, End, Cancel };

constexpr std::string_view codeOf(BatchStep step) {
    switch (step) {
    case BatchStep::Begin: return "LUMO-batch1001";
    case BatchStep::End: return "LUMO-batch1002";
    case BatchStep::Cancel: return "LUMO-batch1003";
    }
    return "LUMO-batch1000";
}

int32_t runBatchStep(LumoAccess::IAccessObject* object, BatchStep step) noexcept {
    const std::string_view code = codeOf(step);
    // An object of another origin has no connection of ours to batch.
    auto* target = object ? dynamic_cast<BatchTarget*>(object) : nullptr;
    if (!target) {
        showReport(code, "一括処理の対象が LumoAccess のオブジェクトではありません。");
        return LumoAccess::kResultInvalidPointer;
    }
    int32_t result = LumoAccess::kResultOk;
    const bool failed = reported(code, [&] {
        db::Connection& cnn = target->batchDatabase().get();
        if (step == BatchStep::Begin && cnn.InBatch()) {
            result = LumoAccess::kResultBatchOpen;
            throw Error("このオブジェクトの一括処理は既に始まっています (入れ子にはできません)。");
        }
        if (step != BatchStep::Begin && !cnn.InBatch()) {
            result = LumoAccess::kResultNoBatch;
            throw Error("このオブジェクトの一括処理は始まっていません。");
        }
        switch (step) {
        case BatchStep::Begin: beginBookkeptBatch(cnn); break;
        case BatchStep::End: endBookkeptBatch(cnn); break;
        case BatchStep::Cancel: cnn.CancelBatch(); break;
        }
    });
    if (failed && result == LumoAccess::kResultOk) result = LumoAccess::kResultFailed;
    return result;
}

}  // namespace
}  // namespace lumo::access

extern "C" {

[[gnu::visibility("default")]] int32_t LumoBeginBatch(LumoAccess::IAccessObject* object) noexcept {
    return lumo::access::runBatchStep(object, lumo::access::BatchStep::Begin);
}

[[gnu::visibility("default")]] int32_t LumoEndBatch(LumoAccess::IAccessObject* object) noexcept {
    return lumo::access::runBatchStep(object, lumo::access::BatchStep::End);
}

[[gnu::visibility("default")]] int32_t LumoCancelBatch(LumoAccess::IAccessObject* object) noexcept {
    return lumo::access::runBatchStep(object, lumo::access::BatchStep::Cancel);
}

}  // extern "C"
