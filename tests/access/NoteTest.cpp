// UpdateNote and DeleteToDo of the person and the item class: the note is
// stored, and the new or changed dated entries of the new note become ToDo
// rows of the same owner.
#include <algorithm>

#include "tests/access/AccessTestSupport.h"

#include "platform/Dates.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

template <class T>
struct NoteClass;

template <>
struct NoteClass<clsPidAccess> {
    static std::string_view ddl() { return schema::personDdl(); }
    static constexpr const char* table = "T_PERSON";
    static constexpr const char* key = "PERSON_ID";
    static constexpr const char* link = "PERSON_ID";
    static constexpr const char* updateCode = "CLS-pida1043";
    static constexpr const char* deleteCode = "CLS-pida1045";
    static void updateNote(clsPidAccess& o, Long id, const std::string& note, String* reserved = nullptr) {
        EXPECT_TRUE(isEmpty(o.UpdateNote(id, note, reserved)));
    }
};

template <>
struct NoteClass<clsIidAccess> {
    static std::string_view ddl() { return schema::itemDdl(); }
    static constexpr const char* table = "T_SHEET";
    static constexpr const char* key = "ID";
    static constexpr const char* link = "SHEET_ID";
    static constexpr const char* updateCode = "CLS-iida1022";
    static constexpr const char* deleteCode = "CLS-iida1037";
    static void updateNote(clsIidAccess& o, Long id, const std::string& note, String* reserved = nullptr) {
        o.UpdateNote(id, note, reserved);
    }
};

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

std::string nullOr(const std::string& text) { return text.empty() ? "NULL" : quoted(text); }

// A ToDo row as link|NOTE|CHK_FLAG.
struct ToDo {
    Long owner;
    std::string note;  // "" for Null
    int flag;
};

template <class T>
class NoteTest : public ::testing::Test {
protected:
    using C = NoteClass<T>;

    void SetUp() override { ASSERT_FALSE(object->Initialize(db.connectionString())); }

    Long addOwner(const std::string& note) {
        db.exec(std::string("INSERT INTO ") + C::table + " (NOTE) VALUES (" + nullOr(note) + ")");
        return static_cast<Long>(db.scalar(std::string("SELECT MAX(") + C::key + ") FROM " + C::table));
    }
    std::string storedNote(Long id) {
        const auto notes = db.column(std::string("SELECT NOTE FROM ") + C::table + " WHERE " + C::key + " = " +
                                     std::to_string(id));
        return notes.empty() ? "(no row)" : notes.front();
    }
    void addToDo(const ToDo& row) {
        db.exec(std::string("INSERT INTO T_TODOLIST (") + C::link + ", NOTE, CHK_FLAG) VALUES (" +
                std::to_string(row.owner) + ", " + nullOr(row.note) + ", " + std::to_string(row.flag) + ")");
    }
    // Every ToDo row in storage order, as owner|note|flag.
    std::vector<std::string> toDoRows() {
        return db.column(std::string("SELECT ") + C::link +
                         " || '|' || COALESCE(NOTE, 'NULL') || '|' || CHK_FLAG FROM T_TODOLIST ORDER BY rowid");
    }
    static std::vector<std::string> rows(const std::vector<ToDo>& todos) {
        std::vector<std::string> out;
        for (const ToDo& t : todos)
            out.push_back(std::to_string(t.owner) + "|" + (t.note.empty() ? "NULL" : t.note) + "|" +
                          std::to_string(t.flag));
        return out;
    }
    void updateNote(Long id, const std::string& note) { C::updateNote(*object, id, note); }

    ScratchDatabase db{C::ddl()};
    RecordingSink sink;
    Ref<T> object = createObject<T>();
};

using Classes = ::testing::Types<clsPidAccess, clsIidAccess>;
TYPED_TEST_SUITE(NoteTest, Classes);

// Owner 1 is the one updated; `before` rows exist first (owner 0 stands for
// owner 1), `added` are the rows expected after them, all of owner 1.
struct WalkCase {
    const char* name;
    std::string oldNote;
    std::string newNote;
    std::vector<std::pair<std::string, int>> before;  // NOTE ("" = Null), CHK_FLAG
    std::vector<std::pair<std::string, int>> after;   // every row of owner 1 afterwards
};

