#include "tools/greetings/GreetingsCommand.h"

#include <charconv>
#include <ostream>
#include <string>
#include <vector>

#include "greetings/AddressBook.h"
#include "greetings/GreetingMarks.h"
#include "greetings/JointNames.h"
#include "greetings/YearList.h"
#include "platform/Error.h"

namespace lumo::tools {
namespace {

using namespace lumo::greetings;
using LumoAccess::Long;

Long parseNumber(std::string_view text, const char* what) {
    Long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        throw UsageError(std::string(what) + " は数で指定してください: " + std::string(text));
    return value;
}

std::optional<YearFilter> parseFilter(std::string_view text) {
    static constexpr std::array<std::pair<std::string_view, YearFilter>, 4> keys{{
        {"to-send", YearFilter::ToSend},
        {"unanswered", YearFilter::Unanswered},
        {"mourning", YearFilter::Mourning},
        {"all", YearFilter::All},
    }};
    for (const YearFilterInfo& f : yearFilters())
        if (text == f.name) return f.filter;
    for (const auto& [key, filter] : keys)
        if (text == key) return filter;
    return std::nullopt;
}

// What every verb shares: the folder, the year and the season.
struct Common {
    std::string verb;
    std::string dir;
    Long year = 0;
    Season season = Season::NewYear;
};

const char* tick(bool on) { return on ? "○" : ""; }

int list(const Common& c, YearFilter filter, std::ostream& out) {
    AddressBook book(c.dir);
    const std::vector<YearListRow> rows = readYearList(book.connection(), c.year, c.season);
    const auto joint = loadJointNames(jointNamesFile(book.folder()));
    out << "ID\t名前\tふりがな\t昨年出\t昨年受\t出\t受\t喪中\t連名\n";
    for (const YearListRow& r : filtered(rows, filter)) {
        std::string names;
        if (auto it = joint.find(r.personId); it != joint.end()) {
            if (it->second.mate) names = "配偶者";
            for (const std::string& child : it->second.children) names += (names.empty() ? "" : "・") + child;
        }
        out << r.personId << '\t' << r.name << '\t' << r.alias << '\t' << tick(r.lastSent) << '\t'
            << tick(r.lastReceived) << '\t' << tick(r.sent) << '\t' << tick(r.received) << '\t' << tick(r.mourning)
            << '\t' << names << '\n';
    }
    const YearCounts n = countYearList(rows);
    out << "# " << c.year << "年 " << seasonInfo(c.season).name << ": 全 " << n.all << " 人, 送る " << n.toSend
        << ", 未返信 " << n.unanswered << ", 喪中 " << n.mourning << ", 出 " << n.sent << ", 受 " << n.received << '\n';
    return kExitOk;
}

int mark(const Common& c, GreetingChange change, const std::vector<Long>& ids, std::ostream& out, std::ostream& err) {
    AddressBook book(c.dir);
    int failed = 0;
    for (Long id : ids) {
        try {
            markGreeting(book, id, c.year, change);
        } catch (const std::exception& e) {
            err << "lumo greetings: " << e.what() << " (記録していません)\n";
            ++failed;
        }
    }
    out << c.year << "年 " << seasonInfo(c.season).name << ": " << ids.size() - static_cast<std::size_t>(failed)
        << " 人を記録しました\n";
    return failed > 0 ? kExitFailure : kExitOk;
}

int run(Arguments args, std::ostream& out, std::ostream& err) {
    Common c;
    c.year = defaultYear();
    YearFilter filter = YearFilter::All;
    GreetingChange change;
    bool clear = false;
    std::vector<Long> ids;
    JointChoice joint;
    bool jointGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        const auto value = [&](const char* option) {
            if (++i >= args.size()) throw UsageError(std::string(option) + " には値が必要です");
            return args[i];
        };
        if (a == "--year") {
            c.year = parseNumber(value("--year"), "--year");
        } else if (a == "--season") {
            const std::string_view s = value("--season");
            const auto season = parseSeason(s);
            if (!season) throw UsageError("季節は 年賀, 暑中, 中元, 歳暮 のどれかです: " + std::string(s));
            c.season = *season;
        } else if (a == "--filter") {
            const std::string_view f = value("--filter");
            const auto parsed = parseFilter(f);
            if (!parsed) throw UsageError("絞り込みは 送る, 未返信, 喪中, すべて のどれかです: " + std::string(f));
            filter = *parsed;
        } else if (a == "--sent" || a == "--received" || a == "--mourning") {
            (a == "--sent" ? change.sent : a == "--received" ? change.received : change.mourning) = true;
        } else if (a == "--clear") {
            clear = true;
        } else if (a == "--mate") {
            joint.mate = true;
            jointGiven = true;
        } else if (a == "--child") {
            joint.children.emplace_back(value("--child"));
            jointGiven = true;
        } else if (a == "--none") {
            jointGiven = true;
        } else if (a.starts_with("--")) {
            throw UsageError("知らないオプションです: " + std::string(a));
        } else if (c.verb.empty()) {
            c.verb = a;
        } else if (c.dir.empty()) {
            c.dir = a;
        } else if (c.verb == "mark" || c.verb == "joint") {  // the persons' IDs
            ids.push_back(parseNumber(a, "ID"));
        } else {
            throw UsageError("引数が多すぎます: " + std::string(a));
        }
    }
    if (c.verb != "list" && c.verb != "mark" && c.verb != "joint")
        throw UsageError("list, mark か joint を指定してください");
    if (c.dir.empty()) throw UsageError("フォルダ DIR を指定してください");
    if (c.verb == "list") return list(c, filter, out);
    if (c.verb == "joint") {
        if (ids.size() != 1 || !jointGiven) throw UsageError("joint には ID を一つと --mate, --child NAME か --none が必要です");
        AddressBook book(c.dir);  // the folder must be an address book's
        storeJointChoice(jointNamesFile(book.folder()), ids[0], joint);
        out << "人物 " << ids[0] << " の連名を記録しました\n";
        return kExitOk;
    }
    if (ids.empty() || !(change.sent || change.received || change.mourning))
        throw UsageError("mark には --sent, --received か --mourning と ID が必要です");
    for (std::optional<bool>* f : {&change.sent, &change.received, &change.mourning})
        if (*f) **f = !clear;
    change.season = c.season;
    return mark(c, change, ids, out, err);
}

}  // namespace

const Command kGreetingsCommand{
    "greetings",
    "  lumo greetings list DIR [--year Y] [--season S] [--filter 送る|未返信|喪中|すべて]\n"
    "  lumo greetings mark DIR [--year Y] [--season S] [--clear] [--sent|--received|--mourning ID...]\n"
    "  lumo greetings joint DIR ID [--mate] [--child NAME]... | --none\n"
    "      年賀状などの一覧 (昨年と今年の出・受、喪中) を表示し、出・受・喪中を記録します。\n"
    "      lists every person with last year's and this year's sent/received ticks and mourning,\n"
    "      ticks them (--clear removes the ticks) and chooses the joint names printed on a card.\n"
    "      Y defaults to the coming New Year (in January, this one); S is 年賀 (default), 暑中, 中元 or 歳暮.\n"
    "      喪中 is the word 【喪中】 in the memo of the person's greeting row of year Y.\n",
    "  lumo greetings list . --year 2027 --filter 送る\n"
    "  lumo greetings mark . --year 2027 --received 1 2\n"
    "  lumo greetings mark . --year 2027 --mourning 3\n"
    "  lumo greetings joint . 1 --mate\n",
    &run,
};

}  // namespace lumo::tools
