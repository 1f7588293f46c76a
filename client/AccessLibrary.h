#pragma once
// How every program of the suite reaches the data-access library: it loads
// libLumoAccess.so at run time and creates its objects by class name, so
// that a missing library is a reported failure, not a program that cannot
// start. The library is looked for beside the executable first, then on
// the loader path.
//
// One instance per process (instance()), loaded on first use and never
// unloaded, since the library's objects may outlive any owner we could give
// the handle to. instance() may be called from any thread; the objects it
// creates follow the library's rule (one thread at a time per object).
#include <string>

#include "access/LumoAccess.h"

namespace lumo::client {

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

    // A C entry point of the library (LumoSetMessageHandler, ...), or
    // nullptr when the library has none of that name.
    template <class Proc>
    Proc entry(const char* name) const {
        return reinterpret_cast<Proc>(symbol(name));
    }

    AccessLibrary(const AccessLibrary&) = delete;
    AccessLibrary& operator=(const AccessLibrary&) = delete;

private:
    struct Key {};

public:
    explicit AccessLibrary(Key);

private:
    void* symbol(const char* name) const;
    [[noreturn]] static void failCreate(const char* className, const std::string& reason);
    void* handle_ = nullptr;
    LumoAccess::DllGetClassObjectProc factory_ = nullptr;
    LumoAccess::DllGetTypeLibraryProc typeLibrary_ = nullptr;
};

}  // namespace lumo::client
