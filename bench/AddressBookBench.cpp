// 住所録 on a large folder (lumo init --persons N): start-up to the first
// list shown, a keystroke in the search box to the updated list shown
// (median and 95th percentile), opening a card, scrolling the whole list,
// and the process's peak memory. Run once per folder, so that each size's
// peak is its own:
//   lumo_addressbook_bench FOLDER [WORD ...]
// The words are typed key by key, each followed by as many backspaces; by
// default readings and phone digits that synthetic persons carry.
// LUMO_BENCH_EACH_KEY=1 prints every key's time, LUMO_BENCH_KEYS_ONLY=1
// stops after the keys (for a profile of them), LUMO_BENCH_STATEMENTS=1
// times only the search statements of each prefix, without the window
// (and, beside it, the statement with every column read).
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "addressbook/MainWindow.h"
#include "addressbook/PersonEditor.h"
#include "addressbook/PersonListModel.h"
#include "addressbook/PersonQueries.h"
#include "engine/Connection.h"
#include "engine/RowStream.h"
#include "platform/MessageSink.h"
#include "engine/ProgramSettings.h"

namespace {

using lumo::book::MainWindow;

// Until the latest request's list is shown and painted. Sleeps while the
// search thread works (processEvents with a time limit would spin, and the
// spinning thread would take a core from the search on a 2-core machine).
void waitForList(MainWindow& window) {
    while (window.listBusy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.personView()->viewport()->repaint();
}

void key(QWidget* w, int code, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5)];
}

// CPU time of the whole process (every thread) so far: under a loaded
// machine the wall time of a keystroke mostly measures the wait for a
// core, this what the keystroke itself cost.
double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long peakKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumo_addressbook_bench FOLDER [WORD ...]\n");
        return 2;
    }
    lumo::db::configureSqliteForProgram();
    QApplication app(argc, argv);
    const lumo::RecordingSink quiet;
    std::vector<QString> words;
    for (int i = 2; i < argc; ++i) words.push_back(QString::fromUtf8(argv[i]));
    if (words.empty()) words = {QStringLiteral("やまだ"), QStringLiteral("さとう"), QStringLiteral("090-12"),
                                QStringLiteral("田中"), QStringLiteral("すずき"), QStringLiteral("株式会社")};

    QElapsedTimer clock;
    clock.start();
    MainWindow window(lumo::book::BookFolder{argv[1]});
    window.resize(1180, 680);
    if (!window.open()) return 1;
    window.show();
    waitForList(window);
    const double startMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const int persons = window.personModel()->rowCount();

    // With LUMO_BENCH_STATEMENTS set, the search statements alone, without
    // the window: what the engine costs per text (each prefix of each
    // word, median of 5), for a profile of that part.
    if (std::getenv("LUMO_BENCH_STATEMENTS")) {
        lumo::db::Connection own;
        own.Open(lumo::book::BookFolder{argv[1]}.connectionString());
        for (const QString& word : words)
            for (int n = 1; n <= word.size(); ++n) {
                const lumo::book::SearchWords w = lumo::book::searchWords(word.left(n).toStdString());
                const std::string sql = window.library().CreateSimpleViewQuery(w.name, w.phone);
                std::vector<double> runs;
                std::size_t found = 0;
                for (int r = 0; r < 5; ++r) {
                    clock.restart();
                    found = lumo::book::readEntries(own, sql).size();
                    runs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
                }
                // The same statement with every column read (as before the
                // list named its columns): what the narrowing saves.
                std::vector<double> whole;
                for (int r = 0; r < 5; ++r) {
                    clock.restart();
                    lumo::db::forEachRow(own, sql, [](const lumo::db::RowView&) { return true; });
                    whole.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
                }
                std::printf("statement %-12s %7zu persons first %8.1f ms, then %8.1f ms (every column %8.1f ms)\n",
                            word.left(n).toUtf8().constData(), found, runs.front(), percentile(runs, 0.5),
                            percentile(whole, 0.5));
            }
        return 0;
    }

    std::vector<double> keys, keyCpu;
    std::vector<std::pair<double, QString>> slowest;  // wall time, the box's text after the key
    const auto press = [&](int code, const QString& text) {
        clock.restart();
        const double cpu = cpuMs();
        key(window.searchBox(), code, text);
        waitForList(window);
        keys.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        keyCpu.push_back(cpuMs() - cpu);
        slowest.emplace_back(keys.back(), window.searchBox()->text());
        if (std::getenv("LUMO_BENCH_EACH_KEY"))
            std::printf("key %-10s %7.1f ms cpu %7.1f ms\n", window.searchBox()->text().toUtf8().constData(), keys.back(), keyCpu.back());
    };
    for (int round = 0; round < 3; ++round)
        for (const QString& word : words) {
            for (const QChar c : word) press(0, QString(c));
            for (int i = 0; i < word.size(); ++i) press(Qt::Key_Backspace, {});
        }

    if (std::getenv("LUMO_BENCH_KEYS_ONLY")) {
        std::printf("keystroke to list shown median %.1f ms, p95 %.1f ms (%zu keys)\n", percentile(keys, 0.5),
                    percentile(keys, 0.95), keys.size());
        return 0;
    }
    std::vector<double> cards;
    for (int i = 0; i < 20; ++i) {
        const int32_t id = window.personModel()->idAt((i * 7919) % std::max(persons, 1));
        clock.restart();
        lumo::book::PersonEditor card(window.library(), window.groupChoices(), id);
        card.show();
        QApplication::processEvents();
        cards.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }

    // Page by page through the whole list, as a held Page Down would.
    clock.restart();
    QScrollBar* bar = window.personView()->verticalScrollBar();
    for (int at = 0; at <= bar->maximum(); at += bar->pageStep()) {
        bar->setValue(at);
        window.personView()->viewport()->repaint();
    }
    const double scrollMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    std::printf("persons %d\n", persons);
    std::printf("start-up to first list  %.1f ms\n", startMs);
    std::printf("keystroke to list shown median %.1f ms, p95 %.1f ms (%zu keys)\n", percentile(keys, 0.5),
                percentile(keys, 0.95), keys.size());
    std::printf("keystroke CPU time      median %.1f ms, p95 %.1f ms\n", percentile(keyCpu, 0.5),
                percentile(keyCpu, 0.95));
    // Which texts cost most (each text once), to know what to look at.
    std::sort(slowest.begin(), slowest.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::printf("slowest keys           ");
    std::vector<QString> shown;
    for (const auto& [ms, text] : slowest) {
        if (shown.size() == 8) break;
        if (std::find(shown.begin(), shown.end(), text) != shown.end()) continue;
        shown.push_back(text);
        std::printf(" \"%s\" %.0f", text.toUtf8().constData(), ms);
    }
    std::printf(" ms\n");
    std::printf("opening a card          median %.1f ms, p95 %.1f ms\n", percentile(cards, 0.5), percentile(cards, 0.95));
    std::printf("scrolling the whole list %.0f ms (%d pages read)\n", scrollMs, window.personModel()->pagesRead());
    std::printf("peak memory             %ld KiB\n", peakKb());
    return 0;
}
