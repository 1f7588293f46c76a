#include "engine/Connection.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/Error.h"
#include "engine/ConnectionString.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;
using lumo::Error;
using lumo::test::TestDatabase;
using lumo::test::kEngineTables;

namespace {

std::string openFailure(const std::string& connectionString) {
    Connection cn;
    try {
        cn.Open(connectionString, "", "", -1);
    } catch (const Error& e) {
        EXPECT_FALSE(cn.IsOpen());
        return e.what();
    }
    return "(opened)";
}

std::string scratchFile(const std::string& name, const std::string& bytes) {
    const auto path = std::filesystem::temp_directory_path() / (name + std::to_string(::getpid()));
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

int32_t count(Connection& cn, const std::string& sql) {
    Recordset rs;
    rs.Open(sql, cn, adOpenStatic, adLockReadOnly, adCmdText);
    return rs.Fields(0).Value().toLong();
}

}  // namespace

TEST(Connection, OpensTheJetConnectionStringWithBackslashes) {
    TestDatabase db(kEngineTables);
    std::string path = db.path();
    std::replace(path.begin(), path.end(), '/', '\\');
    Connection cn;
    cn.Open(jetConnectionString(path), "", "", -1);
    EXPECT_TRUE(cn.IsOpen());
    EXPECT_EQ(cn.DataSource(), db.path());
}

TEST(Connection, EachKindOfBadTargetFailsWithItsOwnDescriptionAndCreatesNothing) {
    const auto missing = std::filesystem::temp_directory_path() / "lumo_no_such_file.mdb";
    std::filesystem::remove(missing);
    const std::string noFile = openFailure(jetConnectionString(missing.string()));
    EXPECT_NE(noFile.find("見つかりません"), std::string::npos) << noFile;
    EXPECT_FALSE(std::filesystem::exists(missing));

    TestDatabase db(kEngineTables);
    const std::string provider = openFailure("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + db.path());
    EXPECT_NE(provider.find("プロバイダ 'Microsoft.ACE.OLEDB.12.0'"), std::string::npos) << provider;

    const std::string jetPath = scratchFile("lumo_jet", std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20) + std::string(200, '\0'));
    const std::string jet = openFailure(jetConnectionString(jetPath));
    EXPECT_NE(jet.find("Access"), std::string::npos) << jet;

    const std::string textPath = scratchFile("lumo_text", "just some text\n");
    const std::string text = openFailure(jetConnectionString(textPath));
    EXPECT_NE(text.find("Lumo のデータベース ファイルではありません"), std::string::npos) << text;

    // A SQLite file that is not one of ours.
    const auto foreign = std::filesystem::temp_directory_path() / ("lumo_foreign" + std::to_string(::getpid()));
    std::filesystem::remove(foreign);
    sqlite3* raw = nullptr;
    sqlite3_open(foreign.c_str(), &raw);
    sqlite3_exec(raw, "CREATE TABLE X (A)", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    const std::string other = openFailure(jetConnectionString(foreign.string()));
    EXPECT_NE(other.find("Lumo のデータベース ファイルではありません"), std::string::npos) << other;

    const std::vector<std::string> all{noFile, provider, jet, text};
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j) EXPECT_NE(all[i], all[j]);
    std::filesystem::remove(jetPath);
    std::filesystem::remove(textPath);
    std::filesystem::remove(foreign);
}

TEST(Connection, ExecuteRunsJetStatementsAndCountsRows) {
    TestDatabase db(kEngineTables);
    Connection cn;
    cn.Open(db.connectionString());
    EXPECT_EQ(cn.Execute("UPDATE T_PERSON SET T_PERSON.TYPE_ID = 1 WHERE T_PERSON.TYPE_ID = 2", -1), 2);
    EXPECT_EQ(count(cn, "SELECT COUNT(*) FROM T_PERSON WHERE TYPE_ID = 1"), 3);
    EXPECT_EQ(cn.Execute("DELETE FROM T_GROUPING WHERE TYPE_ID = 2", adExecuteNoRecords), 1);
    EXPECT_EQ(count(cn, "SELECT TYPE_ID FROM T_GROUPING WHERE DEFAULT <> 0"), 1);
    EXPECT_THROW(cn.Execute("DELETE FROM NO_SUCH_TABLE"), Error);
}

TEST(Connection, StatementsBeforeOpenFail) {
    Connection cn;
    EXPECT_THROW(cn.Execute("DELETE FROM T_PERSON"), Error);
    Recordset rs;
    EXPECT_THROW(rs.Open("SELECT * FROM T_PERSON", cn, adOpenStatic, adLockReadOnly, adCmdText), Error);
}

TEST(Connection, RollbackUndoesExecuteAndRecordsetChanges) {
    TestDatabase db(kEngineTables);
    Connection cn;
    cn.Open(db.connectionString());
    cn.BeginTrans();
    EXPECT_THROW(cn.BeginTrans(), Error);  // one level only
    cn.Execute("DELETE FROM T_PHONE WHERE PERSON_ID = 1");
    {
        Recordset rs;
        rs.Open("T_PERSON", cn, adOpenKeyset, adLockOptimistic, adCmdTable);
        rs.AddNew();
        rs.Fields("LASTNAME") = "新規";
        rs.Update();
        rs.MoveFirst();
        rs.Fields("LASTNAME") = "変更";
        rs.Update();
        rs.MoveLast();
        rs.MoveFirst();
        rs.MoveNext();
        rs.Delete(adAffectCurrent);
    }
    cn.RollbackTrans();
    EXPECT_EQ(count(cn, "SELECT COUNT(*) FROM T_PHONE"), 3);
    EXPECT_EQ(count(cn, "SELECT COUNT(*) FROM T_PERSON"), 3);
    Recordset rs;
    rs.Open("SELECT LASTNAME FROM T_PERSON WHERE PERSON_ID = 1", cn, adOpenStatic, adLockReadOnly, adCmdText);
    EXPECT_EQ(rs.Fields("LASTNAME").Value().toString(), "山田");
    EXPECT_THROW(cn.CommitTrans(), Error);

    cn.BeginTrans();
    cn.Execute("DELETE FROM T_PHONE");
    cn.CommitTrans();
    EXPECT_EQ(count(cn, "SELECT COUNT(*) FROM T_PHONE"), 0);
}
