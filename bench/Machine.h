#pragma once
// What the figures were measured on.
#include <string>

namespace lumo::bench {

// Processors this process may run on (as nproc counts them).
int usableProcessors();
// The first "model name" of /proc/cpuinfo; "unknown" when there is none.
std::string cpuModel();

}  // namespace lumo::bench
