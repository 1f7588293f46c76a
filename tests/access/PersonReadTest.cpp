// Reading a person and the person's phones, mails, greetings and children.
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

class PersonRead : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(person->Initialize(db.connectionString())); }

    ScratchDatabase db{schema::personDdl()};
    RecordingSink sink;
    Ref<clsPidAccess> person = createObject<clsPidAccess>();
};

TEST_F(PersonRead, EveryColumnLandsInItsField) {
    // Each text column holds its own name, so a mix-up shows.
    const std::vector<std::string> texts = {
        "LASTNAME", "LASTALIAS", "FIRSTNAME", "FIRSTALIAS", "TITLE", "NICKNAME", "LABEL1", "MEMO1", "LABEL2",
        "MEMO2", "HOME_ZIP", "HOME_ADDRESS1", "HOME_ADDRESS2", "HOME_URL", "LABEL3", "MEMO3", "LABEL4", "MEMO4",
        "ALIAS", "COMPANY", "CO_POSITION", "CO_SECTION", "OFFICE_ZIP", "OFFICE_ADDRESS1", "OFFICE_ADDRESS2",
        "OFFICE_URL", "LABEL5", "MEMO5", "LABEL6", "MEMO6", "CONSTELLATION", "BLOOD", "MATEALIAS", "MATE", "HOBBY",
        "NOTE", "DEFAULT"};
    std::string columns = "PERSON_ID, TYPE_ID, BIRTHDAY, AGE, ANNIVERSARY";
    std::string values = "12, 3, 30000.5, 42, 40000";
    for (const std::string& c : texts) {
        columns += ", \"" + c + "\"";
        values += ", '" + c + "'";
    }
    db.exec("INSERT INTO T_PERSON (" + columns + ") VALUES (" + values + ")");

    const PersonInformation p = person->GetPersonalInformation(12);
    EXPECT_TRUE(sink.messages().empty());
    EXPECT_EQ(p.lngPersonID, 12);
    EXPECT_EQ(p.lngTypeID, 3);
    EXPECT_EQ(p.dyBirthday, 30000.5);
    EXPECT_EQ(p.intAge, 42);
    EXPECT_EQ(p.dyAnniversary, 40000);
    const std::vector<std::string> got = {
        p.strLastName, p.strLastAlias, p.strFirstName, p.strFirstAlias, p.strTitle, p.strNickName, p.strLabel1,
        p.strMemo1, p.strLabel2, p.strMemo2, p.strHomeZip, p.strHomeAddress1, p.strHomeAddress2, p.strHomeURL,
        p.strLabel3, p.strMemo3, p.strLabel4, p.strMemo4, p.strAlias, p.strCompany, p.strPosition, p.strSection,
        p.strOfficeZip, p.strOfficeAddress1, p.strOfficeAddress2, p.strOfficeURL, p.strLabel5, p.strMemo5,
        p.strLabel6, p.strMemo6, p.strConstellation, p.strBlood, p.strMateAlias, p.strMate, p.strHobby, p.strNote,
        p.strDefaut};
    EXPECT_EQ(got, texts);
}

TEST_F(PersonRead, NullRulesAndMissingPersons) {
    db.exec("INSERT INTO T_PERSON (PERSON_ID, TYPE_ID) VALUES (5, 1)");
    const PersonInformation p = person->GetPersonalInformation(5);
    EXPECT_EQ(p.lngPersonID, 5);
    EXPECT_EQ(p.lngTypeID, 1);
    EXPECT_EQ(p.dyBirthday, 0);
    EXPECT_EQ(p.dyAnniversary, 0);
    EXPECT_EQ(p.intAge, 0);
    EXPECT_EQ(p.strLastName, "");
    EXPECT_EQ(p.strDefaut, "");

    // No such person: the empty record, and no failure.
    EXPECT_EQ(person->GetPersonalInformation(404).lngPersonID, 0);
    EXPECT_TRUE(sink.messages().empty());

    // A group that cannot be read: the reports of the opening routine and
    // of the reader, naming the table and column, and the empty record.
    // (A damaged row: the schema's checks would refuse it.)
    db.exec("PRAGMA ignore_check_constraints = ON;"
            "INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME) VALUES (6, 3000000000, '田中')");
    const PersonInformation failed = person->GetPersonalInformation(6);
    EXPECT_EQ(reportCodes(sink), (Codes{"CLS-pida1004", "CLS-pida1037"}));
    EXPECT_NE(sink.messages().at(0).text.find("(T_PERSON.TYPE_ID)"), std::string::npos) << sink.messages()[0].text;
    EXPECT_EQ(failed.lngPersonID, 0);
    EXPECT_EQ(failed.strLastName, "");
}

