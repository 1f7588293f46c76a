#include "bench/Machine.h"

#include <sched.h>
#include <unistd.h>

#include <fstream>

namespace lumo::bench {

int usableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) return CPU_COUNT(&set);
    return static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
}

std::string cpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (!line.starts_with("model name")) continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) break;
        const std::size_t start = line.find_first_not_of(" \t", colon + 1);
        return start == std::string::npos ? "unknown" : line.substr(start);
    }
    return "unknown";
}

}  // namespace lumo::bench
