#pragma once
// The year's list: for a year Y and a season, every person of the address
// book with last year's and this year's 出 (sent) and 受 (received) ticks
// and whether they are in mourning (喪中) for Y, in the address book's
// reading order (furigana of the family name, then of the given name).
//
// buildYearList and the filters are pure; readYearList reads the rows on
// the caller's own engine connection (one thread at a time, as the
// connection's rule says).
#include <array>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "access/LumoAccess.h"
#include "greetings/Season.h"

namespace lumo::db {
class Connection;
}

namespace lumo::greetings {

struct PersonEntry {
    LumoAccess::Long personId = 0;
    LumoAccess::Long groupId = 0;
    std::string lastName, firstName, lastAlias, firstAlias;
};

struct YearListRow {
    LumoAccess::Long personId = 0;
    std::string name;   // family and given name, one space between
    std::string alias;  // their furigana
    bool lastSent = false, lastReceived = false;  // year Y - 1
    bool sent = false, received = false;          // year Y
    bool mourning = false;                        // for year Y
    bool operator==(const YearListRow&) const = default;
};

enum class YearFilter {
    ToSend,      // 送る: sent or received last year, not in mourning
    Unanswered,  // 未返信: received this year, not sent
    Mourning,    // 喪中
    All,
};

struct YearFilterInfo {
    YearFilter filter;
    std::string_view name;  // 送る, 未返信, 喪中, すべて
};
const std::array<YearFilterInfo, 4>& yearFilters();

struct YearCounts {
    int all = 0, toSend = 0, unanswered = 0, mourning = 0, sent = 0, received = 0;
    bool operator==(const YearCounts&) const = default;
};

// Rows of several greeting rows of one person and year are merged: a tick
// or the mourning word in any of them counts.
std::vector<YearListRow> buildYearList(const std::vector<PersonEntry>& persons,
                                       const std::vector<LumoAccess::GreetingInformation>& greetings,
                                       LumoAccess::Long year, Season season);
bool passes(const YearListRow& row, YearFilter filter);
std::vector<YearListRow> filtered(const std::vector<YearListRow>& rows, YearFilter filter);
YearCounts countYearList(const std::vector<YearListRow>& rows);
// Rows whose name or furigana contains `text` (ASCII case ignored); all
// rows for an empty text.
std::vector<YearListRow> matching(const std::vector<YearListRow>& rows, const std::string& text);

// The year a list is for when none is named: the coming New Year, or this
// one in January (when its cards arrive).
LumoAccess::Long defaultYear(int year, int month);
LumoAccess::Long defaultYear();

// Reads the persons (of one group, when given) and the greeting rows of
// Y - 1 and Y. Throws lumo::Error.
std::vector<PersonEntry> readPersons(db::Connection& connection, std::optional<LumoAccess::Long> group = {});
std::vector<LumoAccess::GreetingInformation> readGreetings(db::Connection& connection, LumoAccess::Long year);
std::vector<YearListRow> readYearList(db::Connection& connection, LumoAccess::Long year, Season season);

}  // namespace lumo::greetings
