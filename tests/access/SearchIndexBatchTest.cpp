// The search indexes of the person file during a batch: the triggers put
// the index updates off while the batch's marker row is there, and its
// deletion hands them to the index. Whatever a batch writes, the index it
// leaves holds what a fresh rebuild holds; a cancelled batch leaves it as
// it was; searches during the batch find the batch's rows; and a file made
// before the deferral (old triggers, no marker table) batches as it did.
#include <set>
#include <string>
#include <vector>

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "platform/FaultInjection.h"
#include "tests/access/BatchEntries.h"
#include "tests/access/PersonWriteSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;
using Ids = std::vector<std::string>;

// The two indexes of the person file, for the routines below.
struct Index {
    const char* table;
    const char* key;
    const char* columns;  // the indexed columns, as in the triggers
    const char* words;    // the FTS5 table
};
const Index kIndexes[] = {
    {"T_PERSON", "PERSON_ID", "PERSON_ID, LASTNAME, FIRSTNAME, LASTALIAS, FIRSTALIAS, ALIAS, COMPANY, MATEALIAS, MATE",
     "lumo_search_person"},
    {"T_PHONE", "PHONE_ID", "PHONE_ID, TEL_NUMBER", "lumo_search_phone"},
};

// Turns a new file into one made before the deferral: the index triggers
// as they were, no marker or pending tables.
std::string toOldForm() {
    std::string sql = "DROP TRIGGER lumo_search_deferred_end; DROP TABLE lumo_search_deferred;";
    for (const Index& i : kIndexes) {
        const std::string w = i.words, k = i.key, text = w + "_text", unindexed = w + "_unindexed";
        for (const char* suffix : {"_insert", "_insert_deferred", "_delete", "_forget", "_learn", "_learn_deferred"})
            sql += "DROP TRIGGER " + w + suffix + ";";
        sql += "DROP TABLE " + w + "_pending;";
        const std::string learn = "INSERT INTO " + w + " (rowid, WORDS) SELECT " + k + ", WORDS FROM " + text +
                                  " WHERE " + k + " = NEW." + k + "; INSERT OR IGNORE INTO " + unindexed + " (" + k +
                                  ") SELECT " + k + " FROM " + text + " WHERE " + k + " = NEW." + k + " AND UNCLEAN;";
        const std::string forget = "INSERT INTO " + w + " (" + w + ", rowid, WORDS) SELECT 'delete', " + k +
                                   ", WORDS FROM " + text + " WHERE " + k + " = OLD." + k + "; DELETE FROM " +
                                   unindexed + " WHERE " + k + " = OLD." + k + ";";
        const std::string on = std::string(" ON ") + i.table + " BEGIN ";
        sql += "CREATE TRIGGER " + w + "_insert AFTER INSERT" + on + learn + " END;";
        sql += "CREATE TRIGGER " + w + "_delete BEFORE DELETE" + on + forget + " END;";
        sql += "CREATE TRIGGER " + w + "_forget BEFORE UPDATE OF " + i.columns + on + forget + " END;";
        sql += "CREATE TRIGGER " + w + "_learn AFTER UPDATE OF " + i.columns + on + learn + " END;";
    }
    return sql;
}

class SearchIndexBatch : public PersonFixture {
protected:
    // Each commit waits for the disk: the file is kept in memory.
    SearchIndexBatch()
        : PersonFixture(std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                  : std::filesystem::temp_directory_path()) {}

    // The keys the index holds for a word of three characters.
    Ids indexed(const std::string& words, const std::string& word) {
        return db.column("SELECT rowid FROM " + words + " WHERE " + words + " MATCH '\"" + word + "\"' ORDER BY rowid");
    }
    Ids persons(const std::string& word) { return indexed("lumo_search_person", word); }
    Ids phones(const std::string& word) { return indexed("lumo_search_phone", word); }
    Ids tableKeys(const std::string& table) { return db.column("SELECT * FROM " + table + " ORDER BY 1"); }

