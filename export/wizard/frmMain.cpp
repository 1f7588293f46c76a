#include "export/wizard/frmMain.h"

#include <filesystem>

#include "export/engine/clsExportSource.h"
#include "export/wizard/WindowReport.h"
#include "export/wizard/WizardWindows.h"
#include "export/wizard/frmExport.h"
#include "engine/ConnectionString.h"

namespace lumo::wizard {

std::string connectionText(const std::string& file) {
    // The directory is used as it is: no separator is added, the file
    // name brings its own.
    return db::jetConnectionString(std::filesystem::current_path().string() + file);
}

frmMain::frmMain(WizardWindows& windows) : windows_(windows) {
    setWindowTitle(QStringLiteral("エクスポートメニュー"));
    Label1.setText(QStringLiteral("エクスポートするﾃﾞｰﾀを選択して下さい。"));
    optHito.setText(QStringLiteral("Lumo-Base 人 hito のデータをエクスポート"));
    optSina.setText(QStringLiteral("Lumo-Base 品 sina のデータをエクスポート"));
    cmdNext.setText(QStringLiteral("次へ"));
    cmdClose.setText(QStringLiteral("終了"));

    layout_.addWidget(&Label1, 0, 0, 1, 3);
    layout_.addWidget(&optHito, 1, 0, 1, 3);
    layout_.addWidget(&optSina, 2, 0, 1, 3);
    layout_.setRowStretch(3, 1);
    layout_.addWidget(&cmdNext, 4, 1);
    layout_.addWidget(&cmdClose, 4, 2);
    layout_.setColumnStretch(0, 1);
    layout_.setContentsMargins(20, 16, 20, 16);
    layout_.setVerticalSpacing(10);
    cmdNext.setDefault(true);

    connect(&cmdNext, &QPushButton::clicked, this, &frmMain::cmdNext_Click);
    connect(&cmdClose, &QPushButton::clicked, this, &frmMain::cmdClose_Click);
    Form_Load();
}

void frmMain::Form_Load() {
    handled("FM-man1001", ReportForm::CrLf, [&] { optHito.setChecked(true); });
}

void frmMain::cmdNext_Click() {
    handled("FM-man1002", ReportForm::CrLf, [&] {
        frmExport& destination = windows_.loadExport();
        if (optHito.isChecked()) {
            destination.m_intExportType = exporter::kPersons;
            destination.m_strServerConnection = connectionText("\\Data\\LumoBase.mdb");
        } else {
            destination.m_intExportType = exporter::kGoods;
            destination.m_strServerConnection = connectionText("\\Data\\iLumoBase.mdb");
        }
        destination.show();
        close();
    });
}

void frmMain::cmdClose_Click() {
    handled("FM-man1000", ReportForm::CrLf, [&] { close(); });
}

}  // namespace lumo::wizard
