// A program outside the suite, built by install_test.sh against an
// installed prefix only: the header found through the pkg-config file, the
// library loaded from the file that pkg-config names.
//   InstalledClient LIBRARY PERSON-DATABASE PERSON-ID
// Prints the person's last and first name, tab-separated, and exits 0; a
// failure of the library is its own report on standard error, exit 1.
#include <LumoAccess.h>
#include <dlfcn.h>

#include <cstdio>
#include <string>

namespace {

template <class Proc>
Proc entry(void* library, const char* name) {
    return reinterpret_cast<Proc>(::dlsym(library, name));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: InstalledClient LIBRARY DATABASE PERSON-ID\n");
        return 2;
    }
    void* library = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "dlopen: %s\n", ::dlerror());
        return 1;
    }
    const auto factory = entry<LumoAccess::DllGetClassObjectProc>(library, "DllGetClassObject");
    const auto typeLibrary = entry<LumoAccess::DllGetTypeLibraryProc>(library, "DllGetTypeLibrary");
    std::string reason;
    // Each class, so that a library missing one is caught here too.
    if (!LumoAccess::createObject<LumoAccess::clsIidAccess>(factory, typeLibrary, &reason) ||
        !LumoAccess::createObject<LumoAccess::clsScrapAccess>(factory, typeLibrary, &reason)) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return 1;
    }
    auto person = LumoAccess::createObject<LumoAccess::clsPidAccess>(factory, typeLibrary, &reason);
    if (!person) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return 1;
    }
    if (person->Initialize(std::string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + argv[2])) return 1;
    const LumoAccess::PersonInformation found = person->GetPersonalInformation(std::stoi(argv[3]));
    std::printf("%s\t%s\n", found.strLastName.c_str(), found.strFirstName.c_str());
    return 0;
}
