#pragma once
// The progress window: shown modally over the destination window, it runs
// the export as soon as it appears, shows the progress per record and lets
// the user stop the run after the current record.
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <cstdint>
#include <string>

namespace lumo::wizard {

class frmProcInfo : public QDialog {
    Q_OBJECT
public:
    explicit frmProcInfo(QWidget* parent = nullptr);

    // Runs the export of m_strServer into m_strFile; closes the window when
    // the run ends, and leaves it open after a failure of the run.
    void Export();

    int16_t m_intTypeFlag = 0;  // export kind: 0 = person data, 1 = goods data
    std::string m_strFile;      // folder + file name
    std::string m_strServer;    // connection text
    bool m_blnStop = false;     // set by a confirmed Cancel

    // The controls come after the layout, so they are destroyed first.
    QGridLayout layout_{this};
    QLabel Label1{this};
    QProgressBar expbar{this};
    // The bar's percentage, beside it rather than on it, so that it reads
    // the same over the filled and the empty part in every style.
    QLabel lblPercent{this};
    QPushButton cmdCancel{this};

public slots:
    // Closing the window (its close box, Escape) while the run goes on
    // asks like Cancel; the run closes the window when it has ended.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Form_Activate();
    void cmdCancel_Click();

    bool activated_ = false;
    bool running_ = false;
};

}  // namespace lumo::wizard
