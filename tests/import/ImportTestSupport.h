#pragma once
// What the import tests share: the Jet fixture files, a scratch copy of
// them in a folder laid out as users keep them (SOURCE/Data/*.mdb), and
// one imported destination per test.
#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/ToolsTestSupport.h"
#include "tools/import/ImportCommand.h"

namespace lumo::test {

// tests/data/jet4 of the source tree.
std::filesystem::path fixtureFolder();
inline std::filesystem::path fixture(const std::string& name) { return fixtureFolder() / name; }

inline const std::vector<std::string>& fixtureDatabases() {
    static const std::vector<std::string> names{"LumoBase", "iLumoBase", "LumoScrap"};
    return names;
}

// A source folder holding copies of the given fixture files in Data/,
// each under the name given (so a test can damage or rename one).
struct SourceCopy {
    ScratchFolder folder;
    std::filesystem::path add(const std::string& fixtureFile, const std::string& asName);
};

// Imports `source` into `destination` in this process; the progress goes
// nowhere.
std::vector<tools::FileResult> importInto(const std::filesystem::path& source, const std::filesystem::path& destination,
                                          bool skipUnknown = false);

}  // namespace lumo::test
