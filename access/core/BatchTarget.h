#pragma once
// How the batch entry points (access/Batch.cpp) reach the connection of an
// object a client hands them as an interface pointer: every object of the
// library is also a BatchTarget, and a pointer that is not one (null, or
// an object made elsewhere) is refused there. The target is the object
// itself; it lives as long as the object, and the object's one-thread rule
// holds for it.
#include "access/core/Database.h"

namespace lumo::access {

class BatchTarget {
public:
    virtual const Database& batchDatabase() const noexcept = 0;

protected:
    ~BatchTarget() = default;
};

}  // namespace lumo::access
