#pragma once
// The closing words of a failure that ended a batch without storing any of
// it: the connection's EndBatch, a write after SQLite rolled the batch
// back, and those who end a batch with steps of their own
// (access/core/BatchBookkeeping.cpp) all say the same. Constant data.
#include <string_view>

namespace lumo::db {

inline constexpr std::string_view kBatchNothingStored = "一括処理の書き込みはどれも保存されていません。";

}  // namespace lumo::db
