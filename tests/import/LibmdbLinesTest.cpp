// Where lumo import looks for the Jet files (a Data folder in any letter
// case), and what becomes of the lines libmdb writes itself: they reach
// the import's report or its failure line, once each, and never the
// terminal on their own.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/import/ImportTestSupport.h"
#include "tools/import/LibraryOutput.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(ImportSources, TheDataFolderIsFoundInAnyLetterCase) {
    for (const std::string folder : {"Data", "data", "DATA", "dAtA"}) {
        ScratchFolder source;
        fs::create_directories(source.path() / folder);
        fs::copy_file(fixture("iLumoBase.mdb"), source.path() / folder / "ilumobase.MDB");
        ScratchFolder destination;
        const std::vector<tools::FileResult> results = importInto(source.path(), destination.path());
        ASSERT_EQ(results.size(), 1u) << folder;
        EXPECT_EQ(results[0].fileName, "iLumoBase.mdb") << folder;
        EXPECT_TRUE(fs::is_regular_file(destination.data("iLumoBase.mdb"))) << folder;
    }
}

// Standard error of this process goes to a file while the test looks at it.
class StandardErrorToFile {
public:
    explicit StandardErrorToFile(const fs::path& file) : saved_(::dup(STDERR_FILENO)) {
        std::fflush(stderr);
        FILE* out = std::fopen(file.c_str(), "w");
        ::dup2(::fileno(out), STDERR_FILENO);
        std::fclose(out);
    }
    ~StandardErrorToFile() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    StandardErrorToFile(const StandardErrorToFile&) = delete;
    StandardErrorToFile& operator=(const StandardErrorToFile&) = delete;

private:
    int saved_;
};

TEST(LibmdbLines, ACaptureKeepsWhatTheLibraryWritesOnceEachWithItsCount) {
    ScratchFolder scratch;
    const fs::path terminal = scratch.path() / "stderr";
    std::vector<std::string> lines;
    {
        const StandardErrorToFile redirected(terminal);
        tools::LibraryOutput output;
        for (int i = 0; i < 3; ++i) {
            const auto quiet = output.capture();
            std::fprintf(stderr, "Oops! didn't get a full page at 51\n");
            const auto nested = output.capture();  // libmdb calls within libmdb calls
            std::fprintf(stderr, "offset 208896 is beyond EOF\n");
        }
        {
            const auto quiet = output.capture();
            std::printf("Warning: defaulting to brute force read\n");  // stdio's buffer, flushed by the capture
            std::fprintf(stderr, "\n");
        }
        std::fprintf(stderr, "ours\n");  // outside a capture: the program's own
        lines = output.lines();
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"Oops! didn't get a full page at 51 (3 回)",
                                               "offset 208896 is beyond EOF (3 回)",
                                               "Warning: defaulting to brute force read"}));
    EXPECT_EQ(readFile(terminal), "ours\n");
}

TEST(LibmdbLines, TheImportReportShowsEachLineUnderItsFile) {
    tools::FileResult file{"LumoBase.mdb", {}, {}, {"Oops! didn't get a full page at 51"}};
    std::ostringstream out;
    tools::printSummary(out, {file});
    EXPECT_EQ(count(out.str(), "libmdb の報告 (libmdb said): LumoBase.mdb: Oops! didn't get a full page at 51\n"), 1u)
        << out.str();
}

TEST(LibmdbLines, ACutShortFileFailsOnOneLineThatHoldsLibmdbsOwn) {
    // Cut inside page 49: libmdb complains while it reads T_GROUPING.
    SourceCopy source;
    const fs::path file = source.add("LumoBase.mdb", "LumoBase.mdb");
    fs::resize_file(file, 200000);
    ScratchFolder destination;
    const RunResult run = runLumo({"import", source.folder.path().string(), destination.path().string()});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(count(run.err, "\n"), 1u) << run.err;
    EXPECT_TRUE(run.err.starts_with("lumo import: ")) << run.err;
    EXPECT_EQ(count(run.err, "Oops! didn't get a full page"), 1u) << run.err;
    EXPECT_NE(run.err.find("(libmdb, LumoBase.mdb: Oops! didn't get a full page at "), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(destination.data("LumoBase.mdb")));
}

}  // namespace
}  // namespace lumo::test
