// The peak memory the table reports must be the child's own: a child
// started by a large program once reported that program's size instead.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/PeakMemory.h"

namespace {

using lumo::bench::runMeasured;

struct Child {
    const char* what;
    std::string code;  // Python run by the child
    long atLeastKb, belowKb;
    int exitStatus;
};

TEST(PeakMemory, IsTheChildsOwnWhateverItsParentsSize) {
    // Far larger than any child below: a figure inherited from the parent shows.
    std::vector<char> ballast(256 << 20, 1);
    const std::string log = (std::filesystem::temp_directory_path() / "lumo-peak-memory-check.log").string();
    const Child children[] = {
        {"an idle interpreter", "pass", 1024, 64 << 10, 0},
        {"64 MiB of text", "b = b'x' * (64 << 20)", (64 << 10) + 1024, 128 << 10, 0},
        {"a failing one", "raise SystemExit(3)", 1024, 64 << 10, 3},
    };
    for (const Child& c : children) {
        SCOPED_TRACE(c.what);
        const lumo::bench::ChildRun run = runMeasured({"/usr/bin/env", "python3", "-c", c.code}, log);
        EXPECT_EQ(run.exitStatus, c.exitStatus);
        EXPECT_GE(run.peakRssKb, c.atLeastKb);
        EXPECT_LT(run.peakRssKb, c.belowKb);
    }
    EXPECT_EQ(ballast[ballast.size() / 2], 1);
}

}  // namespace
