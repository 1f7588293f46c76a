#pragma once
// The postal code table of the address book: codes to addresses and back.
// It comes from the program's own file beside the databases
// (Data/LumoPostal.sqlite, written by `lumo postal import` from Japan Post's
// utf_ken_all.csv) or, without that file, from the SKK dictionary of postal
// codes (SKK-JISYO.zipcode of Debian's skkdic-extra) when it is installed.
//
// A PostalTable is a plain value held in memory (about 120,000 rows of the
// whole country); whoever loads it owns it. Reading is safe from any
// thread; loading and copying are not synchronised.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::postal {

struct PostalEntry {
    std::string code;     // seven ASCII digits
    std::string address;  // 都道府県 + 市区町村 + 町域, as one text
    bool operator==(const PostalEntry&) const = default;
};

enum class PostalSource { None, JapanPost, Skk };

class PostalTable {
public:
    PostalTable() = default;
    PostalTable(PostalSource source, std::string date, std::vector<PostalEntry> entries);

    PostalSource source() const { return source_; }
    const std::string& date() const { return date_; }  // "YYYY-MM-DD", empty for the SKK dictionary
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // The addresses of a code (which normalizedCode has accepted), in the
    // order of the source.
    std::vector<PostalEntry> byCode(std::string_view code) const;
    // The codes an address may have: the entries whose address begins the
    // text (the text goes on with a block number), longest first; when
    // there are none, the entries whose address begins with the text.
    // At most `limit`.
    std::vector<PostalEntry> byAddress(std::string_view text, std::size_t limit = 20) const;

    // What the program shows: "郵便番号: 日本郵便 2026/11/30",
    // "郵便番号: SKK 辞書" or "郵便番号: なし".
    std::string sourceLabel() const;

private:
    PostalSource source_ = PostalSource::None;
    std::string date_;
    std::vector<PostalEntry> entries_;  // sorted by code, stable
};

// The seven digits of a typed postal code: "1000001", "100-0001",
// "〒１００－０００１" (full-width digits and the usual dashes). Nothing for
// anything else.
std::optional<std::string> normalizedCode(std::string_view typed);
// "1000001" as the card stores it: "100-0001".
std::string displayCode(std::string_view code);

// Where Debian installs the dictionary of postal codes.
inline const std::filesystem::path kSkkZipcodeDictionary = "/usr/share/skk/SKK-JISYO.zipcode";

// Reads the program's own file. Throws lumo::Error.
PostalTable readPostalFile(const std::filesystem::path& file);
// Reads an SKK dictionary of postal codes (EUC-JP). Throws lumo::Error.
PostalTable readSkkDictionary(const std::filesystem::path& dictionary);
// The program's file when it exists, else the dictionary when it exists,
// else an empty table. A file that cannot be read throws lumo::Error.
PostalTable loadPostalTable(const std::filesystem::path& postalFile,
                            const std::filesystem::path& skkDictionary = kSkkZipcodeDictionary);

}  // namespace lumo::postal
