#pragma once
// One process-wide receiver for every message box the suite asks for.
// The library and the programs never talk to a window system directly:
// they call showMessage(), and whoever installed the sink decides how the
// box appears (stderr by default, QMessageBox in the wizard, a recorder in
// tests).
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace lumo {

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { OK, Cancel, Yes, No };

struct MessageRequest {
    std::string text;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    std::string title;  // empty: the application's own name
};

using MessageSink = std::function<MsgResult(const MessageRequest&)>;

// Shows a box through the installed sink and returns the answer.
MsgResult showMessage(const MessageRequest& request);
MsgResult showMessage(std::string text, MsgButtons buttons = MsgButtons::OK,
                      MsgIcon icon = MsgIcon::None, std::string title = {});

// Installs a sink for the whole process and returns the previous one.
// An empty function restores the default sink.
MessageSink setMessageSink(MessageSink sink);

// The default: reports go to standard error, questions get the safe answer
// (No, or Cancel where there is no No).
MsgResult defaultMessageSink(const MessageRequest& request);
MsgResult safeAnswer(MsgButtons buttons);

// Installs a sink for the lifetime of the object.
class ScopedMessageSink {
public:
    explicit ScopedMessageSink(MessageSink sink);
    ~ScopedMessageSink();
    ScopedMessageSink(const ScopedMessageSink&) = delete;
    ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

private:
    MessageSink previous_;
};

// Records every request and answers questions from a script; when the
// script is used up it answers like the default sink. Installs itself.
// Threads: any number of threads may report into it at once; answer(),
// messages() and clear() belong to the thread that made it, and read or
// change the record only while no other thread is reporting (before the
// others start, or after they have been joined).
class RecordingSink {
public:
    RecordingSink();
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;

    void answer(MsgResult result);
    const std::vector<MessageRequest>& messages() const { return messages_; }
    void clear();

private:
    MsgResult record(const MessageRequest& request);

    std::mutex mutex_;  // held while a report is recorded
    std::vector<MessageRequest> messages_;
    std::deque<MsgResult> answers_;
    ScopedMessageSink scope_;
};

}  // namespace lumo
