#include "bench/ReaderBaselines.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <optional>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "access/LumoAccess.h"
#include "access/item/ItemRows.h"
#include "access/item/SheetKinds.h"
#include "access/person/PersonColumns.h"
#include "bench/BenchData.h"
#include "bench/Lazy.h"
#include "bench/ReaderStatements.h"
#include "bench/SqliteReader.h"
#include "client/AccessLibrary.h"
#include "platform/MessageSink.h"

namespace lumo::bench {
namespace {

using namespace LumoAccess;
using access::Column;

constexpr std::uint32_t kSeed = 20240612;
constexpr int kChecked = 1000;  // calls compared with the library before timing

// A table of (column, field) with each column's place in a statement.
template <class R>
struct PlacedColumns {
    std::span<const Column<R>> columns;
    std::vector<int> places;

    PlacedColumns(const SqliteQuery& st, std::span<const Column<R>> cs) : columns(cs) {
        for (const Column<R>& c : cs) places.push_back(st.column(c.name));
    }
    // Fills the fields with the library's Null rules: text "", numbers and
    // dates 0 (SQLite reads Null as 0).
    void fill(const SqliteQuery& st, R& record) const {
        for (std::size_t i = 0; i < places.size(); ++i) {
            std::visit(
                [&](auto member) {
                    auto& field = record.*member;
                    using T = std::remove_reference_t<decltype(field)>;
                    if constexpr (std::is_same_v<T, String>) field = st.text(places[i]);
                    else if constexpr (std::is_same_v<T, Date>) field = st.real(places[i]);
                    else if constexpr (std::is_same_v<T, Boolean>) field = st.integer(places[i]) != 0;
                    else field = static_cast<T>(st.integer(places[i]));
                },
                columns[i].field);
        }
    }
    // The first column whose field differs, or "".
    std::string_view difference(const R& a, const R& b) const {
        for (const Column<R>& c : columns) {
            const bool same = std::visit([&](auto member) { return a.*member == b.*member; }, c.field);
            if (!same) return c.name;
        }
        return {};
    }
};

// Every field of the records whose equality the check needs.
auto fieldsOf(const SheetInformation& s) {
    return std::tie(s.lngSheetID, s.lngGoodsID, s.intSheetFlag, s.dyDate, s.lngCustomerID, s.dySalesDate,
                    s.lngSalesQuantity, s.lngSalesUnitPrice, s.lngSalesAmount, s.lngSupplierID, s.dyStockDate,
                    s.lngStockQuantity, s.lngStockUnitPrice, s.lngStockAmount, s.strNote);
}
auto fieldsOf(const GoodsInfoOverview& o) {
    return std::tie(o.dyDate, o.strGoodsName, o.strGoodsType, o.strGoodsSpec, o.intQuantity, o.dblUnitPrice,
                    o.dblAmount, o.strName, o.strTanto, o.strPhone1, o.strPhone2, o.strMail, o.strNote, o.blnFlag);
}

struct PersonBaseline {
    SqliteQuery person;
    PlacedColumns<PersonInformation> personColumns;
    SqliteQuery phones;
    PlacedColumns<PhoneInformation> phoneColumns;
    int phoneId;

    explicit PersonBaseline(const SqliteFile& db)
        : person(db, reader::kPerson),
          personColumns(person, access::person::kPersonColumns),
          phones(db, reader::kPhones),
          phoneColumns(phones, access::person::kPhoneColumns),
          phoneId(phones.column("PHONE_ID")) {}

    PersonInformation personal(Long id) {
        PersonInformation p;
        if (person.run(id)) {
            p.lngPersonID = id;
            personColumns.fill(person, p);
        }
        return p;
    }
    // As the library fills an array: replaced row by row, untouched when
    // there are no rows.
    void phoneNumbers(Long id, std::vector<PhoneInformation>& out) {
        std::size_t n = 0;
        for (bool row = phones.run(id); row; row = phones.step(), ++n) {
            out.resize(n + 1);
            out[n].lngPhoneID = phones.integer(phoneId);
            out[n].lngPersonID = id;
            phoneColumns.fill(phones, out[n]);
        }
    }
};

// The fields of a supplier or customer that the overview shows.
template <class Record>
struct OverviewFields {
    String Record::*name;
    String Record::*last;
    String Record::*first;
    String Record::*phone1;
    String Record::*phone2;
    String Record::*mail;
};

template <class Record>
struct CounterpartBaseline {
    const access::ItemTable<Record>& table;
    SqliteQuery st;
    int name, last, first, phone1, phone2, mail;

