#include "addressbook/LibraryMessages.h"

#include "client/AccessLibrary.h"
#include "export/wizard/QtMessageSink.h"
#include "platform/Error.h"
#include "platform/MessageSink.h"

namespace lumo::book {
namespace {

using namespace LumoAccess;

MsgButtons buttonsOf(int32_t code) {
    switch (code) {
    case kButtonsOKCancel: return MsgButtons::OKCancel;
    case kButtonsYesNo: return MsgButtons::YesNo;
    case kButtonsYesNoCancel: return MsgButtons::YesNoCancel;
    default: return MsgButtons::OK;
    }
}

MsgIcon iconOf(int32_t code) {
    switch (code) {
    case kIconCritical: return MsgIcon::Critical;
    case kIconQuestion: return MsgIcon::Question;
    case kIconExclamation: return MsgIcon::Exclamation;
    case kIconInformation: return MsgIcon::Information;
    default: return MsgIcon::None;
    }
}

int32_t answerCode(MsgResult result) {
    switch (result) {
    case MsgResult::OK: return kAnswerOK;
    case MsgResult::Cancel: return kAnswerCancel;
    case MsgResult::Yes: return kAnswerYes;
    case MsgResult::No: return kAnswerNo;
    }
    return kAnswerCancel;
}

int32_t showOnScreen(void*, const char* text, int32_t buttons, int32_t icon, const char* title) {
    try {
        MessageRequest request{text ? text : "", buttonsOf(buttons), iconOf(icon), title ? title : ""};
        return answerCode(wizard::showMessageBox(request));
    } catch (...) {
        return -1;  // the library takes it as the safe answer
    }
}

LumoSetMessageHandlerProc setter() {
    const auto set = client::AccessLibrary::instance().entry<LumoSetMessageHandlerProc>("LumoSetMessageHandler");
    if (!set) throw Error("ライブラリに LumoSetMessageHandler がありません。");
    return set;
}

}  // namespace

LibraryMessages::LibraryMessages() {
    if (setter()(&showOnScreen, nullptr) != kResultOk) throw Error("メッセージの表示先を設定できません。");
}

LibraryMessages::~LibraryMessages() {
    if (auto reset = client::AccessLibrary::instance().entry<LumoResetMessageHandlerProc>("LumoResetMessageHandler"))
        reset();
}

}  // namespace lumo::book
