// Storing new persons (full and short form) and deleting them.
#include "tests/access/PersonWriteSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

class PersonInsert : public PersonFixture {};

TEST_F(PersonInsert, FullFormStoresTheElementsAndWritesTheIdsBack) {
    PersonInformation p;
    p.strLastName = "山田";
    p.lngPersonID = 999;  // replaced by the new ID
    std::vector<PhoneInformation> phones = {phone("03-1111-2222", "", 1, ""), phone("", "空", 2, "HOME")};
    phones[1].lngPhoneID = 77;
    phones[1].lngPersonID = 88;
    std::vector<MailInformation> mails = {mail("a@example.jp", "仕事", 3, "OFFICE")};
    std::vector<GreetingInformation> greetings = {greeting(2025, "年賀", true), greeting(2026)};
    std::vector<ChildrenInformation> children = {child("", "名無し"), child("花子", "はなこ")};
    children[0].lngChildID = 5;

    EXPECT_FALSE(person->SetPersonalInformation(p, phones, mails, greetings, children));
    EXPECT_TRUE(sink.messages().empty());
    const auto id = std::to_string(p.lngPersonID);
    EXPECT_EQ(db.column("SELECT PERSON_ID FROM T_PERSON"), std::vector<std::string>{id});

    // Stored elements carry the person and their own new row's key.
    EXPECT_EQ(phones[0].lngPersonID, p.lngPersonID);
    EXPECT_EQ(db.column("SELECT PHONE_ID || '|' || PERSON_ID || '|' || quote(LABEL) || '|' || TEL_NUMBER || '|' || "
                        "RANK || '|' || quote(TYPE) FROM T_PHONE"),
              std::vector<std::string>{std::to_string(phones[0].lngPhoneID) + "|" + id + "|''|03-1111-2222|1|''"});
    // Skipped elements are left as they were.
    EXPECT_EQ(phones[1].lngPhoneID, 77);
    EXPECT_EQ(phones[1].lngPersonID, 88);
    EXPECT_EQ(children[0].lngChildID, 5);
    EXPECT_EQ(children[0].lngPersonID, 0);

    EXPECT_EQ(db.column("SELECT MAIL_ID || '|' || PERSON_ID || '|' || LABEL || '|' || MAIL_ADDRESS || '|' || RANK || "
                        "'|' || TYPE FROM T_EMAIL"),
              std::vector<std::string>{std::to_string(mails[0].lngMailID) + "|" + id + "|仕事|a@example.jp|3|OFFICE"});
    // Greetings have no emptiness test; their empty memo is stored as Null.
    EXPECT_EQ(db.column("SELECT GREETING_ID || '|' || PERSON_ID || '|' || TARGET || '|' || NEWYEAR_SEND || "
                        "NEWYEAR_RECEIVE || SUMMER_SEND || SUMMER_RECEIVE || MIDYEAR_SEND || MIDYEAR_RECEIVE || "
                        "YEAREND_SEND || YEAREND_RECEIVE || '|' || quote(MEMO) FROM T_GREETING ORDER BY GREETING_ID"),
              (std::vector<std::string>{
                  std::to_string(greetings[0].lngGreetingID) + "|" + id + "|2025|-100-100-10|'年賀'",
                  std::to_string(greetings[1].lngGreetingID) + "|" + id + "|2026|00000000|NULL"}));
    EXPECT_EQ(greetings[1].lngPersonID, p.lngPersonID);
    EXPECT_EQ(db.column("SELECT CHILD_ID || '|' || PERSON_ID || '|' || CHILDREN || '|' || ALIAS FROM T_CHILDREN"),
              std::vector<std::string>{std::to_string(children[1].lngChildID) + "|" + id + "|花子|はなこ"});
}