TEST_F(PersonRead, PhonesComeByRankThenIdentifier) {
    db.exec("INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, LABEL, TEL_NUMBER, RANK, TYPE) VALUES "
            "(7, 1, '携帯', '090-7', 2, 'MOBILE'), (5, 1, '自宅', '03-5', 1, 'HOME'), "
            "(9, 1, NULL, '06-9', 1, NULL), (8, 2, 'other', '0', 0, '')");
    std::vector<PhoneInformation> phones(10);
    EXPECT_FALSE(person->GetPhoneNumberInfo(1, phones));
    EXPECT_TRUE(sink.messages().empty());
    ASSERT_EQ(phones.size(), 3u);
    EXPECT_EQ(phones[0].lngPhoneID, 5);
    EXPECT_EQ(phones[1].lngPhoneID, 9);
    EXPECT_EQ(phones[2].lngPhoneID, 7);
    EXPECT_EQ(phones[0].lngPersonID, 1);
    EXPECT_EQ(phones[0].strLabel, "自宅");
    EXPECT_EQ(phones[0].strPhoneNumber, "03-5");
    EXPECT_EQ(phones[0].intRank, 1);
    EXPECT_EQ(phones[0].strType, "HOME");
    EXPECT_EQ(phones[1].strLabel, "");
    EXPECT_EQ(phones[1].strType, "");
    EXPECT_EQ(phones[2].intRank, 2);
}

TEST_F(PersonRead, MailsComeByDescendingRank) {
    db.exec("INSERT INTO T_EMAIL (MAIL_ID, PERSON_ID, LABEL, MAIL_ADDRESS, RANK, TYPE) VALUES "
            "(1, 3, '仕事', 'a@example.jp', 1, 'OFFICE'), (2, 3, '個人', 'b@example.jp', 3, 'HOME')");
    std::vector<MailInformation> mails;
    EXPECT_FALSE(person->GetMailAddressInfo(3, mails));
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(mails[0].lngMailID, 2);
    EXPECT_EQ(mails[0].strMailAddress, "b@example.jp");
    EXPECT_EQ(mails[0].strLabel, "個人");
    EXPECT_EQ(mails[0].intRank, 3);
    EXPECT_EQ(mails[0].strType, "HOME");
    EXPECT_EQ(mails[0].lngPersonID, 3);
    EXPECT_EQ(mails[1].lngMailID, 1);
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonRead, ListsWithoutRowsLeaveTheArraysAlone) {
    db.exec("INSERT INTO T_PERSON (PERSON_ID, TYPE_ID) VALUES (1, 1)");
    std::vector<PhoneInformation> phones;
    std::vector<MailInformation> mails(1);
    mails[0].strMailAddress = "kept";
    std::vector<GreetingInformation> greetings(2);
    std::vector<ChildrenInformation> children(1);
    children[0].strName = "kept";
    EXPECT_FALSE(person->GetPhoneNumberInfo(1, phones));
    EXPECT_FALSE(person->GetMailAddressInfo(1, mails));
    EXPECT_FALSE(person->GetGreetingInformation(1, greetings));
    EXPECT_FALSE(person->GetChildInformation(1, children));
    EXPECT_TRUE(phones.empty());
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].strMailAddress, "kept");
    EXPECT_EQ(greetings.size(), 2u);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].strName, "kept");
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonRead, AFailingRowEndsTheListAndKeepsWhatWasRead) {
    // A rank beyond an Integer (a damaged row: the schema's checks would
    // refuse it) cannot be read. In descending order it comes last; the
    // rows of so large a result are read as the cursor reaches them, so
    // the failure is the last row's.
    db.exec("PRAGMA ignore_check_constraints = ON;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1999) "
            "INSERT INTO T_EMAIL (MAIL_ID, PERSON_ID, MAIL_ADDRESS, RANK) SELECT i, 1, 'm' || i, 3000 - i FROM n;"
            "INSERT INTO T_EMAIL (MAIL_ID, PERSON_ID, MAIL_ADDRESS, RANK) VALUES (2000, 1, 'bad', -40000)");
    std::vector<MailInformation> mails(7);
    EXPECT_TRUE(person->GetMailAddressInfo(1, mails));
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-pida1038"});
    EXPECT_NE(sink.messages().at(0).text.find("(T_EMAIL.RANK)"), std::string::npos) << sink.messages()[0].text;
    ASSERT_EQ(mails.size(), 2000u);
    EXPECT_EQ(mails[0].strMailAddress, "m1");
    EXPECT_EQ(mails[1998].strMailAddress, "m1999");
}

