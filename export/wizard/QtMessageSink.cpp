#include "export/wizard/QtMessageSink.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

namespace lumo::wizard {
namespace {

QMessageBox::Icon iconOf(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None: return QMessageBox::NoIcon;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The buttons in desktop order; the first one is the default, as on the
// desktop the questions were written for.
QList<QMessageBox::StandardButton> buttonsOf(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OK: return {QMessageBox::Ok};
    case MsgButtons::OKCancel: return {QMessageBox::Ok, QMessageBox::Cancel};
    case MsgButtons::YesNo: return {QMessageBox::Yes, QMessageBox::No};
    case MsgButtons::YesNoCancel: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok};
}

// Reports separate their lines with CR LF or a lone CR; a Qt label breaks
// lines at LF only.
QString displayText(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar(u'\r'), QChar(u'\n'));
    return s;
}

// A question must be answerable with the normal arrow even while a run
// shows the hourglass; the hourglass comes back with the answer.
class ArrowWhileAsking {
public:
    ArrowWhileAsking() : active_(QGuiApplication::overrideCursor() != nullptr) {
        if (active_) QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    ~ArrowWhileAsking() {
        if (active_ && QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    }
    ArrowWhileAsking(const ArrowWhileAsking&) = delete;
    ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

private:
    bool active_;
};

}  // namespace

void prepareMessageBox(QMessageBox& box, const MessageRequest& request) {
    box.setWindowTitle(request.title.empty() ? QGuiApplication::applicationDisplayName()
                                             : QString::fromStdString(request.title));
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(request.text));
    box.setIcon(iconOf(request.icon));
    const QList<QMessageBox::StandardButton> buttons = buttonsOf(request.buttons);
    QMessageBox::StandardButtons all;
    for (QMessageBox::StandardButton b : buttons) all |= b;
    box.setStandardButtons(all);
    box.setDefaultButton(buttons.front());
}

MsgResult answerOf(const QMessageBox& box, MsgButtons buttons) {
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return MsgResult::OK;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    default: return safeAnswer(buttons);
    }
}

MsgResult showMessageBox(const MessageRequest& request) {
    QMessageBox box(QApplication::activeWindow());
    prepareMessageBox(box, request);
    box.setWindowModality(Qt::ApplicationModal);
    ArrowWhileAsking arrow;
    box.exec();
    return answerOf(box, request.buttons);
}

QtMessageSink::QtMessageSink() : scope_(&showMessageBox) {}

}  // namespace lumo::wizard