TEST_F(PersonInsert, FullFormColumnsAndTheirStoredForms) {
    // Every field a text of its own, read back through the reader.
    PersonInformation p;
    p.lngTypeID = 1;
    std::vector<String*> texts = {
        &p.strLastName, &p.strLastAlias, &p.strFirstName, &p.strFirstAlias, &p.strTitle, &p.strNickName,
        &p.strLabel1, &p.strMemo1, &p.strLabel2, &p.strMemo2, &p.strHomeZip, &p.strHomeAddress1,
        &p.strHomeAddress2, &p.strHomeURL, &p.strLabel3, &p.strMemo3, &p.strLabel4, &p.strMemo4, &p.strAlias,
        &p.strCompany, &p.strPosition, &p.strSection, &p.strOfficeZip, &p.strOfficeAddress1,
        &p.strOfficeAddress2, &p.strOfficeURL, &p.strLabel5, &p.strMemo5, &p.strLabel6, &p.strMemo6,
        &p.strConstellation, &p.strBlood, &p.strMateAlias, &p.strMate, &p.strHobby, &p.strNote, &p.strDefaut};
    for (std::size_t i = 0; i < texts.size(); ++i) *texts[i] = "値" + std::to_string(i);
    p.dyBirthday = 30000.25;
    p.dyAnniversary = 40000;
    p.intAge = 47;
    std::vector<PhoneInformation> none;
    std::vector<MailInformation> noMail;
    std::vector<GreetingInformation> noGreeting;
    std::vector<ChildrenInformation> noChild;
    ASSERT_FALSE(person->SetPersonalInformation(p, none, noMail, noGreeting, noChild));
    PersonInformation back = person->GetPersonalInformation(p.lngPersonID);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto offset = reinterpret_cast<const char*>(texts[i]) - reinterpret_cast<const char*>(&p);
        EXPECT_EQ(*reinterpret_cast<const String*>(reinterpret_cast<const char*>(&back) + offset), *texts[i]);
    }
    EXPECT_EQ(back.lngTypeID, 1);
    EXPECT_EQ(back.dyBirthday, 30000.25);
    EXPECT_EQ(back.dyAnniversary, 40000);
    EXPECT_EQ(back.intAge, 47);

    // The empty person: every text Null (DEFAULT too), the age 0, the dates
    // at the column default (Null); no array elements, nothing else stored.
    PersonInformation empty;
    ASSERT_FALSE(person->SetPersonalInformation(empty, none, noMail, noGreeting, noChild));
    const std::string where = "PERSON_ID = " + std::to_string(empty.lngPersonID);
    for (const char* column :
         {"LASTNAME", "LASTALIAS", "FIRSTNAME", "FIRSTALIAS", "TITLE", "NICKNAME", "LABEL1", "MEMO1", "LABEL2",
          "MEMO2", "HOME_ZIP", "HOME_ADDRESS1", "HOME_ADDRESS2", "HOME_URL", "LABEL3", "MEMO3", "LABEL4", "MEMO4",
          "ALIAS", "COMPANY", "CO_POSITION", "CO_SECTION", "OFFICE_ZIP", "OFFICE_ADDRESS1", "OFFICE_ADDRESS2",
          "OFFICE_URL", "LABEL5", "MEMO5", "LABEL6", "MEMO6", "CONSTELLATION", "BLOOD", "MATEALIAS", "MATE",
          "HOBBY", "NOTE", "\"DEFAULT\"", "BIRTHDAY", "ANNIVERSARY"})
        EXPECT_EQ(db.column(std::string("SELECT quote(") + column + ") FROM T_PERSON WHERE " + where),
                  std::vector<std::string>{"NULL"})
            << column;
    EXPECT_EQ(db.column("SELECT quote(AGE) || '|' || TYPE_ID FROM T_PERSON WHERE " + where),
              std::vector<std::string>{"0|0"});
    EXPECT_EQ(count("T_PHONE") + count("T_EMAIL") + count("T_GREETING") + count("T_CHILDREN") + count("T_TODOLIST"),
              0);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonInsert, ShortFormChoosesTheAddressByDefault) {
    struct Case {
        std::string defaut;
        bool office;
        std::string storedDefault;
    };
    for (const Case& c : {Case{"OFFICE", true, "'OFFICE'"}, Case{"", false, "''"}, Case{"office", false, "'office'"},
                          Case{"HOME", false, "'HOME'"}}) {
        PersonInformation p;
        p.lngTypeID = 2;
        p.strLastAlias = "やまだ";
        p.strLastName = "山田";
        p.strFirstAlias = "たろう";
        p.strFirstName = "太郎";
        p.strAlias = "ヤマダ";
        p.strCompany = "山田商事";
        p.strHomeZip = "100-0001";
        p.strHomeAddress1 = "自宅1";
        p.strHomeAddress2 = "自宅2";
        p.strOfficeZip = "200-0002";
        p.strOfficeAddress1 = "会社1";
        p.strOfficeAddress2 = "会社2";
        p.strNote = "メモ";
        p.strDefaut = c.defaut;
        // Not part of the short form.
        p.strTitle = "様";
        p.strHomeURL = "http://example.jp/";
        p.intAge = 30;
        p.dyBirthday = 30000;
        std::vector<PhoneInformation> phones = {phone("03-1", "自宅")};
        std::vector<MailInformation> mails = {mail(""), mail("t@example.jp")};
        ASSERT_FALSE(person->SetPersonalInformationEZ(p, phones, mails)) << c.defaut;
        const std::string where = " FROM T_PERSON WHERE PERSON_ID = " + std::to_string(p.lngPersonID);
        EXPECT_EQ(db.column("SELECT TYPE_ID || LASTALIAS || LASTNAME || FIRSTALIAS || FIRSTNAME || ALIAS || COMPANY || "
                            "NOTE" + where),
                  std::vector<std::string>{"2やまだ山田たろう太郎ヤマダ山田商事メモ"});
        const std::string home = "quote(HOME_ZIP) || quote(HOME_ADDRESS1) || quote(HOME_ADDRESS2)";
        const std::string office = "quote(OFFICE_ZIP) || quote(OFFICE_ADDRESS1) || quote(OFFICE_ADDRESS2)";
        EXPECT_EQ(db.column("SELECT " + (c.office ? office : home) + where),
                  std::vector<std::string>{c.office ? "'200-0002''会社1''会社2'" : "'100-0001''自宅1''自宅2'"})
            << c.defaut;
        EXPECT_EQ(db.column("SELECT " + (c.office ? home : office) + where), std::vector<std::string>{"NULLNULLNULL"})
            << c.defaut;
        EXPECT_EQ(db.column("SELECT quote(\"DEFAULT\")" + where), std::vector<std::string>{c.storedDefault});
        EXPECT_EQ(db.column("SELECT quote(TITLE) || quote(HOME_URL) || quote(AGE) || quote(BIRTHDAY)" + where),
                  std::vector<std::string>{"NULLNULLNULLNULL"});
        EXPECT_EQ(count("T_PHONE", "PERSON_ID = " + std::to_string(p.lngPersonID)), 1);
        EXPECT_EQ(count("T_EMAIL", "PERSON_ID = " + std::to_string(p.lngPersonID)), 1);
        EXPECT_EQ(mails[1].lngPersonID, p.lngPersonID);
        EXPECT_EQ(mails[0].lngPersonID, 0);
    }
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonInsert, ANoteOfTenCharactersBecomesTheFirstToDo) {
    struct Case {
        std::string note;
        bool todo;
    };
    const std::vector<Case> cases = {{"", false},
                                     {"123456789", false},
                                     {"1234567890", true},
                                     {"あいうえおかきくけ", false},  // 9 characters, 27 bytes
                                     {"あいうえおかきくけこ", true},
                                     {"01/09/24 歯医者\r\n01/10/01 会議", true}};
    for (const bool shortForm : {false, true}) {
        for (const Case& c : cases) {
            PersonInformation p;
            p.strNote = c.note;
            std::vector<PhoneInformation> phones;
            std::vector<MailInformation> mails;
            std::vector<GreetingInformation> greetings;
            std::vector<ChildrenInformation> children;
            ASSERT_FALSE(shortForm ? person->SetPersonalInformationEZ(p, phones, mails)
                                   : person->SetPersonalInformation(p, phones, mails, greetings, children));
            const std::string id = std::to_string(p.lngPersonID);
            EXPECT_EQ(db.column("SELECT quote(NOTE) FROM T_PERSON WHERE PERSON_ID = " + id),
                      std::vector<std::string>{c.note.empty() ? "NULL" : "'" + c.note + "'"});
            EXPECT_EQ(db.column("SELECT CHK_FLAG || '|' || NOTE FROM T_TODOLIST WHERE PERSON_ID = " + id),
                      c.todo ? std::vector<std::string>{"-1|" + c.note} : std::vector<std::string>{})
                << c.note;
        }
    }
}

