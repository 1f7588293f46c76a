#include "tools/sql/SqlCommand.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/CsvField.h"
#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/JetSql.h"
#include "engine/Recordset.h"
#include "tools/lumo/Arguments.h"
#include "tools/sql/CsvValue.h"
#include "engine/ConnectionString.h"

namespace lumo::tools {
namespace {

using namespace lumo::db;

constexpr std::string_view kUsage =
    "  lumo sql DBFILE STATEMENT\n"
    "  lumo sql DBFILE -f FILE\n"
    "      Jet 形式の SQL 文を一つ実行します。SELECT の結果は見出し行付きの\n"
    "      CSV (UTF-8) で標準出力へ、それ以外は変更した行数を標準エラーへ。\n"
    "      -f FILE: SQL 文をファイルから読みます (- は標準入力)。\n"
    "      Runs one Jet-dialect statement on DBFILE. SELECT rows go to standard\n"
    "      output as UTF-8 CSV with a header row; other statements report the\n"
    "      number of affected rows on standard error. -f reads the statement\n"
    "      from FILE, or from standard input when FILE is -.\n"
    "      SQL の書き方 / the dialect: docs/sql.md (パッケージ / package: /usr/share/doc/lumo/sql.md)\n";

constexpr std::string_view kExamples =
    "  lumo sql Data/LumoBase.mdb \"SELECT LASTNAME & FIRSTNAME AS NAME FROM T_PERSON WHERE LASTNAME LIKE '髙%'\"\n"
    "  lumo sql Data/iLumoBase.mdb -f query.sql\n"
    "  echo \"SELECT COUNT(*) FROM T_PERSON\" | lumo sql Data/LumoBase.mdb -f -\n";

void writeRows(Recordset& rs, std::ostream& out) {
    std::string line;
    const int fieldCount = rs.FieldCount();
    for (int i = 0; i < fieldCount; ++i) {
        if (i > 0) line += ',';
        appendCsvField(line, rs.Fields(i).Name());
    }
    out << line << '\n';
    for (; !rs.Eof(); rs.MoveNext()) {
        line.clear();
        for (int i = 0; i < fieldCount; ++i) {
            if (i > 0) line += ',';
            appendCsvField(line, csvValueText(rs.Fields(i).Value()));
        }
        out << line << '\n';
    }
}

// The statement text of FILE or, for "-", of standard input. A byte order
// mark that an editor put in front is not part of the statement.
std::string readStatement(std::string_view file) {
    std::string text;
    if (file == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        if (std::cin.bad()) throw Error("標準入力を読めません (cannot read standard input)");
    } else {
        std::ifstream in{std::string(file), std::ios::binary};
        if (in) text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in || in.bad())
            throw Error("ファイル '" + std::string(file) + "' を読めません (cannot read): " + std::strerror(errno));
    }
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    return text;
}

int runSql(Arguments args, std::ostream& out, std::ostream& err) {
    std::optional<std::string_view> statementFile;
    std::vector<std::string_view> operands;
    // Other words that start with '-' are operands: a statement may begin
    // with a comment ("-- ...").
    constexpr std::string_view kOneFile = "-f にはファイル名を一つ指定してください (-f expects one FILE, or - for standard input)";
    ArgumentReader in(args);
    while (in.next()) {
        const auto file = in.value("-f", kOneFile);
        if (!file) {
            operands.push_back(in.word());
        } else if (statementFile) {
            throw UsageError(std::string(kOneFile));
        } else {
            statementFile = *file;
        }
    }
    if (statementFile && operands.size() != 1)
        throw UsageError("-f を使うときはデータベースファイルだけを指定してください (with -f, expects DBFILE only)");
    if (!statementFile && operands.size() != 2)
        throw UsageError("データベースファイルと SQL 文を一つずつ指定してください (expects DBFILE and STATEMENT)");
    runStatement(operands[0], statementFile ? readStatement(*statementFile) : std::string(operands[1]), out, err);
    return kExitOk;
}

}  // namespace

const Command kSqlCommand{"sql", kUsage, kExamples, runSql};

void runStatement(std::string_view databaseFile, std::string_view statement, std::ostream& out,
                  std::ostream& err) {
    Connection connection;
    connection.Open(jetConnectionString(databaseFile));
    if (translateJet(statement).isSelect) {
        Recordset rs;
        rs.Open(statement, connection, adOpenStatic, adLockReadOnly, adCmdText);
        writeRows(rs, out);
        rs.Close();
    } else {
        const int32_t changed = connection.Execute(statement);
        err << changed << " 行を処理しました (" << changed << " rows affected)\n";
    }
    connection.Close();
}

}  // namespace lumo::tools
