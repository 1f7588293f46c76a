// "--" ends the options of every lumo command: the words after it are
// operands even when they start with '-' (a folder named -dash), and
// options before it keep their meaning.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/ToolsTestSupport.h"
#include "tools/lumo/Arguments.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

// Runs the test's lumo commands in a scratch folder, so that relative
// names starting with '-' land there.
class InFolder {
public:
    explicit InFolder(const fs::path& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
    ~InFolder() { fs::current_path(previous_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    fs::path previous_;
};

struct Word {
    std::string word;
    bool option;
};

std::vector<Word> walk(const std::vector<std::string_view>& args) {
    std::vector<Word> words;
    tools::ArgumentReader in{tools::Arguments(args)};
    while (in.next()) words.push_back({std::string(in.word()), in.isOption()});
    return words;
}

TEST(EndOfOptions, TheReaderTakesEveryWordAfterTheFirstDoubleDashAsAnOperand) {
    const struct {
        std::vector<std::string_view> args;
        std::vector<std::pair<std::string, bool>> words;  // word, is an option
    } cases[]{
        {{"--sample", "dir"}, {{"--sample", true}, {"dir", false}}},
        {{"-", "-x"}, {{"-", false}, {"-x", true}}},
        {{"--", "-dash"}, {{"-dash", false}}},
        {{"--sample", "--", "--help", "--"}, {{"--sample", true}, {"--help", false}, {"--", false}}},
        {{"--"}, {}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        const std::vector<Word> got = walk(c.args);
        ASSERT_EQ(got.size(), c.words.size()) << c.args.size();
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].word, c.words[i].first);
            EXPECT_EQ(got[i].option, c.words[i].second) << got[i].word;
        }
    }
}

TEST(EndOfOptions, ValuesComeAfterTheOptionOrAfterItsEqualsSign) {
    const std::vector<std::string_view> args{"--persons=3", "--persons", "-4", "--", "--persons", "5"};
    tools::ArgumentReader in{tools::Arguments(args)};
    std::vector<std::string> values;
    while (in.next())
        if (const auto value = in.value("--persons", "needs a count")) values.emplace_back(*value);
    // After "--", "--persons" is an operand like "5".
    EXPECT_EQ(values, (std::vector<std::string>{"3", "-4"}));

    const std::vector<std::string_view> lacking{"--out"};
    tools::ArgumentReader last{tools::Arguments(lacking)};
    ASSERT_TRUE(last.next());
    EXPECT_THROW(last.value("--out", "needs a file"), tools::UsageError);
}

TEST(EndOfOptions, EveryCommandTakesDashedOperandsAfterDoubleDash) {
    const ScratchFolder work;
    const InFolder here(work.path());

    // init: a folder named -dash, and one named --help (not the help text).
    RunResult run = runLumo({"init", "--sample", "--", "-dash"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(work.path() / "-dash/Data/LumoBase.mdb"));
    run = runLumo({"init", "--", "--help"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(work.path() / "--help/Data/iLumoBase.mdb")) << run.out;
    run = runLumo({"init", "--", "a", "b"});
    EXPECT_EQ(run.exitCode, 2) << "two folders after --";

    // export: the folder -dash, with --force before "--".
    run = runLumo({"export", "person", "--", "-dash"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::is_regular_file(work.path() / "-dash/person.csv"));
    run = runLumo({"export", "--force", "person", "--", "-dash"});
    EXPECT_EQ(run.exitCode, 0) << run.err;

    // sql: a database file named -f, which before "--" would be the option.
    fs::copy_file(work.path() / "-dash/Data/LumoBase.mdb", work.path() / "-f");
    run = runLumo({"sql", "--", "-f", "SELECT COUNT(*) > 0 AS SOME FROM T_PERSON"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "SOME\n-1\n");

    // import: -nosuch is a source that is not there, not an unknown option.
    run = runLumo({"import", "--", "-nosuch", "-dest"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("-nosuch"), std::string::npos) << run.err;

    // Without "--", such words stay options the commands do not know.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"init", "-dash"}, {"export", "person", "-dash"}, {"import", "-nosuch", "-dest"}}) {
        run = runLumo(args);
        EXPECT_EQ(run.exitCode, 2) << args[0] << ": " << run.err;
    }
}

}  // namespace
}  // namespace lumo::test
