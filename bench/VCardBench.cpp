// vCard export and import of 10,000 persons (`lumo init --persons 10000`):
// the median and minimum of several runs each, through exchange/ as
// `lumo vcard` runs them. Goal: under 2 s each.
//
//   lumo_vcard_bench --data DIR [--runs N] [--disk]
//
// DIR/10000 is the folder scripts/bench makes (made here when missing).
// Each import goes into a fresh copy of an empty folder. The library
// commits every row of a new person on its own, so on a disk each commit
// waits for the disk and the import's time is mostly those waits: the
// copies live in /dev/shm (memory) unless --disk puts them beside DIR.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "exchange/VCardExchange.h"
#include "platform/db/ProgramSettings.h"

namespace {

namespace fs = std::filesystem;
using namespace lumo::exchange;
using Clock = std::chrono::steady_clock;

fs::path lumoBinary() { return fs::read_symlink("/proc/self/exe").parent_path() / "lumo"; }

void runLumo(const std::string& args) {
    const std::string command = "'" + lumoBinary().string() + "' " + args + " >/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

struct Figures {
    double median = 0, minimum = 0;
};

Figures figures(std::vector<double> seconds) {
    std::ranges::sort(seconds);
    return {seconds[seconds.size() / 2], seconds.front()};
}

void print(const std::string& what, const Figures& f, int runs) {
    std::cout << what << ": median " << f.median << " s, minimum " << f.minimum << " s (" << runs << " runs; goal < 2 s)"
              << (f.median >= 2 ? "  above the goal" : "") << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    lumo::db::configureSqliteForProgram();
    fs::path data = "/tmp/lumo-bench-data";
    if (const char* env = std::getenv("LUMO_BENCH_DATA")) data = env;
    int runs = 5;
    bool disk = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--data" && i + 1 < argc) data = argv[++i];
        else if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--disk") disk = true;
        else {
            std::cerr << "usage: lumo_vcard_bench [--data DIR] [--runs N] [--disk]\n";
            return 2;
        }
    }
    try {
        const fs::path source = data / "10000";
        if (!fs::exists(source / "Data" / "LumoBase.mdb")) runLumo("init --persons 10000 '" + source.string() + "'");
        const fs::path work = (disk || !fs::is_directory("/dev/shm") ? data : fs::path("/dev/shm")) /
                              ("lumo-vcard-bench-" + std::to_string(::getpid()));
        fs::remove_all(work);
        fs::create_directories(work);
        const fs::path empty = work / "empty";
        runLumo("init '" + empty.string() + "'");

        for (VCardVersion version : {VCardVersion::v30, VCardVersion::v40}) {
            const std::string name = version == VCardVersion::v30 ? "3.0" : "4.0";
            std::vector<double> exportSeconds, importSeconds;
            ExportOptions options;
            options.version = version;
            options.file = work / ("persons-" + name + ".vcf");
            options.replace = true;
            int persons = 0;
            for (int r = 0; r < runs; ++r) {
                const auto start = Clock::now();
                persons = exportVCards(source, options).persons;
                exportSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
            }
            const auto sources = importSources({options.file.string()});
            for (int r = 0; r < runs; ++r) {
                const fs::path target = work / ("import-" + std::to_string(r));
                fs::remove_all(target);
                fs::create_directories(target / "Data");
                for (const auto& entry : fs::directory_iterator(empty / "Data"))
                    fs::copy_file(entry.path(), target / "Data" / entry.path().filename());
                const auto start = Clock::now();
                const ImportReport report = importVCards(target, sources, {});
                importSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
                if (report.added != persons) std::cout << "WARNING: " << report.added << " of " << persons << " added\n";
                fs::remove_all(target);
            }
            print("vCard " + name + " export of " + std::to_string(persons) + " persons", figures(exportSeconds), runs);
            print("vCard " + name + " import of " + std::to_string(persons) + " persons" +
                      (disk ? " (on disk)" : " (in /dev/shm)"),
                  figures(importSeconds), runs);
        }
        fs::remove_all(work);
    } catch (const std::exception& e) {
        std::cerr << "lumo_vcard_bench: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