    // Every index, and a fresh rebuild of it from the rows, give the same
    // keys for every trigram of the words below (as they are, as they were
    // and as they never were).
    void expectAsRebuilt(const std::vector<std::string>& words) {
        for (const Index& i : kIndexes) {
            const std::string w = i.words, fresh = "fresh_" + w;
            db.exec("DROP TABLE IF EXISTS temp." + fresh + "; CREATE VIRTUAL TABLE temp." + fresh +
                    " USING fts5(WORDS, content = '', detail = none, columnsize = 0, tokenize = 'trigram');"
                    "INSERT INTO " + fresh + " (rowid, WORDS) SELECT " + i.key + ", WORDS FROM " + w + "_text;");
            db.exec("INSERT INTO " + w + " (" + w + ", rank) VALUES ('integrity-check', 1)");
            for (const std::string& word : words)
                EXPECT_EQ(indexed(w, word), indexed(fresh, word)) << w << " " << word;
            // And every trigram of every row: what each index holds, whole.
            db.exec("CREATE VIRTUAL TABLE temp.held USING fts5vocab(main, '" + w + "', 'instance');"
                    "CREATE VIRTUAL TABLE temp.rebuilt USING fts5vocab(temp, '" + fresh + "', 'instance');");
            EXPECT_EQ(db.column("SELECT hex(term) || ' ' || doc FROM temp.held ORDER BY 1"),
                      db.column("SELECT hex(term) || ' ' || doc FROM temp.rebuilt ORDER BY 1"))
                << w;
            db.exec("DROP TABLE temp.held; DROP TABLE temp.rebuilt;");
        }
    }

    // Stored through the library: the person's ID.
    Long add(const std::string& lastName, const std::vector<std::string>& numbers) {
        PersonInformation p;
        store(&clsPidAccess::SetPersonalInformation, p, lastName, numbers);
        return p.lngPersonID;
    }
    void update(Long id, const std::string& lastName, const std::vector<std::string>& numbers) {
        PersonInformation p = person->GetPersonalInformation(id);
        store(&clsPidAccess::UpPersonalInformation, p, lastName, numbers);
    }
    // The person with `lastName` and those phones, no mails, greetings or
    // children, through `write` (the insert or the rewrite).
    template <class Write>
    void store(Write write, PersonInformation& p, const std::string& lastName, const std::vector<std::string>& numbers) {
        p.strLastName = lastName;
        std::vector<PhoneInformation> ph;
        for (const std::string& n : numbers) ph.push_back(phone(n));
        std::vector<MailInformation> mails;
        std::vector<GreetingInformation> greetings;
        std::vector<ChildrenInformation> children;
        EXPECT_FALSE(((*person).*write)(p, ph, mails, greetings, children, nullptr)) << lastName;
    }
    void remove(Long id) { EXPECT_FALSE(person->DelPersonalInformation(id)) << id; }

    // The library's part in a batch of the library's writes, in plain SQL
    // on the test's own connection (as another program would write).
    void beginPlainBatch() { db.exec("BEGIN; INSERT INTO lumo_search_deferred (BATCH) VALUES (1);"); }
    void endPlainBatch() { db.exec("DELETE FROM lumo_search_deferred; COMMIT;"); }
};

// The trigrams of every name and number the batches below write.
const std::vector<std::string> kWords = {"山田花", "田花子", "山田桜", "田桜子", "佐藤一", "藤一郎", "鈴木次",
                                         "木次郎", "鈴木五", "木五郎", "高橋三", "橋三郎", "高橋四", "橋四郎",
                                         "小林一", "林一郎", "03-", "3-1", "-11", "111", "3-7", "-77",
                                         "777", "06-", "222", "045", "45-", "5-3", "333", "5-8", "888",
                                         "5-9", "999", "099", "444", "555", "田花代", "藤一美",
                                         "1-9", "2-9"};

