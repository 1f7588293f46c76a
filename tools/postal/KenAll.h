#pragma once
// Japan Post's postal code file (utf_ken_all.csv, UTF-8): one row per code
// and town, columns 全国地方公共団体コード, 旧郵便番号, 郵便番号, three kana
// names, 都道府県名, 市区町村名, 町域名, then flags.
//
// Its known quirks, and what we make of them:
// - 町域名 "以下に掲載がない場合" (and "…の次に番地がくる場合") stands for
//   the city without a town part: the address is the city alone.
// - A town name too long for one row goes on over the next rows of the
//   same code, inside parentheses ("協和（８８−２、…" … "…番地）"). We keep
//   the part before "（" of every town name, and drop the rows that only
//   continue a parenthesis, so that each address is one line a card can
//   hold; a row that repeats the address before it is dropped too.
// Free functions; any thread.
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/postal/PostalTable.h"

namespace lumo::postal {

struct KenAllRow {
    std::string code;
    std::string prefecture;
    std::string city;
    std::string town;
};

// Reads every row. Throws lumo::Error naming the line of a row that is not
// one of the file's (too few columns, a code that is not seven digits).
std::vector<KenAllRow> readKenAll(std::istream& in);

// Writes the program's file whole or not at all (a staged file moved over
// any older one). `date` is "YYYY-MM-DD". Throws lumo::Error.
void writePostalFile(const std::filesystem::path& file, const std::vector<KenAllRow>& rows, std::string_view date);

}  // namespace lumo::postal
