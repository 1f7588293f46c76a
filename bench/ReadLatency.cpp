#include "bench/ReadLatency.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <memory>
#include <random>
#include <vector>

#include "access/LumoAccess.h"
#include "bench/BenchData.h"
#include "bench/Lazy.h"
#include "bench/SqliteReader.h"
#include "client/AccessLibrary.h"
#include "platform/Error.h"
#include "platform/MessageSink.h"

namespace lumo::bench {
namespace {

using namespace LumoAccess;

constexpr std::uint32_t kSeed = 20240611;

template <class T>
std::vector<T> randomPicks(const std::vector<T>& pool, int count, std::uint32_t seed) {
    if (pool.empty()) throw std::runtime_error("no rows to pick from");
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> index(0, pool.size() - 1);
    std::vector<T> picks;
    for (int i = 0; i < count; ++i) picks.push_back(pool[index(random)]);
    return picks;
}

std::vector<Long> randomIds(const SqliteFile& file, std::string_view sql, int count, std::uint32_t seed) {
    std::vector<Long> ids;
    for (std::int64_t id : randomIntegers(file, sql, count, seed)) ids.push_back(static_cast<Long>(id));
    return ids;
}

// The objects under test and the arguments of every call, made on first
// use so that a filtered-out run loads nothing.
struct ReadSubjects {
    Ref<clsPidAccess> persons;
    Ref<clsIidAccess> items;
    std::vector<Long> personIds;
    std::vector<Long> sheetIds;
    std::vector<std::string> groupLabels;

    ReadSubjects(const std::string& personDatabase, const std::string& itemDatabase, int calls) {
        auto& library = client::AccessLibrary::instance();
        persons = library.create<clsPidAccess>();
        items = library.create<clsIidAccess>();
        if (persons->Initialize(connectionFor(personDatabase)) || items->Initialize(connectionFor(itemDatabase)))
            throw Error("the access objects could not open the databases");
        const SqliteFile personFile(personDatabase), itemFile(itemDatabase);
        personIds = randomIds(personFile, "SELECT PERSON_ID FROM T_PERSON", calls, kSeed);
        sheetIds = randomIds(itemFile, "SELECT ID FROM T_SHEET", calls, kSeed + 1);
        groupLabels = randomPicks(readTexts(personFile, "SELECT LABEL FROM T_GROUPING"), calls, kSeed + 2);
    }
    // Every list of arguments has this many entries.
    std::size_t size() const { return personIds.size(); }
};

using LazySubjects = Lazy<ReadSubjects>;

// Times every call on its own; call(i) makes the i-th call.
template <class Call>
void timeEachCall(benchmark::State& state, LazySubjects& lazy, Call call) {
    std::string report;
    ScopedMessageSink sink([&](const MessageRequest& request) {
        if (report.empty()) report = request.text;
        return safeAnswer(request.buttons);
    });
    ReadSubjects* subjects = nullptr;
    try {
        subjects = &lazy.get();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(state.max_iterations));
    std::size_t i = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        call(*subjects, i++ % subjects->size());
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    if (!report.empty()) state.SkipWithError(("the library reported: " + report).c_str());
    if (micros.empty()) return;
    const auto middle = micros.begin() + static_cast<std::ptrdiff_t>(micros.size() / 2);
    std::nth_element(micros.begin(), middle, micros.end());
    state.counters["median_us"] = *middle;
    state.counters["calls"] = static_cast<double>(micros.size());
}

template <class Call>
void registerRead(std::string_view operation, const std::shared_ptr<LazySubjects>& lazy, int calls, Call call) {
    benchmark::RegisterBenchmark(readBenchmarkName(operation).c_str(),
                                 [lazy, call](benchmark::State& state) { timeEachCall(state, *lazy, call); })
        ->Iterations(calls)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
}

}  // namespace

std::string readBenchmarkName(std::string_view operation) { return "read/" + std::string(operation); }

void registerReadBenchmarks(const std::string& personDatabase, const std::string& itemDatabase, int calls) {
    auto lazy = lazily<ReadSubjects>(personDatabase, itemDatabase, calls);
    registerRead("GetPersonalInformation", lazy, calls, [](ReadSubjects& s, std::size_t i) {
        benchmark::DoNotOptimize(s.persons->GetPersonalInformation(s.personIds[i]));
    });
    registerRead("GetPhoneNumberInfo", lazy, calls, [](ReadSubjects& s, std::size_t i) {
        std::vector<PhoneInformation> phones(1);  // as the export passes it
        s.persons->GetPhoneNumberInfo(s.personIds[i], phones);
        benchmark::DoNotOptimize(phones.data());
    });
    registerRead("GetSheetInformation", lazy, calls, [](ReadSubjects& s, std::size_t i) {
        SheetInformation sheet;
        s.items->GetSheetInformation(s.sheetIds[i], sheet);
        benchmark::DoNotOptimize(sheet);
    });
    registerRead("GetGroupIDEx", lazy, calls, [](ReadSubjects& s, std::size_t i) {
        benchmark::DoNotOptimize(s.persons->GetGroupIDEx(s.groupLabels[i]));
    });
}

}  // namespace lumo::bench
