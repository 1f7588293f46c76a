#include "tests/import/ImportTestSupport.h"

#include <sstream>

namespace lumo::test {

std::filesystem::path fixtureFolder() { return LUMO_JET4_FIXTURES; }

std::filesystem::path SourceCopy::add(const std::string& fixtureFile, const std::string& asName) {
    const std::filesystem::path target = folder.data(asName);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(fixture(fixtureFile), target);
    std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return target;
}

std::vector<tools::FileResult> importInto(const std::filesystem::path& source, const std::filesystem::path& destination,
                                          bool skipUnknown) {
    std::ostringstream progress;
    return tools::importDatabases({source, destination, skipUnknown}, progress, false);
}

}  // namespace lumo::test
