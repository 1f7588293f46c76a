#include "addressbook/BookFolder.h"

#include <array>
#include <fstream>
#include <string_view>

#include "engine/ConnectionString.h"
#include "tools/init/InitCommand.h"

namespace lumo::book {

std::string BookFolder::connectionString() const { return db::jetConnectionString(personDatabase().string()); }

DatabaseState databaseState(const BookFolder& book) {
    std::error_code ec;
    if (!std::filesystem::exists(book.personDatabase(), ec)) return DatabaseState::Missing;
    // A Jet 4 file starts with its version stamp and "Standard Jet DB".
    std::array<char, 19> head{};
    std::ifstream in(book.personDatabase(), std::ios::binary);
    in.read(head.data(), head.size());
    constexpr std::string_view kJetStamp = "Standard Jet DB";
    if (in.gcount() == static_cast<std::streamsize>(head.size()) &&
        std::string_view(head.data() + 4, kJetStamp.size()) == kJetStamp)
        return DatabaseState::Jet;
    return DatabaseState::Present;
}

void createEmptyDatabases(const BookFolder& book) {
    tools::InitOptions options;
    options.folder = book.folder;
    tools::createDatabases(options);
}

std::string missingDatabaseQuestion(const BookFolder& book) {
    return "フォルダ '" + book.folder.string() + "' に住所録のデータベース (Data/LumoBase.mdb) がありません。\r\n" +
           "空のデータベースを作成しますか？";
}

std::string jetDatabaseReport(const BookFolder& book) {
    return "'" + book.personDatabase().string() + "' は変換前の Jet データベースです。\r\n" +
           "lumo import で Lumo のデータベースに変換してから開いてください (lumo import SOURCE DEST)。";
}

}  // namespace lumo::book