    CounterpartBaseline(const SqliteFile& db, const access::ItemTable<Record>& t, const OverviewFields<Record>& f)
        : table(t),
          st(db, reader::counterpart(t)),
          name(st.column(access::columnOf(t.columns, f.name))),
          last(st.column(access::columnOf(t.columns, f.last))),
          first(st.column(access::columnOf(t.columns, f.first))),
          phone1(st.column(access::columnOf(t.columns, f.phone1))),
          phone2(st.column(access::columnOf(t.columns, f.phone2))),
          mail(st.column(access::columnOf(t.columns, f.mail))) {}

    void fill(Long id, GoodsInfoOverview& o) {
        if (!st.run(id)) return;
        o.strName = st.text(name);
        o.strTanto = std::string(st.text(last)).append(st.text(first));
        o.strPhone1 = st.text(phone1);
        o.strPhone2 = st.text(phone2);
        o.strMail = st.text(mail);
    }
};

struct ItemBaseline {
    SqliteQuery sheet;
    int id, flag, goods, date, quantity, note;
    // Per kind (purchase, sale): counterpart, unit price, amount.
    std::array<std::array<int, 3>, 2> kindColumns;
    SqliteQuery items;
    int itemName, itemForm, itemSpec;
    CounterpartBaseline<SupplierInformation> suppliers;
    CounterpartBaseline<CustomerInformation> customers;

    explicit ItemBaseline(const SqliteFile& db)
        : sheet(db, reader::kSheet),
          id(sheet.column("ID")),
          flag(sheet.column("SHEET_ID")),
          goods(sheet.column("GOODS_ID")),
          date(sheet.column("SHEET_DATE")),
          quantity(sheet.column("QUANTITY")),
          note(sheet.column("NOTE")),
          kindColumns{placesOf(sheet, access::kPurchase), placesOf(sheet, access::kSale)},
          items(db, reader::kGoods),
          itemName(items.column("ITEM_NAME")),
          itemForm(items.column("ITEM_FORM")),
          itemSpec(items.column("ITEM_SPEC")),
          suppliers(db, access::kSupplierRows,
                    {&SupplierInformation::strSupplierName, &SupplierInformation::strSupplierLastName,
                     &SupplierInformation::strSupplierFirstName, &SupplierInformation::strSupplierPhone1,
                     &SupplierInformation::strSupplierPhone2, &SupplierInformation::strSupplierMailAddress}),
          customers(db, access::kCustomerRows,
                    {&CustomerInformation::strCustomerName, &CustomerInformation::strCustomerLastName,
                     &CustomerInformation::strCustomerFirstName, &CustomerInformation::strCustomerPhone1,
                     &CustomerInformation::strCustomerPhone2, &CustomerInformation::strCustomerMailAddress}) {}

    static std::array<int, 3> placesOf(const SqliteQuery& st, const access::SheetKind& kind) {
        return {st.column(schema::columnOf(kind.columns, kind.counterpart)),
                st.column(schema::columnOf(kind.columns, kind.unitPrice)),
                st.column(schema::columnOf(kind.columns, kind.amount))};
    }

    void sheetInformation(Long sheetId, SheetInformation& s) {
        if (!sheet.run(sheetId)) return;
        s.lngSheetID = sheet.integer(id);
        s.intSheetFlag = static_cast<Integer>(sheet.integer(flag));
        s.lngGoodsID = sheet.integer(goods);
        s.dyDate = sheet.real(date);
        const access::SheetKind& kind = access::sheetKind(s.intSheetFlag);
        const std::array<int, 3>& places = kindColumns[&kind == &access::kSale ? 1 : 0];
        s.*kind.counterpart = sheet.integer(places[0]);
        s.*kind.quantity = sheet.integer(quantity);
        s.*kind.unitPrice = sheet.integer(places[1]);
        s.*kind.amount = sheet.integer(places[2]);
        s.strNote = sheet.text(note);
    }

