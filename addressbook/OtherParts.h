#pragma once
// The main window's entries for the suite's parts built beside 住所録: the
// New Year cards (年賀状: the year's list and its printing), vCard import
// and export, and the CardDAV sync (同期, with the last sync in the status
// bar). Each entry opens its own window or runs its part and then shows the
// part's report in one message box; the address book's lists are read
// again afterwards.
//
// The entries belong to the window they are added to; GUI thread only. The
// sync runs on a thread of its own while a modal progress dialog waits.
namespace lumo::book {

class MainWindow;

void addOtherParts(MainWindow& window);

}  // namespace lumo::book
