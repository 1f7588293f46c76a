#include "access/core/NoteEntry.h"

#include "platform/Dates.h"
#include "platform/Error.h"
#include "platform/ErrorReport.h"
#include "platform/Utf8.h"

namespace lumo::access {

std::optional<double> noteDate(std::string_view text) { return dates::recognize(utf8::firstCharacters(text, 8)); }

std::string GetNoteEntry(int32_t& intPos, const NoteText& strText, bool* failed) {
    std::string result;
    const bool failure = reported(kNoteEntryCode, [&] {
        if (intPos < 1) throw Error("プロシージャの呼び出し、または引数が不正です。", ReportKind::BadArgument);
        const int32_t length = strText.length();
        int32_t start = intPos;  // of the line being read
        bool second = false;     // the first line has been taken
        for (int32_t i = intPos; i <= length; ++i) {
            const bool lineFeed = strText.isLineFeed(i);
            const bool last = i == length;
            if (!lineFeed && !last) continue;
            int32_t end = i;
            if (lineFeed) end = i > start && strText.isCarriageReturn(i - 1) ? i - 2 : i - 1;
            const std::string_view line = strText.characters(start, end);
            if (!second) {
                result.assign(line);
                second = true;
                start = i + 1;
                if (last) intPos = start;
                continue;
            }
            if (noteDate(last ? strText.characters(start, i) : line)) {
                intPos = start;  // the dated line starts the next entry
            } else {
                result.append(line);
                intPos = i + 1;
            }
            return;
        }
    });
    if (failed) *failed = failure;
    return result;
}

}  // namespace lumo::access
