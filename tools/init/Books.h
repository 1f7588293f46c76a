#pragma once
// Row writers for the three databases, shared by the sample data set and
// the synthetic records of `lumo init`. Empty texts and zero dates are
// stored as Null, as the library's own writers mostly do; a note of ten or
// more characters also gets the ToDo row the library adds with a new
// person or sheet.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/init/Sqlite.h"
#include "tools/init/TableWriter.h"

namespace lumo::tools {

// The group tables differ only in their names.
struct GroupTableNames {
    std::string_view table{}, key{}, caption{};
};
inline constexpr GroupTableNames kPersonGroups{"T_GROUPING", "TYPE_ID", "LABEL"};
inline constexpr GroupTableNames kItemGroups{"T_iGROUPING", "ITYPE_ID", "ILABEL"};
inline constexpr GroupTableNames kScrapGroups{"T_GROUPING", "LABEL_ID", "LABEL"};

class GroupTable {
public:
    GroupTable(Database& db, const GroupTableNames& names);
    // The group with this caption, added (not as default) when missing.
    std::int64_t ensure(std::string_view caption);
    // Every group, in key order.
    std::vector<std::int64_t> ids();

private:
    Statement find_;
    Statement all_;
    TableWriter insert_;
};

struct PersonRecord {
    std::int64_t typeId = 0;
    std::string_view lastName{}, lastAlias{}, firstName{}, firstAlias{}, title{}, nickname{};
    std::string_view label1{}, memo1{};
    std::string_view homeZip{}, homeAddress1{}, homeAddress2{}, homeUrl{};
    std::string_view companyAlias{}, company{}, position{}, section{};
    std::string_view officeZip{}, officeAddress1{}, officeAddress2{}, officeUrl{};
    double birthday = 0;
    int age = 0;
    std::string_view constellation{}, blood{};
    double anniversary = 0;
    std::string_view mateAlias{}, mate{}, hobby{}, note{};
    std::string_view mainAddress{};  // T_PERSON.DEFAULT: "OFFICE" or "HOME"
};

struct PhoneRecord {
    std::int64_t personId = 0;
    std::string_view type{}, label{}, number{};
    int rank = 0;
};
using MailRecord = PhoneRecord;  // same shape: type, label, address, rank

struct GreetingRecord {
    std::int64_t personId = 0;
    int year = 0;
    // New year, summer, mid-year, year end; each sent, received.
    std::array<bool, 8> flags{};
    std::string_view memo{};
};

struct ChildRecord {
    std::int64_t personId = 0;
    std::string_view name{}, alias{};
};

class PersonBook {
public:
    explicit PersonBook(Database& db);
    GroupTable groups;

    std::int64_t addPerson(const PersonRecord& p);
    void addPhone(const PhoneRecord& r);
    void addMail(const MailRecord& r);
    void addGreeting(const GreetingRecord& r);
    void addChild(const ChildRecord& r);

private:
    TableWriter person_, phone_, mail_, greeting_, child_, todo_;
};

struct GoodsRecord {
    std::int64_t typeId = 0;
    std::string_view maker{}, alias{}, name{}, form{}, itemSpec{}, memoLabel{}, memo{}, photoPath{}, note{};
};

// A supplier or a customer: the two tables have the same shape.
struct PartyRecord {
    std::string_view alias{}, name{}, lastAlias{}, lastName{}, firstAlias{}, firstName{};
    std::string_view zip{}, address1{}, address2{}, tel{}, fax{}, mail{}, defaultText{};
    std::int64_t linkId = 0;
};

enum class SheetKind { Purchase = 0, Sale = 1 };

struct SheetRecord {
    SheetKind kind = SheetKind::Purchase;
    std::int64_t goodsId = 0;
    double date = 0;
    std::int64_t partyId = 0;  // supplier of a purchase, customer of a sale
    std::int64_t quantity = 0, unitPrice = 0, amount = 0;
    std::string_view note{};
};

class ItemLedger {
public:
    explicit ItemLedger(Database& db);
    GroupTable groups;

    std::int64_t addGoods(const GoodsRecord& g);
    std::int64_t addSupplier(const PartyRecord& s);
    std::int64_t addCustomer(const PartyRecord& c);
    std::int64_t addSheet(const SheetRecord& s);

private:
    TableWriter goods_, supplier_, customer_, sheet_, todo_;
};

struct ScrapRecord {
    std::int64_t labelId = 0;
    double registered = 0;  // 0: now
    double edited = 0;
    std::string_view title{}, source{}, keyword{}, place{}, body{}, bodyPath{}, memo{};
};

class ScrapBook {
public:
    explicit ScrapBook(Database& db);
    GroupTable groups;

    std::int64_t addScrap(const ScrapRecord& s);

private:
    TableWriter scrap_;
};

}  // namespace lumo::tools
