#include "tools/postal/KenAll.h"

#include <algorithm>
#include <utility>

#include "platform/Error.h"
#include "platform/StagedFile.h"
#include "tools/init/Sqlite.h"

namespace lumo::postal {
namespace {

// The file quotes every text and holds no quote inside one.
std::vector<std::string> splitCsv(std::string_view line) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') quoted = !quoted;
        else if (c == ',' && !quoted) fields.push_back(std::exchange(field, {}));
        else field += c;
    }
    fields.push_back(std::move(field));
    return fields;
}

bool standsForNoTown(std::string_view town) {
    return town == "以下に掲載がない場合" || town.ends_with("の次に番地がくる場合");
}

}  // namespace

std::vector<KenAllRow> readKenAll(std::istream& in) {
    std::vector<KenAllRow> rows;
    bool insideParenthesis = false;  // the rows before opened "（" and did not close it
    std::size_t lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        if (line.empty()) continue;
        const std::vector<std::string> f = splitCsv(line);
        if (f.size() < 9 || f[2].size() != 7 || !std::ranges::all_of(f[2], [](char c) { return c >= '0' && c <= '9'; }))
            throw Error(std::to_string(lineNumber) + " 行目は郵便番号データの行ではありません: " + line.substr(0, 80));
        const std::string& town = f[8];
        const bool opens = town.find("（") != std::string::npos;
        const bool closes = town.find("）") != std::string::npos;
        if (insideParenthesis) {
            insideParenthesis = !closes;
            if (!opens) continue;  // only the rest of the previous row's parenthesis
        }
        if (opens && !closes) insideParenthesis = true;
        KenAllRow row{f[2], f[6], f[7], town.substr(0, town.find("（"))};
        if (standsForNoTown(row.town)) row.town.clear();
        if (!rows.empty() && rows.back().code == row.code && rows.back().prefecture == row.prefecture &&
            rows.back().city == row.city && rows.back().town == row.town)
            continue;
        rows.push_back(std::move(row));
    }
    return rows;
}

void writePostalFile(const std::filesystem::path& file, const std::vector<KenAllRow>& rows, std::string_view date) {
    StagedFile staged(file);
    {
        tools::Database db(staged.path());
        db.exec("PRAGMA journal_mode = OFF");
        db.exec("BEGIN");
        db.exec("CREATE TABLE postal_info (key TEXT PRIMARY KEY, value TEXT NOT NULL)");
        db.exec("CREATE TABLE postal_codes (seq INTEGER PRIMARY KEY, code TEXT NOT NULL, prefecture TEXT NOT NULL, "
                "city TEXT NOT NULL, town TEXT NOT NULL)");
        db.exec("CREATE INDEX postal_codes_code ON postal_codes (code)");
        auto info = db.prepare("INSERT INTO postal_info (key, value) VALUES (?, ?)");
        for (const auto& [key, value] : {std::pair<std::string_view, std::string_view>{"source", "japanpost"}, {"date", date}}) {
            info.bind(1, key);
            info.bind(2, value);
            info.step();
            info.reset();
        }
        auto insert = db.prepare("INSERT INTO postal_codes (code, prefecture, city, town) VALUES (?, ?, ?, ?)");
        for (const KenAllRow& row : rows) {
            insert.bind(1, std::string_view(row.code));
            insert.bind(2, std::string_view(row.prefecture));
            insert.bind(3, std::string_view(row.city));
            insert.bind(4, std::string_view(row.town));
            insert.step();
            insert.reset();
        }
        db.exec("COMMIT");
    }
    staged.publish(StagedFile::Replace::Yes);
}

}  // namespace lumo::postal
