// The scrap search statement: its text, and what it finds when the engine
// runs it on a scrap book filled through the library.
#include <algorithm>
#include <set>

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

constexpr std::string_view kSelect =
    "SELECT T_SCRAP.ID, T_SCRAP.REG_DATE, T_SCRAP.TITLE, T_SCRAP.KEYWORD, T_SCRAP.SOURCE, T_GROUPING.LABEL, "
    "T_SCRAP.BODY_PATH FROM T_GROUPING INNER JOIN T_SCRAP ON T_GROUPING.LABEL_ID = T_SCRAP.LABEL_ID WHERE ";

class ScrapSearch : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scrap); }

    RecordingSink sink;
    Ref<clsScrapAccess> scrap = createObject<clsScrapAccess>();
};

TEST_F(ScrapSearch, TheTextForTwoWordsIsExact) {
    EXPECT_EQ(scrap->CreateSimpleViewQuery("abc", "xyz"),
              "SELECT T_SCRAP.ID, T_SCRAP.REG_DATE, T_SCRAP.TITLE, T_SCRAP.KEYWORD, T_SCRAP.SOURCE, "
              "T_GROUPING.LABEL, T_SCRAP.BODY_PATH FROM T_GROUPING INNER JOIN T_SCRAP ON T_GROUPING.LABEL_ID = "
              "T_SCRAP.LABEL_ID WHERE (T_SCRAP.KEYWORD LIKE '%abc%') AND (T_SCRAP.SOURCE LIKE '%xyz%' OR "
              "T_GROUPING.LABEL LIKE '%xyz%' OR T_SCRAP.TITLE LIKE '%xyz%')");
}

// The builder needs no connection and reports nothing, whatever the words.
TEST_F(ScrapSearch, WhereClauses) {
    struct Case {
        std::string keyword, other, where;  // where empty: no statement at all
    };
    const std::vector<Case> cases = {
        {"", "", ""},
        {"桜", "", "(T_SCRAP.KEYWORD LIKE '%桜%')"},
        {"", "新聞",
         "(T_SCRAP.SOURCE LIKE '%新聞%' OR T_GROUPING.LABEL LIKE '%新聞%' OR T_SCRAP.TITLE LIKE '%新聞%')"},
        {" ", "", "(T_SCRAP.KEYWORD LIKE '% %')"},
        {"", "  ", "(T_SCRAP.SOURCE LIKE '%  %' OR T_GROUPING.LABEL LIKE '%  %' OR T_SCRAP.TITLE LIKE '%  %')"},
        {"a_c", "10%", "(T_SCRAP.KEYWORD LIKE '%a_c%') AND (T_SCRAP.SOURCE LIKE '%10%%' OR "
                       "T_GROUPING.LABEL LIKE '%10%%' OR T_SCRAP.TITLE LIKE '%10%%')"},
        // A quote is doubled and stays inside the literal.
        {"O'Reilly", "", "(T_SCRAP.KEYWORD LIKE '%O''Reilly%')"},
        {"", "x') OR ('1'='1",
         "(T_SCRAP.SOURCE LIKE '%x'') OR (''1''=''1%' OR T_GROUPING.LABEL LIKE '%x'') OR (''1''=''1%' OR "
         "T_SCRAP.TITLE LIKE '%x'') OR (''1''=''1%')"},
    };
    for (const Case& c : cases) {
        const std::string expected = c.where.empty() ? "" : std::string(kSelect) + c.where;
        String reserved = "r";
        EXPECT_EQ(scrap->CreateSimpleViewQuery(c.keyword, c.other, &reserved), expected);
        EXPECT_EQ(reserved, "r");
        EXPECT_EQ(scrap->GetFindView(c.keyword, c.other), expected);
    }
    EXPECT_EQ(scrap->CreateAdvancedViewQuery(), "");
    EXPECT_TRUE(sink.messages().empty());
}

