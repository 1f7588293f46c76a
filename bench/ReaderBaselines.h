#pragma once
// Single readers of the library against the same statements run straight
// through SQLite: each statement prepared once and kept, every call inside
// one read transaction that lasts the whole run, the same record filled
// from sqlite3_column_*. Before timing, the two records are compared for
// the first calls; a difference fails the benchmark.
//
// Both sides are timed over whole repetitions of `calls` calls (the figure
// is the time per call); the table takes the median and the minimum of the
// repetitions, in the measuring thread's CPU time and in wall time.
#include <string>
#include <string_view>

namespace lumo::bench {

inline constexpr int kReaderRepetitions = 5;

// "reader/<operation>/ours" and "reader/<operation>/sqlite3".
std::string readerBenchmarkName(std::string_view operation, std::string_view who);

// GetPersonalInformation and GetPhoneNumberInfo on the person file,
// GetSheetInformation and GetGoodsInformationOverView on the item file.
inline constexpr std::string_view kComparedReaders[] = {"GetPersonalInformation", "GetPhoneNumberInfo",
                                                        "GetSheetInformation", "GetGoodsInformationOverView"};

void registerReaderBaselines(const std::string& personDatabase, const std::string& itemDatabase, int calls);

}  // namespace lumo::bench
