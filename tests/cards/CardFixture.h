#pragma once
// An address book made for the card tests: persons with awkward addresses,
// greeting rows of last year and this one, phones whose display order
// differs from their key order, a spouse and a child. Plain SQL, so that
// the rows are exactly these.
#include <string>

#include "tests/tools/ToolsTestSupport.h"

namespace lumo::test {

inline constexpr int kYear = 2027;

// Person IDs of the fixture, in the address book's reading order:
// 6 いとう (no address), 2 さとう, 4 すずき, 5 たなか (no postal code),
// 7 はやし (mourning in 2027), 1 やまだ, 3 オブライエン.
inline void fillCardFixture(const std::string& personDb) {
    Db db(personDb);
    db.exec("INSERT INTO T_GROUPING (TYPE_ID, LABEL) VALUES (2, '友人'), (3, '仕事')");
    const char* columns =
        "INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, AGE, LASTNAME, FIRSTNAME, LASTALIAS, FIRSTALIAS, TITLE, HOME_ZIP, "
        "HOME_ADDRESS1, HOME_ADDRESS2, MATE, COMPANY, CO_SECTION, CO_POSITION, OFFICE_ZIP, OFFICE_ADDRESS1) VALUES ";
    db.exec(std::string(columns) +
            "(1, 2, 50, '山田', '太郎', 'やまだ', 'たろう', NULL, '150-0001', '東京都渋谷区神宮前1-2-3', NULL, "
            "'山田 恵子', NULL, NULL, NULL, NULL, NULL),"
            "(2, 2, 45, '佐藤', '花子', 'さとう', 'はなこ', '様', '231-0023', '神奈川県横浜市中区山下町1', "
            "'グリーンハイツ203号室', NULL, NULL, NULL, NULL, NULL, NULL),"
            "(3, 3, 40, 'O''Brien', 'Michael', 'オブライエン', 'マイケル', '様', '105-0011', '東京都港区芝公園4-2-8', "
            "'ABCタワー5F', NULL, 'Dublin Trading', '営業部', '部長', '105-0011', '東京都港区芝公園4-2-8'),"
            "(4, 2, 60, '鈴木', '一郎', 'すずき', 'いちろう', '様', '060-0001', "
            "'北海道札幌市中央区北一条西二十丁目1234番地5678号の住所ですこれは四十文字', NULL, NULL, NULL, NULL, "
            "NULL, NULL, NULL),"
            "(5, 2, 30, '田中', '美咲', 'たなか', 'みさき', '様', NULL, '京都府京都市中京区', NULL, NULL, NULL, NULL, "
            "NULL, NULL, NULL),"
            "(6, 3, 35, '伊藤', '誠', 'いとう', 'まこと', '様', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            "(7, 2, 70, '林', '恵子', 'はやし', 'けいこ', '様', '100-0001', '東京都千代田区千代田1-1', NULL, NULL, NULL, "
            "NULL, NULL, NULL, NULL)");
    // Phone 1 shows after phone 2 (RANK), mails likewise.
    db.exec("INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, LABEL, TEL_NUMBER, RANK, TYPE) VALUES "
            "(1, 1, '自宅', '03-1111-1111', 2, 'HOME'), (2, 1, '携帯', '090-2222-2222', 1, 'MOBILE'),"
            "(3, 2, '自宅', '045-333-3333', 1, 'HOME')");
    db.exec("INSERT INTO T_EMAIL (MAIL_ID, PERSON_ID, LABEL, MAIL_ADDRESS, RANK, TYPE) VALUES "
            "(1, 1, 'PC', 'taro@example.jp', 1, 'HOME'), (2, 1, '携帯', 'taro@mobile.example.jp', 2, 'MOBILE')");
    db.exec("INSERT INTO T_CHILDREN (CHILD_ID, PERSON_ID, CHILDREN, ALIAS) VALUES "
            "(1, 1, '山田 花', 'やまだ はな'), (2, 1, '山田 翔', 'やまだ しょう')");
    // Everyone wrote or was written to last year; 林 is in mourning this year.
    db.exec("INSERT INTO T_GREETING (GREETING_ID, PERSON_ID, TARGET, NEWYEAR_SEND, NEWYEAR_RECEIVE, SUMMER_SEND, "
            "MEMO) VALUES "
            "(1, 1, 2026, -1, -1, -1, 'りんご'), (2, 2, 2026, -1, 0, 0, NULL), (3, 3, 2026, 0, -1, 0, NULL),"
            "(4, 4, 2026, -1, -1, 0, NULL), (5, 5, 2026, -1, 0, 0, NULL), (6, 6, 2026, -1, -1, 0, NULL),"
            "(7, 7, 2026, -1, -1, 0, NULL), (8, 7, 2027, 0, 0, 0, '【喪中】 祖父'), (9, 1, 2027, 0, 0, -1, '夏')");
}

}  // namespace lumo::test
