#include "tools/sql/SqlCommand.h"

#include <string>

#include "platform/CsvField.h"
#include "platform/db/Connection.h"
#include "platform/db/JetSql.h"
#include "platform/db/Recordset.h"
#include "tools/sql/CsvValue.h"
#include "platform/db/ConnectionString.h"

namespace lumo::tools {
namespace {

using namespace lumo::db;

constexpr std::string_view kUsage =
    "  lumo sql DBFILE STATEMENT\n"
    "      Jet 形式の SQL 文を一つ実行します。SELECT の結果は見出し行付きの\n"
    "      CSV (UTF-8) で標準出力へ、それ以外は変更した行数を標準エラーへ。\n"
    "      Runs one Jet-dialect statement on DBFILE. SELECT rows go to standard\n"
    "      output as UTF-8 CSV with a header row; other statements report the\n"
    "      number of affected rows on standard error.\n";

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

int runSql(Arguments args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && isHelpOption(args[0])) {
        out << "使い方 / Usage:\n" << kUsage;
        return kExitOk;
    }
    if (args.size() != 2)
        throw UsageError("データベースファイルと SQL 文を一つずつ指定してください (expects DBFILE and STATEMENT)");
    runStatement(args[0], args[1], out, err);
    return kExitOk;
}

}  // namespace

const Command kSqlCommand{"sql", kUsage, runSql};

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
