#include "addressbook/OtherParts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFileDialog>
#include <QFormLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <exception>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "addressbook/MainWindow.h"
#include "addressbook/greetings/PrintPreviewWindow.h"
#include "addressbook/greetings/YearListWindow.h"
#include "exchange/VCardExchange.h"
#include "greetings/AddressBook.h"
#include "sync/SyncFolder.h"

namespace lumo::book {
namespace {

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

// A report's lines in one box: what happened first, then what to look at.
void showLines(QWidget* parent, const QString& title, const std::vector<std::string>& lines, bool failed) {
    QStringList text;
    for (const std::string& line : lines) text << fromUtf8(line);
    if (failed)
        QMessageBox::warning(parent, title, text.join('\n'));
    else
        QMessageBox::information(parent, title, text.join('\n'));
}

// The year's list, with its own connection and library object, as long
// as its window is open.
void openYearList(MainWindow& window) {
    try {
        auto book = std::make_shared<greetings::AddressBook>(window.book().folder);
        auto* list = new greetings::YearListWindow(*book);  // deletes itself on close
        list->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(list, &QObject::destroyed, [book, &window] { window.refreshAll(); });
        QObject::connect(list, &greetings::YearListWindow::printRequested, list,
                         [book, list](std::vector<LumoAccess::Long> ids, LumoAccess::Long year) {
                             auto* preview = new greetings::PrintPreviewWindow(
                                 *book, greetings::PrintRequest{year, {}, std::move(ids)}, std::nullopt, list);
                             preview->setAttribute(Qt::WA_DeleteOnClose);
                             preview->setWindowFlag(Qt::Window);
                             preview->show();
                         });
        list->show();
    } catch (const std::exception& e) {
        QMessageBox::warning(&window, QStringLiteral("年賀状"), fromUtf8(e.what()));
    }
}

void importCards(MainWindow& window) {
    const QStringList files = QFileDialog::getOpenFileNames(&window, QStringLiteral("vCard の読み込み"), QString(),
                                                            QStringLiteral("vCard (*.vcf *.vcard);;すべてのファイル (*)"));
    if (files.isEmpty()) return;
    std::vector<std::string> names;
    for (const QString& file : files) names.push_back(file.toStdString());
    try {
        const exchange::ImportReport report =
            exchange::importVCards(window.book().folder, exchange::importSources(names), {});
        std::vector<std::string> lines{"追加 " + std::to_string(report.added) + " 人、登録済みのため飛ばした " +
                                       std::to_string(report.present) + " 人。"};
        for (const auto* part : {&report.skipped, &report.placedElsewhere, &report.problems})
            lines.insert(lines.end(), part->begin(), part->end());
        showLines(&window, QStringLiteral("vCard の読み込み"), lines, report.rejected + report.failed > 0);
    } catch (const std::exception& e) {
        QMessageBox::warning(&window, QStringLiteral("vCard の読み込み"), fromUtf8(e.what()));
    }
    window.refreshAll();
}

void exportCards(MainWindow& window) {
    const QString file = QFileDialog::getSaveFileName(&window, QStringLiteral("vCard の書き出し"),
                                                      QStringLiteral("住所録.vcf"), QStringLiteral("vCard (*.vcf)"));
    if (file.isEmpty()) return;
    exchange::ExportOptions options;
    options.file = file.toStdString();
    options.replace = true;  // the file dialog has asked already
    try {
        const exchange::ExportResult result = exchange::exportVCards(window.book().folder, options);
        std::vector<std::string> lines{std::to_string(result.persons) + " 人を書き出しました: " + options.file.string()};
        lines.insert(lines.end(), result.problems.begin(), result.problems.end());
        showLines(&window, QStringLiteral("vCard の書き出し"), lines, !result.problems.empty());
    } catch (const std::exception& e) {
        QMessageBox::warning(&window, QStringLiteral("vCard の書き出し"), fromUtf8(e.what()));
    }
}

void showLastSync(MainWindow& window) {
    const auto last = sync::lastSync(window.book().folder);
    window.statusBar()->showMessage(
        last ? QStringLiteral("最後の同期: %1 (%2)")
                   .arg(QDateTime::fromSecsSinceEpoch(last->finishedAt).toString(QStringLiteral("yyyy/MM/dd HH:mm")),
                        fromUtf8(last->url))
             : QStringLiteral("同期したことはありません"));
}

// The server's address and user are kept with the program's settings; the
// password is read from a file the user names, never stored here.
bool askSyncSettings(MainWindow& window, sync::SyncSettings& settings) {
    QSettings stored;
    QDialog dialog(&window);
    dialog.setWindowTitle(QStringLiteral("同期の設定"));
    auto* form = new QFormLayout(&dialog);
    auto* url = new QLineEdit(stored.value("sync/url").toString());
    auto* user = new QLineEdit(stored.value("sync/user").toString());
    auto* passwordFile = new QLineEdit(stored.value("sync/passwordFile").toString());
    url->setPlaceholderText(QStringLiteral("https://example.org/carddav/user/book/"));
    form->addRow(QStringLiteral("アドレス帳の URL"), url);
    form->addRow(QStringLiteral("ユーザー名"), user);
    form->addRow(QStringLiteral("パスワードのファイル"), passwordFile);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted || url->text().trimmed().isEmpty()) return false;
    stored.setValue("sync/url", url->text().trimmed());
    stored.setValue("sync/user", user->text().trimmed());
    stored.setValue("sync/passwordFile", passwordFile->text().trimmed());
    settings.url = url->text().trimmed().toStdString();
    settings.http.user = user->text().trimmed().toStdString();
    if (!passwordFile->text().trimmed().isEmpty()) {
        std::ifstream in(passwordFile->text().trimmed().toStdString());
        if (!in) {
            QMessageBox::warning(&window, QStringLiteral("同期"),
                                 QStringLiteral("パスワードのファイルを読めません: ") + passwordFile->text());
            return false;
        }
        std::getline(in, settings.http.password);
    }
    return true;
}

void runSync(MainWindow& window) {
    sync::SyncSettings settings;
    if (!askSyncSettings(window, settings)) return;
    QProgressDialog wait(QStringLiteral("同期しています..."), QString(), 0, 0, &window);
    wait.setWindowModality(Qt::WindowModal);
    wait.show();
    auto running = std::async(std::launch::async, [folder = window.book().folder, settings] {
        return sync::syncFolder(folder, settings);
    });
    while (running.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    wait.close();
    try {
        showLines(&window, QStringLiteral("同期"), sync::describe(running.get()), false);
    } catch (const std::exception& e) {
        QMessageBox::warning(&window, QStringLiteral("同期"), fromUtf8(e.what()));
    }
    showLastSync(window);
    window.refreshAll();
}

}  // namespace

void addOtherParts(MainWindow& window) {
    QMenu* cards = window.menuBar()->addMenu(QStringLiteral("年賀状(&Y)"));
    QAction* list = cards->addAction(QStringLiteral("年賀状の一覧と印刷(&L)..."), &window, [&window] { openYearList(window); });
    list->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));

    window.fileMenu()->addSeparator();
    QAction* in = window.fileMenu()->addAction(QStringLiteral("vCard の読み込み(&I)..."), &window,
                                               [&window] { importCards(window); });
    in->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    QAction* out = window.fileMenu()->addAction(QStringLiteral("vCard の書き出し(&V)..."), &window,
                                                [&window] { exportCards(window); });
    out->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));

    QAction* sync = window.mainToolBar()->addAction(QStringLiteral("同期"), &window, [&window] { runSync(window); });
    sync->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    showLastSync(window);
}

}  // namespace lumo::book
