#pragma once
// The library's three batch entry points, looked up once for the tests
// that open batches on access objects. A missing entry fails the test that
// uses it (and the lookup says which).
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {

inline LumoAccess::LumoBatchProc batchEntry(const char* name) {
    const auto entry = AccessLibrary::instance().entry<LumoAccess::LumoBatchProc>(name);
    EXPECT_NE(entry, nullptr) << name;
    return entry;
}

inline const LumoAccess::LumoBatchProc beginBatch = batchEntry("LumoBeginBatch");
inline const LumoAccess::LumoBatchProc endBatch = batchEntry("LumoEndBatch");
inline const LumoAccess::LumoBatchProc cancelBatch = batchEntry("LumoCancelBatch");

}  // namespace lumo::test
