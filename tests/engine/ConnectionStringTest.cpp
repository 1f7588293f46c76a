// Connection strings: the OLE DB value rules, and the one builder every
// caller uses, checked against the parser and against files on disk.
#include "engine/ConnectionString.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"

using namespace lumo::db;

namespace {

TEST(ConnectionString, ValuesFollowTheOleDbQuotingRules) {
    struct Case {
        const char* text;
        const char* provider;
        const char* dataSource;
    };
    const std::vector<Case> cases{
        {"Provider=P;Data Source=C:\\x\\a.mdb", "P", "C:\\x\\a.mdb"},
        {"  provider = P ; DATA SOURCE =  /a b/c.mdb  ;", "P", "/a b/c.mdb"},
        {"Provider=P;Data Source=\"/d/a;b/c.mdb\"", "P", "/d/a;b/c.mdb"},
        {"Provider=P;Data Source='/d/a;b/c.mdb'", "P", "/d/a;b/c.mdb"},
        {"Provider=P;Data Source=\"/d/say \"\"hi\"\".mdb\"", "P", "/d/say \"hi\".mdb"},
        {"Provider=P;Data Source='/d/it''s.mdb'", "P", "/d/it's.mdb"},
        {"Provider=P;Data Source=\"/d/it's.mdb\"", "P", "/d/it's.mdb"},
        {"Provider=P;Data Source=\" lead and trail \" ;", "P", " lead and trail "},
        {"Data Source=/x;;Provider=P;Persist Security Info=False", "P", "/x"},
        {"Provider=P;Data Source=", "P", ""},
    };
    for (const Case& c : cases) {
        const ConnectionStringParts parts = parseConnectionString(c.text);
        EXPECT_EQ(parts.provider, c.provider) << c.text;
        EXPECT_EQ(parts.dataSource, c.dataSource) << c.text;
    }
}

TEST(ConnectionString, MalformedSegmentsFailInsteadOfBeingIgnored) {
    for (const char* text : {"Provider=P;Data Source=/d/a;b/c.mdb", "Provider=P;garbage", "Provider=P;=x",
                             "Provider=P;Data Source=\"/d/open", "Provider=P;Data Source='/d/x' tail"}) {
        try {
            parseConnectionString(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const lumo::Error& e) {
            EXPECT_NE(std::string(e.what()).find("接続文字列が正しくありません"), std::string::npos) << e.what();
        }
    }
}

TEST(ConnectionString, TheBuilderQuotesOnlyWhatNeedsQuotesAndRoundTrips) {
    // Paths without special characters give the text callers always built.
    for (const char* plain : {"/home/u/Data/LumoBase.mdb", "C:\\lumo\\Data\\LumoBase.mdb", "/tmp/名前 付き/a.mdb", ""})
        EXPECT_EQ(jetConnectionString(plain), std::string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + plain);
    for (const char* odd : {"/d/a;b/c.mdb", "/d/say \"hi\".mdb", "/d/it's.mdb", "/d/both'\"quotes\".mdb", " lead.mdb",
                            "trail.mdb ", "/d/'x'.mdb", "/d/\"x\".mdb", ";", "\"", "'"}) {
        const std::string text = jetConnectionString(odd);
        EXPECT_NE(text, std::string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + odd) << odd;
        const ConnectionStringParts parts = parseConnectionString(text);
        EXPECT_EQ(parts.dataSource, odd) << text;
        EXPECT_EQ(parts.provider, kJetProvider) << text;
    }
}

TEST(ConnectionString, OpenReachesTheFileWhosePathHoldsSeparatorsAndQuotes) {
    const auto root = std::filesystem::temp_directory_path() / ("lumo_cs_" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    lumo::test::TestDatabase source(lumo::test::kEngineTables);
    for (const char* folder : {"a;b", "semi;colon", "it's", "say \"hi\"", " lead"}) {
        const auto dir = root / folder;
        std::filesystem::create_directories(dir);
        const auto file = dir / "LumoBase.mdb";
        std::filesystem::copy_file(source.path(), file);
        Connection cn;
        cn.Open(jetConnectionString(file.string()));
        EXPECT_EQ(cn.DataSource(), file.string());
        EXPECT_EQ(cn.Execute("DELETE FROM T_PHONE"), 3) << folder;
    }
    // "a" exists beside "a;b": the statement must not reach it.
    std::filesystem::copy_file(source.path(), root / "a");
    Connection cn;
    cn.Open(jetConnectionString((root / "a;b" / "LumoBase.mdb").string()));
    EXPECT_EQ(cn.Execute("DELETE FROM T_PHONE"), 0);
    cn.Close();
    cn.Open(jetConnectionString((root / "a").string()));
    Recordset rs;
    rs.Open("SELECT COUNT(*) FROM T_PHONE", cn, adOpenStatic, adLockReadOnly, adCmdText);
    EXPECT_EQ(rs.Fields(0).Value().toLong(), 3);
    rs.Close();
    cn.Close();
    std::filesystem::remove_all(root);
}

}  // namespace
