#include "tools/lumo/ReportLine.h"

#include <ostream>

namespace lumo::tools {
namespace {

// The text with each line break (CR LF, LF or CR) as one blank and no
// trailing blanks.
std::string folded(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        line += ' ';
    }
    while (line.ends_with(' ')) line.pop_back();
    return line;
}

}  // namespace

std::string reportLine(std::string_view reportText) {
    // The first line break separates the code from the description.
    const std::size_t end = reportText.find_first_of("\r\n");
    if (end == std::string_view::npos) return folded(reportText);
    const std::string code = folded(reportText.substr(0, end));
    std::size_t start = end + 1;
    if (reportText[end] == '\r' && start < reportText.size() && reportText[start] == '\n') ++start;
    const std::string description = folded(reportText.substr(start));
    return description.empty() ? code : code + ": " + description;
}

MsgResult printReport(std::ostream& err, std::string_view command, const MessageRequest& request) {
    err << "lumo " << command << ": " << reportLine(request.text) << '\n';
    return safeAnswer(request.buttons);
}

}  // namespace lumo::tools
