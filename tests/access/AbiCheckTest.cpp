// The boundary checks itself: the library reports its interface version
// and ABI tag, and createObject refuses a library built otherwise.
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

// A library that reports the tag under test.
std::string gOtherTag;
TypeLibraryInfo gOtherInfo{"LumoAccess", "LumoBase Access API Library Ver1.2", 1, 2, kInterfaceVersion, nullptr};

const TypeLibraryInfo* otherTypeLibrary() noexcept {
    gOtherInfo.abiTag = gOtherTag.c_str();
    return &gOtherInfo;
}

const TypeLibraryInfo* silentTypeLibrary() noexcept {
    static const TypeLibraryInfo info{"LumoAccess", "LumoBase Access API Library Ver1.2", 1, 2, 0, nullptr};
    return &info;
}

TEST(AccessAbi, TheLibraryReportsTheTagItWasBuiltWith) {
    const TypeLibraryInfo* info = AccessLibrary::instance().entry<DllGetTypeLibraryProc>("DllGetTypeLibrary")();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->majorVersion, 1);
    EXPECT_EQ(info->minorVersion, 2);
    EXPECT_EQ(info->interfaceVersion, kInterfaceVersion);
    ASSERT_NE(info->abiTag, nullptr);
    EXPECT_EQ(std::string(info->abiTag), abiTag());
    EXPECT_NE(abiTag().find("interface " + std::to_string(kInterfaceVersion)), std::string::npos) << abiTag();
    EXPECT_NE(abiTag().find("cxx11-abi="), std::string::npos) << abiTag();
    // The compiler is not part of it: a clang++ client of a g++-built
    // library shares everything the tag names (tests/install builds one).
    EXPECT_TRUE(abiTag().starts_with("itanium-c++-abi;libstdc++ ")) << abiTag();
    for (const char* compiler : {"gcc", "clang", "g++"})
        EXPECT_EQ(abiTag().find(compiler), std::string::npos) << abiTag();
}

TEST(AccessAbi, CreateObjectRefusesALibraryBuiltOtherwise) {
    const std::string ours = abiTag();
    const std::string withoutVersion = ours.substr(0, ours.rfind(';'));
    std::string otherStringAbi = ours;
    const auto abi = otherStringAbi.find("cxx11-abi=") + std::string_view("cxx11-abi=").size();
    otherStringAbi[abi] = otherStringAbi[abi] == '1' ? '0' : '1';
    const std::string others[] = {
        withoutVersion + ";interface " + std::to_string(kInterfaceVersion + 1),  // a newer interface
        otherStringAbi,
        "itanium-c++-abi;libc++;interface " + std::to_string(kInterfaceVersion),  // another C++ library
        "unknown-c++-abi" + ours.substr(ours.find(';')),                          // another C++ ABI
        "",
    };
    auto canUnload = AccessLibrary::instance().entry<DllCanUnloadNowProc>("DllCanUnloadNow");
    const auto factory = AccessLibrary::instance().factory();
    for (const std::string& other : others) {
        gOtherTag = other;
        std::string reason;
        EXPECT_FALSE(LumoAccess::createObject<clsPidAccess>(factory, &otherTypeLibrary, &reason)) << other;
        EXPECT_NE(reason.find('"' + other + '"'), std::string::npos) << reason;
        EXPECT_NE(reason.find('"' + ours + '"'), std::string::npos) << reason;
        EXPECT_TRUE(canUnload()) << "no object was made for " << other;
    }

    std::string reason;
    EXPECT_FALSE(LumoAccess::createObject<clsIidAccess>(factory, &silentTypeLibrary, &reason));
    EXPECT_NE(reason.find("does not say"), std::string::npos) << reason;
    EXPECT_FALSE(LumoAccess::createObject<clsIidAccess>(factory, nullptr, &reason));
    EXPECT_NE(reason.find("does not say"), std::string::npos) << reason;
    EXPECT_FALSE(LumoAccess::createObject<clsIidAccess>(nullptr, &otherTypeLibrary, &reason));
    EXPECT_NE(reason.find("DllGetClassObject"), std::string::npos) << reason;

    // The library's own tag is accepted and the reason left empty.
    reason = "stale";
    const auto typeLibrary = AccessLibrary::instance().entry<DllGetTypeLibraryProc>("DllGetTypeLibrary");
    EXPECT_TRUE(LumoAccess::createObject<clsScrapAccess>(factory, typeLibrary, &reason));
    EXPECT_EQ(reason, "");
}

}  // namespace
}  // namespace lumo::test
