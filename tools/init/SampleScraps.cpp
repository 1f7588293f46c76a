// Sample clippings of `lumo init --sample`.
#include <string_view>
#include <vector>

#include "platform/Dates.h"
#include "tools/init/SampleData.h"

namespace lumo::tools {
namespace {

struct SampleScrap {
    std::string_view group;
    int year, month, day;  // registered
    int editedYear, editedMonth, editedDay;  // 0: never edited
    ScrapRecord record;
};

std::vector<SampleScrap> sampleScraps() {
    return {
        {"新聞", 2025, 1, 5, 0, 0, 0,
         {.title = "初売りに長い行列", .source = "東京新聞", .keyword = "初売り, 百貨店", .place = "新宿",
          .body = "正月二日、都内の百貨店で初売りが始まった。\r\n開店前から長い行列ができた。"}},
        {"新聞", 2025, 3, 22, 2025, 3, 23,
         {.title = "桜の開花宣言", .source = "朝日新聞", .keyword = "桜", .place = "東京",
          .body = "気象台は22日、靖国神社の標本木で桜の開花を確認したと発表した。", .memo = "平年より2日早い"}},
        {"雑誌", 2025, 4, 10, 0, 0, 0,
         {.title = "週末の小さな旅", .source = "旅の手帖 5月号", .keyword = "旅行, 温泉", .place = "箱根",
          .body = "箱根湯本から登山電車で強羅へ。\r\nケーブルカーを乗り継いで早雲山まで。",
          .bodyPath = "scraps/hakone.txt"}},
        {"ウェブ", 2025, 5, 18, 2025, 6, 1,
         {.title = "\"使える\" ショートカット集", .source = "https://example.jp/shortcuts",
          .keyword = "PC, 便利", .body = "Ctrl+Shift+T で閉じたタブを開き直す。"}},
        {"料理", 2025, 6, 2, 0, 0, 0,
         {.title = "肉じゃが", .source = "きょうの料理", .keyword = "和食, 煮物",
          .body = "じゃがいも 3個\r\n玉ねぎ 1個\r\n牛肉 200g\r\nしょうゆ 大さじ3", .memo = "砂糖は控えめに"}},
        {"料理", 2025, 7, 15, 0, 0, 0,
         {.title = "冷や汁", .source = "ｸｯｸﾊﾟｯﾄﾞ", .keyword = "夏, 宮崎", .place = "宮崎",
          .body = "焼いた味噌を冷たいだし汁でのばし、きゅうりと豆腐を加える。"}},
        {"新聞", 2025, 8, 20, 0, 0, 0,
         {.title = "O'Hare 空港で遅延", .source = "日本経済新聞", .keyword = "航空, 天候", .place = "シカゴ",
          .body = "雷雨の影響で O'Hare 空港発着便に遅れが出た。"}},
        {"雑誌", 2025, 9, 9, 2025, 9, 30,
         {.title = "髙島屋の秋の催事", .source = "月刊百貨", .keyword = "催事, 北海道物産展",
          .body = "①北海道物産展\r\n②京都名品展\r\n③九州うまいもの市"}},
        {"ウェブ", 2025, 10, 31, 0, 0, 0,
         {.title = "電子書籍の読み放題比較", .source = "https://example.com/ebooks", .keyword = "読書",
          .body = "月額 980円, 1,200円, 1,500円 の3プランを比較した。"}},
        {"未分類", 2025, 11, 3, 0, 0, 0,
         {.title = "文化の日の記念切手", .keyword = "切手", .memo = "郵便局で購入予定"}},
    };
}

}  // namespace

void addSampleScraps(ScrapBook& book) {
    for (std::string_view group : {"新聞", "雑誌", "ウェブ", "料理"}) book.groups.ensure(group);
    for (const SampleScrap& sample : sampleScraps()) {
        ScrapRecord record = sample.record;
        record.labelId = book.groups.ensure(sample.group);
        record.registered = dates::toAutomation(sample.year, sample.month, sample.day, 9, 30);
        if (sample.editedYear != 0)
            record.edited = dates::toAutomation(sample.editedYear, sample.editedMonth, sample.editedDay, 21, 15);
        book.addScrap(record);
    }
}

}  // namespace lumo::tools
