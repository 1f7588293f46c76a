#pragma once
// How `lumo` prints the suite's reports. A report is a message box text,
// "<location code>\r\n<description>"; on a terminal the code alone on a
// line says nothing, so each report becomes one line that starts with the
// command: "lumo export: CLS-exp1006: <description>".
#include <iosfwd>
#include <string>
#include <string_view>

#include "platform/MessageSink.h"

namespace lumo::tools {

// The report's text on one line: "<code>: <description>", its line breaks
// folded into blanks; "<code>" alone when the description is empty.
std::string reportLine(std::string_view reportText);

// Prints the request as one line of `err` after "lumo <command>: " and
// gives the answer a user would not regret (No, Cancel or OK).
MsgResult printReport(std::ostream& err, std::string_view command, const MessageRequest& request);

}  // namespace lumo::tools
