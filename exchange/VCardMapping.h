#pragma once
// How the fields of a person meet vCard properties: one table, read by the
// writer to write a property and by the reader to take it back, so that a
// field and its property are named in one place only. The rows of the
// person's lists (phones, mails, greetings, children) follow the person
// rows: their property names and the phone and mail types are tables here
// too. Constant data; any thread.
#include <array>
#include <span>
#include <string_view>

#include "access/LumoAccess.h"

namespace lumo::exchange::mapping {

using LumoAccess::PersonInformation;
using TextField = LumoAccess::String PersonInformation::*;
using DateField = LumoAccess::Date PersonInformation::*;
using NumberField = LumoAccess::Integer PersonInformation::*;

// The versions that write a row; every row is read whatever the card's
// version (a 3.0 card with ANNIVERSARY still gives the anniversary).
enum Written : unsigned { kReadOnly = 0, k30 = 1, k40 = 2, kBoth = 3 };

enum class Form {
    Text,        // the whole value, unescaped, into fields[0]
    Components,  // the ';'-separated components into fields[i] (none: nothing there)
    Address,     // ADR: fields[0] postal code, [1] first line (street), [2] second line (extended)
    Date,        // BDAY form: a date, or a date and time
    Number,      // a whole number; 0 is not written
    Kana,        // components like Components, half-width katakana made full-width
    SortString,  // written as fields joined by a blank; read whole into fields[0]
};

struct PersonProperty {
    std::string_view name;  // upper case
    std::string_view type;  // TYPE value written with it and needed to read it ("" none)
    unsigned written;       // Written bits
    Form form;
    std::array<TextField, 3> fields{};
    DateField date = nullptr;
    NumberField number = nullptr;
    // Read only when the card names neither reading of the name itself
    // (X-PHONETIC-...): other forms of the same readings.
    bool fallback = false;
    std::string_view valueType;  // VALUE parameter written in 4.0 ("" none)
};

std::span<const PersonProperty> personProperties();

// The readings of the name, which decide whether a fallback row is read.
inline constexpr std::array<TextField, 2> kNameReadings = {&PersonInformation::strLastAlias,
                                                           &PersonInformation::strFirstAlias};

// Phone and mail types: our TYPE value and the vCard TYPE values it is
// written as. Reading takes the first row whose first vCard type the card
// names (so "work,fax" is a fax); a type we do not write keeps its own text
// in X-LUMO-TYPE.
struct KindType {
    std::string_view ours;
    std::array<std::string_view, 2> types;
};
std::span<const KindType> phoneTypes();
std::span<const KindType> mailTypes();

// The lists' properties.
inline constexpr std::string_view kPhone = "TEL";
inline constexpr std::string_view kMail = "EMAIL";
inline constexpr std::string_view kGroup = "CATEGORIES";
inline constexpr std::string_view kLabel = "X-ABLABEL";          // itemN.X-ABLabel: the label of itemN.TEL
inline constexpr std::string_view kRankParam = "X-LUMO-RANK";    // a RANK other than the position gives
inline constexpr std::string_view kTypeParam = "X-LUMO-TYPE";    // a TYPE no vCard type stands for
inline constexpr std::string_view kNewlinesParam = "X-LUMO-NEWLINES";  // line ends other than CR LF
inline constexpr std::string_view kGreeting = "X-LUMO-GREETING";  // year;8 flags (0/1);memo
inline constexpr std::string_view kChild30 = "X-LUMO-CHILD";      // 3.0; 4.0 writes RELATED;TYPE=child
inline constexpr std::string_view kChildReading = "X-LUMO-CHILD-READING";  // one per child, in order
inline constexpr std::string_view kRelated = "RELATED";
inline constexpr std::string_view kProductId = "-//Lumo//LumoExchange//JA";

// The greeting flags in the order of X-LUMO-GREETING's components.
using GreetingFlag = LumoAccess::Boolean LumoAccess::GreetingInformation::*;
std::span<const GreetingFlag> greetingFlags();

}  // namespace lumo::exchange::mapping
