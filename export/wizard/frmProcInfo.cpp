#include "export/wizard/frmProcInfo.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

#include "export/engine/ExportRun.h"
#include "export/wizard/ScreenPointer.h"
#include "export/wizard/WindowReport.h"
#include "platform/MessageSink.h"

namespace lumo::wizard {

frmProcInfo::frmProcInfo(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("エクスポート状況"));
    Label1.setText(QStringLiteral("ﾃﾞｰﾀをエクスポートしています。しばらくお待ち下さい。"));
    cmdCancel.setText(QStringLiteral("中止"));
    cmdCancel.setAutoDefault(false);

    expbar.setTextVisible(false);
    lblPercent.setMinimumWidth(lblPercent.fontMetrics().horizontalAdvance(QStringLiteral("100%")));
    connect(&expbar, &QProgressBar::valueChanged, this, [this] { lblPercent.setText(expbar.text()); });

    layout_.addWidget(&Label1, 0, 0, 1, 2);
    layout_.addWidget(&expbar, 1, 0);
    layout_.addWidget(&lblPercent, 1, 1);
    layout_.addWidget(&cmdCancel, 2, 1);
    layout_.setColumnStretch(0, 1);
    layout_.setContentsMargins(16, 12, 16, 12);
    resize(400, 130);

    connect(&cmdCancel, &QPushButton::clicked, this, &frmProcInfo::cmdCancel_Click);
    Form_Load();
}

void frmProcInfo::Form_Load() {
    handled("FM-pi1000", ReportForm::CrLf, [&] {
        m_blnStop = false;
        expbar.setRange(0, 100);
    });
}

void frmProcInfo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The run starts once the window is on the screen, from the event loop
    // (of exec() when shown modally), and only the first time it appears.
    if (activated_) return;
    activated_ = true;
    QMetaObject::invokeMethod(this, &frmProcInfo::Form_Activate, Qt::QueuedConnection);
}

void frmProcInfo::Form_Activate() {
    handled("FM-pi", ReportForm::CodeOnly, [&] { Export(); });
}

void frmProcInfo::Export() {
    const QScopedValueRollback<bool> running(running_, true);
    exporter::ExportHooks hooks;
    hooks.setRange = [this](int32_t maximum) { expbar.setRange(0, maximum); };
    hooks.setValue = [this](int32_t value) { expbar.setValue(value); };
    hooks.yield = [] { QCoreApplication::processEvents(); };
    hooks.stopRequested = [this] { return m_blnStop; };
    hooks.restoreCursor = [] { showDefaultPointer(); };
    const exporter::ExportResult result = exporter::runExport(m_strServer, m_strFile, m_intTypeFlag, hooks);
    // After a failure the window stays, so that the report is not the
    // only trace of the run; the user closes it.
    if (!result.failed) accept();
}

void frmProcInfo::cmdCancel_Click() {
    handled("FM-pi1001", ReportForm::CrLf, [&] {
        if (showMessage("エクスポートを中止します。よろしいですか？", MsgButtons::YesNo, MsgIcon::Question,
                        "エクスポートの中止") == MsgResult::Yes)
            m_blnStop = true;
    });
}

void frmProcInfo::reject() {
    if (running_) cmdCancel_Click();
    else QDialog::reject();
}

}  // namespace lumo::wizard
