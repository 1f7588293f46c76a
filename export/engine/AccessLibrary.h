#pragma once
// Loads libLumoAccess.so at run time and creates its objects by class name,
// so that a missing library is a reported failure, not a program that
// cannot start. The library is looked for beside the executable first, then
// on the loader path.
#include <string>

#include "access/LumoAccess.h"

namespace lumo::exporter {

class AccessLibrary {
public:
    // The process's one loaded library. Throws lumo::Error with a
    // description when it cannot be loaded.
    static AccessLibrary& instance();

    template <class T>
    LumoAccess::Ref<T> create() {
        std::string reason;
        auto object = LumoAccess::createObject<T>(factory_, typeLibrary_, &reason);
        if (!object) failCreate(T::kClassName, reason);
        return object;
    }

    AccessLibrary(const AccessLibrary&) = delete;
    AccessLibrary& operator=(const AccessLibrary&) = delete;

private:
    struct Key {};

public:
    explicit AccessLibrary(Key);

private:
    [[noreturn]] static void failCreate(const char* className, const std::string& reason);
    void* handle_ = nullptr;
    LumoAccess::DllGetClassObjectProc factory_ = nullptr;
    LumoAccess::DllGetTypeLibraryProc typeLibrary_ = nullptr;
};

}  // namespace lumo::exporter
