#include "tools/init/SyntheticData.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dates.h"

namespace lumo::tools {
namespace {

struct Name {
    std::string_view text, reading;
};
constexpr std::array<Name, 10> kFamilyNames{{{"佐藤", "さとう"}, {"鈴木", "すずき"}, {"高橋", "たかはし"},
                                             {"田中", "たなか"}, {"伊藤", "いとう"}, {"渡辺", "わたなべ"},
                                             {"山本", "やまもと"}, {"中村", "なかむら"}, {"小林", "こばやし"},
                                             {"加藤", "かとう"}}};
constexpr std::array<Name, 10> kGivenNames{{{"太郎", "たろう"}, {"花子", "はなこ"}, {"健一", "けんいち"},
                                            {"美咲", "みさき"}, {"翔太", "しょうた"}, {"陽子", "ようこ"},
                                            {"大輔", "だいすけ"}, {"由美", "ゆみ"}, {"誠", "まこと"},
                                            {"愛", "あい"}}};
constexpr std::array<Name, 6> kChildNames{{{"蓮", "れん"}, {"陽葵", "ひまり"}, {"湊", "みなと"},
                                           {"凛", "りん"}, {"大翔", "ひろと"}, {"結衣", "ゆい"}}};
constexpr std::array<std::string_view, 8> kPrefectures{"東京都", "大阪府", "神奈川県", "愛知県",
                                                       "福岡県", "北海道", "京都府", "宮城県"};
constexpr std::array<std::string_view, 4> kSources{"朝日新聞", "日本経済新聞", "週刊サンプル",
                                                   "https://example.jp/news"};

template <std::size_t N>
const auto& cycle(const std::array<Name, N>& names, std::int64_t i) {
    return names[static_cast<std::size_t>(i % static_cast<std::int64_t>(N))];
}

// Zero-padded decimal, e.g. padded(42, 6) == "000042".
std::string padded(std::int64_t value, std::size_t width) {
    std::string digits = std::to_string(value);
    return digits.size() >= width ? digits : std::string(width - digits.size(), '0') + digits;
}

std::int64_t pick(const std::vector<std::int64_t>& ids, std::int64_t i) {
    return ids[static_cast<std::size_t>(i % static_cast<std::int64_t>(ids.size()))];
}

}  // namespace

void addSyntheticPersons(PersonBook& book, std::int64_t count) {
    const std::vector<std::int64_t> groups = book.groups.ids();
    for (std::int64_t i = 0; i < count; ++i) {
        const Name& last = cycle(kFamilyNames, i);
        const Name& first = cycle(kGivenNames, i / 10);
        const std::string serial = "P" + padded(i + 1, 7);
        const std::string zip = padded(100 + i % 900, 3) + "-" + padded(i % 10000, 4);
        const std::string address = std::string(kPrefectures[static_cast<std::size_t>(i % 8)]) +
                                    "サンプル町" + std::to_string(i % 999 + 1) + "番地";
        const int birthYear = 1950 + static_cast<int>(i % 50);
        const int month = 1 + static_cast<int>(i % 12);
        const int dayOfMonth = 1 + static_cast<int>(i % 28);
        const std::string note =
            i % 5 == 0 ? "26/" + padded(month, 2) + "/" + padded(dayOfMonth, 2) + " 連絡する (" + serial + ")" : "";

        PersonRecord person;
        person.typeId = pick(groups, i);
        person.lastName = last.text;
        person.lastAlias = last.reading;
        person.firstName = first.text;
        person.firstAlias = first.reading;
        person.title = "様";
        person.label1 = "番号";
        person.memo1 = serial;
        person.homeZip = zip;
        person.homeAddress1 = address;
        person.birthday = dates::toAutomation(birthYear, month, dayOfMonth);
        person.age = 2025 - birthYear;
        person.note = note;
        person.mainAddress = "HOME";
        // One person in ten thousand works for a company of a name found
        // nowhere else, so that a search can find a handful of persons.
        if (i % 10000 == 5000) person.company = "ルミナ技研";
        const std::int64_t id = book.addPerson(person);

        const std::string digits = padded(i % 10000, 4);
        const std::string home = "03-" + padded(i / 10000 % 10000, 4) + "-" + digits;
        const std::string other = (i % 2 == 0 ? "06-" : "090-") + padded(i / 10000 % 10000, 4) + "-" + digits;
        book.addPhone({id, "HOME", "自宅", home, 1});
        if (i % 2 == 0)
            book.addPhone({id, "OFFICE", "会社", other, 2});
        else
            book.addPhone({id, "MOBILE", "携帯", other, 2});

        const std::string mail = "user" + padded(i + 1, 7) + "@example.jp";
        book.addMail({id, "HOME", "PC", mail, 1});

        for (std::int64_t c = 0; c < i % 3; ++c) {
            const Name& child = cycle(kChildNames, i + c);
            const std::string name = std::string(last.text) + " " + std::string(child.text);
            const std::string alias = std::string(last.reading) + " " + std::string(child.reading);
            book.addChild({id, name, alias});
        }
    }
}

void addSyntheticSheets(ItemLedger& ledger, std::int64_t count) {
    if (count <= 0) return;
    const std::vector<std::int64_t> groups = ledger.groups.ids();
    std::vector<std::int64_t> goods, suppliers, customers;
    for (std::int64_t g = 0; g < std::min<std::int64_t>(count, 50); ++g) {
        const std::string number = padded(g + 1, 3);
        const std::string name = "サンプル商品 " + number;
        const std::string form = "SP-" + number;
        goods.push_back(ledger.addGoods({.typeId = pick(groups, g), .maker = "サンプル工業",
                                         .alias = "さんぷるしょうひん", .name = name, .form = form}));
    }
    for (std::int64_t p = 0; p < std::min<std::int64_t>((count + 1) / 2, 20); ++p) {
        const std::string number = padded(p + 1, 2);
        const std::string supplier = "仕入先 " + number;
        const std::string customer = "販売先 " + number;
        const std::string tel = "03-0000-00" + number;
        suppliers.push_back(ledger.addSupplier({.alias = "しいれさき", .name = supplier, .tel = tel}));
        customers.push_back(ledger.addCustomer({.alias = "はんばいさき", .name = customer, .tel = tel}));
    }
    // One sheet in ten thousand is for a goods item of its own, so that a
    // search can find a handful of sheets.
    std::int64_t rareGoods = 0;
    if (count > 5000)
        rareGoods = ledger.addGoods({.typeId = pick(groups, 0), .maker = "ルミナ技研", .alias = "るみなげんていひん",
                                     .name = "ルミナ限定品", .form = "LM-1"});
    const double firstDay = dates::toAutomation(2020, 1, 1);
    for (std::int64_t i = 0; i < count; ++i) {
        const bool sale = i % 2 == 1;
        const std::int64_t quantity = 1 + i % 20;
        const std::int64_t unitPrice = 100 * (1 + i % 30);
        const std::string note = i % 10 == 0 ? "25/12/01 確認事項 " + padded(i + 1, 7) : "";
        ledger.addSheet({.kind = sale ? SheetKind::Sale : SheetKind::Purchase,
                         .goodsId = i % 10000 == 5000 ? rareGoods : pick(goods, i),
                         .date = firstDay + static_cast<double>(i % 2190),
                         .partyId = pick(sale ? customers : suppliers, i / 2),
                         .quantity = quantity,
                         .unitPrice = unitPrice,
                         .amount = quantity * unitPrice,
                         .note = note});
    }
}

void addSyntheticScraps(ScrapBook& book, std::int64_t count) {
    const std::vector<std::int64_t> groups = book.groups.ids();
    const double firstDay = dates::toAutomation(2018, 1, 1, 9, 0);
    for (std::int64_t i = 0; i < count; ++i) {
        const std::string number = padded(i + 1, 6);
        const std::string title = "スクラップ " + number;
        const std::string body = "本文 " + number + " の一行目\r\n二行目";
        const double registered = firstDay + static_cast<double>(i % 3000);
        book.addScrap({.labelId = pick(groups, i),
                       .registered = registered,
                       .edited = i % 3 == 0 ? registered + 1 : 0,
                       .title = title,
                       .source = kSources[static_cast<std::size_t>(i % 4)],
                       .keyword = "サンプル",
                       .body = body});
    }
}

}  // namespace lumo::tools
