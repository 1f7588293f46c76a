#pragma once
// The export menu: the user chooses person data or goods data.
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <string>

namespace lumo::wizard {

class WizardWindows;

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(WizardWindows& windows);

    // The controls come after the layout, so they are destroyed first.
    QGridLayout layout_{this};
    QLabel Label1{this};
    QRadioButton optHito{this};
    QRadioButton optSina{this};
    QPushButton cmdNext{this};
    QPushButton cmdClose{this};

private:
    void Form_Load();
    void cmdNext_Click();
    void cmdClose_Click();

    WizardWindows& windows_;
};

// The connection text of a database file under the process's current
// directory; `file` is "\Data\LumoBase.mdb" or "\Data\iLumoBase.mdb".
std::string connectionText(const std::string& file);

}  // namespace lumo::wizard
