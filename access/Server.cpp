// The library's server entry points: object creation by class name, the
// (empty) registration, the unload test and the type library description.
#include <memory>
#include <string>
#include <string_view>

#include "access/LumoAccess.h"
#include "access/core/AccessObject.h"
#include "access/item/clsIidAccess.h"
#include "access/person/clsPidAccess.h"
#include "access/scrap/clsScrapAccess.h"

namespace lumo::access {
namespace {

const LumoAccess::TypeLibraryInfo& typeLibrary() {
    static const std::string tag = LumoAccess::abiTag();
    static const LumoAccess::TypeLibraryInfo info{
        "LumoAccess", "LumoBase Access API Library Ver1.2", 1, 2, LumoAccess::kInterfaceVersion, tag.c_str()};
    return info;
}

// The new object's interface, holding the one reference its creator owns.
template <class Object>
void* newObject() {
    using Interface = typename Object::Interface;
    return static_cast<Interface*>(std::make_unique<Object>().release());
}

}  // namespace
}  // namespace lumo::access

extern "C" {

[[gnu::visibility("default")]] int32_t DllGetClassObject(const char* className, void** object) noexcept {
    using namespace lumo::access;
    if (!object) return LumoAccess::kResultInvalidPointer;
    *object = nullptr;
    if (!className) return LumoAccess::kResultClassNotAvailable;
    try {
        const std::string_view name(className);
        if (name == LumoAccess::clsPidAccess::kClassName)
            *object = newObject<PidAccess>();
        else if (name == LumoAccess::clsIidAccess::kClassName)
            *object = newObject<IidAccess>();
        else if (name == LumoAccess::clsScrapAccess::kClassName)
            *object = newObject<ScrapAccess>();
        else
            return LumoAccess::kResultClassNotAvailable;
    } catch (...) {
        return LumoAccess::kResultClassNotAvailable;
    }
    return LumoAccess::kResultOk;
}

[[gnu::visibility("default")]] int32_t DllRegisterServer() noexcept { return LumoAccess::kResultOk; }

[[gnu::visibility("default")]] int32_t DllUnregisterServer() noexcept { return LumoAccess::kResultOk; }

[[gnu::visibility("default")]] bool DllCanUnloadNow() noexcept { return lumo::access::LiveObjects::count() == 0; }

[[gnu::visibility("default")]] const LumoAccess::TypeLibraryInfo* DllGetTypeLibrary() noexcept { 
    try {
        return &lumo::access::typeLibrary();
    } catch (...) {
        return nullptr;  // out of memory on the first call
    }
}

}  // extern "C"
