#include "tools/print/PrintCommand.h"

#include <csignal>
#include <charconv>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "cards/render/CardRenderer.h"
#include "greetings/GreetingMarks.h"
#include "greetings/PrintSelection.h"
#include "greetings/YearList.h"
#include "platform/Error.h"
#include "platform/StagedFile.h"
#include "tools/print/PrintUsage.h"

namespace lumo::tools {
namespace {

namespace fs = std::filesystem;
using namespace lumo::greetings;
using LumoAccess::Long;

Long parseId(std::string_view text, const char* what) {
    Long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value <= 0)
        throw UsageError(std::string(what) + " は正の数で指定してください: " + std::string(text));
    return value;
}

double parseMm(std::string_view text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < -20 || value > 20)
        throw UsageError("--offset は -20 から 20 の mm を X,Y で指定してください: " + std::string(text));
    return value;
}

cards::NumberStyle parseNumbers(std::string_view text) {
    if (text == "kanji") return cards::NumberStyle::Kanji;
    if (text == "kanji10") return cards::NumberStyle::Kanji10;
    if (text == "arabic") return cards::NumberStyle::Arabic;
    throw UsageError("--numbers は kanji, kanji10, arabic のどれかです: " + std::string(text));
}

struct Options {
    std::string dir;
    PrintRequest request;
    std::string group;
    std::optional<Long> sender;
    cards::DrawOptions draw;
    cards::LayoutOptions layout;
    std::string font = cards::kDefaultFont;
    bool markSent = false;
    bool force = false;
    std::string out;
    std::string preview;
};

Options parse(Arguments args) {
    Options o;
    o.request.year = defaultYear();
    bool haveKind = false, collectingIds = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        const auto value = [&](const char* option) {
            if (++i >= args.size()) throw UsageError(std::string(option) + " には値が必要です");
            return args[i];
        };
        if (!a.starts_with("--") && collectingIds) {
            o.request.ids.push_back(parseId(a, "ID"));
            continue;
        }
        collectingIds = false;
        if (a == "--year") {
            const std::string_view y = value("--year");
            o.request.year = parseId(y, "--year");
        } else if (a == "--group") {
            o.group = value("--group");
        } else if (a == "--ids") {
            collectingIds = true;
        } else if (a == "--sender") {
            o.sender = parseId(value("--sender"), "--sender");
        } else if (a == "--offset") {
            const std::string_view xy = value("--offset");
            const std::size_t comma = xy.find(',');
            if (comma == std::string_view::npos) throw UsageError("--offset は X,Y で指定してください");
            o.draw.offsetX = parseMm(xy.substr(0, comma));
            o.draw.offsetY = parseMm(xy.substr(comma + 1));
        } else if (a == "--numbers") {
            o.layout.numbers = parseNumbers(value("--numbers"));
        } else if (a == "--office") {
            o.request.address = AddressKind::Office;
        } else if (a == "--font") {
            o.font = value("--font");
        } else if (a == "--envelope") {
            o.layout.page = cards::PageKind::Envelope;
        } else if (a == "--mark-sent") {
            o.markSent = true;
        } else if (a == "--force") {
            o.force = true;
        } else if (a == "--out") {
            o.out = value("--out");
        } else if (a == "--preview") {
            o.preview = value("--preview");
        } else if (a.starts_with("--")) {
            throw UsageError("知らないオプションです: " + std::string(a));
        } else if (!haveKind) {
            if (a != "hagaki") throw UsageError("印刷するものは hagaki です: " + std::string(a));
            haveKind = true;
        } else if (o.dir.empty()) {
            o.dir = a;
        } else {
            throw UsageError("引数が多すぎます: " + std::string(a));
        }
    }
    if (!haveKind) throw UsageError("hagaki を指定してください");
    if (o.dir.empty()) throw UsageError("フォルダ DIR を指定してください");
    if (o.out.empty()) throw UsageError("--out FILE.pdf を指定してください");
    if (!o.group.empty() && !o.request.ids.empty()) throw UsageError("--group と --ids は一緒に使えません");
    return o;
}

int run(Arguments args, std::ostream& out, std::ostream& err) {
    Options o = parse(args);
    const fs::path target = fs::absolute(o.out);
    StagedFile::removeLeftovers(target);
    if (fs::exists(target) && !o.force)
        throw Error("ファイル '" + target.string() + "' は既に存在します。上書きするには --force を指定してください。");

    const cards::CardRenderer renderer(o.font);
    AddressBook book(o.dir);
    if (!o.group.empty()) {
        o.request.group = findGroup(book, o.group);
        if (!o.request.group) throw Error("グループ「" + o.group + "」がありません");
    }
    std::optional<cards::Sender> sender;
    if (o.sender) {
        const LumoAccess::PersonInformation p = book.access().GetPersonalInformation(*o.sender);
        if (p.lngPersonID != *o.sender) throw Error("差出人 " + std::to_string(*o.sender) + " が見つかりません");
        sender = senderOf(p, o.request.address);
    }
    const PrintSelection selection = selectCards(book, o.request);
    for (const LeftOut& left : selection.leftOut)
        out << "印刷しません: " << left.name << " (ID " << left.personId << "): " << left.reason << '\n';
    if (selection.cards.empty()) throw Error("印刷する人がいません");

    removeStagedFilesOnSignals({SIGINT, SIGTERM, SIGHUP});
    StagedFile staged(target);
    cards::CardPdf pdf(staged.path(), renderer, o.draw);
    for (const PrintedCard& card : selection.cards)
        pdf.addPage(cards::layoutCard(card.recipient, sender ? &*sender : nullptr, o.layout));
    pdf.finish();
    staged.publish(o.force ? StagedFile::Replace::Yes : StagedFile::Replace::No);
    if (!o.preview.empty()) {
        // The first card as it will look, on a card with its boxes.
        cards::DrawOptions guides = o.draw;
        guides.guides = true;
        const PrintedCard& first = selection.cards.front();
        renderer.writePng(o.preview, cards::layoutCard(first.recipient, sender ? &*sender : nullptr, o.layout), 200, guides);
    }
    out << target.string() << " に " << pdf.pages() << " 枚を印刷しました (" << o.request.year << "年)\n";
    if (!o.markSent) return kExitOk;

    // 出 for every printed card; one that cannot be written stays unticked
    // and is named.
    GreetingChange sent;
    sent.sent = true;
    int failed = 0;
    for (const PrintedCard& card : selection.cards) {
        try {
            markGreeting(book, card.personId, o.request.year, sent);
        } catch (const std::exception& e) {
            err << "lumo print: " << card.name << " (ID " << card.personId << ") の出を記録できません: " << e.what()
                << '\n';
            ++failed;
        }
    }
    out << selection.cards.size() - static_cast<std::size_t>(failed) << " 人に " << o.request.year << "年の出を記録しました\n";
    if (failed > 0) {
        err << "lumo print: " << failed << " 人は出を記録していません (PDF は書き出しました)\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

const Command kPrintCommand{
    "print",
    kPrintUsage,
    "  lumo print hagaki . --year 2026 --sender 1 --out cards.pdf\n"
    "  lumo print hagaki . --year 2026 --ids 1 4 --numbers kanji10 --out two.pdf\n"
    "  lumo print hagaki . --year 2026 --office --ids 2 --envelope --out envelope.pdf\n",
    &run,
};

}  // namespace lumo::tools