const std::vector<WalkCase>& walkCases() {
    static const std::vector<WalkCase> cases = {
        {"an unchanged note adds nothing", "01/09/01 会議の準備\r\n01/09/05 出張の手配\r\nメモ", "01/09/01 会議の準備\r\n01/09/05 出張の手配\r\nメモ", {}, {}},
        {"a new dated line after the old one", "01/09/01 A", "01/09/01 A\r\n01/09/15 C", {}, {{"01/09/15 C", -1}}},
        {"same day, other text", "01/09/01 会議の準備をする", "01/09/01 会議を延期する", {}, {{"01/09/01 会議を延期する", -1}}},
        {"entries of at most nine characters are never recorded (characters, not bytes)", "",
         "01/09/01\r\n01/09/02あ\r\n01/09/03\r\n01/09/04あい", {}, {{"01/09/04あい", -1}}},
        {"a later new date skips the old entries before it", "01/09/01 A meeting\r\n01/09/10 B meeting",
         "01/09/10 B meeting", {}, {}},
        {"a new date later than the whole old note", "01/09/01 A meeting", "01/09/20 C meeting", {}, {{"01/09/20 C meeting", -1}}},
        {"a new date earlier than the old one: the walk ends", "01/09/05 meeting", "01/09/03 meeting", {},
         {{"01/09/03 meeting", -1}}},
        {"an earlier date in the middle of the note", "01/09/05 meeting\r\n01/09/09 review",
         "01/09/03 meeting\r\n01/09/05 meeting\r\n01/09/09 review", {}, {{"01/09/03 meeting", -1}}},
        {"a new long undated line: the walk ends", "", "打ち合わせの議事録をまとめる", {}, {}},
        {"a new undated line before a dated one", "", "電話番号の変更を確認する\r\n01/09/10 見積書を送る", {},
         {{"01/09/10 見積書を送る", -1}}},
        {"an undated line put before an unchanged dated entry", "01/09/01 会議の準備をする",
         "メモ：会議の準備をする。\r\n\r\n01/09/01 会議の準備をする", {}, {}},
        {"two undated lines before the old entry", "古いメモの一行目です\r\n01/09/01 会議の準備をする",
         "新しいメモの一行目です\r\n01/09/01 会議の準備をする", {}, {}},
        {"an undated line joins the dated line before it", "",
         "01/09/01 a\r\nmore\r\n01/09/03 c", {}, {{"01/09/01 amore", -1}, {"01/09/03 c", -1}}},
        {"a third undated line is an entry of its own", "", "01/09/01 a\r\nmore\r\nthe third line", {},
         {{"01/09/01 amore", -1}}},
        {"a note ending in CR LF", "", "01/09/01 abc\r\n", {}, {{"01/09/01 abc", -1}}},
        {"the current row with the same date prefix takes the new text and keeps its flag", "01/09/20 old text",
         "01/09/20 new text", {{"01/09/20 old text", 0}}, {{"01/09/20 new text", 0}}},
        {"only the current (first) row is compared", "", "01/09/20 changed",
         {{"01/09/01 first", -1}, {"01/09/20 second", 0}},
         {{"01/09/01 first", -1}, {"01/09/20 second", 0}, {"01/09/20 changed", -1}}},
        {"a Null NOTE never matches", "", "01/09/20 changed", {{"", 0}}, {{"", 0}, {"01/09/20 changed", -1}}},
        {"an added row is the current row: a second entry of its date replaces it", "",
         "01/09/20 first\r\n01/09/20 second", {}, {{"01/09/20 second", -1}}},
        {"entries compare exactly, case included", "01/09/20 Meeting", "01/09/20 meeting", {},
         {{"01/09/20 meeting", -1}}},
        // Lines ending in a bare LF are lines as well.
        {"bare LF line ends", "", "01/09/01 abc\n01/09/02 def\n", {}, {{"01/09/01 abc", -1}, {"01/09/02 def", -1}}},
        {"mixed line ends", "", "01/09/01 abc\nmemo\r\n01/09/02 def", {},
         {{"01/09/01 abcmemo", -1}, {"01/09/02 def", -1}}},
        {"a note starting with LF", "", "\n01/09/01 abc\n\n\n01/09/02 def", {},
         {{"01/09/01 abc", -1}, {"01/09/02 def", -1}}},
        {"an unchanged note with bare LF", "01/09/01 会議\nメモ\n01/09/02 出張", "01/09/01 会議\nメモ\n01/09/02 出張", {}, {}},
        // A final short date is read together with its line break, as stored
        // notes have always been read.
        {"a short date ending the note with CR LF stays with the line before", "", "01/09/01 abcd\r\n01/9/1\r\n", {},
         {{"01/09/01 abcd01/9/1", -1}}},
    };
    return cases;
}

