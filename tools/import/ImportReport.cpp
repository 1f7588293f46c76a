#include "tools/import/ImportReport.h"

#include <cstdio>
#include <ostream>

namespace lumo::tools {
namespace {

std::string row(const std::string& file, const std::string& table, const std::string& read, const std::string& written,
                const std::string& orphans) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-14s %-14s %10s %10s %10s\n", file.c_str(), table.c_str(), read.c_str(),
                  written.c_str(), orphans.c_str());
    return line;
}

}  // namespace

ImportProgress progressOn(std::ostream& err, bool terminal, const std::string& fileName) {
    if (!terminal) return [](const std::string&, std::size_t, std::size_t) {};
    return [&err, fileName](const std::string& table, std::size_t done, std::size_t total) {
        err << "\r取り込み中 (importing) " << fileName << ' ' << table << ": " << done << " / " << total << "\x1b[K";
        if (done == total) err << '\n';
        err.flush();
    };
}

void printSummary(std::ostream& out, const std::vector<FileResult>& files) {
    out << "ファイル / 表ごとの行数: 読み込み, 書き込み, 孤立した行 (rows read, written, orphan rows)\n";
    out << row("file", "table", "read", "written", "orphans");
    for (const FileResult& file : files)
        for (const TableResult& table : file.tables)
            out << row(file.fileName, table.table, std::to_string(table.read),
                       table.skipped ? "-" : std::to_string(table.written), table.skipped ? "-" : std::to_string(table.orphans));
    for (const FileResult& file : files)
        for (const TableResult& table : file.tables)
            if (table.orphans > 0)
                out << "孤立した行 (orphan rows): " << file.fileName << ' ' << table.table << ' ' << table.orphans
                    << " 行。持ち主のない行をそのまま残しました (kept as they are)\n";
    for (const FileResult& file : files)
        for (const std::string& name : file.skipped)
            out << "取り込まなかった表・列 (skipped): " << file.fileName << ' ' << name << '\n';
    for (const FileResult& file : files)
        for (const std::string& line : file.libraryLines)
            out << "libmdb の報告 (libmdb said): " << file.fileName << ": " << line << '\n';
}

bool everythingWritten(const std::vector<FileResult>& files) {
    for (const FileResult& file : files) {
        if (!file.skipped.empty()) return false;
        for (const TableResult& table : file.tables)
            if (table.skipped || table.written != table.read) return false;
    }
    return true;
}

}  // namespace lumo::tools
