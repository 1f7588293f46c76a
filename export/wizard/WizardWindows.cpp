#include "export/wizard/WizardWindows.h"

#include "export/wizard/frmExport.h"
#include "export/wizard/frmMain.h"

namespace lumo::wizard {
namespace {

template <class Window>
Window& load(std::unique_ptr<Window>& slot, WizardWindows& windows) {
    if (!slot || !slot->isVisible()) slot = std::make_unique<Window>(windows);
    return *slot;
}

}  // namespace

WizardWindows::WizardWindows() = default;
WizardWindows::~WizardWindows() = default;

frmMain& WizardWindows::loadMain() { return load(main_, *this); }
frmExport& WizardWindows::loadExport() { return load(export_, *this); }

}  // namespace lumo::wizard
