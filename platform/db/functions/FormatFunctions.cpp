#include "platform/db/functions/FunctionCall.h"

namespace lumo::db::jet {

std::span<const FunctionEntry> formatFunctions() { return {}; }

}  // namespace lumo::db::jet
