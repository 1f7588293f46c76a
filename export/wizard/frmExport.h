#pragma once
// The destination window: the user chooses a folder and a file name and
// starts the export, which runs in the progress window.
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <cstdint>
#include <string>

#include "export/wizard/FileControls.h"

namespace lumo::wizard {

class WizardWindows;

class frmExport : public QWidget {
    Q_OBJECT
public:
    explicit frmExport(WizardWindows& windows);

    // Set by the menu before the window is shown.
    int16_t m_intExportType = 0;  // 0 = person data, 1 = goods data
    std::string m_strServerConnection;

    // The controls come after the layout, so they are destroyed first.
    QGridLayout layout_{this};
    QLabel Label1{this};
    DriveList drvList{this};
    FolderList dirList{this};
    FileList fileList{this};
    QLabel Label2{this};
    QLineEdit txtFileName{this};
    QLabel Label3{this};
    QPushButton cmdExport{this};
    QPushButton cmdClose{this};

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void cmdExport_Click();
    void cmdClose_Click();
    void drvList_Change();
    void dirList_Change();
    void fileList_Click();

    WizardWindows& windows_;
};

// Shown instead of starting a run when no file name is given.
inline constexpr const char* kNoFileName = "ファイル名が入力されていません。\r\nエクスポートするファイルの名前を入力して下さい。";

}  // namespace lumo::wizard
