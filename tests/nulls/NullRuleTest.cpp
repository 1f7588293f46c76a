// The readers' Null rule, column by column: a Null in any number column
// that is not the row's own key reads as 0, through every reader of the
// published interface that reads it; the row's key must hold a value; a
// value that cannot be converted fails with the table and column named.
#include <functional>
#include <memory>

#include "access/core/Fields.h"
#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

// Every number column a reader reads holds 7, so that a reader that does
// not read it (or reads another column) shows.
constexpr const char* kPersonRows = R"sql(
INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, AGE, LASTNAME) VALUES (1, 7, 7, 'a');
INSERT INTO T_PHONE (PHONE_ID, PERSON_ID, TEL_NUMBER, RANK) VALUES (1, 1, 't', 7);
INSERT INTO T_EMAIL (MAIL_ID, PERSON_ID, MAIL_ADDRESS, RANK) VALUES (1, 1, 'm', 7);
INSERT INTO T_GREETING (GREETING_ID, PERSON_ID, TARGET) VALUES (1, 1, 7);
)sql";
constexpr const char* kItemRows = R"sql(
INSERT INTO T_ITEMS (ID, ITYPE_ID, ITEM_NAME) VALUES (1, 7, 'g');
INSERT INTO T_iSUPPLIER (SUPPLIER_ID, SUPPLIER, S_LINK_ID) VALUES (1, 's', 7);
INSERT INTO T_iCUSTOMER (CUSTOMER_ID, CUSTOMER, C_LINK_ID) VALUES (1, 'c', 7);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, SUPPLIER_ID, QUANTITY, STOCK_UNITPRICE, STOCK_AMOUNT)
  VALUES (1, 0, 7, 7, 7, 7, 7);
INSERT INTO T_SHEET (ID, SHEET_ID, GOODS_ID, CUSTOMER_ID, QUANTITY, SALES_UNITPRICE, SALES_AMOUNT)
  VALUES (2, 1, 7, 7, 7, 7, 7);
)sql";
constexpr const char* kScrapRows = "INSERT INTO T_SCRAP (ID, LABEL_ID, TITLE) VALUES (1, 7, 't');";

// The three databases with their rows, and an object of each class.
struct Files {
    Files() {
        person.exec(kPersonRows);
        item.exec(kItemRows);
        scrap.exec(kScrapRows);
        EXPECT_FALSE(pid->Initialize(person.connectionString()));
        EXPECT_FALSE(iid->Initialize(item.connectionString()));
        EXPECT_FALSE(scr->Initialize(scrap.connectionString()));
    }
    ScratchDatabase& database(const std::string& table) {
        if (table == "T_SCRAP") return scrap;
        return table.starts_with("T_i") || table == "T_ITEMS" || table == "T_SHEET" ? item : person;
    }
    ScratchDatabase person{schema::personDdl()};
    ScratchDatabase item{schema::itemDdl()};
    ScratchDatabase scrap{schema::scrapDdl()};
    Ref<clsPidAccess> pid = createObject<clsPidAccess>();
    Ref<clsIidAccess> iid = createObject<clsIidAccess>();
    Ref<clsScrapAccess> scr = createObject<clsScrapAccess>();
};

// A reader's record starts with this in the field, so that a field the
// reader leaves alone does not pass for a 0 it read.
constexpr int kUnread = -99;

template <class R, class Field>
R given(Field R::*field) {
    R record;
    record.*field = kUnread;
    return record;
}

// The one row of person 1 that an array reader reads.
template <class R, class Field>
int64_t firstOf(Files& f, Boolean (clsPidAccess::*reader)(Long, std::vector<R>&, String*) noexcept,
                Field R::*field) {
    std::vector<R> rows;
    if ((f.pid.get()->*reader)(1, rows, nullptr) || rows.size() != 1) return kUnread;
    return rows[0].*field;
}

