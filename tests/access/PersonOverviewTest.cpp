// The short overview of one person: name fields, three phone slots by
// rank, two mail slots highest rank first.
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

class PersonOverview : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(person->Initialize(db.connectionString())); }

    ScratchDatabase db{schema::personDdl()};
    RecordingSink sink;
    Ref<clsPidAccess> person = createObject<clsPidAccess>();
};

TEST_F(PersonOverview, FillsNameAddressesAndTheFirstPhonesAndMails) {
    db.exec("INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME, FIRSTNAME, NICKNAME, COMPANY, ALIAS, HOME_ZIP, "
            "HOME_ADDRESS1, HOME_ADDRESS2, OFFICE_ZIP, OFFICE_ADDRESS1, OFFICE_ADDRESS2, NOTE) VALUES (7, 1, '山田', "
            "'太郎', 'タロ', '山田商事', 'やまだしょうじ', 'hz', 'ha1', 'ha2', 'oz', 'oa1', 'oa2', '26/01/01 メモ')");
    // Five phones of ranks 1 to 5, stored out of order; a sixth person's
    // phone that must not show.
    db.exec("INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, LABEL, TEL_NUMBER, RANK) VALUES "
            "(1, 7, 'r4', 'n4', 4), (2, 7, 'r2', 'n2', 2), (3, 7, 'r5', 'n5', 5), (4, 7, 'r1', 'n1', 1), "
            "(5, 7, 'r3', 'n3', 3), (6, 8, 'other', 'x', 0)");
    db.exec("INSERT INTO T_EMAIL (MAIL_ID, PERSON_ID, LABEL, MAIL_ADDRESS, RANK) VALUES "
            "(1, 7, 'low', 'rank1@x', 1), (2, 7, 'high', 'rank9@x', 9), (3, 7, 'mid', 'rank5@x', 5)");

    const PersonaInfoOverview o = person->GetPersonalInformaionOverView(7);
    EXPECT_TRUE(sink.messages().empty());
    const std::vector<std::string> got = {
        o.strName,         o.strNickName,       o.strCompany,        o.strAlias,      o.strHomeZip,
        o.strHomeAddress1, o.strHomeAddress2,   o.strOfficeZip,      o.strOfficeAddress1, o.strOfficeAddress2,
        o.strPhonelabel1,  o.strPhone1,         o.strPhonelabel2,    o.strPhone2,     o.strPhonelabel3,
        o.strPhone3,       o.strMaillabel1,     o.strMail1,          o.strMaillabel2, o.strMail2,
        o.strNote};
    EXPECT_EQ(got, (std::vector<std::string>{"山田 太郎", "(タロ)", "山田商事", "(やまだしょうじ)", "hz", "ha1", "ha2",
                                             "oz", "oa1", "oa2", "r1", "n1", "r2", "n2", "r3", "n3", "high",
                                             "rank9@x", "mid", "rank5@x", "26/01/01 メモ"}));
}

TEST_F(PersonOverview, EmptyFieldsKeepTheirSeparatorsAndMissingRowsLeaveSlotsEmpty) {
    db.exec("INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME) VALUES (3, 1, '佐藤')");
    db.exec("INSERT INTO T_EMAIL (MAIL_ID, PERSON_ID, LABEL, MAIL_ADDRESS, RANK) VALUES (1, 3, NULL, 'only@x', 1)");
    const PersonaInfoOverview o = person->GetPersonalInformaionOverView(3);
    EXPECT_EQ(o.strName, "佐藤 ");
    EXPECT_EQ(o.strNickName, "()");
    EXPECT_EQ(o.strAlias, "()");
    EXPECT_EQ(o.strCompany, "");
    EXPECT_EQ(o.strPhone1, "");
    EXPECT_EQ(o.strMaillabel1, "");
    EXPECT_EQ(o.strMail1, "only@x");
    EXPECT_EQ(o.strMail2, "");

    // Phones without a person row still fill their slots; the name fields
    // stay empty, without parentheses.
    db.exec("INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, LABEL, TEL_NUMBER, RANK) VALUES (1, 9, '携帯', '090', 1)");
    const PersonaInfoOverview orphan = person->GetPersonalInformaionOverView(9);
    EXPECT_EQ(orphan.strName, "");
    EXPECT_EQ(orphan.strNickName, "");
    EXPECT_EQ(orphan.strPhonelabel1, "携帯");
    EXPECT_EQ(orphan.strPhone1, "090");

    const PersonaInfoOverview nobody = person->GetPersonalInformaionOverView(404);
    EXPECT_EQ(nobody.strName, "");
    EXPECT_EQ(nobody.strNickName, "");
    EXPECT_EQ(nobody.strPhone1, "");
    EXPECT_TRUE(sink.messages().empty());
}

TEST_F(PersonOverview, AFailureKeepsWhatWasFilledBeforeIt) {
    db.exec("INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME, FIRSTNAME) VALUES (4, 1, '鈴木', '健一')");
    db.exec("INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, LABEL, TEL_NUMBER, RANK) VALUES (1, 4, '自宅', '052', 1)");
    // The mails cannot be opened: their routine reports, and the overview
    // reports when it comes to them.
    db.exec("DROP VIEW vwMailAddress; DROP TABLE T_EMAIL");
    const PersonaInfoOverview o = person->GetPersonalInformaionOverView(4);
    EXPECT_EQ(reportCodes(sink), (Codes{"CLS-pida1006", "CLS-pida1003"}));
    EXPECT_EQ(o.strName, "鈴木 健一");
    EXPECT_EQ(o.strPhone1, "052");
    EXPECT_EQ(o.strMail1, "");
}

TEST_F(PersonOverview, WithoutAConnectionEveryRoutineReportsOnce) {
    Ref<clsPidAccess> fresh = createObject<clsPidAccess>();
    const PersonaInfoOverview o = fresh->GetPersonalInformaionOverView(1);
    EXPECT_EQ(reportCodes(sink), (Codes{"CLS-pida1004", "CLS-pida1005", "CLS-pida1006", "CLS-pida1003"}));
    EXPECT_EQ(o.strName, "");
}

}  // namespace
}  // namespace lumo::test
