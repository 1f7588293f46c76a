// Sample persons of `lumo init --sample`.
#include <string_view>
#include <vector>

#include "platform/Dates.h"
#include "tools/init/SampleData.h"

namespace lumo::tools {
namespace {

struct SampleNumber {
    std::string_view type, label, value;  // a phone number or a mail address
};
struct SampleChild {
    std::string_view name, alias;
};
struct SampleGreeting {
    int year;
    std::array<bool, 8> flags;  // new year, summer, mid-year, year end; sent, received
    std::string_view memo;
};

struct SamplePerson {
    std::string_view group;
    PersonRecord record;
    std::vector<SampleNumber> phones;
    std::vector<SampleNumber> mails;
    std::vector<SampleChild> children;
    std::vector<SampleGreeting> greetings;
};

double day(int year, int month, int d) { return dates::toAutomation(year, month, d); }

constexpr bool Y = true;
constexpr bool N = false;

// Phone TYPE values: HOME and OFFICE feed vwHomePhone / vwOfficePhone;
// MOBILE belongs to neither. Notes use CR LF and "yy/mm/dd" dated lines.
std::vector<SamplePerson> samplePersons() {
    return {
        {"友人",
         {.lastName = "山田", .lastAlias = "やまだ", .firstName = "太郎", .firstAlias = "たろう",
          .title = "様", .nickname = "タロ", .homeZip = "150-0001",
          .homeAddress1 = "東京都渋谷区神宮前1-2-3", .birthday = day(1975, 4, 12), .age = 50,
          .constellation = "おひつじ座", .blood = "A", .mateAlias = "やまだ けいこ", .mate = "山田 恵子",
          .hobby = "釣り", .note = "26/12/24 年賀状を出す\r\n27/01/10 新年会の幹事", .mainAddress = "HOME"},
         {{"HOME", "自宅", "03-3401-1234"}, {"MOBILE", "携帯", "090-1234-5678"}},
         {{"HOME", "PC", "taro.yamada@example.jp"}},
         {{"山田 花", "やまだ はな"}},
         {{2024, {Y, Y, N, N, N, N, Y, N}, ""}, {2025, {Y, Y, Y, N, N, N, N, N}, "喪中なし"}}},
        {"仕事",
         {.lastName = "髙橋", .lastAlias = "たかはし", .firstName = "一郎", .firstAlias = "いちろう",
          .title = "様", .companyAlias = "たかはしこうぎょう", .company = "髙橋工業株式会社",
          .position = "部長", .section = "営業部", .officeZip = "530-0001",
          .officeAddress1 = "大阪府大阪市北区梅田2-4-9", .officeAddress2 = "梅田ビル8F",
          .officeUrl = "https://takahashi-kogyo.example.jp/", .birthday = day(1968, 9, 3), .age = 57,
          .blood = "O", .note = "26/02/05 見積書の件で電話", .mainAddress = "OFFICE"},
         {{"OFFICE", "ｵﾌｨｽ", "06-6345-0001"}, {"MOBILE", "携帯", "090-8765-4321"}},
         {{"OFFICE", "会社", "ichiro@takahashi-kogyo.example.jp"}},
         {},
         {{2025, {Y, Y, N, N, Y, N, Y, N}, "お中元 ビール"}}},
        {"仕事",
         {.lastName = "O'Brien", .lastAlias = "オブライエン", .firstName = "Michael",
          .firstAlias = "マイケル", .title = "様", .companyAlias = "だぶりんとれーでぃんぐ",
          .company = "Dublin Trading, Ltd.", .position = "Manager", .section = "Asia Sales",
          .officeZip = "105-0011", .officeAddress1 = "東京都港区芝公園4-2-8",
          .note = "26/03/17 St. Patrick's Day のカードを送る", .mainAddress = "OFFICE"},
         {{"OFFICE", "会社", "03-5555-0100"}, {"MOBILE", "携帯", "080-5555-0199"}},
         {{"OFFICE", "会社", "m.obrien@dublin-trading.example.com"}},
         {},
         {}},
        {"家族",
         {.lastName = "佐藤", .lastAlias = "さとう", .firstName = "花子", .firstAlias = "はなこ",
          .title = "様", .homeZip = "231-0023", .homeAddress1 = "神奈川県横浜市中区山下町1",
          .homeAddress2 = "グリーンハイツ①-203", .birthday = day(1980, 11, 23), .age = 45,
          .constellation = "いて座", .blood = "B", .anniversary = day(2006, 6, 10),
          .mateAlias = "さとう ゆうじ", .mate = "佐藤 雄二", .note = "26/06/10 結婚記念日のお祝い",
          .mainAddress = "HOME"},
         {{"HOME", "自宅", "045-641-2222"}, {"MOBILE", "携帯", "080-2222-3333"}, {"HOME", "実家", "0258-22-1111"}},
         {{"HOME", "PC", "hanako.sato@example.ne.jp"}, {"MOBILE", "携帯", "hanako@mobile.example.jp"}},
         {{"佐藤 蓮", "さとう れん"}, {"佐藤 陽葵", "さとう ひまり"}},
         {{2024, {Y, Y, Y, Y, N, N, N, N}, ""}, {2025, {Y, Y, Y, Y, N, N, N, N}, ""}}},
        {"友人",
         {.lastName = "鈴木", .lastAlias = "すずき", .firstName = "健一", .firstAlias = "けんいち",
          .title = "君", .nickname = "ケン", .homeZip = "460-0008", .homeAddress1 = "愛知県名古屋市中区栄3-5-1",
          .company = "株式会社みらい", .position = "課長", .officeAddress1 = "愛知県名古屋市中村区名駅1-1-4",
          .birthday = day(1976, 7, 30), .age = 49, .hobby = "映画 \"ローマの休日\"", .mainAddress = "HOME"},
         {{"HOME", "自宅", "052-261-7777"}, {"OFFICE", "会社", "052-581-0001"}},
         {{"HOME", "PC", "kenichi.suzuki@example.jp"}},
         {{"鈴木 大翔", "すずき ひろと"}},
         {}},
        {"趣味仲間",
         {.lastName = "田中", .lastAlias = "たなか", .firstName = "美咲", .firstAlias = "みさき",
          .title = "さん", .birthday = day(1990, 2, 14), .age = 35, .blood = "AB", .hobby = "テニス",
          .note = "26/05/03 テニス大会 9:00 集合\r\nラケットのガット張り替え"},
         {{"MOBILE", "携帯", "070-1111-2222"}},
         {{"MOBILE", "携帯", "misaki@mobile.example.jp"}, {"HOME", "PC", "misaki.tanaka@example.jp"}},
         {},
         {}},
        {"仕事",
         {.lastName = "伊藤", .lastAlias = "いとう", .firstName = "誠", .firstAlias = "まこと",
          .title = "様", .companyAlias = "ｲﾄｳｼｮｳﾃﾝ", .company = "伊藤商店", .position = "店主",
          .officeZip = "812-0011", .officeAddress1 = "福岡県福岡市博多区博多駅前2-1-1",
          .mainAddress = "OFFICE"},
         {{"OFFICE", "ｵﾌｨｽ", "092-431-0000"}, {"OFFICE", "FAX", "092-431-0001"}},
         {{"OFFICE", "会社", "info@ito-shoten.example.jp"}},
         {},
         {{2025, {N, Y, N, N, N, N, N, N}, "年賀状のみ受け取り"}}},
        {"友人",
         {.lastName = "渡辺", .lastAlias = "わたなべ", .firstName = "由美", .firstAlias = "ゆみ",
          .title = "様", .homeZip = "980-0811", .homeAddress1 = "宮城県仙台市青葉区一番町4-7-17",
          .birthday = day(1982, 5, 5), .age = 43, .hobby = "料理", .mainAddress = "HOME"},
         {{"HOME", "自宅", "022-222-3456"}},
         {{"HOME", "PC", "yumi.watanabe@example.jp"}},
         {{"渡辺 結衣", "わたなべ ゆい"}},
         {}},
        {"仕事",
         {.lastName = "山本", .lastAlias = "やまもと", .firstName = "大輔", .firstAlias = "だいすけ",
          .title = "様", .companyAlias = "かぶしきがいしゃやまもとけんせつ", .company = "株式会社山本建設",
          .position = "専務", .officeZip = "060-0001", .officeAddress1 = "北海道札幌市中央区北1条西2-1",
          .birthday = day(1965, 12, 1), .age = 60,
          .note = "26/01/20 打ち合わせ\r\n資料を持参\r\n26/02/15 現場見学\r\n26/03/31 契約更新",
          .mainAddress = "OFFICE"},
         {{"OFFICE", "会社", "011-231-5000"}, {"MOBILE", "携帯", "090-3333-4444"}},
         {{"OFFICE", "会社", "d.yamamoto@yamamoto-kensetsu.example.jp"}},
         {},
         {{2025, {Y, N, N, N, Y, N, Y, N}, ""}}},
        {"家族",
         {.lastName = "中村", .lastAlias = "なかむら", .firstName = "愛", .firstAlias = "あい",
          .title = "様", .homeZip = "604-8005", .homeAddress1 = "京都府京都市中京区恵比須町",
          .birthday = day(1985, 8, 8), .age = 40, .mainAddress = "HOME"},
         {{"HOME", "自宅", "075-211-8888"}, {"MOBILE", "携帯", "090-5555-6666"}},
         {{"HOME", "PC", "ai.nakamura@example.jp"}},
         {{"中村 湊", "なかむら みなと"}, {"中村 凛", "なかむら りん"}, {"中村 葵", "なかむら あおい"}},
         {{2025, {Y, Y, Y, Y, Y, Y, Y, Y}, "毎年ありがとう"}}},
        {"趣味仲間",
         {.lastName = "小林", .lastAlias = "こばやし", .firstName = "翔太", .firstAlias = "しょうた",
          .title = "君", .birthday = day(1995, 3, 21), .age = 30, .hobby = "登山, キャンプ"},
         {{"MOBILE", "携帯", "080-7777-8888"}, {"HOME", "自宅", "048-600-1212"}},
         {{"MOBILE", "携帯", "shota@mobile.example.jp"}},
         {},
         {}},
        {"友人",
         {.lastName = "加藤", .lastAlias = "かとう", .firstName = "陽子", .firstAlias = "ようこ",
          .title = "様", .homeZip = "730-0011", .homeAddress1 = "広島県広島市中区基町6-78",
          .birthday = day(1979, 10, 10), .age = 46, .mainAddress = "HOME"},
         {{"HOME", "自宅", "082-228-1111"}},
         {},
         {},
         {{2024, {Y, Y, N, N, N, N, N, N}, ""}}},
        {"仕事",
         {.lastName = "吉田", .lastAlias = "よしだ", .firstName = "修", .firstAlias = "おさむ",
          .title = "様", .company = "吉田会計事務所", .position = "所長", .officeZip = "100-0005",
          .officeAddress1 = "東京都千代田区丸の内1-9-1", .note = "26/03/10 確定申告の書類を渡す",
          .mainAddress = "OFFICE"},
         {{"office", "事務所", "03-3211-0000"}},
         {{"office", "事務所", "yoshida@kaikei.example.jp"}},
         {},
         {}},
        {"家族",
         {.lastName = "山口", .lastAlias = "やまぐち", .firstName = "さくら", .firstAlias = "さくら",
          .title = "様", .homeZip = "900-0015", .homeAddress1 = "沖縄県那覇市久茂地1-1-1",
          .birthday = day(2001, 4, 1), .age = 24, .mainAddress = "HOME"},
         {{"HOME", "自宅", "098-861-0000"}},
         {{"HOME", "PC", "sakura.y@example.jp"}},
         {},
         {}},
        {"仕事",
         {.lastName = "松本", .lastAlias = "まつもと", .firstName = "隆", .firstAlias = "たかし",
          .title = "様", .company = "松本印刷株式会社", .position = "営業", .section = "第二営業課",
          .officeAddress1 = "埼玉県さいたま市大宮区桜木町1-7-5", .mainAddress = "OFFICE"},
         {{"OFFICE", "会社", "048-641-1234"}, {"OFFICE", "直通", "048-641-1299"}},
         {{"OFFICE", "会社", "matsumoto@insatsu.example.jp"}},
         {},
         {}},
        {"友人",
         {.lastName = "井上", .lastAlias = "いのうえ", .firstName = "真理子", .firstAlias = "まりこ",
          .title = "様", .homeAddress1 = "兵庫県神戸市中央区加納町6-5-1", .birthday = day(1972, 1, 25),
          .age = 53, .hobby = "ピアノ", .note = "ピアノ発表会のチケットをもらった", .mainAddress = "HOME"},
         {{"HOME", "自宅", "078-331-8181"}},
         {{"HOME", "PC", "mariko.inoue@example.jp"}},
         {{"井上 悠真", "いのうえ ゆうま"}},
         {}},
        {"未分類",
         {.lastName = "木村", .lastAlias = "きむら", .firstName = "拓也", .firstAlias = "たくや"},
         {{"MOBILE", "携帯", "090-0000-1111"}},
         {},
         {},
         {}},
        {"趣味仲間",
         {.lastName = "林", .lastAlias = "はやし", .firstName = "恵子", .firstAlias = "けいこ",
          .title = "さん", .hobby = "写真", .note = "26/04/05 桜の撮影会"},
         {{"HOME", "自宅", "03-3823-4444"}},
         {{"HOME", "PC", "keiko.hayashi@example.jp"}},
         {},
         {}},
        {"仕事",
         {.lastName = "清水", .lastAlias = "しみず", .firstName = "健太", .firstAlias = "けんた",
          .title = "様", .company = "清水システム有限会社", .position = "エンジニア",
          .officeAddress1 = "静岡県静岡市葵区追手町9-6", .mainAddress = "OFFICE"},
         {{"OFFICE", "会社", "054-221-1000"}, {"HOME", "自宅", "054-200-2000"}},
         {{"OFFICE", "会社", "kenta@shimizu-sys.example.jp"}, {"HOME", "PC", "kenta.s@example.jp"}},
         {},
         {}},
        {"家族",
         {.lastName = "森", .lastAlias = "もり", .firstName = "裕子", .firstAlias = "ゆうこ",
          .title = "様", .homeZip = "380-0846", .homeAddress1 = "長野県長野市旭町1108",
          .birthday = day(1958, 6, 30), .age = 67, .mainAddress = "HOME"},
         {{"HOME", "自宅", "026-232-0111"}},
         {},
         {},
         {{2025, {Y, Y, Y, N, N, N, Y, Y}, "りんごを頂いた"}}},
    };
}

}  // namespace

void addSamplePersons(PersonBook& book) {
    for (std::string_view group : {"友人", "仕事", "家族", "趣味仲間"}) book.groups.ensure(group);
    for (const SamplePerson& sample : samplePersons()) {
        PersonRecord record = sample.record;
        record.typeId = book.groups.ensure(sample.group);
        const std::int64_t id = book.addPerson(record);
        int rank = 0;
        for (const SampleNumber& phone : sample.phones) book.addPhone({id, phone.type, phone.label, phone.value, ++rank});
        // Mail lists run in descending RANK: the first mail is the main one.
        rank = static_cast<int>(sample.mails.size());
        for (const SampleNumber& mail : sample.mails) book.addMail({id, mail.type, mail.label, mail.value, rank--});
        for (const SampleChild& child : sample.children) book.addChild({id, child.name, child.alias});
        for (const SampleGreeting& g : sample.greetings) book.addGreeting({id, g.year, g.flags, g.memo});
    }
}

}  // namespace lumo::tools
