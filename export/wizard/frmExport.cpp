#include "export/wizard/frmExport.h"

#include <QCloseEvent>
#include <QDir>
#include <QSignalBlocker>

#include "export/engine/clsExportSource.h"
#include "export/wizard/ScreenPointer.h"
#include "export/wizard/WindowReport.h"
#include "export/wizard/WizardWindows.h"
#include "export/wizard/frmMain.h"
#include "export/wizard/frmProcInfo.h"
#include "platform/MessageSink.h"

namespace lumo::wizard {

frmExport::frmExport(WizardWindows& windows) : windows_(windows) {
    setWindowTitle(QStringLiteral("エクスポート"));
    Label1.setText(QStringLiteral("ファイル場所"));
    Label2.setText(QStringLiteral("ファイル名"));
    Label3.setText(QStringLiteral("エクスポートファイル形式は、CSVです。"));
    cmdExport.setText(QStringLiteral("エクスポート"));
    cmdClose.setText(QStringLiteral("閉じる"));

    layout_.addWidget(&Label1, 0, 0, 1, 4);
    layout_.addWidget(&drvList, 1, 0, 1, 2);
    layout_.addWidget(&dirList, 2, 0, 1, 2);
    layout_.addWidget(&fileList, 2, 2, 1, 2);
    layout_.addWidget(&Label2, 3, 0);
    layout_.addWidget(&txtFileName, 3, 1, 1, 3);
    layout_.addWidget(&Label3, 4, 0, 1, 4);
    layout_.addWidget(&cmdExport, 5, 2);
    layout_.addWidget(&cmdClose, 5, 3);
    layout_.setColumnStretch(1, 1);
    layout_.setColumnStretch(2, 1);
    layout_.setRowStretch(2, 1);
    layout_.setContentsMargins(16, 12, 16, 12);
    resize(600, 440);

    connect(&drvList, &QComboBox::activated, this, &frmExport::drvList_Change);
    connect(&dirList, &FolderList::pathChanged, this, &frmExport::dirList_Change);
    connect(&fileList, &QListWidget::itemClicked, this, &frmExport::fileList_Click);
    connect(&cmdExport, &QPushButton::clicked, this, &frmExport::cmdExport_Click);
    connect(&cmdClose, &QPushButton::clicked, this, &frmExport::cmdClose_Click);
    Form_Load();
}

void frmExport::Form_Load() {
    handled("FM-exp1000", ReportForm::Cr, [&] {
        // The lists start at the current directory, as the program's
        // database does.
        const QString here = QDir::currentPath();
        drvList.refresh(here);
        {
            const QSignalBlocker quiet(&dirList);
            dirList.setPath(here);
        }
        fileList.setPath(here);
        txtFileName.clear();
    });
}

void frmExport::drvList_Change() {
    handled("FM-exp1005", ReportForm::Cr, [&] { dirList.setPath(drvList.drive()); });
}

void frmExport::dirList_Change() {
    handled("FM-exp1004", ReportForm::Cr, [&] { fileList.setPath(dirList.path()); });
}

void frmExport::fileList_Click() {
    handled("FM-exp1006", ReportForm::Cr, [&] { txtFileName.setText(fileList.fileName()); });
}

void frmExport::cmdExport_Click() {
    handled("FM-exp1003", ReportForm::Cr, [&] {
        std::string folder = dirList.path().toStdString();
        if (!folder.ends_with('/')) folder += '/';
        const std::string fileName = txtFileName.text().toStdString();
        // Without a name the destination would be the folder itself: the
        // file could not be created and every record would fail.
        if (fileName.empty()) {
            showMessage(kNoFileName, MsgButtons::OK, MsgIcon::Exclamation, "エクスポート");
            txtFileName.setFocus();
            return;
        }
        const HourglassScope hourglass;
        exporter::clsExportSource engine;
        if (engine.FolderCheck(folder)) return;
        if (engine.FileCheck(folder + fileName)) return;

        frmProcInfo progress(this);
        progress.m_intTypeFlag = m_intExportType;
        progress.m_strFile = folder + fileName;
        progress.m_strServer = m_strServerConnection;
        progress.exec();
    });
}

void frmExport::cmdClose_Click() {
    handled("FM-exp1002", ReportForm::Cr, [&] { close(); });
}

void frmExport::closeEvent(QCloseEvent* event) {
    const bool failed = handled("FM-exp1001", ReportForm::Cr, [&] { windows_.loadMain().show(); });
    if (failed) event->ignore();
    else event->accept();
}

}  // namespace lumo::wizard
