// lumo sync on loopback: the first sync of N persons (all uploaded), a sync
// with nothing changed, and five later syncs with 10 persons changed here
// (each, then their median and minimum), each with the time spent waiting
// for the server beside the whole time, and the processor time this thread
// (the sync's; the server in memory runs on its own) spent in the sync: the
// rest of "ours" is waiting, mostly for the disk to store commits.
//
//   lumo_sync_bench [PERSONS] [--radicale]
//
// PERSONS defaults to 10000. The server is an address book in memory
// (bench/MemoryCardDav.h), so that the figures show our side; --radicale
// runs Debian's Radicale instead (its time per request grows with the
// number of cards, so its first sync of 10,000 takes hours: use a few
// hundred persons with it).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "bench/MemoryCardDav.h"
#include "exchange/ContactStore.h"
#include "sync/SyncFolder.h"
#include "tests/support/ChildProcess.h"
#include "tests/sync/RadicaleServer.h"

namespace {

using namespace lumo;

// User and system time of the calling thread so far.
double threadCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One sync, timed and printed.
sync::SyncReport timed(const char* what, const std::filesystem::path& folder, const sync::SyncSettings& settings) {
    const double cpuBefore = threadCpuSeconds();
    const sync::SyncReport r = sync::syncFolder(folder, settings);
    const double cpu = threadCpuSeconds() - cpuBefore;
    std::printf("%-34s %8.2f s  server %8.2f s  ours %8.2f s (processor %7.2f s)  requests %6d\n", what,
                r.totalSeconds, r.serverSeconds, r.totalSeconds - r.serverSeconds, cpu, r.requests);
    std::fflush(stdout);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    int persons = 10000;
    bool radicale = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--radicale") radicale = true;
        else persons = std::atoi(argv[i]);
    }
    test::TemporaryFolder folder("lumo_sync_bench");
    const test::ChildExit init = test::runProgram(
        {test::buildProgram("lumo").string(), "init", "--persons", std::to_string(persons), folder.path().string()});
    if (init.status != 0) {
        std::cerr << init.err;
        return 1;
    }
    std::optional<test::RadicaleServer> radicaleServer;
    std::optional<bench::MemoryCardDav> memoryServer;
    std::string url;
    if (radicale) url = radicaleServer.emplace().makeAddressBook("bench", "contacts");
    else url = memoryServer.emplace().url();
    const sync::SyncSettings settings{url, {}};

    std::printf("lumo sync, %d persons, %s on loopback\n", persons, radicale ? "Radicale" : "an address book in memory");
    timed("first sync (all uploaded)", folder.path(), settings);
    timed("nothing changed", folder.path(), settings);
    std::vector<double> later;
    for (int round = 1; round <= 5; ++round) {
        {
            exchange::ContactStore store(folder.path());
            const auto ids = store.ids();
            for (std::size_t i = 0; i < 10 && i < ids.size(); ++i) {
                exchange::Contact c = store.read(ids[i * (ids.size() / 10)]);
                c.person.strNickName = "変更 " + std::to_string(round) + "-" + std::to_string(i);
                store.update(c);
            }
        }
        const sync::SyncReport r =
            timed(("10 persons changed here, " + std::to_string(round) + "/5").c_str(), folder.path(), settings);
        later.push_back(r.totalSeconds);
    }
    std::ranges::sort(later);
    std::printf("10 persons changed here: median %.3f s, minimum %.3f s of 5\n", later[2], later[0]);

    // A second computer's first sync: every card comes down into an empty folder.
    test::TemporaryFolder second("lumo_sync_bench");
    if (test::runProgram({test::buildProgram("lumo").string(), "init", second.path().string()}).status != 0) return 1;
    timed("second folder (all downloaded)", second.path(), settings);
    timed("second folder, nothing changed", second.path(), settings);
    return 0;
}
