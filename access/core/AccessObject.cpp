#include "access/core/AccessObject.h"

namespace lumo::access {

std::atomic<int>& LiveObjects::counter() noexcept {
    static std::atomic<int> live{0};
    return live;
}

}  // namespace lumo::access