TEST_F(PersonInsert, TextsComeBackByteForByte) {
    const std::vector<std::string> texts = {"O'Brien", "a,b", "\"quoted\"", "line1\r\nline2", "'';--", "%_*?",
                                            "末尾の空白 ", "\t"};
    for (const std::string& text : texts) {
        PersonInformation p;
        p.strLastName = text;
        p.strNote = text;
        std::vector<PhoneInformation> phones = {phone(text, text, 1, text)};
        std::vector<MailInformation> mails = {mail(text, text)};
        std::vector<GreetingInformation> greetings = {greeting(2024, text)};
        std::vector<ChildrenInformation> children = {child(text, text)};
        ASSERT_FALSE(person->SetPersonalInformation(p, phones, mails, greetings, children)) << text;
        EXPECT_EQ(person->GetPersonalInformation(p.lngPersonID).strLastName, text);
        EXPECT_EQ(person->GetPersonalInformation(p.lngPersonID).strNote, text);
        std::vector<PhoneInformation> phonesBack;
        std::vector<MailInformation> mailsBack;
        std::vector<GreetingInformation> greetingsBack;
        std::vector<ChildrenInformation> childrenBack;
        ASSERT_FALSE(person->GetPhoneNumberInfo(p.lngPersonID, phonesBack));
        ASSERT_FALSE(person->GetMailAddressInfo(p.lngPersonID, mailsBack));
        ASSERT_FALSE(person->GetGreetingInformation(p.lngPersonID, greetingsBack));
        ASSERT_FALSE(person->GetChildInformation(p.lngPersonID, childrenBack));
        ASSERT_EQ(phonesBack.size(), 1u);
        EXPECT_EQ(phonesBack[0].strPhoneNumber + phonesBack[0].strLabel + phonesBack[0].strType, text + text + text);
        ASSERT_EQ(mailsBack.size(), 1u);
        EXPECT_EQ(mailsBack[0].strMailAddress + mailsBack[0].strLabel, text + text);
        ASSERT_EQ(greetingsBack.size(), 1u);
        EXPECT_EQ(greetingsBack[0].strMemo, text);
        ASSERT_EQ(childrenBack.size(), 1u);
        EXPECT_EQ(childrenBack[0].strName + childrenBack[0].strAlias, text + text);
    }
    EXPECT_TRUE(sink.messages().empty());
}

