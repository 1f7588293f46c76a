#pragma once
// Message boxes of the wizard: every report and question of the suite
// (lumo::showMessage) appears as a modal QMessageBox with the requested
// title, icon and buttons.
#include "platform/MessageSink.h"

class QMessageBox;

namespace lumo::wizard {

// Makes `box` the box `request` asks for, ready to be shown. A request
// without a title gets the application's name, as the desktop does.
void prepareMessageBox(QMessageBox& box, const MessageRequest& request);

// The answer a finished box gives; closing a box without a button gives
// the safe answer.
MsgResult answerOf(const QMessageBox& box, MsgButtons buttons);

// Shows `request` modally over the active window and returns the answer.
MsgResult showMessageBox(const MessageRequest& request);

// Routes every message box of the process to showMessageBox while it lives.
class QtMessageSink {
public:
    QtMessageSink();

private:
    ScopedMessageSink scope_;
};

}  // namespace lumo::wizard