    GoodsInfoOverview overview(Long sheetId) {
        GoodsInfoOverview o;
        SheetInformation s;
        sheetInformation(sheetId, s);
        if (items.run(s.lngGoodsID)) {
            o.strGoodsName = items.text(itemName);
            o.strGoodsType = items.text(itemForm);
            o.strGoodsSpec = items.text(itemSpec);
        }
        o.dyDate = s.dyDate;
        o.strNote = s.strNote;
        o.blnFlag = s.intSheetFlag == 0;
        const access::SheetKind& kind = access::sheetKind(s.intSheetFlag);
        o.intQuantity = static_cast<Integer>(s.*kind.quantity);
        o.dblUnitPrice = s.*kind.unitPrice;
        o.dblAmount = s.*kind.amount;
        if (o.blnFlag) suppliers.fill(s.lngSupplierID, o);
        else customers.fill(s.lngCustomerID, o);
        return o;
    }
};

// The objects and files of both sides, made on first use.
struct Subjects {
    Ref<clsPidAccess> persons;
    Ref<clsIidAccess> items;
    SqliteFile personFile, itemFile;
    PersonBaseline personBaseline;
    ItemBaseline itemBaseline;
    std::vector<Long> personIds, sheetIds;

    Subjects(const std::string& personDatabase, const std::string& itemDatabase, int calls)
        : personFile(personDatabase),
          itemFile(itemDatabase),
          personBaseline(personFile),
          itemBaseline(itemFile) {
        auto& library = client::AccessLibrary::instance();
        persons = library.create<clsPidAccess>();
        items = library.create<clsIidAccess>();
        if (persons->Initialize(connectionFor(personDatabase)) || items->Initialize(connectionFor(itemDatabase)))
            throw std::runtime_error("the access objects could not open the databases");
        for (std::int64_t id : randomIntegers(personFile, "SELECT PERSON_ID FROM T_PERSON", calls, kSeed))
            personIds.push_back(static_cast<Long>(id));
        for (std::int64_t id : randomIntegers(itemFile, "SELECT ID FROM T_SHEET", calls, kSeed + 1))
            sheetIds.push_back(static_cast<Long>(id));
    }
};

// One reader on both sides: `ours(s, i)` and `baseline(s, i)` make the
// i-th call; `check(s, i)` names what differs between them, or "".
struct Reader {
    std::function<void(Subjects&, std::size_t)> ours, baseline;
    std::function<std::string(Subjects&, std::size_t)> check;
    std::optional<std::string> difference;  // after the first check: "" when none
};

std::string differs(bool same, std::string_view what) { return same ? std::string() : std::string(what); }

Reader readerFor(std::string_view operation) {
    if (operation == "GetPersonalInformation")
        return {[](Subjects& s, std::size_t i) { benchmark::DoNotOptimize(s.persons->GetPersonalInformation(s.personIds[i])); },
                [](Subjects& s, std::size_t i) { benchmark::DoNotOptimize(s.personBaseline.personal(s.personIds[i])); },
                [](Subjects& s, std::size_t i) {
                    const PersonInformation a = s.persons->GetPersonalInformation(s.personIds[i]);
                    const PersonInformation b = s.personBaseline.personal(s.personIds[i]);
                    if (a.lngPersonID != b.lngPersonID) return std::string("PERSON_ID");
                    return std::string(s.personBaseline.personColumns.difference(a, b));
                },
                std::nullopt};
    if (operation == "GetPhoneNumberInfo")
        return {[](Subjects& s, std::size_t i) {
                    std::vector<PhoneInformation> phones(1);  // as the export passes it
                    s.persons->GetPhoneNumberInfo(s.personIds[i], phones);
                    benchmark::DoNotOptimize(phones.data());
                },
                [](Subjects& s, std::size_t i) {
                    std::vector<PhoneInformation> phones(1);
                    s.personBaseline.phoneNumbers(s.personIds[i], phones);
                    benchmark::DoNotOptimize(phones.data());
                },
                [](Subjects& s, std::size_t i) {
                    std::vector<PhoneInformation> a(1), b(1);
                    s.persons->GetPhoneNumberInfo(s.personIds[i], a);
                    s.personBaseline.phoneNumbers(s.personIds[i], b);
                    if (a.size() != b.size()) return std::string("the number of rows");
                    for (std::size_t r = 0; r < a.size(); ++r) {
                        if (a[r].lngPhoneID != b[r].lngPhoneID || a[r].lngPersonID != b[r].lngPersonID)
                            return std::string("PHONE_ID");
                        if (auto d = s.personBaseline.phoneColumns.difference(a[r], b[r]); !d.empty())
                            return std::string(d);
                    }
                    return std::string();
                },
                std::nullopt};
    if (operation == "GetSheetInformation")
        return {[](Subjects& s, std::size_t i) {
                    SheetInformation sheet;
                    s.items->GetSheetInformation(s.sheetIds[i], sheet);
                    benchmark::DoNotOptimize(sheet);
                },
                [](Subjects& s, std::size_t i) {
                    SheetInformation sheet;
                    s.itemBaseline.sheetInformation(s.sheetIds[i], sheet);
                    benchmark::DoNotOptimize(sheet);
                },
                [](Subjects& s, std::size_t i) {
                    SheetInformation a, b;
                    s.items->GetSheetInformation(s.sheetIds[i], a);
                    s.itemBaseline.sheetInformation(s.sheetIds[i], b);
                    return differs(fieldsOf(a) == fieldsOf(b), "a field of the sheet");
                },
                std::nullopt};
    if (operation == "GetGoodsInformationOverView")
        return {[](Subjects& s, std::size_t i) {
                    benchmark::DoNotOptimize(s.items->GetGoodsInformationOverView(s.sheetIds[i]));
                },
                [](Subjects& s, std::size_t i) { benchmark::DoNotOptimize(s.itemBaseline.overview(s.sheetIds[i])); },
                [](Subjects& s, std::size_t i) {
                    const GoodsInfoOverview a = s.items->GetGoodsInformationOverView(s.sheetIds[i]);
                    const GoodsInfoOverview b = s.itemBaseline.overview(s.sheetIds[i]);
                    return differs(fieldsOf(a) == fieldsOf(b), "a field of the overview");
                },
                std::nullopt};
    throw std::logic_error("no reader " + std::string(operation));
}

using LazySubjects = Lazy<Subjects>;

void runReader(benchmark::State& state, LazySubjects& lazy, Reader& reader, bool ours) {
    std::string report;
    ScopedMessageSink sink([&](const MessageRequest& request) {
        if (report.empty()) report = request.text;
        return safeAnswer(request.buttons);
    });
    Subjects* s = nullptr;
    try {
        s = &lazy.get();
        if (!reader.difference) {
            std::string difference;
            for (std::size_t i = 0; i < std::min<std::size_t>(kChecked, s->personIds.size()) && difference.empty(); ++i)
                if (std::string d = reader.check(*s, i); !d.empty())
                    difference = "the baseline differs from the library at call " + std::to_string(i) + " in " + d;
            reader.difference = difference;
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    if (!reader.difference->empty()) {
        state.SkipWithError(reader.difference->c_str());
        return;
    }
    std::size_t i = 0;
    const auto& call = ours ? reader.ours : reader.baseline;
    {
        const ReadTransaction reading(s->itemFile.get()), readingPersons(s->personFile.get());
        for (auto _ : state) call(*s, i++ % s->personIds.size());
    }
    if (!report.empty()) state.SkipWithError(("the library reported: " + report).c_str());
}

}  // namespace

std::string readerBenchmarkName(std::string_view operation, std::string_view who) {
    return "reader/" + std::string(operation) + "/" + std::string(who);
}

void registerReaderBaselines(const std::string& personDatabase, const std::string& itemDatabase, int calls) {
    auto lazy = lazily<Subjects>(personDatabase, itemDatabase, calls);
    for (std::string_view operation : kComparedReaders) {
        const auto reader = std::make_shared<Reader>(readerFor(operation));
        for (const bool ours : {true, false})
            benchmark::RegisterBenchmark(readerBenchmarkName(operation, ours ? "ours" : "sqlite3").c_str(),
                                         [lazy, reader, ours](benchmark::State& state) {
                                             runReader(state, *lazy, *reader, ours);
                                         })
                ->Iterations(calls)
                ->Repetitions(kReaderRepetitions)
                ->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace lumo::bench
