// Temporary files that killed runs left beside a target are removed by
// the next run for that target; nothing else is touched.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "tests/tools/ToolsTestSupport.h"
#include "tools/init/NewDatabases.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

pid_t finishedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(StagedFile, RemovesWhatKilledRunsLeftForTheSameTarget) {
    ScratchFolder folder;
    const std::string dead = std::to_string(finishedProcess());
    const std::string alive = std::to_string(::getppid());
    const std::vector<std::string> removed{".X.mdb.tmp-" + dead + "-0", ".X.mdb.tmp-" + dead + "-0-wal",
                                           ".X.mdb.tmp-" + dead + "-12-shm",
                                           ".X.mdb.tmp-" + dead + "-0-journal"};
    const std::vector<std::string> kept{".X.mdb.tmp-" + alive + "-0",  // its run may still be writing
                                        ".Y.mdb.tmp-" + dead + "-0",   // another target's
                                        ".X.mdb.tmp-abc-0", ".X.mdb.tmp--0",
                                        "X.mdb.tmp-" + dead + "-0", "notes.txt"};
    for (const auto* names : {&removed, &kept})
        for (const std::string& name : *names) std::ofstream(folder.path() / name) << "x";

    tools::refuseExisting({folder.path() / "X.mdb"});
    std::vector<std::string> present;
    for (const auto& entry : fs::directory_iterator(folder.path())) present.push_back(entry.path().filename().string());
    for (const std::string& name : removed)
        EXPECT_EQ(std::count(present.begin(), present.end(), name), 0) << name;
    for (const std::string& name : kept) EXPECT_EQ(std::count(present.begin(), present.end(), name), 1) << name;
    EXPECT_EQ(present.size(), kept.size());
}

}  // namespace
}  // namespace lumo::test
