#pragma once
// The address side of one card (or envelope) laid out in millimetres: where
// every column of vertical text stands, at what size, and which postal
// digit goes in which box. The renderer draws exactly this; nothing here
// knows about fonts beyond "a character fills a square of its size".
//
// Pure values, built by layoutCard from the card's content; any thread.
#include <string>
#include <vector>

#include "cards/Geometry.h"
#include "cards/VerticalText.h"

namespace lumo::cards {

// One given name of the name column with its own honorific.
struct GivenName {
    std::string name;
    std::string honorific = "様";
};

// What goes on the card, as the address book holds it.
struct Recipient {
    std::string zip;
    std::string address1;   // up to the house number
    std::string address2;   // building and room: a second column, starting lower
    std::string company;    // company, section and position are printed
    std::string section;    // only when given (--office fills them)
    std::string position;
    std::string familyName;
    std::vector<GivenName> givenNames;  // the person first, then joint names
};

struct Sender {
    std::string zip;
    std::string address1;
    std::string address2;
    std::string name;
};

struct LayoutOptions {
    PageKind page = PageKind::Hagaki;
    NumberStyle numbers = NumberStyle::Kanji;
};

// A column of vertical text: its cells from `top` downwards, each a square
// of `size` mm centred on `centreX`.
struct Column {
    enum class Role { Address, Office, FamilyName, GivenName, Honorific, SenderAddress, SenderName };
    Role role;
    std::vector<Cell> cells;
    double centreX = 0;
    double top = 0;
    double size = 0;
    Rect bounds() const { return {centreX - size / 2, top, size, size * static_cast<double>(cells.size())}; }
};

// Horizontal text centred in a box: a postal digit, the sender's code.
struct Label {
    enum class Role { PostalDigit, SenderZip };
    Role role;
    std::string text;
    Rect box;
    double size = 0;
};

struct CardLayout {
    PageGeometry page;
    std::vector<Column> columns;  // in reading order: right to left
    std::vector<Label> labels;
};

CardLayout layoutCard(const Recipient& recipient, const Sender* sender, const LayoutOptions& options);

// Splits `cells` into `count` pieces of nearly equal length, never between
// two numeral cells when another place is near; used for columns too long
// for one.
std::vector<std::vector<Cell>> splitCells(const std::vector<Cell>& cells, std::size_t count);

}  // namespace lumo::cards
