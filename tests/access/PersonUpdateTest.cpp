// Rewriting a stored person and bringing its dependent rows in line with
// the caller's arrays.
#include "tests/access/PersonWriteSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

class PersonUpdate : public PersonFixture {
protected:
    // A person with `n` phones, mails and children and two greetings, all
    // stored by the insert; its ID.
    Long stored(int n, int greetings = 2) {
        PersonInformation p;
        p.strLastName = "元";
        p.dyBirthday = 30000;
        p.dyAnniversary = 31000;
        std::vector<PhoneInformation> phones;
        std::vector<MailInformation> mails;
        std::vector<ChildrenInformation> children;
        std::vector<GreetingInformation> gs;
        for (int i = 0; i < n; ++i) {
            phones.push_back(phone("old" + std::to_string(i), "L", 1, "T"));
            mails.push_back(mail("old" + std::to_string(i), "L", 1, "T"));
            children.push_back(child("old" + std::to_string(i), "A"));
        }
        for (int i = 0; i < greetings; ++i) gs.push_back(greeting(2000 + i, "old"));
        EXPECT_FALSE(person->SetPersonalInformation(p, phones, mails, gs, children));
        return p.lngPersonID;
    }
};

TEST_F(PersonUpdate, StoredRowsFollowTheArraysByPosition) {
    struct Case {
        int stored, given;
    };
    for (const Case& c : {Case{3, 2}, Case{1, 3}, Case{2, 2}, Case{2, 0}, Case{0, 2}, Case{0, 0}}) {
        const Long id = stored(c.stored, 0);
        const auto phoneKeys = keys("T_PHONE", id);
        PersonInformation p = person->GetPersonalInformation(id);
        std::vector<PhoneInformation> phones;
        std::vector<MailInformation> mails;
        std::vector<ChildrenInformation> children;
        std::vector<std::string> phoneRows, mailRows, childRows;
        for (int i = 0; i < c.given; ++i) {
            const std::string v = "new" + std::to_string(i);
            phones.push_back(phone(v, "", static_cast<Integer>(i), ""));  // empty texts: Null
            mails.push_back(mail(v, v, static_cast<Integer>(i), "HOME"));
            children.push_back(child(v));
            phoneRows.push_back("NULL|'" + v + "'|" + std::to_string(i) + "|NULL");
            mailRows.push_back("'" + v + "'|'" + v + "'|" + std::to_string(i) + "|'HOME'");
            childRows.push_back("'" + v + "'|NULL");
        }
        std::vector<GreetingInformation> greetings;
        EXPECT_FALSE(person->UpPersonalInformation(p, phones, mails, greetings, children));
        const std::string label = std::to_string(c.stored) + " -> " + std::to_string(c.given);
        EXPECT_EQ(rows("T_PHONE", "quote(LABEL) || '|' || quote(TEL_NUMBER) || '|' || RANK || '|' || quote(TYPE)", id),
                  phoneRows)
            << label;
        EXPECT_EQ(rows("T_EMAIL", "quote(LABEL) || '|' || quote(MAIL_ADDRESS) || '|' || RANK || '|' || quote(TYPE)",
                       id),
                  mailRows)
            << label;
        EXPECT_EQ(rows("T_CHILDREN", "quote(CHILDREN) || '|' || quote(ALIAS)", id), childRows) << label;
        // Surplus rows go from the first on; stored rows keep their keys.
        auto expectedKeys = phoneKeys;
        if (c.stored > c.given) expectedKeys.erase(expectedKeys.begin(), expectedKeys.begin() + (c.stored - c.given));
        auto nowKeys = keys("T_PHONE", id);
        nowKeys.resize(std::min(nowKeys.size(), expectedKeys.size()));
        EXPECT_EQ(nowKeys, expectedKeys) << label;
        // The identifier fields are neither read nor written.
        for (const PhoneInformation& ph : phones) EXPECT_EQ(ph.lngPhoneID, 0);
    }
    EXPECT_EQ(orphans(), 0);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonUpdate, PersonColumnsAreRewritten) {
    const Long id = stored(1);
    PersonInformation p = person->GetPersonalInformation(id);
    p.strLastName = "";              // cleared: Null
    p.strFirstName = "O'Brien";
    p.strMemo1 = "a,b\r\n\"c\"";
    p.strDefaut = "OFFICE";
    p.intAge = 0;
    p.dyAnniversary = 32000.5;       // a date that is set replaces it
    p.lngTypeID = 3;
    std::vector<PhoneInformation> phones = {phone("1")};
    std::vector<MailInformation> mails = {mail("m")};
    std::vector<GreetingInformation> greetings = {greeting(1), greeting(2)};
    std::vector<ChildrenInformation> children = {child("c")};
    EXPECT_FALSE(person->UpPersonalInformation(p, phones, mails, greetings, children));
    EXPECT_EQ(db.column("SELECT quote(LASTNAME) || '|' || BIRTHDAY || '|' || ANNIVERSARY || '|' || AGE || '|' || "
                        "TYPE_ID || '|' || \"DEFAULT\" FROM T_PERSON WHERE PERSON_ID = " + std::to_string(id)),
              std::vector<std::string>{"NULL|30000|32000.5|0|3|OFFICE"});
    const PersonInformation back = person->GetPersonalInformation(id);
    EXPECT_EQ(back.strFirstName, "O'Brien");
    EXPECT_EQ(back.strMemo1, "a,b\r\n\"c\"");
    EXPECT_EQ(count("T_PERSON"), 1);
    EXPECT_TRUE(sink.messages().empty());
}

