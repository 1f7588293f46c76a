// Sample goods, suppliers, customers and sheets of `lumo init --sample`.
#include <array>
#include <string_view>
#include <vector>

#include "platform/Dates.h"
#include "tools/init/SampleData.h"

namespace lumo::tools {
namespace {

struct SampleGoods {
    std::string_view group;
    GoodsRecord record;
};

std::vector<SampleGoods> sampleGoods() {
    return {
        {"文具", {.maker = "パイロット", .alias = "ぼーるぺん", .name = "ボールペン", .form = "BP-S10",
                  .itemSpec = "0.7mm 黒", .memoLabel = "色", .memo = "黒"}},
        {"文具", {.maker = "コクヨ", .alias = "きゃんぱすのーと", .name = "キャンパスノート", .form = "ノ-3A",
                  .itemSpec = "B5, 30枚", .memoLabel = "罫", .memo = "A罫 7mm"}},
        {"家電", {.maker = "パナソニック", .alias = "でんきけとる", .name = "電気ケトル", .form = "NC-K1",
                  .itemSpec = "0.8L", .memoLabel = "色", .memo = "ホワイト", .photoPath = "photos/kettle.jpg"}},
        {"家電", {.maker = "シャープ", .alias = "えきしょうてれび", .name = "液晶テレビ \"AQUOS\"",
                  .form = "4T-C43", .itemSpec = "43型", .note = "26/01/31 在庫確認\r\n展示品あり"}},
        {"食品", {.maker = "丸髙食品", .alias = "しんしゅうみそ", .name = "信州みそ", .itemSpec = "1kg",
                  .memoLabel = "賞味期限", .memo = "製造より6か月"}},
        {"食品", {.maker = "ｵｶﾞﾜ珈琲", .alias = "こーひーまめ", .name = "コーヒー豆", .form = "ブレンド",
                  .itemSpec = "500g"}},
        {"書籍", {.maker = "岩波書店", .alias = "こうじえん", .name = "広辞苑", .form = "第七版"}},
        {"書籍", {.maker = "O'Reilly Japan", .alias = "ぷろぐらみんぐ", .name = "プログラミング入門",
                  .itemSpec = "B5変, 480頁"}},
    };
}

std::vector<PartyRecord> sampleSuppliers() {
    return {
        {.alias = "ぶんぐせんたー", .name = "株式会社文具センター", .lastAlias = "おおた", .lastName = "太田",
         .firstAlias = "ひろし", .firstName = "博", .zip = "101-0041", .address1 = "東京都千代田区神田須田町1-2",
         .tel = "03-3251-0001", .fax = "03-3251-0002", .mail = "order@bungu-center.example.jp"},
        {.alias = "とうきょうでんきおろし", .name = "東京電機卸", .lastAlias = "いしかわ", .lastName = "石川",
         .firstAlias = "じゅん", .firstName = "純", .zip = "101-0021",
         .address1 = "東京都千代田区外神田3-1, 秋葉原センタービル", .tel = "03-3253-1111",
         .fax = "03-3253-1112"},
        {.alias = "まるたかしょくひん", .name = "丸髙食品株式会社", .lastAlias = "たかはし", .lastName = "髙橋",
         .firstAlias = "みのる", .firstName = "実", .zip = "380-0823", .address1 = "長野県長野市南千歳1-1",
         .tel = "026-226-0001", .mail = "sales@marutaka.example.jp"},
        {.alias = "しょせきりゅうつう", .name = "書籍流通センター", .lastAlias = "のぐち", .lastName = "野口",
         .firstAlias = "あきら", .firstName = "明", .zip = "162-0825", .address1 = "東京都新宿区神楽坂2-10",
         .tel = "03-3260-0001", .fax = "03-3260-0002"},
    };
}

std::vector<PartyRecord> sampleCustomers() {
    return {
        {.alias = "やまだしょうてん", .name = "山田商店", .lastAlias = "やまだ", .lastName = "山田",
         .firstAlias = "たろう", .firstName = "太郎", .zip = "150-0001", .address1 = "東京都渋谷区神宮前1-2-3",
         .tel = "03-3401-1234"},
        {.alias = "さくら", .name = "有限会社さくら", .lastAlias = "さくらい", .lastName = "桜井",
         .firstAlias = "ともこ", .firstName = "智子", .zip = "231-0023", .address1 = "神奈川県横浜市中区山下町1",
         .address2 = "グリーンハイツ①-101", .tel = "045-641-0001", .mail = "info@sakura.example.jp"},
        {.alias = "おにーるあんどかんぱにー", .name = "O'Neil & Co.", .lastAlias = "おにーる", .lastName = "O'Neil",
         .firstAlias = "しょーん", .firstName = "Sean", .address1 = "Dublin, Ireland",
         .mail = "sean@oneil.example.com"},
        {.alias = "ひまわり", .name = "株式会社ひまわり", .lastAlias = "ひなた", .lastName = "日向",
         .firstAlias = "あおい", .firstName = "葵", .zip = "460-0008", .address1 = "愛知県名古屋市中区栄3-5-1",
         .tel = "052-261-0001", .fax = "052-261-0002"},
        {.alias = "ｽｽﾞｷｹﾝｲﾁ", .name = "鈴木 健一", .lastAlias = "すずき", .lastName = "鈴木",
         .firstAlias = "けんいち", .firstName = "健一", .tel = "052-261-7777", .defaultText = "個人"},
    };
}

struct SampleSheet {
    SheetKind kind;
    int goods;  // index into sampleGoods()
    int party;  // index into the suppliers (purchase) or customers (sale)
    int year, month, day;
    std::int64_t quantity, unitPrice;
    std::string_view note;
};

constexpr SheetKind P = SheetKind::Purchase;
constexpr SheetKind S = SheetKind::Sale;

constexpr std::array<SampleSheet, 20> kSheets{{
    {P, 0, 0, 2025, 1, 10, 100, 80, "25/01/31 支払い"},
    {S, 0, 0, 2025, 1, 20, 30, 120, ""},
    {P, 1, 0, 2025, 2, 3, 50, 150, ""},
    {S, 1, 1, 2025, 2, 14, 20, 220, "25/02/28 請求書を送る"},
    {P, 2, 1, 2025, 3, 1, 5, 3200, ""},
    {S, 2, 3, 2025, 3, 18, 2, 4980, ""},
    {P, 3, 1, 2025, 4, 7, 2, 68000, "25/04/30 検品\r\n箱に傷あり"},
    {S, 3, 4, 2025, 4, 25, 1, 89800, "25/05/10 配送日の連絡"},
    {P, 4, 2, 2025, 5, 12, 40, 450, ""},
    {S, 4, 0, 2025, 5, 30, 15, 680, ""},
    {P, 5, 2, 2025, 6, 6, 10, 1500, ""},
    {S, 5, 2, 2025, 6, 21, 6, 2400, "25/07/01 海外発送の見積り"},
    {P, 6, 3, 2025, 7, 4, 3, 7000, ""},
    {S, 6, 1, 2025, 7, 19, 1, 9900, ""},
    {P, 7, 3, 2025, 8, 8, 10, 2800, ""},
    {S, 7, 2, 2025, 8, 28, 4, 3960, ""},
    {P, 0, 0, 2025, 9, 9, 200, 78, "25/09/30 単価改定の確認"},
    {S, 0, 3, 2025, 10, 3, 120, 118, ""},
    {P, 4, 2, 2025, 11, 11, 30, 460, ""},
    {S, 4, 4, 2025, 12, 1, 3, 700, "25/12/20 お歳暮として"},
}};

}  // namespace

void addSampleItems(ItemLedger& ledger) {
    for (std::string_view group : {"文具", "家電", "食品", "書籍"}) ledger.groups.ensure(group);
    std::vector<std::int64_t> goods, suppliers, customers;
    for (const SampleGoods& sample : sampleGoods()) {
        GoodsRecord record = sample.record;
        record.typeId = ledger.groups.ensure(sample.group);
        goods.push_back(ledger.addGoods(record));
    }
    for (const PartyRecord& s : sampleSuppliers()) suppliers.push_back(ledger.addSupplier(s));
    for (const PartyRecord& c : sampleCustomers()) customers.push_back(ledger.addCustomer(c));
    for (const SampleSheet& s : kSheets) {
        const auto& parties = s.kind == SheetKind::Sale ? customers : suppliers;
        ledger.addSheet({.kind = s.kind,
                         .goodsId = goods.at(static_cast<std::size_t>(s.goods)),
                         .date = dates::toAutomation(s.year, s.month, s.day),
                         .partyId = parties.at(static_cast<std::size_t>(s.party)),
                         .quantity = s.quantity,
                         .unitPrice = s.unitPrice,
                         .amount = s.quantity * s.unitPrice,
                         .note = s.note});
    }
}

}  // namespace lumo::tools
