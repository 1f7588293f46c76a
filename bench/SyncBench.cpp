// lumo sync on loopback against Radicale (started here): the first sync of
// N persons (all uploaded), a sync with nothing changed, and a later sync
// with 10 persons changed here, each with the time spent waiting for the
// server beside the whole time.
//
//   lumo_sync_bench [PERSONS]   (default 10000; needs lumo beside it and radicale)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "exchange/ContactStore.h"
#include "sync/SyncFolder.h"
#include "tests/support/ChildProcess.h"
#include "tests/sync/RadicaleServer.h"

namespace {

using namespace lumo;

void row(const char* what, const sync::SyncReport& r) {
    std::printf("%-34s %8.2f s  server %8.2f s  ours %8.2f s  requests %6d\n", what, r.totalSeconds, r.serverSeconds,
                r.totalSeconds - r.serverSeconds, r.requests);
}

}  // namespace

int main(int argc, char** argv) {
    const int persons = argc > 1 ? std::atoi(argv[1]) : 10000;
    test::TemporaryFolder folder("lumo_sync_bench");
    const test::ChildExit init = test::runProgram(
        {test::buildProgram("lumo").string(), "init", "--persons", std::to_string(persons), folder.path().string()});
    if (init.status != 0) {
        std::cerr << init.err;
        return 1;
    }
    test::RadicaleServer server;
    const sync::SyncSettings settings{server.makeAddressBook("bench", "contacts"), {}};

    std::printf("lumo sync, %d persons, Radicale on loopback\n", persons);
    row("first sync (all uploaded)", sync::syncFolder(folder.path(), settings));
    row("nothing changed", sync::syncFolder(folder.path(), settings));
    {
        exchange::ContactStore store(folder.path());
        const auto ids = store.ids();
        for (std::size_t i = 0; i < 10 && i < ids.size(); ++i) {
            exchange::Contact c = store.read(ids[i * (ids.size() / 10)]);
            c.person.strNickName = "変更 " + std::to_string(i);
            store.update(c);
        }
    }
    row("10 persons changed here", sync::syncFolder(folder.path(), settings));
    return 0;
}
