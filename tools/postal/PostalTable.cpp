#include "tools/postal/PostalTable.h"

#include <iconv.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "platform/Error.h"
#include "tools/init/Sqlite.h"

namespace lumo::postal {

PostalTable::PostalTable(PostalSource source, std::string date, std::vector<PostalEntry> entries)
    : source_(source), date_(std::move(date)), entries_(std::move(entries)) {
    std::ranges::stable_sort(entries_, {}, &PostalEntry::code);
}

std::vector<PostalEntry> PostalTable::byCode(std::string_view code) const {
    const auto [from, to] = std::ranges::equal_range(entries_, code, {}, [](const PostalEntry& e) -> std::string_view {
        return e.code;
    });
    return {from, to};
}

std::vector<PostalEntry> PostalTable::byAddress(std::string_view text, std::size_t limit) const {
    std::vector<PostalEntry> found;
    if (text.empty()) return found;
    for (const PostalEntry& e : entries_)
        if (!e.address.empty() && text.starts_with(e.address)) found.push_back(e);
    std::ranges::stable_sort(found, std::greater{}, [](const PostalEntry& e) { return e.address.size(); });
    if (found.empty())
        for (const PostalEntry& e : entries_)
            if (e.address.starts_with(text) && found.size() < limit) found.push_back(e);
    if (found.size() > limit) found.resize(limit);
    return found;
}

std::string PostalTable::sourceLabel() const {
    switch (source_) {
    case PostalSource::JapanPost: {
        std::string shown = date_;
        std::ranges::replace(shown, '-', '/');
        return "郵便番号: 日本郵便 " + shown;
    }
    case PostalSource::Skk: return "郵便番号: SKK 辞書";
    case PostalSource::None: break;
    }
    return "郵便番号: なし";
}

std::optional<std::string> normalizedCode(std::string_view typed) {
    static constexpr std::string_view kIgnored[] = {"-", " ", "〒", "－", "‐", "−", "ー", "―", "　"};
    std::string digits;
    std::size_t at = 0;
    while (at < typed.size()) {
        const std::string_view rest = typed.substr(at);
        if (rest[0] >= '0' && rest[0] <= '9') {
            digits += rest[0];
            ++at;
        } else if (rest.size() >= 3 && rest.starts_with("\xEF\xBC") && static_cast<unsigned char>(rest[2]) >= 0x90 &&
                   static_cast<unsigned char>(rest[2]) <= 0x99) {  // ０ to ９ (U+FF10..U+FF19)
            digits += static_cast<char>('0' + (static_cast<unsigned char>(rest[2]) - 0x90));
            at += 3;
        } else if (const auto* ignored = std::ranges::find_if(kIgnored, [&](std::string_view s) { return rest.starts_with(s); });
                   ignored != std::end(kIgnored)) {
            at += ignored->size();
        } else {
            return std::nullopt;
        }
    }
    if (digits.size() != 7) return std::nullopt;
    return digits;
}

std::string displayCode(std::string_view code) {
    if (code.size() != 7) return std::string(code);
    return std::string(code.substr(0, 3)) + "-" + std::string(code.substr(3));
}

PostalTable readPostalFile(const std::filesystem::path& file) {
    tools::Database db(file);
    std::string date;
    for (auto info = db.prepare("SELECT value FROM postal_info WHERE key = 'date'"); info.step();)
        date = info.columnText(0);
    std::vector<PostalEntry> entries;
    for (auto rows = db.prepare("SELECT code, prefecture || city || town FROM postal_codes ORDER BY seq"); rows.step();)
        entries.push_back({rows.columnText(0), rows.columnText(1)});
    return PostalTable(PostalSource::JapanPost, std::move(date), std::move(entries));
}

namespace {

std::string eucJpToUtf8(const std::string& text, const std::filesystem::path& from) {
    struct Closer {
        void operator()(iconv_t cd) const { iconv_close(cd); }
    };
    iconv_t raw = iconv_open("UTF-8", "EUC-JISX0213");
    if (raw == reinterpret_cast<iconv_t>(-1)) throw Error("EUC-JP を変換できません (iconv)");
    const std::unique_ptr<std::remove_pointer_t<iconv_t>, Closer> cd(raw);
    std::string out(text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd.get(), &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1))
        throw Error("郵便番号の辞書の文字を EUC-JP として読めません: " + from.string());
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

PostalTable readSkkDictionary(const std::filesystem::path& dictionary) {
    std::ifstream in(dictionary, std::ios::binary);
    if (!in) throw Error("郵便番号の辞書を開けません: " + dictionary.string());
    std::ostringstream raw;
    raw << in.rdbuf();
    std::istringstream text(eucJpToUtf8(raw.str(), dictionary));
    // The file is EUC-JIS-2004 (EUC-JISX0213 to iconv, a superset of EUC-JP).
    // A line is "CODE /候補/候補;注釈/"; ";;" begins a comment line.
    std::vector<PostalEntry> entries;
    for (std::string line; std::getline(text, line);) {
        if (line.empty() || line[0] == ';') continue;
        const std::size_t space = line.find(" /");
        if (space != 7 || !std::all_of(line.begin(), line.begin() + 7, [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        std::string_view rest = std::string_view(line).substr(space + 2);
        while (!rest.empty()) {
            const std::size_t slash = rest.find('/');
            std::string_view candidate = rest.substr(0, slash);
            candidate = candidate.substr(0, candidate.find(';'));
            if (!candidate.empty()) entries.push_back({line.substr(0, 7), std::string(candidate)});
            if (slash == std::string_view::npos) break;
            rest.remove_prefix(slash + 1);
        }
    }
    return PostalTable(PostalSource::Skk, "", std::move(entries));
}

PostalTable loadPostalTable(const std::filesystem::path& postalFile, const std::filesystem::path& skkDictionary) {
    std::error_code ec;
    if (std::filesystem::exists(postalFile, ec)) return readPostalFile(postalFile);
    if (!skkDictionary.empty() && std::filesystem::exists(skkDictionary, ec)) return readSkkDictionary(skkDictionary);
    return {};
}

}  // namespace lumo::postal