TEST_F(SearchIndexBatch, APlainSqlBatchLeavesTheIndexARebuildGives) {
    db.exec("INSERT INTO T_PERSON (PERSON_ID, LASTNAME) VALUES (1, '山田花子'), (2, '佐藤一郎');"
            "INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, TEL_NUMBER) VALUES (1, 1, '03-1111'), (2, 2, '06-2222');");
    beginPlainBatch();
    db.exec(
        // New, then changed; new, changed and gone in the same batch.
        "INSERT INTO T_PERSON (PERSON_ID, LASTNAME) VALUES (4, '鈴木次郎');"
        "INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, TEL_NUMBER) VALUES (3, 4, '045-333');"
        "UPDATE T_PERSON SET LASTNAME = '鈴木五郎' WHERE PERSON_ID = 4;"
        // Its words share trigrams with rows the index holds, which are
        // not to be taken from those rows.
        "INSERT INTO T_PERSON (PERSON_ID, LASTNAME) VALUES (5, '山田花代');"
        "INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, TEL_NUMBER) VALUES (4, 5, '03-1111-9');"
        "UPDATE T_PERSON SET LASTNAME = '佐藤一美' WHERE PERSON_ID = 5;"
        "UPDATE T_PHONE SET TEL_NUMBER = '06-2222-9' WHERE PHONE_ID = 4;"
        "DELETE FROM T_PERSON WHERE PERSON_ID = 5;"  // its phone goes with it
        // Rows the index held: changed, and gone.
        "UPDATE T_PERSON SET LASTNAME = '山田桜子' WHERE PERSON_ID = 1;"
        "UPDATE T_PHONE SET TEL_NUMBER = '03-7777' WHERE PHONE_ID = 1;"
        "DELETE FROM T_PERSON WHERE PERSON_ID = 2;"
        // 小林一郎 and a stray byte: unclean.
        "INSERT INTO T_PERSON (PERSON_ID, LASTNAME) VALUES (6, CAST(X'E5B08FE69E97E4B880E9838E80' AS TEXT));"
        "INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, TEL_NUMBER) VALUES (5, 4, '045-888');"
        "UPDATE T_PHONE SET TEL_NUMBER = '045-999' WHERE PHONE_ID = 5;");
    // Every written row is pending, and read by every search meanwhile.
    EXPECT_EQ(tableKeys("lumo_search_person_pending"), (Ids{"1", "4", "6"}));
    EXPECT_EQ(tableKeys("lumo_search_person_unindexed"), (Ids{"1", "4", "6"}));
    EXPECT_EQ(tableKeys("lumo_search_phone_pending"), (Ids{"1", "3", "5"}));
    EXPECT_EQ(tableKeys("lumo_search_phone_unindexed"), (Ids{"1", "3", "5"}));
    EXPECT_EQ(persons("鈴木五"), Ids{});
    endPlainBatch();

    EXPECT_EQ(tableKeys("lumo_search_person_pending"), Ids{});
    EXPECT_EQ(tableKeys("lumo_search_phone_pending"), Ids{});
    EXPECT_EQ(tableKeys("lumo_search_person_unindexed"), Ids{"6"});
    EXPECT_EQ(tableKeys("lumo_search_phone_unindexed"), Ids{});
    const struct {
        const char* word;
        Ids persons;
    } personCases[] = {
        {"山田桜", {"1"}}, {"山田花", {}}, {"佐藤一", {}}, {"鈴木五", {"4"}},
        {"鈴木次", {}},    {"田花代", {}}, {"藤一美", {}},
    };
    for (const auto& c : personCases) EXPECT_EQ(persons(c.word), c.persons) << c.word;
    const struct {
        const char* word;
        Ids phones;
    } phoneCases[] = {
        {"777", {"1"}}, {"111", {}}, {"222", {}}, {"045", {"3", "5"}}, {"333", {"3"}},
        {"999", {"5"}}, {"888", {}}, {"1-9", {}}, {"2-9", {}},         {"03-", {"1"}},
    };
    for (const auto& c : phoneCases) EXPECT_EQ(phones(c.word), c.phones) << c.word;
    expectAsRebuilt(kWords);

    // Later writes outside a batch reach the index at once again.
    db.exec("UPDATE T_PERSON SET LASTNAME = '鈴木次郎' WHERE PERSON_ID = 4;");
    EXPECT_EQ(persons("鈴木次"), Ids{"4"});
    EXPECT_EQ(persons("鈴木五"), Ids{});
    EXPECT_EQ(tableKeys("lumo_search_person_pending"), Ids{});
}

