#include "bench/ExportBenchmarks.h"

#include <benchmark/benchmark.h>

#include <exception>

#include "bench/BaselineExport.h"
#include "export/engine/ExportRun.h"
#include "export/engine/clsExportSource.h"
#include "platform/MessageSink.h"

namespace lumo::bench {
namespace {

bool isPersons(std::string_view kind) { return kind == "person"; }

void runOurs(benchmark::State& state, const std::string& connection, const std::string& file, int16_t kind) {
    // Any report but the replacement notice means the figure is not one of
    // a complete export.
    std::string report;
    ScopedMessageSink sink([&](const MessageRequest& request) {
        if (request.icon != MsgIcon::Information && report.empty()) report = request.text;
        return safeAnswer(request.buttons);
    });
    std::int64_t records = 0;
    for (auto _ : state) {
        const exporter::ExportResult result = exporter::runExport(connection, file, kind, {});
        records = result.records;
        if (result.failed || !report.empty()) {
            state.SkipWithError(("the export reported: " + report).c_str());
            break;
        }
    }
    state.counters["records"] = static_cast<double>(records);
}

void runBaselineLoop(benchmark::State& state, const BaselineQuery& query, const std::string& database,
                     const std::string& file) {
    std::int64_t records = 0;
    for (auto _ : state) {
        try {
            records = runBaseline(query, database, file).records;
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.counters["records"] = static_cast<double>(records);
}

// Five runs each: the table shows their median and minimum.
benchmark::internal::Benchmark* configure(benchmark::internal::Benchmark* b) {
    return b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
}

}  // namespace

std::string exportBenchmarkName(std::string_view kind, std::string_view who, std::int64_t records) {
    return std::string(kind) + "_export/" + std::string(who) + "/" + std::to_string(records);
}

std::string exportFile(const BenchData& data, std::string_view kind, std::string_view who, std::int64_t records) {
    return data.out(std::string(kind) + "-" + std::string(who) + "-" + std::to_string(records) + ".csv");
}

void registerOurExport(const BenchData& data, std::string_view kind, std::int64_t persons) {
    const bool people = isPersons(kind);
    const std::string connection =
        connectionFor(people ? data.personDatabase(persons) : data.itemDatabase(persons));
    const std::string file = exportFile(data, kind, "ours", persons);
    const int16_t exportKind = people ? exporter::kPersons : exporter::kGoods;
    configure(benchmark::RegisterBenchmark(
        exportBenchmarkName(kind, "ours", persons).c_str(),
        [=](benchmark::State& state) { runOurs(state, connection, file, exportKind); }));
}

void registerBaselineExport(const BenchData& data, std::string_view kind, std::int64_t persons) {
    const bool people = isPersons(kind);
    const std::string database = people ? data.personDatabase(persons) : data.itemDatabase(persons);
    const std::string file = exportFile(data, kind, "baseline", persons);
    const BaselineQuery& query = people ? personBaseline() : goodsBaseline();
    configure(benchmark::RegisterBenchmark(exportBenchmarkName(kind, "baseline", persons).c_str(),
                                           [=, &query](benchmark::State& state) {
                                               runBaselineLoop(state, query, database, file);
                                           }));
}

}  // namespace lumo::bench
