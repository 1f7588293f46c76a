#include "greetings/YearList.h"

#include <algorithm>
#include <map>

#include "greetings/Mourning.h"
#include "platform/Dates.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"

namespace lumo::greetings {

using LumoAccess::GreetingInformation;
using LumoAccess::Long;

const std::array<YearFilterInfo, 4>& yearFilters() {
    static constexpr std::array<YearFilterInfo, 4> table{{
        {YearFilter::ToSend, "送る"},
        {YearFilter::Unanswered, "未返信"},
        {YearFilter::Mourning, "喪中"},
        {YearFilter::All, "すべて"},
    }};
    return table;
}

namespace {

std::string joined(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + " " + b;
}

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace

std::vector<YearListRow> buildYearList(const std::vector<PersonEntry>& persons,
                                       const std::vector<GreetingInformation>& greetings, Long year, Season season) {
    const SeasonInfo& s = seasonInfo(season);
    std::map<Long, YearListRow> byPerson;
    for (const GreetingInformation& g : greetings) {
        if (g.lngYear != year && g.lngYear != year - 1) continue;
        YearListRow& row = byPerson[g.lngPersonID];
        if (g.lngYear == year) {
            row.sent = row.sent || g.*s.sent;
            row.received = row.received || g.*s.received;
            row.mourning = row.mourning || isMourning(g.strMemo);
        } else {
            row.lastSent = row.lastSent || g.*s.sent;
            row.lastReceived = row.lastReceived || g.*s.received;
        }
    }
    std::vector<YearListRow> rows;
    rows.reserve(persons.size());
    for (const PersonEntry& p : persons) {
        YearListRow row;
        if (auto it = byPerson.find(p.personId); it != byPerson.end()) row = it->second;
        row.personId = p.personId;
        row.name = joined(p.lastName, p.firstName);
        row.alias = joined(p.lastAlias, p.firstAlias);
        rows.push_back(std::move(row));
    }
    return rows;
}

bool passes(const YearListRow& row, YearFilter filter) {
    switch (filter) {
    case YearFilter::ToSend: return (row.lastSent || row.lastReceived) && !row.mourning;
    case YearFilter::Unanswered: return row.received && !row.sent;
    case YearFilter::Mourning: return row.mourning;
    case YearFilter::All: return true;
    }
    return false;
}

std::vector<YearListRow> filtered(const std::vector<YearListRow>& rows, YearFilter filter) {
    std::vector<YearListRow> out;
    std::ranges::copy_if(rows, std::back_inserter(out), [&](const YearListRow& r) { return passes(r, filter); });
    return out;
}

YearCounts countYearList(const std::vector<YearListRow>& rows) {
    YearCounts c;
    for (const YearListRow& r : rows) {
        ++c.all;
        c.toSend += passes(r, YearFilter::ToSend);
        c.unanswered += passes(r, YearFilter::Unanswered);
        c.mourning += r.mourning;
        c.sent += r.sent;
        c.received += r.received;
    }
    return c;
}

std::vector<YearListRow> matching(const std::vector<YearListRow>& rows, const std::string& text) {
    if (text.empty()) return rows;
    const std::string wanted = lowerAscii(text);
    std::vector<YearListRow> out;
    for (const YearListRow& r : rows) {
        const std::string name = lowerAscii(r.name), alias = lowerAscii(r.alias);
        // The space between family and given name is not typed.
        std::string compact = name;
        std::erase(compact, ' ');
        std::string compactAlias = alias;
        std::erase(compactAlias, ' ');
        if (name.find(wanted) != std::string::npos || alias.find(wanted) != std::string::npos ||
            compact.find(wanted) != std::string::npos || compactAlias.find(wanted) != std::string::npos)
            out.push_back(r);
    }
    return out;
}

Long defaultYear(int year, int month) { return month == 1 ? year : year + 1; }

Long defaultYear() {
    const dates::DateTime today = dates::fromAutomation(dates::now());
    return defaultYear(today.year, today.month);
}

namespace {

std::string text(db::Recordset& rs, const char* name) {
    const db::Variant& v = rs.Fields(name).Value();
    return v.isNull() ? std::string() : v.toString();
}

bool flag(db::Recordset& rs, const char* name) {
    const db::Variant& v = rs.Fields(name).Value();
    return !v.isNull() && v.toBool();
}

Long number(db::Recordset& rs, const char* name) {
    const db::Variant& v = rs.Fields(name).Value();
    return v.isNull() ? 0 : v.toLong();
}

}  // namespace

std::vector<PersonEntry> readPersons(db::Connection& connection, std::optional<Long> group) {
    std::string sql = "SELECT PERSON_ID, TYPE_ID, LASTNAME, FIRSTNAME, LASTALIAS, FIRSTALIAS FROM T_PERSON";
    if (group) sql += " WHERE TYPE_ID = " + std::to_string(*group);
    sql += " ORDER BY LASTALIAS, FIRSTALIAS, PERSON_ID";
    db::Recordset rs;
    rs.Open(sql, connection, db::adOpenStatic, db::adLockReadOnly, db::adCmdText);
    std::vector<PersonEntry> persons;
    for (; !rs.Eof(); rs.MoveNext())
        persons.push_back({number(rs, "PERSON_ID"), number(rs, "TYPE_ID"), text(rs, "LASTNAME"), text(rs, "FIRSTNAME"),
                           text(rs, "LASTALIAS"), text(rs, "FIRSTALIAS")});
    return persons;
}

std::vector<GreetingInformation> readGreetings(db::Connection& connection, Long year) {
    db::Recordset rs;
    rs.Open("SELECT * FROM T_GREETING WHERE TARGET = " + std::to_string(year - 1) + " OR TARGET = " +
                std::to_string(year) + " ORDER BY GREETING_ID",
            connection, db::adOpenStatic, db::adLockReadOnly, db::adCmdText);
    std::vector<GreetingInformation> rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        GreetingInformation g;
        g.lngGreetingID = number(rs, "GREETING_ID");
        g.lngPersonID = number(rs, "PERSON_ID");
        g.lngYear = number(rs, "TARGET");
        g.blnNewYear_Send = flag(rs, "NEWYEAR_SEND");
        g.blnNewYear_Receive = flag(rs, "NEWYEAR_RECEIVE");
        g.blnSummer_Send = flag(rs, "SUMMER_SEND");
        g.blnSummer_Receive = flag(rs, "SUMMER_RECEIVE");
        g.blnMidYear_Send = flag(rs, "MIDYEAR_SEND");
        g.blnMidYear_Receive = flag(rs, "MIDYEAR_RECEIVE");
        g.blnYearEnd_Send = flag(rs, "YEAREND_SEND");
        g.blnYearEnd_Receive = flag(rs, "YEAREND_RECEIVE");
        g.strMemo = text(rs, "MEMO");
        rows.push_back(std::move(g));
    }
    return rows;
}

std::vector<YearListRow> readYearList(db::Connection& connection, Long year, Season season) {
    return buildYearList(readPersons(connection), readGreetings(connection, year), year, season);
}

}  // namespace lumo::greetings
