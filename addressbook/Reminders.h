#pragma once
// The lists beside the person list: the ToDo rows the notes produced, the
// birthdays and anniversaries of the coming days, and the persons that may
// be one person twice; and the merge of such a pair. The lists are read on
// the program's own engine connection; the merge works through the
// library. Free functions; the caller's thread, with objects it owns.
#include <cstdint>
#include <string>
#include <vector>

#include "access/LumoAccess.h"

namespace lumo::db {
class Connection;
}

namespace lumo::book {

struct TodoRow {
    int32_t personId = 0;
    std::string name;
    std::string note;
    bool open = false;  // CHK_FLAG
};
// Every ToDo row with its person, by reading. Throws lumo::Error.
std::vector<TodoRow> readTodo(db::Connection& connection);

struct ComingDate {
    int32_t personId = 0;
    std::string name;
    bool birthday = true;  // else the anniversary
    double date = 0;       // the coming day (automation date)
    int inDays = 0;        // 0: today
};
// Birthdays and anniversaries from `today` (an automation date) to
// `days` days after it, soonest first. A 29 February falls on 28 February
// in other years. Throws lumo::Error.
std::vector<ComingDate> readComingDates(db::Connection& connection, double today, int days = 30);

struct DuplicatePair {
    int32_t first = 0, second = 0;  // first < second
    std::string why;                // "よみと郵便番号" or "電話番号 ..."
};
// Pairs with the same reading and home postal code, or a shared phone
// number. Throws lumo::Error.
std::vector<DuplicatePair> readDuplicates(db::Connection& connection);

// Writes `keep` completed from `other` (empty fields filled, phones, mails,
// children and greeting years added that it lacks, notes joined), and only
// when that succeeded without a report deletes `other`. Returns false when
// something failed (it has been shown); then at worst both persons remain.
bool mergePersons(LumoAccess::clsPidAccess& pid, int32_t keep, int32_t other);

}  // namespace lumo::book