class PersonInsertMany : public ManyRowsFixture {};

TEST_F(PersonInsertMany, FortyThousandPhones) {
    PersonInformation p;
    std::vector<PhoneInformation> phones;
    for (int i = 0; i < 40000; ++i) phones.push_back(phone(std::to_string(i), "", static_cast<Integer>(i % 100)));
    std::vector<MailInformation> mails = {mail("last@example.jp")};
    ASSERT_FALSE(person->SetPersonalInformationEZ(p, phones, mails));
    EXPECT_EQ(count("T_PHONE", "PERSON_ID = " + std::to_string(p.lngPersonID)), 40000);
    // Every element got its own row's key; the mail after them was stored.
    EXPECT_EQ(db.scalar("SELECT TEL_NUMBER FROM T_PHONE WHERE PHONE_ID = " + std::to_string(phones.back().lngPhoneID)),
              39999);
    EXPECT_EQ(phones.back().lngPhoneID - phones.front().lngPhoneID, 39999);
    EXPECT_NE(mails[0].lngMailID, 0);
    EXPECT_TRUE(sink.messages().empty());
}

// A row the database refuses, made with a trigger: the step that stores it
// fails inside its routine.
void refuse(ScratchDatabase& db, const std::string& table, const std::string& when) {
    db.exec("CREATE TRIGGER refuse_" + table + " BEFORE INSERT ON " + table + " WHEN " + when +
            " BEGIN SELECT RAISE(ABORT, 'refused'); END;");
}

TEST_F(PersonInsert, AFailedStepRemovesThePersonAndWhatItStored) {
    struct Case {
        std::string table, when, code;
    };
    const std::vector<Case> cases = {
        {"T_PERSON", "1", "CLS-pida1010"},
        {"T_TODOLIST", "1", "CLS-pida1010"},
        {"T_PHONE", "NEW.TEL_NUMBER = 'FAIL'", "CLS-piad1011"},
        {"T_EMAIL", "NEW.MAIL_ADDRESS = 'FAIL'", "CLS-pida1012"},
        {"T_GREETING", "NEW.MEMO = 'FAIL'", "CLS-pida1013"},
        {"T_CHILDREN", "NEW.CHILDREN = 'FAIL'", "CLS-pida1020"},
    };
    const long long other = storePerson("他人");
    db.exec("INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (" + std::to_string(other) + ", '099')");
    for (const Case& c : cases) {
        refuse(db, c.table, c.when);
        const auto before = contents();
        PersonInformation p;
        p.lngPersonID = static_cast<Long>(other);  // passed again: never deleted
        p.strNote = "十文字以上のメモです。";
        std::vector<PhoneInformation> phones = {phone("1"), phone("FAIL"), phone("3")};
        std::vector<MailInformation> mails = {mail("FAIL")};
        std::vector<GreetingInformation> greetings = {greeting(1, "FAIL")};
        std::vector<ChildrenInformation> children = {child("FAIL")};
        if (c.table != "T_PHONE") phones[1].strPhoneNumber = "2";
        sink.clear();
        EXPECT_TRUE(person->SetPersonalInformation(p, phones, mails, greetings, children)) << c.table;
        EXPECT_EQ(reportCodes(sink), Codes{c.code}) << c.table;
        EXPECT_EQ(contents(), before) << c.table;
        // Steps after the failing one did not run.
        if (c.table == "T_PHONE") {
            EXPECT_NE(phones[0].lngPhoneID, 0);  // stored, then removed with its person
            EXPECT_EQ(phones[2].lngPhoneID, 0);
            EXPECT_EQ(mails[0].lngPersonID, 0);
        }
        db.exec("DROP TRIGGER refuse_" + c.table);
    }
    EXPECT_EQ(count("T_PERSON"), 1);
    EXPECT_EQ(orphans(), 0);
}

