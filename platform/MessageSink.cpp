#include "platform/MessageSink.h"

#include <iostream>
#include <mutex>
#include <utility>

namespace lumo {
namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

MessageSink& installedSink() {
    static MessageSink sink;
    return sink;
}

}  // namespace

MsgResult safeAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OK: return MsgResult::OK;
    case MsgButtons::OKCancel: return MsgResult::Cancel;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgResult::No;
    }
    return MsgResult::OK;
}

MsgResult defaultMessageSink(const MessageRequest& request) {
    std::cerr << request.text << '\n';
    return safeAnswer(request.buttons);
}

MsgResult showMessage(const MessageRequest& request) {
    MessageSink sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = installedSink();
    }
    return sink ? sink(request) : defaultMessageSink(request);
}

MsgResult showMessage(std::string text, MsgButtons buttons, MsgIcon icon, std::string title) {
    return showMessage(MessageRequest{std::move(text), buttons, icon, std::move(title)});
}

MessageSink setMessageSink(MessageSink sink) {
    std::lock_guard lock(sinkMutex());
    return std::exchange(installedSink(), std::move(sink));
}

ScopedMessageSink::ScopedMessageSink(MessageSink sink) : previous_(setMessageSink(std::move(sink))) {}

ScopedMessageSink::~ScopedMessageSink() { setMessageSink(std::move(previous_)); }

RecordingSink::RecordingSink() : scope_([this](const MessageRequest& request) { return record(request); }) {}

MsgResult RecordingSink::record(const MessageRequest& request) {
    std::lock_guard lock(mutex_);
    messages_.push_back(request);
    if (request.buttons == MsgButtons::OK) return MsgResult::OK;
    if (answers_.empty()) return safeAnswer(request.buttons);
    MsgResult r = answers_.front();
    answers_.pop_front();
    return r;
}

void RecordingSink::answer(MsgResult result) {
    std::lock_guard lock(mutex_);
    answers_.push_back(result);
}

void RecordingSink::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

}  // namespace lumo