TEST_F(PersonRead, GreetingFlagsAreTrueUnlessZero) {
    const std::vector<std::string> flags = {"NEWYEAR_SEND", "NEWYEAR_RECEIVE", "SUMMER_SEND",  "SUMMER_RECEIVE",
                                            "MIDYEAR_SEND", "MIDYEAR_RECEIVE", "YEAREND_SEND", "YEAREND_RECEIVE"};
    // Row k has only flag k set, alternately stored as -1 and as 1.
    for (std::size_t k = 0; k < flags.size(); ++k)
        db.exec("INSERT INTO T_GREETING (GREETING_ID, PERSON_ID, TARGET, MEMO, " + flags[k] + ") VALUES (" +
                std::to_string(k + 1) + ", 8, " + std::to_string(2000 + k) + ", 'm" + std::to_string(k) + "', " +
                (k % 2 ? "1" : "-1") + ")");
    std::vector<GreetingInformation> greetings;
    EXPECT_FALSE(person->GetGreetingInformation(8, greetings));
    EXPECT_TRUE(sink.messages().empty());
    ASSERT_EQ(greetings.size(), flags.size());
    for (std::size_t k = 0; k < flags.size(); ++k) {
        const GreetingInformation& g = greetings[k];
        EXPECT_EQ(g.lngGreetingID, static_cast<Long>(k + 1));
        EXPECT_EQ(g.lngPersonID, 8);
        EXPECT_EQ(g.lngYear, static_cast<Long>(2000 + k));
        EXPECT_EQ(g.strMemo, "m" + std::to_string(k));
        const std::vector<bool> got = {g.blnNewYear_Send, g.blnNewYear_Receive, g.blnSummer_Send,
                                       g.blnSummer_Receive, g.blnMidYear_Send, g.blnMidYear_Receive,
                                       g.blnYearEnd_Send, g.blnYearEnd_Receive};
        std::vector<bool> expected(flags.size(), false);
        expected[k] = true;
        EXPECT_EQ(got, expected) << "row " << k;
    }
}

TEST_F(PersonRead, ChildrenReadNameAndReading) {
    db.exec("INSERT INTO T_CHILDREN (CHILD_ID, PERSON_ID, CHILDREN, ALIAS) VALUES (4, 2, '花子', 'はなこ'), "
            "(6, 2, NULL, NULL)");
    std::vector<ChildrenInformation> children(5);
    EXPECT_FALSE(person->GetChildInformation(2, children));
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0].lngChildID, 4);
    EXPECT_EQ(children[0].lngPersonID, 2);
    EXPECT_EQ(children[0].strName, "花子");
    EXPECT_EQ(children[0].strAlias, "はなこ");
    EXPECT_EQ(children[1].strName, "");
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonRead, MoreRowsThanASixteenBitCounterHolds) {
    db.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 33000) "
            "INSERT INTO T_PHONE (PERSON_ID, TEL_NUMBER, RANK) SELECT 1, 'tel' || i, 0 FROM n");
    std::vector<PhoneInformation> phones;
    EXPECT_FALSE(person->GetPhoneNumberInfo(1, phones));
    EXPECT_TRUE(sink.messages().empty());
    ASSERT_EQ(phones.size(), 33000u);
    EXPECT_EQ(phones[32767].strPhoneNumber, "tel32768");
    EXPECT_EQ(phones.back().strPhoneNumber, "tel33000");
}

}  // namespace
}  // namespace lumo::test