TEST_F(SearchIndexBatch, ACancelledBatchLeavesTheIndexAsItWas) {
    db.exec("INSERT INTO T_PERSON (PERSON_ID, LASTNAME) VALUES (1, '山田花子'), (2, '佐藤一郎');"
            "INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, TEL_NUMBER) VALUES (1, 1, '03-1111');");
    beginPlainBatch();
    db.exec("INSERT INTO T_PERSON (PERSON_ID, LASTNAME) VALUES (4, '鈴木次郎');"
            "UPDATE T_PERSON SET LASTNAME = '山田桜子' WHERE PERSON_ID = 1;"
            "UPDATE T_PHONE SET TEL_NUMBER = '03-7777' WHERE PHONE_ID = 1;"
            "DELETE FROM T_PERSON WHERE PERSON_ID = 2;"
            "ROLLBACK;");
    EXPECT_EQ(persons("山田花"), Ids{"1"});
    EXPECT_EQ(persons("佐藤一"), Ids{"2"});
    EXPECT_EQ(persons("山田桜"), Ids{});
    EXPECT_EQ(persons("鈴木次"), Ids{});
    EXPECT_EQ(phones("111"), Ids{"1"});
    EXPECT_EQ(phones("777"), Ids{});
    for (const char* table : {"lumo_search_deferred", "lumo_search_person_pending", "lumo_search_person_unindexed",
                              "lumo_search_phone_pending", "lumo_search_phone_unindexed"})
        EXPECT_EQ(tableKeys(table), Ids{}) << table;
    expectAsRebuilt(kWords);
}

// The engine's search on the batch's own connection: the pending rows are
// among the candidates of every search, before the end and after it.
TEST_F(SearchIndexBatch, SearchesDuringTheBatchFindItsRows) {
    db.exec("INSERT INTO T_PERSON (PERSON_ID, LASTNAME) VALUES (1, '山田花子');"
            "INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, TEL_NUMBER) VALUES (1, 1, '03-1111');");
    db::Connection cnn;
    cnn.Open(db.connectionString());
    // The person search's shape, which the engine narrows by the index;
    // a person is listed once per phone.
    const auto search = [&](const std::string& condition) {
        db::Recordset rs;
        rs.Open("SELECT T_PERSON.PERSON_ID FROM T_PERSON LEFT JOIN T_PHONE ON T_PERSON.PERSON_ID = "
                "T_PHONE.PERSON_ID WHERE (" + condition + ")",
                cnn);
        std::set<std::string> ids;
        for (; !rs.Eof(); rs.MoveNext()) ids.insert(rs.Fields(0).Value().toString());
        return Ids(ids.begin(), ids.end());
    };
    std::string byName;
    for (const char* column :
         {"LASTNAME", "FIRSTNAME", "LASTALIAS", "FIRSTALIAS", "ALIAS", "COMPANY", "MATEALIAS", "MATE"})
        byName += std::string(byName.empty() ? "" : " OR ") + "T_PERSON." + column + " LIKE '%山田花%'";
    const std::string byNumber = "T_PHONE.TEL_NUMBER LIKE '%-1111%'";
    cnn.BeginBatch();
    cnn.Execute("INSERT INTO lumo_search_deferred (BATCH) VALUES (1)");
    cnn.Execute("INSERT INTO T_PERSON (PERSON_ID, LASTNAME) VALUES (2, '山田花代')");
    cnn.Execute("INSERT INTO T_PERSON (PERSON_ID, COMPANY) VALUES (3, '株式会社山田花')");
    cnn.Execute("INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, TEL_NUMBER) VALUES (2, 3, '06-1111')");
    cnn.Execute("UPDATE T_PHONE SET TEL_NUMBER = '03-2222' WHERE PHONE_ID = 1");
    EXPECT_EQ(search(byName), (Ids{"1", "2", "3"}));
    EXPECT_EQ(search(byNumber), Ids{"3"});
    cnn.Execute("DELETE FROM lumo_search_deferred");
    cnn.EndBatch();
    EXPECT_EQ(search(byName), (Ids{"1", "2", "3"}));
    EXPECT_EQ(search(byNumber), Ids{"3"});
    EXPECT_EQ(persons("山田花"), (Ids{"1", "2", "3"}));
    EXPECT_EQ(phones("222"), Ids{"1"});
}

