// A client outside the suite sees the library's message boxes through the
// published C entry points: its handler gets every report and question
// and answers them, and the calling thread's last report can be read.
#include <thread>

#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

struct Seen {
    std::string text;
    int32_t buttons;
    int32_t icon;
    std::string title;
};

struct HandlerState {
    std::vector<Seen> seen;
    int32_t answer = kAnswerOK;
};

int32_t recordingHandler(void* context, const char* text, int32_t buttons, int32_t icon, const char* title) {
    auto* state = static_cast<HandlerState*>(context);
    state->seen.push_back({text, buttons, icon, title});
    return state->answer;
}

// Installs the handler through the library for the test's lifetime.
class InstalledHandler {
public:
    InstalledHandler() {
        const auto install = lib().entry<LumoSetMessageHandlerProc>("LumoSetMessageHandler");
        EXPECT_NE(install, nullptr);
        if (install) {
            EXPECT_EQ(install(&recordingHandler, &state), kResultOk);
        }
    }
    ~InstalledHandler() { reset(); }
    InstalledHandler(const InstalledHandler&) = delete;
    InstalledHandler& operator=(const InstalledHandler&) = delete;

    static void reset() {
        if (auto restore = lib().entry<LumoResetMessageHandlerProc>("LumoResetMessageHandler")) restore();
    }
    static AccessLibrary& lib() { return AccessLibrary::instance(); }

    HandlerState state;
};

struct LastReportView {
    int32_t present;
    std::string code;
    std::string description;
};

LastReportView lastReportOfThisThread() {
    const char* code = nullptr;
    const char* description = nullptr;
    const auto get = AccessLibrary::instance().entry<LumoGetLastReportProc>("LumoGetLastReport");
    if (!get) return {-1, "", ""};
    const int32_t present = get(&code, &description);
    return {present, code ? code : "(null)", description ? description : "(null)"};
}

void clearLastReportOfThisThread() {
    if (auto clear = AccessLibrary::instance().entry<LumoClearLastReportProc>("LumoClearLastReport")) clear();
}

TEST(ClientMessageHandler, SeesExactlyOneReportOfAFailingOperationWithItsCodeAndDescription) {
    ScratchDatabase db(schema::personDdl());
    clearLastReportOfThisThread();
    EXPECT_EQ(lastReportOfThisThread().present, 0);
    {
        InstalledHandler handler;
        auto person = createObject<clsPidAccess>();
        ASSERT_TRUE(person);
        ASSERT_FALSE(person->Initialize(db.connectionString()));
        EXPECT_EQ(person->GetGroupID(), 1);
        EXPECT_TRUE(handler.state.seen.empty()) << "a working call shows nothing";

        EXPECT_TRUE(person->Initialize(missingDatabase()));
        ASSERT_EQ(handler.state.seen.size(), 1u);
        const Seen& box = handler.state.seen.front();
        EXPECT_EQ(box.buttons, kButtonsOK);
        EXPECT_EQ(box.icon, kIconNone);
        EXPECT_EQ(box.title, "");

        const LastReportView last = lastReportOfThisThread();
        EXPECT_EQ(last.present, 1);
        EXPECT_EQ(last.code, "CLS-pida1007");
        EXPECT_FALSE(last.description.empty());
        EXPECT_EQ(box.text, last.code + "\r\n" + last.description);

        // The next failing operation replaces the last report.
        EXPECT_EQ(person->GetGroupID(), 0);
        ASSERT_EQ(handler.state.seen.size(), 2u);
        EXPECT_EQ(lastReportOfThisThread().code, "CLS-pida1035");
    }
    // Once restored, reports no longer reach the client's handler (the
    // recorder below is the suite's own sink, the same mechanism).
    RecordingSink sink;
    auto person = createObject<clsPidAccess>();
    EXPECT_EQ(person->GetGroupID(), 0);
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-pida1035"});
}

TEST(ClientMessageHandler, AnswersQuestionsWithTheButtonsOffered) {
    struct Case {
        MsgButtons buttons;
        int32_t answer;
        MsgResult expected;
    };
    const Case cases[] = {
        {MsgButtons::YesNo, kAnswerYes, MsgResult::Yes},
        {MsgButtons::YesNo, kAnswerNo, MsgResult::No},
        {MsgButtons::YesNoCancel, kAnswerCancel, MsgResult::Cancel},
        {MsgButtons::OKCancel, kAnswerOK, MsgResult::OK},
        // An answer the box does not offer is the safe answer.
        {MsgButtons::YesNo, kAnswerOK, MsgResult::No},
        {MsgButtons::OKCancel, kAnswerYes, MsgResult::Cancel},
        {MsgButtons::YesNoCancel, 99, MsgResult::No},
        {MsgButtons::OK, -1, MsgResult::OK},
    };
    InstalledHandler handler;
    for (const Case& c : cases) {
        handler.state.answer = c.answer;
        EXPECT_EQ(showMessage("上書きしますか？", c.buttons, MsgIcon::Question, "エクスポート"), c.expected)
            << static_cast<int>(c.buttons) << " answered " << c.answer;
    }
    ASSERT_EQ(handler.state.seen.size(), std::size(cases));
    EXPECT_EQ(handler.state.seen[0].text, "上書きしますか？");
    EXPECT_EQ(handler.state.seen[0].title, "エクスポート");
    EXPECT_EQ(handler.state.seen[0].icon, kIconQuestion);
    EXPECT_EQ(handler.state.seen[2].buttons, kButtonsYesNoCancel);
}

TEST(ClientMessageHandler, TheLastReportBelongsToTheCallingThread) {
    clearLastReportOfThisThread();
    InstalledHandler handler;
    std::thread other([] {
        auto person = createObject<clsPidAccess>();
        EXPECT_EQ(person->GetGroupID(), 0);
        EXPECT_EQ(lastReportOfThisThread().code, "CLS-pida1035");
    });
    other.join();
    EXPECT_EQ(handler.state.seen.size(), 1u) << "the handler sees the reports of every thread";
    const LastReportView mine = lastReportOfThisThread();
    EXPECT_EQ(mine.present, 0);
    EXPECT_EQ(mine.code, "");
    EXPECT_EQ(mine.description, "");
}

}  // namespace
}  // namespace lumo::test
