#pragma once
// The usage text of `lumo print`, shared by the command and by its stand-in
// in builds without pango and cairo.
#include <string_view>

namespace lumo::tools {

inline constexpr std::string_view kPrintUsage =
    "  lumo print hagaki DIR [--year Y] [--group G | --ids ID...] [--sender ID] [--offset X,Y]\n"
    "             [--numbers kanji|kanji10|arabic] [--office] [--font F] [--envelope] [--mark-sent]\n"
    "             [--force] [--preview FILE.png] --out FILE.pdf\n"
    "      年賀状 (はがき 100 x 148 mm、--envelope は長形3号) の宛名面を PDF に印刷します。\n"
    "      prints the address sides of the year's 送る list (or group G, or the persons ID...),\n"
    "      one card a page; persons in mourning for Y or without an address are left out and named.\n"
    "      --offset moves everything X mm right and Y mm down (printer correction); --office prints\n"
    "      the company address; --font names a font family (default IPAexMincho); --mark-sent ticks\n"
    "      出 for year Y of every printed person; --preview draws the first card on a card with its boxes.\n";

}  // namespace lumo::tools
