// lumo_crash_writer FOLDER RUN: repeats the crash test's writes on the
// databases of FOLDER until it is killed, printing "<name> <n>" after each
// committed write, n = RUN * 1,000,000 + the write's number in this run.
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "tests/crash/CrashOperations.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: lumo_crash_writer FOLDER RUN\n";
        return 2;
    }
    using namespace lumo::test::crash;
    CrashWriter writer(argv[1]);
    const auto& operations = crashOperations();
    const int run = std::atoi(argv[2]);
    const int base = run * 1000000;
    // Each run starts at another operation, so that every operation is the
    // first to commit in some runs however slowly a loaded machine lets the
    // writer go before the kill.
    for (int i = 0;; ++i) {
        const CrashOperation& op = operations[static_cast<std::size_t>(i + run) % operations.size()];
        const int n = base + i;
        if (!op.write(writer, n)) continue;
        // One write(2) per line, straight to the file: what is printed
        // survives the kill.
        const std::string line = std::string(op.name) + " " + std::to_string(n) + "\n";
        if (::write(STDOUT_FILENO, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 1;
    }
}
