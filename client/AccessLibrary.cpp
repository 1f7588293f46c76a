#include "client/AccessLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <memory>
#include <mutex>

#include "platform/Error.h"

namespace lumo::client {
namespace {

constexpr const char* kLibraryName = "libLumoAccess.so";
// The installed runtime library (package liblumoaccess0) is found by its
// SONAME; the name without a version is a development file, installed
// only with the header.
constexpr const char* kLibrarySoname = LUMO_ACCESS_SONAME;

std::string besideExecutable() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : (exe.parent_path() / kLibraryName).string();
}

}  // namespace

AccessLibrary::AccessLibrary(Key) {
    const std::string local = besideExecutable();
    if (!local.empty() && std::filesystem::exists(local)) handle_ = ::dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) handle_ = ::dlopen(kLibrarySoname, RTLD_NOW | RTLD_LOCAL);
    if (!handle_) handle_ = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = ::dlerror();
        throw Error(std::string("ActiveX コンポーネントはオブジェクトを作成できません (LumoAccess を読み込めません: ") +
                    (why ? why : kLibraryName) + ")");
    }
    factory_ = reinterpret_cast<LumoAccess::DllGetClassObjectProc>(::dlsym(handle_, "DllGetClassObject"));
    typeLibrary_ = reinterpret_cast<LumoAccess::DllGetTypeLibraryProc>(::dlsym(handle_, "DllGetTypeLibrary"));
    if (!factory_) {
        ::dlclose(handle_);
        handle_ = nullptr;
        throw Error("ActiveX コンポーネントはオブジェクトを作成できません (LumoAccess に DllGetClassObject がありません)");
    }
}

AccessLibrary& AccessLibrary::instance() {
    // Loaded on first use and kept for the life of the process: objects of
    // the library may outlive any owner we could give the handle to. A
    // failed load is tried again next time.
    static std::mutex m;
    static std::unique_ptr<AccessLibrary> library;
    std::lock_guard lock(m);
    if (!library) library = std::make_unique<AccessLibrary>(Key{});
    return *library;
}

void* AccessLibrary::symbol(const char* name) const { return ::dlsym(handle_, name); }

void AccessLibrary::failCreate(const char* className, const std::string& reason) {
    throw Error(std::string("ActiveX コンポーネントはオブジェクトを作成できません (クラス ") + className + ": " + reason +
                ")");
}

}  // namespace lumo::client