struct Case {
    const char* table;
    const char* column;
    const char* key;  // the row's key column, and its value
    int keyValue;
    const char* reader;
    std::function<int64_t(Files&)> read;
    int storedValue = 7;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all{
        {"T_PERSON", "TYPE_ID", "PERSON_ID", 1, "GetPersonalInformation",
         [](Files& f) { return int64_t{f.pid->GetPersonalInformation(1).lngTypeID}; }},
        {"T_PERSON", "AGE", "PERSON_ID", 1, "GetPersonalInformation",
         [](Files& f) { return int64_t{f.pid->GetPersonalInformation(1).intAge}; }},
        {"T_PHONE", "RANK", "PHONE_ID", 1, "GetPhoneNumberInfo",
         [](Files& f) { return firstOf(f, &clsPidAccess::GetPhoneNumberInfo, &PhoneInformation::intRank); }},
        {"T_EMAIL", "RANK", "MAIL_ID", 1, "GetMailAddressInfo",
         [](Files& f) { return firstOf(f, &clsPidAccess::GetMailAddressInfo, &MailInformation::intRank); }},
        {"T_GREETING", "TARGET", "GREETING_ID", 1, "GetGreetingInformation",
         [](Files& f) { return firstOf(f, &clsPidAccess::GetGreetingInformation, &GreetingInformation::lngYear); }},
        {"T_ITEMS", "ITYPE_ID", "ID", 1, "GetItemInformation",
         [](Files& f) {
             auto goods = given(&GoodsInformation::lngTypeID);
             f.iid->GetItemInformation(1, goods);
             return int64_t{goods.lngTypeID};
         }},
        {"T_ITEMS", "ITYPE_ID", "ID", 1, "ReadItemInformation",
         [](Files& f) {
             auto goods = given(&GoodsInformation::lngTypeID);
             return f.iid->ReadItemInformation("g", goods) ? kUnread : int64_t{goods.lngTypeID};
         }},
        {"T_iSUPPLIER", "S_LINK_ID", "SUPPLIER_ID", 1, "GetPersonInformation",
         [](Files& f) {
             auto supplier = given(&SupplierInformation::lngSupplierLinkID);
             CustomerInformation customer;
             f.iid->GetPersonInformation(1, customer, supplier, true);
             return int64_t{supplier.lngSupplierLinkID};
         }},
        {"T_iSUPPLIER", "S_LINK_ID", "SUPPLIER_ID", 1, "ReadSupplierInformation",
         [](Files& f) {
             auto supplier = given(&SupplierInformation::lngSupplierLinkID);
             return f.iid->ReadSupplierInformation("s", supplier) ? kUnread : int64_t{supplier.lngSupplierLinkID};
         }},
        {"T_iCUSTOMER", "C_LINK_ID", "CUSTOMER_ID", 1, "GetPersonInformation",
         [](Files& f) {
             auto customer = given(&CustomerInformation::lngCustomerLinkID);
             SupplierInformation supplier;
             f.iid->GetPersonInformation(1, customer, supplier, false);
             return int64_t{customer.lngCustomerLinkID};
         }},
        {"T_iCUSTOMER", "C_LINK_ID", "CUSTOMER_ID", 1, "ReadCustomerInformation",
         [](Files& f) {
             auto customer = given(&CustomerInformation::lngCustomerLinkID);
             return f.iid->ReadCustomerInformation("c", customer) ? kUnread : int64_t{customer.lngCustomerLinkID};
         }},
        {"T_SCRAP", "LABEL_ID", "ID", 1, "GetScrapInformation",
         [](Files& f) {
             auto scrap = given(&ScrapInformation::lngLabelID);
             f.scr->GetScrapInformation(1, scrap);
             return int64_t{scrap.lngLabelID};
         }},
    };
    return all;
}

// The sheet's columns, each through GetSheetInformation: the purchase
// (sheet 1) and the sale (sheet 2).
struct SheetCase {
    const char* column;
    int sheet;
    Long SheetInformation::*field;
};
constexpr SheetCase kSheetCases[] = {
    {"GOODS_ID", 1, &SheetInformation::lngGoodsID},
    {"SUPPLIER_ID", 1, &SheetInformation::lngSupplierID},
    {"QUANTITY", 1, &SheetInformation::lngStockQuantity},
    {"STOCK_UNITPRICE", 1, &SheetInformation::lngStockUnitPrice},
    {"STOCK_AMOUNT", 1, &SheetInformation::lngStockAmount},
    {"GOODS_ID", 2, &SheetInformation::lngGoodsID},
    {"CUSTOMER_ID", 2, &SheetInformation::lngCustomerID},
    {"QUANTITY", 2, &SheetInformation::lngSalesQuantity},
    {"SALES_UNITPRICE", 2, &SheetInformation::lngSalesUnitPrice},
    {"SALES_AMOUNT", 2, &SheetInformation::lngSalesAmount},
};