TYPED_TEST(NoteTest, WalkCases) {
    for (const WalkCase& c : walkCases()) {
        SCOPED_TRACE(c.name);
        this->db.exec("DELETE FROM T_TODOLIST");
        const Long id = this->addOwner(c.oldNote);
        std::vector<ToDo> before, after;
        for (const auto& [note, flag] : c.before) before.push_back({id, note, flag});
        for (const auto& [note, flag] : c.after) after.push_back({id, note, flag});
        for (const ToDo& row : before) this->addToDo(row);
        // A row of another owner is neither compared nor changed.
        this->addToDo({id + 1000, "01/09/20 other owner", 0});
        after.push_back({id + 1000, "01/09/20 other owner", 0});

        this->updateNote(id, c.newNote);

        EXPECT_TRUE(this->sink.messages().empty());
        EXPECT_EQ(this->storedNote(id), c.newNote.empty() ? "NULL" : c.newNote);
        auto rows = this->toDoRows();
        auto expected = this->rows(after);
        std::sort(rows.begin(), rows.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(rows, expected);
    }
}

TYPED_TEST(NoteTest, RowOrderFollowsTheNote) {
    const Long id = this->addOwner("");
    this->updateNote(id, "01/09/03 third\r\n01/09/01 first\r\n01/09/02 second");
    EXPECT_EQ(this->toDoRows(), this->rows({{id, "01/09/03 third", -1}, {id, "01/09/01 first", -1},
                                            {id, "01/09/02 second", -1}}));
}

TYPED_TEST(NoteTest, EmptyNoteIsStoredAsNullAndReservedIsLeftAlone) {
    const Long id = this->addOwner("01/09/01 会議の準備");
    String reserved = "そのまま";
    TestFixture::C::updateNote(*this->object, id, "", &reserved);
    EXPECT_EQ(reserved, "そのまま");
    EXPECT_EQ(this->storedNote(id), "NULL");
    EXPECT_TRUE(this->toDoRows().empty());
    EXPECT_TRUE(this->sink.messages().empty());
}

TYPED_TEST(NoteTest, AnIdWithoutARowStillRecordsTheDatedEntries) {
    this->updateNote(4242, "01/09/01 会議の準備をする\r\nメモ\r\n01/09/02 出張");
    EXPECT_TRUE(this->sink.messages().empty());
    EXPECT_EQ(this->storedNote(4242), "(no row)");
    EXPECT_EQ(this->db.scalar(std::string("SELECT COUNT(*) FROM ") + TestFixture::C::table), 0);
    EXPECT_EQ(this->toDoRows(), this->rows({{4242, "01/09/01 会議の準備をするメモ", -1}, {4242, "01/09/02 出張", -1}}));
}

// Positions count characters in 32 bits: a note far beyond 32,767
// characters, in Japanese, is walked to its end. Every 250th line is dated
// (and takes the undated line after it into its entry).
TYPED_TEST(NoteTest, NotesLongerThanAnIntegerPosition) {
    const Long id = this->addOwner("");
    const double start = dates::toAutomation(2001, 1, 1);
    std::vector<std::string> lines;
    for (int k = 0; k < 2500; ++k) {
        // Lines of 38 characters, 40 with CR LF: 100,000 in all.
        const std::string text = " 打ち合わせの議事録をまとめて関係者に送付する、" + std::to_string(100000 + k);
        lines.push_back(k % 250 == 249 ? dates::formatYmd(start + k).substr(2) + text : "memo:" + text + "...");
    }
    std::string note;
    for (const std::string& line : lines) note += line + "\r\n";
    std::vector<ToDo> expected;
    for (std::size_t k = 249; k < lines.size(); k += 250)
        expected.push_back({id, lines[k] + (k + 1 < lines.size() ? lines[k + 1] : ""), -1});

    this->updateNote(id, note);
    EXPECT_TRUE(this->sink.messages().empty());
    EXPECT_EQ(this->storedNote(id), note);
    EXPECT_EQ(this->toDoRows(), this->rows(expected));

    // Unchanged, the same long note adds nothing.
    this->updateNote(id, note);
    EXPECT_EQ(this->toDoRows().size(), expected.size());
    EXPECT_TRUE(this->sink.messages().empty());
}

TYPED_TEST(NoteTest, DeleteToDoRemovesTheUncheckedRowsOfEveryOwner) {
    for (const ToDo& row : std::vector<ToDo>{{1, "01/09/01 a done", 0}, {1, "01/09/02 a open", -1},
                                             {2, "01/09/03 b done", 0}, {3, "01/09/04 c open", -1}, {4, "", 0}})
        this->addToDo(row);
    this->object->DeleteToDo();
    EXPECT_TRUE(this->sink.messages().empty());
    EXPECT_EQ(this->toDoRows(), this->rows({{1, "01/09/02 a open", -1}, {3, "01/09/04 c open", -1}}));
}

// -------------------------------------------------------------------- failures

TYPED_TEST(NoteTest, BeforeInitializeEachOperationReportsOnce) {
    Ref<TypeParam> fresh = createObject<TypeParam>();
    TestFixture::C::updateNote(*fresh, 1, "01/09/01 会議の準備");
    fresh->DeleteToDo();
    EXPECT_EQ(reportCodes(this->sink), (Codes{TestFixture::C::updateCode, TestFixture::C::deleteCode}));
}

TYPED_TEST(NoteTest, AFailedToDoWriteKeepsWhatWasStoredBefore) {
    const Long id = this->addOwner("01/08/01 old entry");
    this->db.exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON T_TODOLIST WHEN NEW.NOTE LIKE '01/09/03%' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const std::string note = "01/09/01 aaaa\r\n01/09/02 bbbb\r\n01/09/03 cccc\r\n01/09/04 dddd";
    this->updateNote(id, note);
    EXPECT_EQ(reportCodes(this->sink), Codes{TestFixture::C::updateCode});
    EXPECT_EQ(this->storedNote(id), note);
    EXPECT_EQ(this->toDoRows(), this->rows({{id, "01/09/01 aaaa", -1}, {id, "01/09/02 bbbb", -1}}));
}

TYPED_TEST(NoteTest, AFailedNoteWriteRecordsNothing) {
    const Long id = this->addOwner("01/08/01 old entry");
    this->db.exec(std::string("CREATE TRIGGER refuse BEFORE UPDATE ON ") + TestFixture::C::table +
                  " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    this->updateNote(id, "01/09/01 new entry");
    EXPECT_EQ(reportCodes(this->sink), Codes{TestFixture::C::updateCode});
    EXPECT_EQ(this->storedNote(id), "01/08/01 old entry");
    EXPECT_TRUE(this->toDoRows().empty());
}

TYPED_TEST(NoteTest, AFailedDeleteReportsOnceAndKeepsTheRows) {
    this->addToDo({1, "01/09/01 a done", 0});
    this->db.exec("CREATE TRIGGER refuse BEFORE DELETE ON T_TODOLIST BEGIN SELECT RAISE(ABORT, 'refused'); END");
    this->object->DeleteToDo();
    EXPECT_EQ(reportCodes(this->sink), Codes{TestFixture::C::deleteCode});
    EXPECT_EQ(this->toDoRows().size(), 1u);
}

}  // namespace
}  // namespace lumo::test
