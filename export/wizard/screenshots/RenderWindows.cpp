// Renders the export wizard's three windows and its three questions to PNG
// files, so that a person can check captions and layout by eye. It drives
// the real windows through one person export: run it from a folder that
// holds Data/LumoBase.mdb and Data/iLumoBase.mdb (the export files are
// written there too); the pictures go to the folder named on the command
// line.
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMessageBox>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTranslator>
#include <cstdio>
#include <map>
#include <string>

#include "export/wizard/QtJapanese.h"
#include "export/wizard/QtMessageSink.h"
#include "export/wizard/WizardWindows.h"
#include "export/wizard/frmExport.h"
#include "export/wizard/frmMain.h"
#include "export/wizard/frmProcInfo.h"
#include "platform/MessageSink.h"

namespace {

using namespace lumo;
using namespace lumo::wizard;

class Pictures {
public:
    explicit Pictures(QDir folder) : folder_(std::move(folder)) {}

    void save(QWidget& widget, const QString& name) {
        QCoreApplication::processEvents();
        const QString path = folder_.filePath(name);
        if (withTitle(widget).save(path, "PNG")) {
            std::printf("%s\n", qPrintable(path));
            ++saved_;
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        }
    }
    int saved() const { return saved_; }

private:
    // Offscreen windows have no frame; a plain strip above the window shows
    // its title, so that the title can be checked too.
    static QImage withTitle(QWidget& widget) {
        const QPixmap body = widget.grab();
        const int strip = widget.fontMetrics().height() + 12;
        QImage image(body.width(), body.height() + strip, QImage::Format_RGB32);
        image.fill(QColor(0x3c, 0x3f, 0x44));
        QPainter painter(&image);
        painter.setPen(Qt::white);
        painter.setFont(widget.font());
        painter.drawText(QRect(10, 0, body.width() - 20, strip), Qt::AlignVCenter | Qt::AlignLeft, widget.windowTitle());
        painter.drawPixmap(0, strip, body);
        return image;
    }

    QDir folder_;
    int saved_ = 0;
};

// Shows each question the wizard asks, pictures it and answers it so that
// the export goes on to the end. A report is pictured too: it means the
// run did not go as planned.
struct QuestionSink {
    Pictures& pictures;
    int reports = 0;

    MsgResult operator()(const MessageRequest& request) {
        static const std::map<std::string, std::pair<QString, MsgResult>> questions = {
            {"新規作成確認", {QStringLiteral("3-question-folder.png"), MsgResult::Yes}},
            {"ファイルの上書き確認", {QStringLiteral("4-question-overwrite.png"), MsgResult::Yes}},
            {"エクスポートの中止", {QStringLiteral("6-question-cancel.png"), MsgResult::No}},
        };
        QMessageBox box(QApplication::activeWindow());
        prepareMessageBox(box, request);
        box.show();
        const auto known = questions.find(request.title);
        if (known == questions.end()) {
            std::fprintf(stderr, "unexpected message: %s\n", request.text.c_str());
            pictures.save(box, QStringLiteral("report-%1.png").arg(++reports));
            return safeAnswer(request.buttons);
        }
        pictures.save(box, known->second.first);
        return known->second.second;
    }
};

// Pictures the first progress window half-way through its run and presses
// its Cancel button there (the question is answered No).
class ProgressWatcher : public QObject {
public:
    explicit ProgressWatcher(Pictures& pictures) : pictures_(pictures) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !seen_) {
            if (auto* progress = qobject_cast<frmProcInfo*>(watched)) {
                seen_ = true;
                connect(&progress->expbar, &QProgressBar::valueChanged, progress, [this, progress](int value) {
                    if (value != (progress->expbar.maximum() + 1) / 2) return;
                    pictures_.save(*progress, QStringLiteral("5-progress.png"));
                    progress->cmdCancel.click();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Pictures& pictures_;
    bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LumoExport"));
    QTranslator qtTexts;
    makeApplicationJapanese(qtTexts);
    if (argc != 2) {
        std::fprintf(stderr, "usage: LumoExportScreens OUTPUT-FOLDER (run from the sample folder)\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    Pictures pictures(out);
    QuestionSink questions{pictures};
    const ScopedMessageSink sink(std::ref(questions));
    ProgressWatcher watcher(pictures);
    app.installEventFilter(&watcher);

    WizardWindows windows;
    frmMain& menu = windows.loadMain();
    menu.show();
    pictures.save(menu, QStringLiteral("1-menu.png"));

    menu.cmdNext.click();
    frmExport& destination = *windows.destination();
    const QString target = QDir::current().filePath(QStringLiteral("書き出し"));
    QDir().mkpath(target);
    {
        QFile old(QDir(target).filePath(QStringLiteral("人データ.csv")));
        if (!old.open(QIODevice::WriteOnly)) return 1;
    }
    destination.dirList.setPath(target);
    destination.fileList.setCurrentRow(0);
    emit destination.fileList.itemClicked(destination.fileList.currentItem());
    pictures.save(destination, QStringLiteral("2-destination.png"));

    // Replaces the file (the overwrite question), then exports again into a
    // folder that has gone (the folder question).
    destination.cmdExport.click();
    QDir(target).removeRecursively();
    destination.cmdExport.click();
    destination.cmdClose.click();

    const int expected = 6;
    if (pictures.saved() != expected || questions.reports != 0) {
        std::fprintf(stderr, "%d of %d pictures, %d unexpected messages\n", pictures.saved(), expected,
                     questions.reports);
        return 1;
    }
    return 0;
}
