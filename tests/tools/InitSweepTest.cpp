// lumo init --sample with a failure at every statement, file move and
// open: after a failure nothing is left in the folder (no half-built or
// temporary file, no Data folder); the run that completes leaves three
// whole databases.
#include <filesystem>
#include <iostream>

#include <gtest/gtest.h>

#include "tests/support/FaultSweep.h"
#include "tools/init/InitCommand.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

TEST(InitSweep, FailuresLeaveNothingAndTheCompleteRunThreeWholeFiles) {
    std::vector<db::FaultStep> kinds;
    const std::uint64_t points = sweepFailuresInFolder(
        [](const fs::path&) {},
        [](const fs::path& folder) {
            tools::InitOptions options;
            options.folder = folder;
            options.sample = true;
            return tools::createDatabases(options).size();
        },
        [&](const SweepStep<std::size_t>& s) {
            SCOPED_TRACE("step " + std::to_string(s.step));
            if (s.fired) {
                if (kinds.empty() || kinds.back() != s.failedCall) kinds.push_back(s.failedCall);
                EXPECT_NE(s.escaped.find("disk I/O error") + s.escaped.find("Input/output error"), 2 * std::string::npos)
                    << s.escaped;
                EXPECT_TRUE(fs::is_empty(s.database)) << "left: " << fs::directory_iterator(s.database)->path();
                return;
            }
            EXPECT_EQ(s.escaped, "");
            ASSERT_EQ(s.result, 3u);
            std::size_t files = 0;
            for (const auto& e : fs::directory_iterator(s.database / "Data")) {
                ++files;
                EXPECT_EQ(integrityCheck(e.path()), "ok") << e.path();
            }
            EXPECT_EQ(files, 3u) << "nothing but the three databases";
        });
    EXPECT_EQ(kinds.back(), db::FaultStep::Publish) << "the last steps move the files into place";
    std::cout << "[ sweep    ] lumo init --sample: " << points << " failure points\n";
}

}  // namespace
}  // namespace lumo::test