// The record passed is the person's whole new state: a date of 0 clears
// the stored date (the person was stored with 30000 and 31000).
TEST_F(PersonUpdate, ADateOfZeroClearsTheStoredDate) {
    const struct {
        Date birthday, anniversary;
        const char* stored;  // BIRTHDAY|ANNIVERSARY
    } cases[] = {
        {0, 0, "NULL|NULL"},
        {0, 31000, "NULL|31000"},
        {30000, 0, "30000|NULL"},
        {40000.25, 41000, "40000.25|41000"},
    };
    for (const auto& c : cases) {
        const Long id = stored(0, 0);
        PersonInformation p = person->GetPersonalInformation(id);
        p.dyBirthday = c.birthday;
        p.dyAnniversary = c.anniversary;
        std::vector<PhoneInformation> phones;
        std::vector<MailInformation> mails;
        std::vector<GreetingInformation> greetings;
        std::vector<ChildrenInformation> children;
        EXPECT_FALSE(person->UpPersonalInformation(p, phones, mails, greetings, children));
        EXPECT_EQ(db.column("SELECT quote(BIRTHDAY) || '|' || quote(ANNIVERSARY) FROM T_PERSON WHERE PERSON_ID = " +
                            std::to_string(id)),
                  std::vector<std::string>{c.stored})
            << c.birthday << " " << c.anniversary;
        const PersonInformation back = person->GetPersonalInformation(id);
        EXPECT_EQ(back.dyBirthday, c.birthday);
        EXPECT_EQ(back.dyAnniversary, c.anniversary);
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonUpdate, EveryElementIsStampedWithThePerson) {
    const Long id = stored(1, 1);
    PersonInformation p = person->GetPersonalInformation(id);
    std::vector<PhoneInformation> phones = {phone("1"), phone("2")};
    std::vector<MailInformation> mails = {mail("m")};
    std::vector<GreetingInformation> greetings = {greeting(1)};
    std::vector<ChildrenInformation> children = {child("c"), child("")};
    phones[0].lngPersonID = 4711;
    mails[0].lngPersonID = -1;
    EXPECT_FALSE(person->UpPersonalInformation(p, phones, mails, greetings, children));
    for (Long got : {phones[0].lngPersonID, phones[1].lngPersonID, mails[0].lngPersonID, greetings[0].lngPersonID,
                     children[0].lngPersonID, children[1].lngPersonID})
        EXPECT_EQ(got, id);
    // The update stores every element, an empty name too.
    EXPECT_EQ(rows("T_CHILDREN", "quote(CHILDREN)", id), (std::vector<std::string>{"'c'", "NULL"}));
}

TEST_F(PersonUpdate, MoreStoredGreetingsThanElementsFailsTheGreetingsOnly) {
    const Long id = stored(1, 2);
    const auto greetingsBefore = rows("T_GREETING", "GREETING_ID || TARGET || quote(MEMO)", id);
    for (const int given : {1, 0}) {
        PersonInformation p = person->GetPersonalInformation(id);
        p.strLastName = "変更" + std::to_string(given);
        std::vector<PhoneInformation> phones = {phone("p" + std::to_string(given))};
        std::vector<MailInformation> mails = {mail("m" + std::to_string(given))};
        std::vector<ChildrenInformation> children = {child("c" + std::to_string(given))};
        std::vector<GreetingInformation> greetings;
        for (int i = 0; i < given; ++i) greetings.push_back(greeting(2030, "新"));
        sink.clear();
        EXPECT_TRUE(person->UpPersonalInformation(p, phones, mails, greetings, children));
        EXPECT_EQ(reportCodes(sink), Codes{"CLS-pida1019"});
        EXPECT_EQ(rows("T_GREETING", "GREETING_ID || TARGET || quote(MEMO)", id), greetingsBefore);
        // What came before the greetings stays.
        EXPECT_EQ(db.column("SELECT LASTNAME FROM T_PERSON WHERE PERSON_ID = " + std::to_string(id)),
                  std::vector<std::string>{p.strLastName});
        EXPECT_EQ(rows("T_PHONE", "TEL_NUMBER", id), std::vector<std::string>{phones[0].strPhoneNumber});
        EXPECT_EQ(rows("T_EMAIL", "MAIL_ADDRESS", id), std::vector<std::string>{mails[0].strMailAddress});
        EXPECT_EQ(rows("T_CHILDREN", "CHILDREN", id), std::vector<std::string>{children[0].strName});
    }
    // Without stored greetings an empty array is no failure.
    const Long bare = stored(0, 0);
    PersonInformation p = person->GetPersonalInformation(bare);
    std::vector<PhoneInformation> phones;
    std::vector<MailInformation> mails;
    std::vector<GreetingInformation> greetings;
    std::vector<ChildrenInformation> children;
    sink.clear();
    EXPECT_FALSE(person->UpPersonalInformation(p, phones, mails, greetings, children));
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonUpdate, APersonThatDoesNotExistWritesNothing) {
    stored(2);
    const auto before = contents();
    PersonInformation p;
    p.lngPersonID = 404;
    p.strNote = "01/09/24 誰でもない人の予定";
    std::vector<PhoneInformation> phones = {phone("1")};
    std::vector<MailInformation> mails = {mail("m")};
    std::vector<GreetingInformation> greetings = {greeting(1)};
    std::vector<ChildrenInformation> children = {child("c")};
    EXPECT_TRUE(person->UpPersonalInformation(p, phones, mails, greetings, children));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-pida1016"});
    // One report, in the user's terms, not the engine's text for an empty
    // recordset.
    ASSERT_EQ(sink.messages().size(), 1u);
    EXPECT_EQ(sink.messages()[0].text, "CLS-pida1016\r\n人物 404 は登録されていません。");
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(phones[0].lngPersonID, 404);  // stamped all the same
    EXPECT_EQ(greetings[0].lngPersonID, 404);
}

TEST_F(PersonUpdate, AFailedKindKeepsTheKindsBeforeItAndSkipsTheRest) {
    // Order of the kinds: person, mails, phones, children, greetings.
    struct Case {
        std::string table, code;
    };
    for (const Case& c : {Case{"T_EMAIL", "CLS-pida1018"}, Case{"T_PHONE", "CLS-pida1017"},
                          Case{"T_CHILDREN", "CLS-pida1021"}, Case{"T_GREETING", "CLS-pida1019"},
                          Case{"T_PERSON", "CLS-pida1016"}}) {
        const Long id = stored(2, 1);
        // Overwrites of the failing kind are refused, so its first row is
        // (of the person, the names only: the note is not refused).
        db.exec("CREATE TRIGGER refuse BEFORE UPDATE " + std::string(c.table == "T_PERSON" ? "OF LASTNAME " : "") +
                "ON " + c.table + " BEGIN SELECT RAISE(ABORT, 'refused'); END;");
        const auto before = contents();
        PersonInformation p = person->GetPersonalInformation(id);
        p.strLastName = "新";
        std::vector<PhoneInformation> phones = {phone("n1"), phone("n2"), phone("n3")};
        std::vector<MailInformation> mails = {mail("n1")};
        std::vector<GreetingInformation> greetings = {greeting(9), greeting(10)};
        std::vector<ChildrenInformation> children = {child("n1"), child("n2")};
        sink.clear();
        EXPECT_TRUE(person->UpPersonalInformation(p, phones, mails, greetings, children)) << c.table;
        EXPECT_EQ(reportCodes(sink), Codes{c.code});
        db.exec("DROP TRIGGER refuse");

        const std::vector<std::string> order = {"T_PERSON", "T_EMAIL", "T_PHONE", "T_CHILDREN", "T_GREETING"};
        const auto failing = std::find(order.begin(), order.end(), c.table) - order.begin();
        const auto after = contents();
        for (std::size_t k = 0; k < order.size(); ++k) {
            std::vector<std::string> was, now;
            for (const auto& line : before)
                if (line.starts_with(order[k] + ":")) was.push_back(line);
            for (const auto& line : after)
                if (line.starts_with(order[k] + ":")) now.push_back(line);
            if (static_cast<std::ptrdiff_t>(k) < failing) {
                EXPECT_NE(now, was) << c.table << " changed " << order[k];
            } else {
                EXPECT_EQ(now, was) << c.table << " kept " << order[k];
            }
        }
        EXPECT_EQ(orphans(), 0);
    }
}

TEST_F(PersonUpdate, TheNoteAndItsToDoRowsStayWhenThePersonRowFails) {
    const Long id = stored(1);
    db.exec("CREATE TRIGGER refuse BEFORE UPDATE OF LASTNAME ON T_PERSON BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    PersonInformation p = person->GetPersonalInformation(id);
    p.strLastName = "新";
    p.strNote = "01/09/24 更新で加わった予定";
    std::vector<PhoneInformation> phones = {phone("new")};
    std::vector<MailInformation> mails;
    std::vector<GreetingInformation> greetings;
    std::vector<ChildrenInformation> children;
    EXPECT_TRUE(person->UpPersonalInformation(p, phones, mails, greetings, children));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-pida1016"});
    EXPECT_EQ(db.column("SELECT LASTNAME || '|' || NOTE FROM T_PERSON WHERE PERSON_ID = " + std::to_string(id)),
              std::vector<std::string>{"元|" + p.strNote});
    EXPECT_EQ(rows("T_TODOLIST", "CHK_FLAG || '|' || NOTE", id), std::vector<std::string>{"-1|" + p.strNote});
    EXPECT_EQ(rows("T_PHONE", "TEL_NUMBER", id), std::vector<std::string>{"old0"});
}

TEST_F(PersonUpdate, DatedEntriesOfTenCharactersBecomeToDoRows) {
    struct Case {
        std::string note;
        std::vector<std::string> todo;
    };
    const std::vector<Case> cases = {
        {"01/09/24あ", {}},                 // 9 characters
        {"01/09/24あい", {"01/09/24あい"}},  // 10 characters
        {"01/09/24 一\r\n01/10/01 二つ目の予定", {"01/09/24 一", "01/10/01 二つ目の予定"}},
        {"予定のない長いメモの行です", {}},
    };
    for (const Case& c : cases) {
        const Long id = stored(0, 0);
        PersonInformation p = person->GetPersonalInformation(id);
        p.strNote = c.note;
        std::vector<PhoneInformation> phones;
        std::vector<MailInformation> mails;
        std::vector<GreetingInformation> greetings;
        std::vector<ChildrenInformation> children;
        EXPECT_FALSE(person->UpPersonalInformation(p, phones, mails, greetings, children));
        EXPECT_EQ(rows("T_TODOLIST", "NOTE", id), c.todo) << c.note;
        EXPECT_EQ(rows("T_PERSON", "NOTE", id), std::vector<std::string>{c.note});
    }
    EXPECT_TRUE(sink.messages().empty());
}

class PersonUpdateMany : public ManyRowsFixture {};

TEST_F(PersonUpdateMany, FortyThousandPhones) {
    PersonInformation p;
    std::vector<PhoneInformation> phones;
    for (int i = 0; i < 40000; ++i) phones.push_back(phone(std::to_string(i)));
    std::vector<MailInformation> mails;
    ASSERT_FALSE(person->SetPersonalInformationEZ(p, phones, mails));
    const Long id = p.lngPersonID;
    const auto firstKey = keys("T_PHONE", id).front();

    for (PhoneInformation& ph : phones) ph.strPhoneNumber = "x" + ph.strPhoneNumber;
    phones.push_back(phone("one more"));
    std::vector<GreetingInformation> greetings;
    std::vector<ChildrenInformation> children;
    EXPECT_FALSE(person->UpPersonalInformation(p, phones, mails, greetings, children));
    EXPECT_EQ(count("T_PHONE", "PERSON_ID = " + std::to_string(id)), 40001);
    EXPECT_EQ(count("T_PHONE", "TEL_NUMBER LIKE 'x%'"), 40000);
    EXPECT_EQ(keys("T_PHONE", id).front(), firstKey);

    phones.resize(3);
    EXPECT_FALSE(person->UpPersonalInformation(p, phones, mails, greetings, children));
    EXPECT_EQ(rows("T_PHONE", "TEL_NUMBER", id), (std::vector<std::string>{"x0", "x1", "x2"}));
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonUpdate, WithoutAConnection) {
    Ref<clsPidAccess> unconnected = createObject<clsPidAccess>();
    PersonInformation p;
    p.lngPersonID = 1;
    std::vector<PhoneInformation> phones = {phone("1")};
    std::vector<MailInformation> mails;
    std::vector<GreetingInformation> greetings;
    std::vector<ChildrenInformation> children;
    EXPECT_TRUE(unconnected->UpPersonalInformation(p, phones, mails, greetings, children));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-pida1015"});
}

}  // namespace
}  // namespace lumo::test
