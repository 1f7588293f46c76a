// 1,000 New Year cards: the layout and the pango/cairo renderer writing one
// PDF (time, file size, how many font files it embeds), and `lumo print
// hagaki` end to end on a synthetic address book of 1,000 persons. Run by
// hand: build-release/bin/lumo_cards_bench [CARDS]. Goals: under 5 s and
// 5 MB, the font embedded once.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cards/render/CardRenderer.h"

namespace {

namespace fs = std::filesystem;
using namespace lumo::cards;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Cards that differ as real ones do: addresses of several lengths, house
// numbers, buildings, joint names.
Recipient recipient(int i) {
    static const char* towns[]{"東京都渋谷区神宮前", "神奈川県横浜市中区山下町", "北海道札幌市中央区北一条西",
                               "大阪府大阪市北区梅田", "福岡県福岡市博多区博多駅前", "京都府京都市中京区烏丸通"};
    static const char* families[]{"山田", "佐藤", "鈴木", "髙橋", "田中", "伊藤", "渡辺", "中村"};
    static const char* given[]{"太郎", "花子", "一郎", "美咲", "健一", "由美", "翔太", "陽子"};
    Recipient r;
    r.zip = std::to_string(1000000 + i * 7919 % 8999999);
    r.address1 = std::string(towns[i % 6]) + std::to_string(i % 9 + 1) + "-" + std::to_string(i % 31 + 1) + "-" +
                 std::to_string(i % 17 + 1);
    if (i % 3 == 0) r.address2 = "グリーンハイツ" + std::to_string(100 + i % 900) + "号室";
    r.familyName = families[i % 8];
    r.givenNames = {{given[i % 8], "様"}};
    if (i % 4 == 0) r.givenNames.push_back({given[(i + 3) % 8], "様"});
    return r;
}

std::string countOf(const std::string& bytes, const std::string& word) {
    std::size_t n = 0;
    for (std::size_t at = bytes.find(word); at != std::string::npos; at = bytes.find(word, at + 1)) ++n;
    return std::to_string(n);
}

void report(const char* what, int cards, double seconds, const fs::path& pdf) {
    std::ifstream in(pdf, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::printf("%-34s %5d cards  %6.2f s  %6.2f MB  font files embedded: %s\n", what, cards, seconds,
                static_cast<double>(bytes.size()) / 1e6, countOf(bytes, "/FontFile").c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const int cards = argc > 1 ? std::stoi(argv[1]) : 1000;
    const fs::path folder = fs::temp_directory_path() / ("lumo_cards_bench_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const Sender sender{"1500001", "東京都渋谷区神宮前1-2-3", "神宮前ハイツ101", "鈴木　一郎"};

    auto start = Clock::now();
    CardRenderer renderer;
    CardPdf pdf(folder / "render.pdf", renderer, {});
    for (int i = 0; i < cards; ++i) pdf.addPage(layoutCard(recipient(i), &sender, {}));
    pdf.finish();
    report("layout + render (no database)", cards, secondsSince(start), folder / "render.pdf");

    // End to end: the library reads every person, the list decides.
    const fs::path lumo = fs::canonical("/proc/self/exe").parent_path() / "lumo";
    const std::string book = (folder / "book").string();
    std::string init = lumo.string() + " init --persons " + std::to_string(cards) + " " + book + " > /dev/null";
    if (std::system(init.c_str()) != 0) return 1;
    std::string print = lumo.string() + " print hagaki " + book + " --sender 1 --out " + (folder / "lumo.pdf").string() +
                        " --ids";
    for (int i = 1; i <= cards; ++i) print += " " + std::to_string(i);
    print += " > /dev/null";
    start = Clock::now();
    if (std::system(print.c_str()) != 0) return 1;
    report("lumo print hagaki (end to end)", cards, secondsSince(start), folder / "lumo.pdf");
    fs::remove_all(folder);
    return 0;
}
