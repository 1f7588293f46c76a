// vCard export and import of 10,000 persons (`lumo init --persons 10000`):
// the median and minimum of several runs each, through exchange/ as
// `lumo vcard` runs them. Goal: under 2 s each.
//
//   lumo_vcard_bench --data DIR [--runs N] [--disk]
//
// DIR/10000 is the folder scripts/bench makes (made here when missing).
// Each import goes into a fresh copy of an empty folder. The import stores
// its persons in one batch of the library, committed once at the end; the
// copies live in /dev/shm (memory) unless --disk puts them beside DIR,
// which adds that commit's wait for the disk.
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "exchange/VCardExchange.h"
#include "engine/ProgramSettings.h"

namespace {

namespace fs = std::filesystem;
using namespace lumo::exchange;
using Clock = std::chrono::steady_clock;

fs::path lumoBinary() { return fs::read_symlink("/proc/self/exe").parent_path() / "lumo"; }

void runLumo(const std::string& args) {
    const std::string command = "'" + lumoBinary().string() + "' " + args + " >/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

// The process's CPU time: on a shared machine the elapsed time moves with
// the load, the CPU time much less.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Run {
    double elapsed = 0, cpu = 0;
};

template <class F>
Run timed(F f) {
    const auto start = Clock::now();
    const double cpu = cpuSeconds();
    f();
    return {std::chrono::duration<double>(Clock::now() - start).count(), cpuSeconds() - cpu};
}

void print(const std::string& what, std::vector<Run> runs) {
    const auto stats = [&](double Run::*field) {
        std::vector<double> v;
        for (const Run& r : runs) v.push_back(r.*field);
        std::ranges::sort(v);
        return std::pair{v[v.size() / 2], v.front()};
    };
    const auto [median, minimum] = stats(&Run::elapsed);
    const auto [cpuMedian, cpuMinimum] = stats(&Run::cpu);
    std::cout << what << ": median " << median << " s, minimum " << minimum << " s elapsed; CPU median " << cpuMedian
              << " s, minimum " << cpuMinimum << " s (" << runs.size() << " runs; goal < 2 s)"
              << (median >= 2 ? "  above the goal" : "") << '\n';
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
            std::vector<Run> exportRuns, importRuns;
            ExportOptions options;
            options.version = version;
            options.file = work / ("persons-" + name + ".vcf");
            options.replace = true;
            int persons = 0;
            for (int r = 0; r < runs; ++r) {
                exportRuns.push_back(timed([&] { persons = exportVCards(source, options).persons; }));
            }
            const auto sources = importSources({options.file.string()});
            for (int r = 0; r < runs; ++r) {
                const fs::path target = work / ("import-" + std::to_string(r));
                fs::remove_all(target);
                fs::create_directories(target / "Data");
                for (const auto& entry : fs::directory_iterator(empty / "Data"))
                    fs::copy_file(entry.path(), target / "Data" / entry.path().filename());
                ImportReport report;
                importRuns.push_back(timed([&] { report = importVCards(target, sources, {}); }));
                if (report.added != persons) std::cout << "WARNING: " << report.added << " of " << persons << " added\n";
                fs::remove_all(target);
            }
            print("vCard " + name + " export of " + std::to_string(persons) + " persons", exportRuns);
            print("vCard " + name + " import of " + std::to_string(persons) + " persons" +
                      (disk ? " (on disk)" : " (in /dev/shm)"),
                  importRuns);
            std::cout.flush();
        }
        fs::remove_all(work);
    } catch (const std::exception& e) {
        std::cerr << "lumo_vcard_bench: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
