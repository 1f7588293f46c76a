#pragma once
// The wizard's two top-level windows, one of each at a time. Loading a
// window that is open gives that window; loading one that has been closed
// gives a fresh window, as if it had never been shown (its load steps run
// again). Closed windows stay until they are replaced, so a window is never
// destroyed while one of its own handlers is still running.
#include <memory>

namespace lumo::wizard {

class frmMain;
class frmExport;

class WizardWindows {
public:
    WizardWindows();
    ~WizardWindows();
    WizardWindows(const WizardWindows&) = delete;
    WizardWindows& operator=(const WizardWindows&) = delete;

    frmMain& loadMain();
    frmExport& loadExport();

    // The current window of each kind, open or closed; null before the
    // first load.
    frmMain* menu() const { return main_.get(); }
    frmExport* destination() const { return export_.get(); }

private:
    std::unique_ptr<frmMain> main_;
    std::unique_ptr<frmExport> export_;
};

}  // namespace lumo::wizard