TEST_F(PersonInsert, ShortFormFailuresToo) {
    refuse(db, "T_EMAIL", "1");
    const auto before = contents();
    PersonInformation p;
    std::vector<PhoneInformation> phones = {phone("1"), phone("2")};
    std::vector<MailInformation> mails = {mail("x@example.jp")};
    EXPECT_TRUE(person->SetPersonalInformationEZ(p, phones, mails));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-pida1012"});
    EXPECT_EQ(contents(), before);
    EXPECT_NE(p.lngPersonID, 0);  // the IDs written back stay
    EXPECT_EQ(phones[1].lngPersonID, p.lngPersonID);
}

TEST_F(PersonInsert, WithoutAConnectionNothingIsStored) {
    Ref<clsPidAccess> unconnected = createObject<clsPidAccess>();
    PersonInformation p;
    std::vector<PhoneInformation> phones = {phone("1")};
    std::vector<MailInformation> mails;
    std::vector<GreetingInformation> greetings;
    std::vector<ChildrenInformation> children;
    EXPECT_TRUE(unconnected->SetPersonalInformation(p, phones, mails, greetings, children));
    EXPECT_TRUE(unconnected->SetPersonalInformationEZ(p, phones, mails));
    Long id = 1;
    EXPECT_TRUE(unconnected->DelPersonalInformation(id));
    EXPECT_EQ(reportCodes(sink), (Codes{"CLS-pida1009", "CLS-pida1008", "CLS-pida1022"}));
    EXPECT_EQ(phones[0].lngPersonID, 0);
}

class PersonDelete : public PersonFixture {};

TEST_F(PersonDelete, RemovesThePersonAndTheRowsThatBelongToIt) {
    PersonInformation kept;
    kept.strNote = "十文字以上のメモがある人";
    PersonInformation gone;
    gone.strNote = "01/09/24 十文字以上の予定";
    std::vector<PhoneInformation> phones = {phone("1"), phone("2")};
    std::vector<MailInformation> mails = {mail("a@example.jp")};
    std::vector<GreetingInformation> greetings = {greeting(2024)};
    std::vector<ChildrenInformation> children = {child("花子")};
    ASSERT_FALSE(person->SetPersonalInformation(kept, phones, mails, greetings, children));
    ASSERT_FALSE(person->SetPersonalInformation(gone, phones, mails, greetings, children));
    const auto withBoth = contents();

    Long id = gone.lngPersonID;
    EXPECT_FALSE(person->DelPersonalInformation(id));
    EXPECT_EQ(id, gone.lngPersonID);
    EXPECT_EQ(count("T_PERSON"), 1);
    EXPECT_EQ(count("T_PHONE"), 2);
    EXPECT_EQ(count("T_EMAIL") + count("T_GREETING") + count("T_CHILDREN"), 3);
    EXPECT_EQ(count("T_TODOLIST"), 1);
    EXPECT_EQ(orphans(), 0);

    // An ID without a row deletes nothing and is no failure.
    const auto after = contents();
    EXPECT_NE(after, withBoth);
    for (Long missing : {id, Long{0}, Long{-5}}) EXPECT_FALSE(person->DelPersonalInformation(missing));
    EXPECT_EQ(contents(), after);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonDelete, AFailedDeleteIsRolledBack) {
    const long long id = storePerson("残る");
    db.exec("INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER) VALUES (" + std::to_string(id) + ", '1')");
    // The cascade fails half way: the person and the phone stay.
    db.exec("CREATE TRIGGER refuse_delete BEFORE DELETE ON T_EMAIL BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    db.exec("INSERT INTO T_EMAIL (PERSON_ID, MAIL_ADDRESS) VALUES (" + std::to_string(id) + ", 'm')");
    const auto before = contents();
    Long lngPersonID = static_cast<Long>(id);
    EXPECT_TRUE(person->DelPersonalInformation(lngPersonID));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-pida1022"});
    EXPECT_EQ(contents(), before);
}

}  // namespace
}  // namespace lumo::test
