#include "export/wizard/WindowReport.h"

#include <exception>
#include <string>

#include "platform/MessageSink.h"

namespace lumo::wizard {

void reportCurrentFailure(std::string_view locationCode, ReportForm form) noexcept {
    try {
        if (form == ReportForm::CrLf) {
            lumo::reportCurrentFailure(locationCode);
            return;
        }
        if (form == ReportForm::CodeOnly) {
            showMessage(std::string(locationCode));
            return;
        }
        try {
            throw;
        } catch (const std::exception& e) {
            showMessage(std::string(locationCode) + "\r" + e.what());
        } catch (...) {
            // Only the suite's own failures carry a description; anything
            // else gets the common report and its stock description.
            lumo::reportCurrentFailure(locationCode);
        }
    } catch (...) {
        // A sink that cannot show the box must not turn a handled failure
        // into a new one.
    }
}

}  // namespace lumo::wizard
