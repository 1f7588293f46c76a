#include "addressbook/PersonQueries.h"

#include <array>

namespace lumo::book {
namespace {

// The first code point of UTF-8 text, 0 for none.
char32_t firstCodePoint(std::string_view s) {
    if (s.empty()) return 0;
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(0);
    if (c < 0x80) return c;
    if ((c >> 5) == 0x6 && s.size() >= 2) return ((c & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    if ((c >> 4) == 0xE && s.size() >= 3) return ((c & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    if ((c >> 3) == 0x1E && s.size() >= 4)
        return ((c & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) | (b(3) & 0x3Fu);
    return 0;
}

constexpr std::string_view kFullWidthDigits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};

// Full-width digits and the hyphens an input method types for a phone
// number, as ASCII.
std::string asciiPhoneText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (int d = 0; d < 10 && !replaced; ++d)
            if (text.substr(i).starts_with(kFullWidthDigits[d])) {
                out += static_cast<char>('0' + d);
                i += kFullWidthDigits[d].size();
                replaced = true;
            }
        for (std::string_view dash : {"－", "ー", "‐", "−"})
            if (!replaced && text.substr(i).starts_with(dash)) {
                out += '-';
                i += dash.size();
                replaced = true;
            }
        if (!replaced) out += text[i++];
    }
    return out;
}

bool isPhoneText(std::string_view text) {
    bool digit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') digit = true;
        else if (c != '-' && c != '(' && c != ')' && c != '+' && c != ' ') return false;
    }
    return digit;
}

std::string_view trimmed(std::string_view s) {
    const auto blank = [](std::string_view t, std::size_t at) {
        return t.substr(at).starts_with(" ") || t.substr(at).starts_with("\t") ? 1u
               : t.substr(at).starts_with("　")                                  ? 3u
                                                                               : 0u;
    };
    while (!s.empty() && blank(s, 0)) s.remove_prefix(blank(s, 0));
    for (bool more = true; more && !s.empty();) {
        more = false;
        if (s.back() == ' ' || s.back() == '\t') s.remove_suffix(1), more = true;
        else if (s.ends_with("　")) s.remove_suffix(3), more = true;
    }
    return s;
}

}  // namespace

std::string literalLikeWord(std::string_view word) {
    std::string out;
    out.reserve(word.size() + 8);
    for (char c : word) {
        switch (c) {
        case '%': out += "[%]"; break;
        case '_': out += "[_]"; break;
        case '[': out += "[[]"; break;
        default: out += c;
        }
    }
    return out;
}

SearchWords searchWords(std::string_view text) {
    const std::string_view word = trimmed(text);
    SearchWords words;
    if (word.empty()) return words;
    if (const std::string phone = asciiPhoneText(word); isPhoneText(phone)) words.phone = literalLikeWord(phone);
    else words.name = literalLikeWord(word);
    return words;
}

std::string personIdsStatement(int32_t typeId) {
    std::string sql = "SELECT PERSON_ID, (LASTALIAS & FIRSTALIAS) AS PERSON_ALIAS FROM T_PERSON";
    if (typeId > 0) sql += " WHERE TYPE_ID = " + std::to_string(typeId);
    return sql;
}

std::string personRowsStatement(const std::vector<int32_t>& ids) {
    std::string list;
    for (int32_t id : ids) {
        if (!list.empty()) list += ',';
        list += std::to_string(id);
    }
    if (list.empty()) list = "0";
    // The phone and address the list shows: home first, else the office's.
    return "SELECT T_PERSON.PERSON_ID, ([T_PERSON].[LASTNAME] & ' ' & [T_PERSON].[FIRSTNAME]) AS PERSON_NAME, "
           "([T_PERSON].[LASTALIAS] & ' ' & [T_PERSON].[FIRSTALIAS]) AS PERSON_ALIAS, "
           "vwHomePhone.TEL_NUMBER AS HOME_PHONE, vwOfficePhone.TEL_NUMBER AS OFFICE_PHONE, "
           "([T_PERSON].[HOME_ADDRESS1] & [T_PERSON].[HOME_ADDRESS2]) AS HOME_ADDRESS, "
           "([T_PERSON].[OFFICE_ADDRESS1] & [T_PERSON].[OFFICE_ADDRESS2]) AS OFFICE_ADDRESS, T_GROUPING.LABEL "
           "FROM ((T_PERSON LEFT JOIN T_GROUPING ON T_PERSON.TYPE_ID = T_GROUPING.TYPE_ID) "
           "LEFT JOIN vwHomePhone ON T_PERSON.PERSON_ID = vwHomePhone.PERSON_ID) "
           "LEFT JOIN vwOfficePhone ON T_PERSON.PERSON_ID = vwOfficePhone.PERSON_ID "
           "WHERE T_PERSON.PERSON_ID IN (" +
           list + ")";
}

std::string groupCountsStatement() {
    return "SELECT T_GROUPING.TYPE_ID, T_GROUPING.LABEL, COUNT(T_PERSON.PERSON_ID) AS MEMBERS "
           "FROM T_GROUPING LEFT JOIN T_PERSON ON T_GROUPING.TYPE_ID = T_PERSON.TYPE_ID "
           "GROUP BY T_GROUPING.TYPE_ID, T_GROUPING.LABEL ORDER BY T_GROUPING.TYPE_ID";
}

std::string personCountStatement() { return "SELECT COUNT(*) AS MEMBERS FROM T_PERSON"; }

std::string readingSortKey(std::string_view reading) {
    // Katakana ァ (U+30A1) to ヶ (U+30F6) is E3 82 A1 ... E3 83 B6; hiragana
    // lies 0x60 code points lower.
    std::string key(reading);
    for (std::size_t i = 0; i + 2 < key.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(key[i]), b1 = static_cast<unsigned char>(key[i + 1]),
                   b2 = static_cast<unsigned char>(key[i + 2]);
        if (b0 != 0xE3 || (b1 != 0x82 && b1 != 0x83)) continue;
        const char32_t c = (char32_t{0x3} << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
        if (c < U'ァ' || c > U'ヶ') continue;
        const char32_t h = c - 0x60;
        key[i + 1] = static_cast<char>(0x80 | ((h >> 6) & 0x3F));
        key[i + 2] = static_cast<char>(0x80 | (h & 0x3F));
        i += 2;
    }
    return key;
}

int kanaRowOf(std::string_view reading) {
    char32_t c = firstCodePoint(reading);
    if (c >= U'ァ' && c <= U'ヶ') c -= 0x60;  // katakana to hiragana
    // The first kana of each row; a reading belongs to the last row whose
    // first kana is not after its own.
    static constexpr std::array<char32_t, 10> kRowStarts{U'ぁ', U'か', U'さ', U'た', U'な',
                                                       U'は', U'ま', U'ゃ', U'ら', U'ゎ'};
    if (c < kRowStarts.front() || c > U'ゖ') return -1;
    int row = 0;
    for (int i = 0; i < static_cast<int>(kRowStarts.size()); ++i)
        if (c >= kRowStarts[static_cast<std::size_t>(i)]) row = i;
    return row;
}

const std::vector<std::string>& kanaRowCaptions() {
    static const std::vector<std::string> captions{"あ", "か", "さ", "た", "な", "は", "ま", "や", "ら", "わ"};
    return captions;
}

}  // namespace lumo::book
