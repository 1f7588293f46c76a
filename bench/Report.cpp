#include "bench/Report.h"

#include <cstdio>

namespace lumo::bench {
namespace {

// The figures behind the export ratios' targets and the memory's flatness.
constexpr double kPersonRatioTarget = 0.6;
constexpr double kGoodsRatioTarget = 0.5;
constexpr double kReaderTarget = 0.5;  // sqlite3/ours: within 2x of SQLite
constexpr double kFlatMemory = 0.90;
constexpr double kStatementTarget = 3.0;  // ours/sqlite3 on the same statement

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string padLeft(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string padRight(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

double ratioTarget(const std::string& kind) { return kind == "person" ? kPersonRatioTarget : kGoodsRatioTarget; }

// A cell of a measured figure: the value, or why there is none.
std::string seconds(const Measurement* m) {
    if (!m) return "not run";
    if (!m->ok()) return "FAILED";
    return fixed(m->medianSeconds(), 3) + " s";
}

// "median (min)" of a figure in `scale` units (1e6: microseconds).
std::string medianAndMin(const Measurement* m, bool cpu, double scale, int decimals) {
    if (!m) return "not run";
    if (!m->ok()) return "FAILED";
    const double median = cpu ? m->medianCpuSeconds() : m->medianSeconds();
    const double least = cpu ? m->minCpuSeconds() : m->minSeconds();
    return fixed(median * scale, decimals) + " (" + fixed(least * scale, decimals) + ")";
}

bool bothOk(const Measurement* a, const Measurement* b) { return a && a->ok() && b && b->ok(); }

bool failed(const Measurement* m) { return m && !m->ok(); }

void printErrors(std::ostream& out, const std::string& what, const Measurement* m) {
    if (failed(m)) out << "  FAILED " << what << ": " << m->error << '\n';
}

bool printExports(std::ostream& out, const Report& r) {
    bool good = true;
    out << padRight("Export of " + grouped(r.exportSize) + " records", 24) << padLeft("ours s", 18)
        << padLeft("baseline s", 18) << padLeft("baseline/ours", 15) << "   (person >= " << fixed(kPersonRatioTarget, 2)
        << ", goods >= " << fixed(kGoodsRatioTarget, 2) << ")\n";
    for (const ExportRow& row : r.exports) {
        for (const bool cpu : {false, true}) {
            std::string ratio = "-", verdict;
            if (bothOk(row.ours, row.baseline)) {
                const double value = cpu ? row.baseline->medianCpuSeconds() / row.ours->medianCpuSeconds()
                                         : row.baseline->medianSeconds() / row.ours->medianSeconds();
                ratio = fixed(value, 2);
                verdict = value >= ratioTarget(row.kind) ? "   met" : "   not met";
            }
            out << padRight("  " + row.kind + (cpu ? ", CPU" : ", wall"), 24)
                << padLeft(medianAndMin(row.ours, cpu, 1, 3), 18) << padLeft(medianAndMin(row.baseline, cpu, 1, 3), 18)
                << padLeft(ratio, 15) << verdict << '\n';
        }
        if (row.statements) {
            for (const bool cpu : {false, true}) {
                const std::string ratio =
                    bothOk(row.statements, row.baseline)
                        ? fixed(cpu ? row.baseline->medianCpuSeconds() / row.statements->medianCpuSeconds()
                                    : row.baseline->medianSeconds() / row.statements->medianSeconds(),
                                2)
                        : "-";
                out << padRight("  " + row.kind + " statements only" + (cpu ? ", CPU" : ", wall"), 24)
                    << padLeft(medianAndMin(row.statements, cpu, 1, 3), 18)
                    << padLeft(medianAndMin(row.baseline, cpu, 1, 3), 18) << padLeft(ratio, 15)
                    << "   the highest ratio any engine could reach\n";
            }
            printErrors(out, row.kind + " statements only", row.statements);
        }
        printErrors(out, row.kind + " export (ours)", row.ours);
        printErrors(out, row.kind + " export (baseline)", row.baseline);
        good = good && !failed(row.ours) && !failed(row.baseline) && !failed(row.statements);
    }
    for (const ExportRow& row : r.exports) {
        out << "  " << row.kind << " files byte-identical: ";
        if (!row.compared) out << "not compared (an export did not run)\n";
        else if (!row.difference) out << "yes\n";
        else {
            out << "NO\n  WARNING: the " << row.kind << " files differ at " << *row.difference << '\n';
            good = false;
        }
    }
    return good;
}

bool printReads(std::ostream& out, const Report& r) {
    bool good = true;
    out << '\n'
        << padRight("Reads on the " + grouped(r.readRows) + "-row files", 32) << padLeft("median", 12)
        << padLeft("mean", 12) << padLeft("calls", 10) << '\n';
    for (const ReadRow& row : r.reads) {
        const Measurement* m = row.measured;
        out << padRight("  " + row.operation, 32);
        if (!m || !m->ok()) {
            out << padLeft(m ? "FAILED" : "not run", 12) << '\n';
        } else {
            out << padLeft(fixed(m->medianCounter("median_us"), 1) + " us", 12)
                << padLeft(fixed(m->medianSeconds() * 1e6, 1) + " us", 12)
                << padLeft(grouped(static_cast<std::int64_t>(m->medianCounter("calls"))), 10) << '\n';
        }
        printErrors(out, row.operation, m);
        good = good && !failed(m);
    }
    return good;
}

bool printMemory(std::ostream& out, const Report& r) {
    bool good = true;
    out << "\nPeak resident memory of `lumo export person`\n";
    for (const MemoryRow& row : r.memory) {
        out << padRight("  " + grouped(row.persons) + " persons", 32);
        if (row.run && row.run->exitStatus == 0) {
            out << padLeft(fixed(static_cast<double>(row.run->peakRssKb) / 1024.0, 1) + " MB", 12) << '\n';
        } else {
            out << padLeft("FAILED", 12) << "   " << row.error << '\n';
            good = false;
        }
    }
    if (r.memory.size() == 2 && good) {
        const double ratio = static_cast<double>(r.memory[0].run->peakRssKb) /
                             static_cast<double>(r.memory[1].run->peakRssKb);
        out << padRight("  ratio " + grouped(r.memory[0].persons / 1000) + "k/" +
                            grouped(r.memory[1].persons / 1000) + "k",
                        32)
            << padLeft(fixed(ratio, 2), 12) << "   (flat within 10%: " << (ratio >= kFlatMemory ? "yes" : "no")
            << ")\n";
    }
    return good;
}

bool printCurve(std::ostream& out, const Report& r) {
    bool good = true;
    out << '\n'
        << padRight("Person export cost curve", 32) << padLeft("total", 12) << padLeft("per record", 15) << '\n';
    for (const CurveRow& row : r.curve) {
        const Measurement* m = row.measured;
        out << padRight("  " + grouped(row.persons) + " persons", 32) << padLeft(seconds(m), 12);
        if (m && m->ok())
            out << padLeft(fixed(m->medianSeconds() * 1e6 / static_cast<double>(row.persons), 1) + " us", 15);
        out << '\n';
        good = good && !failed(m);
    }
    return good;
}

bool printStatement(std::ostream& out, const Report& r) {
    const StatementRow& row = r.inList;
    out << '\n'
        << padRight("IN list of " + grouped(r.inListValues) + " values", 32) << padLeft("ours", 12)
        << padLeft("sqlite3", 12) << padLeft("ours/sqlite3", 15) << "   (target <= " << fixed(kStatementTarget, 1)
        << ")\n";
    const auto ms = [](const Measurement* m) {
        return !m ? std::string("not run") : !m->ok() ? std::string("FAILED") : fixed(m->medianSeconds() * 1e3, 1) + " ms";
    };
    out << padRight("  translate, prepare, run", 32) << padLeft(ms(row.ours), 12) << padLeft(ms(row.sqlite), 12);
    if (row.ours && row.ours->ok() && row.sqlite && row.sqlite->ok()) {
        const double ratio = row.ours->medianSeconds() / row.sqlite->medianSeconds();
        out << padLeft(fixed(ratio, 2), 15) << (ratio <= kStatementTarget ? "   met" : "   not met");
    }
    out << '\n';
    const auto us = [](const Measurement* m) {
        return !m ? std::string("not run") : !m->ok() ? std::string("FAILED") : fixed(m->medianSeconds() * 1e6, 1) + " us";
    };
    out << padRight("A search of a new shape", 32) << padLeft("ours", 12) << '\n'
        << padRight("  translate, prepare, first row", 32) << padLeft(us(r.newShape), 12) << '\n';
    printErrors(out, "IN list (ours)", row.ours);
    printErrors(out, "IN list (sqlite3)", row.sqlite);
    printErrors(out, "a search of a new shape", r.newShape);
    return !failed(row.ours) && !failed(row.sqlite) && !failed(r.newShape);
}

// Per call (or statement), in CPU time and in wall time, with the ratio of
// the CPU medians.
bool printPairs(std::ostream& out, const std::string& title, const std::vector<PairRow>& rows, double target) {
    bool good = true;
    out << '\n'
        << padRight(title, 32) << padLeft("ours CPU us", 17) << padLeft("sqlite3 CPU us", 17)
        << padLeft("sqlite3/ours", 14) << padLeft("ours wall us", 17) << padLeft("sqlite3 wall us", 17);
    if (target > 0) out << "   (target >= " << fixed(target, 2) << ")";
    out << '\n';
    for (const PairRow& row : rows) {
        std::string ratio = "-", verdict;
        if (bothOk(row.ours, row.sqlite)) {
            const double value = row.sqlite->medianCpuSeconds() / row.ours->medianCpuSeconds();
            ratio = fixed(value, 2);
            if (target > 0) verdict = value >= target ? "   met" : "   not met";
        }
        out << padRight("  " + row.what, 32) << padLeft(medianAndMin(row.ours, true, 1e6, 2), 17)
            << padLeft(medianAndMin(row.sqlite, true, 1e6, 2), 17) << padLeft(ratio, 14)
            << padLeft(medianAndMin(row.ours, false, 1e6, 2), 17) << padLeft(medianAndMin(row.sqlite, false, 1e6, 2), 17)
            << verdict << '\n';
        printErrors(out, row.what + " (ours)", row.ours);
        printErrors(out, row.what + " (sqlite3)", row.sqlite);
        good = good && !failed(row.ours) && !failed(row.sqlite);
    }
    return good;
}

}  // namespace

std::string grouped(std::int64_t value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return value < 0 ? "-" + digits : digits;
}

bool printReport(std::ostream& out, const Report& r) {
    out << "\n==== Lumo benchmark ====\n"
        << "Machine: " << r.processors << " processors (nproc), " << r.cpu << "; SQLite " << r.sqlite << '\n'
        << "Data:    " << r.data << '\n'
        << "Figures: median (minimum) of the repetitions; CPU time is the measuring thread's\n\n";
    bool good = printExports(out, r);
    good = printReads(out, r) && good;
    good = printMemory(out, r) && good;
    good = printCurve(out, r) && good;
    good = printStatement(out, r) && good;
    good = printPairs(out, "Readers, per call", r.readers, kReaderTarget) && good;
    good = printPairs(out, "Engine, per statement", r.engine, 0) && good;
    out << (good ? "\n" : "\nFAILED: see the lines marked FAILED or WARNING above\n");
    return good;
}

}  // namespace lumo::bench
