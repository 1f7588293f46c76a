#include "tools/postal/PostalCommand.h"

#include <sys/stat.h>

#include <ctime>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "tools/lumo/Arguments.h"
#include "tools/postal/KenAll.h"

namespace lumo::tools {
namespace {

constexpr std::string_view kUsage =
    "  lumo postal import [--date YYYY-MM-DD] [--] DIR FILE\n"
    "      日本郵便の郵便番号データ (utf_ken_all.csv) を DIR/Data/LumoPostal.sqlite\n"
    "      に読み込みます。データの日付はファイルの更新日か --date の日付です。\n"
    "      Loads Japan Post's postal code file into DIR/Data/LumoPostal.sqlite,\n"
    "      dated by the file's modification time or --date.\n";

constexpr std::string_view kExamples = "  lumo postal import . utf_ken_all.csv\n"
                                       "  lumo postal import --date 2026-11-30 ~/住所録 utf_ken_all.csv\n";

bool isDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') return false;
    const int month = std::stoi(std::string(text.substr(5, 2)));
    const int day = std::stoi(std::string(text.substr(8, 2)));
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

std::string modificationDate(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) throw Error("ファイルを開けません: " + file);
    std::tm local{};
    localtime_r(&st.st_mtime, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

int runPostal(Arguments args, std::ostream& out, std::ostream&) {
    ArgumentReader in(args);
    std::string date;
    std::vector<std::string> operands;
    while (in.next()) {
        if (const auto value = in.value("--date", "--date には日付が要ります (--date needs YYYY-MM-DD)")) {
            if (!isDate(*value)) throw UsageError("日付は YYYY-MM-DD で指定してください (--date expects YYYY-MM-DD): " + std::string(*value));
            date = *value;
        } else if (in.isOption()) {
            in.refuseOption();
        } else {
            operands.emplace_back(in.word());
        }
    }
    if (operands.empty() || operands[0] != "import")
        throw UsageError("import を指定してください (expects import)");
    if (operands.size() != 3)
        throw UsageError("フォルダーと郵便番号データのファイルを一つずつ指定してください (expects DIR and FILE)");
    const std::filesystem::path data = std::filesystem::path(operands[1]) / "Data";
    std::error_code ec;
    if (!std::filesystem::is_directory(data, ec))
        throw Error("データベースのフォルダーがありません: " + data.string() + " (lumo init で作れます)");
    std::ifstream file(operands[2], std::ios::binary);
    if (!file) throw Error("郵便番号データを開けません: " + operands[2]);
    if (date.empty()) date = modificationDate(operands[2]);
    const std::vector<postal::KenAllRow> rows = postal::readKenAll(file);
    if (file.bad()) throw Error("郵便番号データを読めません: " + operands[2]);
    if (rows.empty()) throw Error("郵便番号データに行がありません: " + operands[2]);
    const std::filesystem::path target = data / "LumoPostal.sqlite";
    postal::writePostalFile(target, rows, date);
    out << "郵便番号 " << rows.size() << " 件を " << target.string() << " に読み込みました (" << date << ")\n";
    return kExitOk;
}

}  // namespace

const Command kPostalCommand{"postal", kUsage, kExamples, runPostal};

}  // namespace lumo::tools