// The library's batch: the marker is inserted at the start and deleted
// before the commit (a failing statement there fails the end, and nothing
// is stored), and a cancelled batch leaves no marker behind.
TEST_F(SearchIndexBatch, TheLibrarysBatchDefersTheIndex) {
    const Long kept = add("山田花子", {"03-1111"});
    const Long gone = add("佐藤一郎", {"06-2222"});
    ASSERT_EQ(beginBatch(person.get()), kResultOk);
    const Long added = add("鈴木次郎", {"045-333"});
    update(added, "鈴木五郎", {"045-999"});
    const Long brief = add("山田花代", {"03-1111-9"});
    update(brief, "佐藤一美", {"06-2222-9"});
    remove(brief);
    update(kept, "山田桜子", {"03-7777"});
    remove(gone);
    ASSERT_EQ(endBatch(person.get()), kResultOk);
    EXPECT_EQ(persons("山田桜"), Ids{std::to_string(kept)});
    EXPECT_EQ(persons("鈴木五"), Ids{std::to_string(added)});
    for (const char* word : {"山田花", "佐藤一", "鈴木次", "田花代", "藤一美"}) EXPECT_EQ(persons(word), Ids{}) << word;
    EXPECT_EQ(phones("777").size(), 1u);
    EXPECT_EQ(phones("999").size(), 1u);
    for (const char* word : {"111", "222", "333", "1-9", "2-9"}) EXPECT_EQ(phones(word), Ids{}) << word;
    for (const char* table : {"lumo_search_deferred", "lumo_search_person_pending", "lumo_search_person_unindexed",
                              "lumo_search_phone_pending", "lumo_search_phone_unindexed"})
        EXPECT_EQ(tableKeys(table), Ids{}) << table;
    expectAsRebuilt(kWords);

    ASSERT_EQ(beginBatch(person.get()), kResultOk);
    add("高橋三郎", {});
    EXPECT_EQ(cancelBatch(person.get()), kResultOk);
    EXPECT_EQ(tableKeys("lumo_search_deferred"), Ids{});
    EXPECT_EQ(persons("高橋三"), Ids{});

    ASSERT_EQ(beginBatch(person.get()), kResultOk);
    add("高橋三郎", {});
    {
        // The marker's deletion is the end's only statement.
        db::ScopedFault fault({.failAt = 1, .dataSource = db.path().string(), .onlyStep = db::FaultStep::Execute});
        EXPECT_EQ(endBatch(person.get()), kResultFailed);
    }
    EXPECT_EQ(count("T_PERSON", "LASTNAME = '高橋三郎'"), 0);
    EXPECT_EQ(reportCodes(sink), Codes{"LUMO-batch1002"});
    EXPECT_NE(sink.messages().at(0).text.find("一括処理の書き込みはどれも保存されていません"), std::string::npos)
        << sink.messages()[0].text;
    EXPECT_EQ(endBatch(person.get()), kResultNoBatch);
    EXPECT_EQ(tableKeys("lumo_search_deferred"), Ids{});
}

// A file made before the deferral: its triggers write the index at once,
// in a batch too, and the batch has no statement of its own.
TEST_F(SearchIndexBatch, AFileMadeBeforeKeepsItsIndexTrue) {
    db.exec(toOldForm());
    const Long kept = add("山田花子", {"03-1111"});
    const Long gone = add("佐藤一郎", {"06-2222"});
    ASSERT_EQ(beginBatch(person.get()), kResultOk);
    const Long added = add("鈴木次郎", {"045-333"});
    update(kept, "山田桜子", {"03-7777"});
    remove(gone);
    {
        db::ScopedFault fault({.failAt = 1, .dataSource = db.path().string(), .onlyStep = db::FaultStep::Execute});
        ASSERT_EQ(endBatch(person.get()), kResultOk);
    }
    EXPECT_EQ(persons("山田桜"), Ids{std::to_string(kept)});
    EXPECT_EQ(persons("鈴木次"), Ids{std::to_string(added)});
    EXPECT_EQ(persons("山田花"), Ids{});
    EXPECT_EQ(persons("佐藤一"), Ids{});
    EXPECT_EQ(phones("777").size(), 1u);
    for (const char* word : {"111", "222"}) EXPECT_EQ(phones(word), Ids{}) << word;
    expectAsRebuilt(kWords);
    EXPECT_TRUE(sink.messages().empty());
}

}  // namespace
}  // namespace lumo::test