// A scrap book filled through the library, searched by opening the
// returned text on a connection of the test's own, as a client does.
class ScrapSearchRun : public ScrapSearch {
protected:
    void SetUp() override {
        ASSERT_FALSE(scrap->Initialize(db.connectionString()));
        const Long paper = scrap->GetGroupIDEx("新聞");
        const Long magazine = scrap->GetGroupIDEx("Magazine");
        const Long other = scrap->GetGroupID();
        add(paper, "東京の桜", "朝日新聞", "桜, 春", "/p/sakura.txt");
        add(magazine, "O'Reilly の新刊", "技術評論", "本", "");
        add(other, "abc", "x_y", "abc", "");
        add(other, "AXC", "", "axc", "");
        add(other, "ac", "", "ac", "");
        add(magazine, "100% 果汁", "週刊 食べ物", "飲み物", "");
        add(paper, "", "", "", "");
        add(999, "桜の名所 (迷子)", "朝日新聞", "桜", "");  // its group does not exist
        add(0, "桜 (無所属)", "", "桜", "");
        db.exec("INSERT INTO T_SCRAP (LABEL_ID, TITLE, KEYWORD) VALUES (NULL, '桜 (Null)', '桜')");
        ASSERT_TRUE(sink.messages().empty());
        cnn.Open(db.connectionString());
    }

    void add(Long label, std::string title, std::string source, std::string keyword, std::string bodyPath) {
        ScrapInformation s;
        s.lngLabelID = label;
        s.dyRegDate = 45000 + static_cast<double>(titles.size());
        s.strTitle = std::move(title);
        s.strSource = std::move(source);
        s.strKeyword = std::move(keyword);
        s.strBodyPath = std::move(bodyPath);
        ASSERT_FALSE(scrap->SetScrapInformation(s));
        titles.push_back(s.strTitle);
    }

    // The titles the statement lists.
    std::set<std::string> found(const std::string& sql) {
        db::Recordset rs;
        rs.Open(sql, cnn, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
        std::set<std::string> out;
        for (; !rs.Eof(); rs.MoveNext()) {
            const db::Variant& title = rs.Fields("TITLE").Value();
            out.insert(title.isNull() ? "(Null)" : title.toString());
        }
        return out;
    }

    ScratchDatabase db{schema::scrapDdl()};
    db::Connection cnn;
    std::vector<std::string> titles;
};

TEST_F(ScrapSearchRun, FindsWhatTheWordsDescribe) {
    struct Case {
        std::string keyword, other;
        std::set<std::string> titles;
    };
    const std::vector<Case> cases = {
        {"桜", "", {"東京の桜"}},  // scraps without an existing group are not listed
        {"春", "", {"東京の桜"}},
        {"", "新聞", {"東京の桜", "(Null)"}},  // source, or the group's caption
        {"", "magazine", {"O'Reilly の新刊", "100% 果汁"}},  // ASCII case is ignored
        {"", "O'Reilly", {"O'Reilly の新刊"}},
        {"", "'", {"O'Reilly の新刊"}},
        {"a_c", "", {"abc", "AXC"}},  // _ stands for exactly one character
        {"", "x_y", {"abc"}},
        {"", "100%", {"100% 果汁"}},
        {"", " ", {"O'Reilly の新刊", "100% 果汁"}},
        {"桜", "朝日", {"東京の桜"}},
        {"桜", "Magazine", {}},
        {"本", "技術", {"O'Reilly の新刊"}},
        {"存在しない", "", {}},
    };
    for (const Case& c : cases) {
        const std::string sql = scrap->CreateSimpleViewQuery(c.keyword, c.other);
        EXPECT_EQ(found(sql), c.titles) << c.keyword << " / " << c.other;
        EXPECT_EQ(found(scrap->GetFindView(c.keyword, c.other)), c.titles);
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(ScrapSearchRun, ListsTheSevenColumnsOfEachScrap) {
    db::Recordset rs;
    rs.Open(scrap->CreateSimpleViewQuery("春", ""), cnn, db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
    ASSERT_EQ(rs.FieldCount(), 7);
    const std::vector<std::string> names = {"ID", "REG_DATE", "TITLE", "KEYWORD", "SOURCE", "LABEL", "BODY_PATH"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(rs.Fields(i).Name(), names[static_cast<std::size_t>(i)]);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("ID").Value().toLong(), 1);
    EXPECT_EQ(rs.Fields("REG_DATE").Value().toDate(), 45000);
    EXPECT_EQ(rs.Fields("KEYWORD").Value().toString(), "桜, 春");
    EXPECT_EQ(rs.Fields("SOURCE").Value().toString(), "朝日新聞");
    EXPECT_EQ(rs.Fields("LABEL").Value().toString(), "新聞");
    EXPECT_EQ(rs.Fields("BODY_PATH").Value().toString(), "/p/sakura.txt");
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
}

}  // namespace
}  // namespace lumo::test
