#include "platform/MessageSink.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(MessageSink, RecordingSinkRecordsEveryRequest) {
    RecordingSink sink;
    EXPECT_EQ(showMessage("CLS-pida1043\r\n失敗"), MsgResult::OK);
    EXPECT_EQ(showMessage("よろしいですか？", MsgButtons::YesNo, MsgIcon::Question, "新規作成確認"), MsgResult::No);
    ASSERT_EQ(sink.messages().size(), 2u);
    EXPECT_EQ(sink.messages()[0].text, "CLS-pida1043\r\n失敗");
    EXPECT_EQ(sink.messages()[0].buttons, MsgButtons::OK);
    EXPECT_EQ(sink.messages()[0].title, "");
    EXPECT_EQ(sink.messages()[1].icon, MsgIcon::Question);
    EXPECT_EQ(sink.messages()[1].title, "新規作成確認");
    sink.clear();
    EXPECT_TRUE(sink.messages().empty());
}

TEST(MessageSink, ScriptedAnswersGoToQuestionsOnlyThenTheSafeAnswer) {
    RecordingSink sink;
    sink.answer(MsgResult::Yes);
    sink.answer(MsgResult::OK);
    // A report does not use up a scripted answer.
    EXPECT_EQ(showMessage("report"), MsgResult::OK);
    EXPECT_EQ(showMessage("q1", MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(showMessage("q2", MsgButtons::OKCancel), MsgResult::OK);
    EXPECT_EQ(showMessage("q3", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(showMessage("q4", MsgButtons::YesNoCancel), MsgResult::No);
    EXPECT_EQ(showMessage("q5", MsgButtons::OKCancel), MsgResult::Cancel);
    EXPECT_EQ(sink.messages().size(), 6u);
}

TEST(MessageSink, ScopesRestoreThePreviousSink) {
    int outerCalls = 0;
    {
        ScopedMessageSink outer([&](const MessageRequest&) {
            ++outerCalls;
            return MsgResult::Yes;
        });
        {
            RecordingSink inner;
            EXPECT_EQ(showMessage("inner", MsgButtons::YesNo), MsgResult::No);
            EXPECT_EQ(inner.messages().size(), 1u);
        }
        EXPECT_EQ(showMessage("outer", MsgButtons::YesNo), MsgResult::Yes);
        EXPECT_EQ(outerCalls, 1);
    }
    // Back to the default sink: nothing installed, questions get the safe answer.
    const MessageSink previous = setMessageSink({});
    EXPECT_FALSE(previous);
    EXPECT_EQ(showMessage("default", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(outerCalls, 1);
}

}  // namespace
}  // namespace lumo
