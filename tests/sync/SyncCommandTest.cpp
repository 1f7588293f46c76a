// lumo sync as a user runs it: the password from a file only, the report
// lines, and failures as `lumo sync: ...` with the exit codes of lumo.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "sync/SyncFolder.h"
#include "tests/support/ChildProcess.h"
#include "tests/sync/SyncTestSupport.h"

namespace lumo::test {
namespace {

ChildExit lumo(const std::vector<std::string>& args) {
    std::vector<std::string> argv{buildProgram("lumo").string(), "sync"};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv);
}

TEST(SyncCommandTest, SyncsWithThePasswordFromAFileAndReportsWhatItDid) {
    const std::string url = sharedRadicale().makeAddressBook(kUser, "command");
    const Folder here;
    addHere(here, person("山田", "太郎", {"090-1111-0000"}));
    TemporaryFolder secrets;
    const auto right = secrets.path() / "right", wrong = secrets.path() / "wrong";
    std::ofstream(right) << kPassword << "\n";
    std::ofstream(wrong) << "not-the-password\n";
    const std::string dir = here.path().string();
    EXPECT_FALSE(sync::lastSync(here.path()));

    const ChildExit refused = lumo({dir, "--url", url, "--user", kUser, "--password-file", wrong.string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.starts_with("lumo sync: ")) << refused.err;
    EXPECT_NE(refused.err.find("(401)"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.find("not-the-password"), std::string::npos) << refused.err;

    const ChildExit done = lumo({dir, "--url", url, "--user", kUser, "--password-file", right.string()});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.out.find("この住所録: 追加 0 件, 更新 0 件, 削除 0 件\nサーバー: 追加 1 件, 更新 0 件, 削除 0 件\n"), 0u)
        << done.out;
    EXPECT_NE(done.out.find("同期しました (同期トークン, 要求 "), std::string::npos) << done.out;
    EXPECT_EQ(done.out.find(kPassword), std::string::npos);
    EXPECT_EQ(cardsThere(sharedRadicale().storedCards(kUser, "command")), std::vector<std::string>{"山田 太郎 / 090-1111-0000 / "});
    const auto last = sync::lastSync(here.path());
    ASSERT_TRUE(last);
    EXPECT_EQ(last->url, url);
    EXPECT_GT(last->finishedAt, 1700000000);
}

TEST(SyncCommandTest, WrongArgumentsAreUsageErrors) {
    const Folder here;
    const std::string dir = here.path().string();
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[]{
        {{dir, "--url", "http://127.0.0.1:1/u/b/", "--password", "secret"}, "--password-file"},
        {{dir}, "--url"},
        {{"--url", "http://127.0.0.1:1/u/b/"}, "DIR"},
        {{dir, "--url"}, "値が要ります"},
        {{dir, "--url", "http://127.0.0.1:1/u/b/", "--timeout", "0"}, "--timeout"},
        {{dir, "--url", "http://127.0.0.1:1/u/b/", "--colour"}, "知らないオプション"},
    };
    for (const auto& c : cases) {
        const ChildExit exit = lumo(c.args);
        EXPECT_EQ(exit.status, 2) << c.message;
        EXPECT_TRUE(exit.err.starts_with("lumo sync: ")) << exit.err;
        EXPECT_NE(exit.err.find(c.message), std::string::npos) << exit.err;
        EXPECT_EQ(exit.err.find("secret"), std::string::npos) << exit.err;
    }
}

}  // namespace
}  // namespace lumo::test

namespace lumo::test {
namespace {

// lumo sync killed (SIGKILL) while it uploads: the next sync finishes, with
// every person once on the server.
TEST(SyncCommandTest, KilledWhileUploadingTheNextSyncFinishes) {
    const std::string url = sharedRadicale().makeAddressBook(kUser, "killed");
    const Folder here;
    std::vector<std::string> expected;
    for (int i = 0; i < 30; ++i) {
        const std::string first = "人" + std::to_string(i);
        const std::string phone = "090-0000-" + std::to_string(1000 + i);
        addHere(here, person("山田", first, {phone}));
        expected.push_back("山田 " + first + " / " + phone + " / ");
    }
    std::ranges::sort(expected);
    TemporaryFolder secrets;
    std::ofstream(secrets.path() / "pw") << kPassword << "\n";
    ChildProcess child({buildProgram("lumo").string(), "sync", here.path().string(), "--url", url, "--user", kUser,
                        "--password-file", (secrets.path() / "pw").string()});
    // Killed once some cards are on the server, before all are.
    for (int i = 0; i < 400 && sharedRadicale().storedCards(kUser, "killed").size() < 5; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    child.signal(SIGKILL);
    const ChildExit killed = child.wait();
    const std::size_t before = sharedRadicale().storedCards(kUser, "killed").size();
    EXPECT_LT(before, expected.size()) << "the sync ended before it was killed; status " << killed.status;

    syncNow(here, url);
    const auto cards = sharedRadicale().storedCards(kUser, "killed");
    EXPECT_EQ(rowsHere(here), expected);
    EXPECT_EQ(cardsThere(cards), expected);
    EXPECT_EQ(checkAgreement(here, cards), "");
}

}  // namespace
}  // namespace lumo::test
