#include "sync/HttpFaults.h"

#include <atomic>

namespace lumo::sync {
namespace {

std::atomic<int> g_failAt{0};
std::atomic<int> g_kind{0};
std::atomic<int> g_count{0};

}  // namespace

void armHttpFault(int nth, HttpFaultKind kind) {
    g_count = 0;
    g_kind = static_cast<int>(kind);
    g_failAt = nth;
}

void disarmHttpFault() {
    g_failAt = 0;
    g_count = 0;
}

int httpRequestsSinceArming() { return g_count.load(); }

bool httpFaultBeforeSending(int& number) {
    number = ++g_count;
    return g_failAt.load() == number && g_kind.load() == static_cast<int>(HttpFaultKind::BeforeSending);
}

bool httpFaultAfterAnswer(int number) {
    return g_failAt.load() == number && g_kind.load() == static_cast<int>(HttpFaultKind::AfterAnswer);
}

}  // namespace lumo::sync