TEST(NullRule, ANullInEveryNumberColumnButTheKeyReadsAsZero) {
    std::vector<Case> all = cases();
    for (const SheetCase& s : kSheetCases)
        all.push_back({"T_SHEET", s.column, "ID", s.sheet, "GetSheetInformation", [s](Files& f) {
                           SheetInformation sheet;
                           sheet.*s.field = kUnread;
                           f.iid->GetSheetInformation(s.sheet, sheet);
                           return int64_t{sheet.*s.field};
                       }});
    // The kind itself: Null is a purchase.
    all.push_back({"T_SHEET", "SHEET_ID", "ID", 2, "GetSheetInformation",
                   [](Files& f) {
                       SheetInformation sheet;
                       sheet.intSheetFlag = kUnread;
                       f.iid->GetSheetInformation(2, sheet);
                       return int64_t{sheet.intSheetFlag};
                   },
                   1});
    RecordingSink sink;
    Files files;
    // One column at a time is Null; it gets its value back afterwards.
    for (const Case& c : all) {
        SCOPED_TRACE(std::string(c.table) + "." + c.column + " through " + c.reader);
        const auto set = [&](const std::string& value) {
            files.database(c.table).exec(std::string("UPDATE ") + c.table + " SET " + c.column + " = " + value +
                                         " WHERE " + c.key + " = " + std::to_string(c.keyValue));
        };
        EXPECT_EQ(c.read(files), c.storedValue) << "the stored value";
        set("NULL");
        EXPECT_EQ(c.read(files), 0) << "Null";
        set(std::to_string(c.storedValue));
        EXPECT_TRUE(sink.messages().empty()) << sink.messages().front().text;
    }
}

// The conversions themselves, on values no stored row of ours can hold
// (the schema refuses them): a Null key, a number beyond the field, a
// text in a number column.
TEST(NullRule, AKeyMustHoldAValueAndAFailedConversionNamesTableAndColumn) {
    ScratchDatabase file{schema::personDdl()};
    db::Connection cn;
    cn.Open(file.connectionString());
    db::Recordset rs;
    rs.Open("SELECT NULL AS PHONE_ID, NULL AS RANK, NULL AS BIRTHDAY, NULL AS NEWYEAR_SEND, 40000 AS AGE, "
            "'x' AS TYPE_ID, 5 AS MAIL_ID",
            cn, db::adOpenStatic, db::adLockReadOnly, db::adCmdText);
    ASSERT_FALSE(rs.Eof());

    using access::rowKey;
    EXPECT_EQ(access::longOf(rs, {"T_PHONE", "RANK"}), 0);
    EXPECT_EQ(access::integerOf(rs, {"T_PHONE", "RANK"}), 0);
    EXPECT_EQ(access::dateOf(rs, {"T_PERSON", "BIRTHDAY"}), 0.0);
    EXPECT_FALSE(access::flagOf(rs, {"T_GREETING", "NEWYEAR_SEND"}));
    EXPECT_EQ(access::longOf(rs, rowKey("T_EMAIL", "MAIL_ID")), 5);

    const struct {
        const char* what;
        std::function<void()> read;
        std::string text;  // the whole description, or its end
        bool whole;
    } failures[] = {
        {"a Null key", [&] { access::longOf(rs, rowKey("T_PHONE", "PHONE_ID")); },
         "Null の使い方が不正です。(T_PHONE.PHONE_ID)", true},
        {"an Integer out of range", [&] { access::integerOf(rs, {"T_PERSON", "AGE"}); },
         "オーバーフローしました。(T_PERSON.AGE)", true},
        {"text in a Long", [&] { access::longOf(rs, {"T_PERSON", "TYPE_ID"}); }, "(T_PERSON.TYPE_ID)", false},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.what);
        try {
            f.read();
            ADD_FAILURE() << "no failure";
        } catch (const Error& e) {
            const std::string text = e.description();
            if (f.whole) EXPECT_EQ(text, f.text);
            else EXPECT_TRUE(text.ends_with(f.text)) << text;
        }
    }
}

}  // namespace
}  // namespace lumo::test
