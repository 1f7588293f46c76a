#pragma once
// What the three access classes share: reference counting across the
// library boundary, the object's connection (also the batch entry points'
// way to it, BatchTarget.h), Initialize, and the end-of-object event that
// the release of the last reference runs.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "access/LumoAccess.h"
#include "access/core/BatchTarget.h"
#include "access/core/Database.h"
#include "platform/ErrorReport.h"

namespace lumo::access {

// Location codes of a class's lifecycle routines.
struct FrameCodes {
    std::string_view creation;
    std::string_view end;
    std::string_view initialize;
};

// Objects alive in the process (DllCanUnloadNow).
class LiveObjects {
public:
    static int count() noexcept { return counter().load(); }

protected:
    LiveObjects() noexcept { ++counter(); }
    ~LiveObjects() { --counter(); }
    LiveObjects(const LiveObjects&) = delete;
    LiveObjects& operator=(const LiveObjects&) = delete;

private:
    static std::atomic<int>& counter() noexcept;
};

template <class I>
class AccessObject : public I, public BatchTarget, private LiveObjects {
public:
    using Interface = I;

    const Database& batchDatabase() const noexcept override { return cnnDatabase; }

    uint32_t AddRef() noexcept override { return ++references_; }

    // A new object starts with the one reference its creator hands out;
    // the release of the last reference runs the end-of-object event and
    // destroys the object.
    uint32_t Release() noexcept override {
        const uint32_t left = --references_;
        if (left == 0) {
            reported(codes_.end, [this] { cnnDatabase.release(); });
            std::unique_ptr<AccessObject> self(this);
        }
        return left;
    }

    LumoAccess::Boolean Initialize(const LumoAccess::String& strConnection, LumoAccess::String* = nullptr) noexcept override {
        return cnnDatabase.initialize(codes_.initialize, strConnection);
    }

    virtual ~AccessObject() = default;

protected:
    explicit AccessObject(FrameCodes codes) : codes_(codes) {}

    Database cnnDatabase;

private:
    FrameCodes codes_;
    std::atomic<uint32_t> references_{1};
};

}  // namespace lumo::access
