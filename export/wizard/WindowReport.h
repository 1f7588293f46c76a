#pragma once
// The error report of the wizard's event handlers. Every handler runs its
// steps under `handled`: the first failure stops them and shows one message
// box, and the handler returns true. The windows differ only in how the
// box separates the location code from the description, so that is the one
// thing a handler chooses.
#include <string_view>
#include <utility>

#include "platform/ErrorReport.h"

namespace lumo::wizard {

enum class ReportForm {
    CrLf,      // "<code>\r\n<description>": the menu and the progress window
    Cr,        // "<code>\r<description>": the destination window
    CodeOnly,  // "<code>": the progress window's activation
};

// Shows the report of the failure being handled (call only inside a catch).
void reportCurrentFailure(std::string_view locationCode, ReportForm form) noexcept;

template <class Body>
bool handled(std::string_view locationCode, ReportForm form, Body&& body) noexcept {
    if (form == ReportForm::CrLf) return lumo::reported(locationCode, std::forward<Body>(body));
    try {
        std::forward<Body>(body)();
        return false;
    } catch (...) {
        reportCurrentFailure(locationCode, form);
        return true;
    }
}

}  // namespace lumo::wizard
