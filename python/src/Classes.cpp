// The three classes with their published operation names. Each Python
// object owns one reference to a library object; arrays the operation fills
// or reads are Python lists, filled in place; Reserved is left out.
#include <pybind11/stl.h>

#include "python/src/Module.h"

namespace lumoaccess {
namespace {

using namespace LumoAccess;

template <class T>
struct Object {
    Ref<T> ref = create<T>();
    T* operator->() const { return ref.get(); }
};

template <class T>
using Class = py::class_<Object<T>>;

// Group operations with the same form in all three classes.
template <class T>
Class<T> bindCommon(py::module_& m) {
    Class<T> c(m, T::kClassName);
    c.def(py::init<>());
    c.def("Initialize", [](Object<T>& o, const String& s) { return call([&] { return o->Initialize(s); }); });
    c.def("GetGroupingLabel", [](Object<T>& o) { return call([&] { return o->GetGroupingLabel(); }); });
    c.def("GetGroupID", [](Object<T>& o) { return call([&] { return o->GetGroupID(); }); });
    c.def("GetGroupIDEx", [](Object<T>& o, const String& s) { return call([&] { return o->GetGroupIDEx(s); }); });
    c.def("DeleteGroup", [](Object<T>& o, Long id) { return call([&] { return o->DeleteGroup(id); }); });
    c.def("GetGroupLabel", [](Object<T>& o, py::list& labels) {
        LabelTable table = fromList<std::array<String, 2>>(labels);
        return call([&] {
            auto result = [&] { return o->GetGroupLabel(table); };
            if constexpr (std::is_void_v<decltype(result())>) {
                result();
                fillList(labels, table);
            } else {
                const auto flag = result();
                fillList(labels, table);
                return flag;
            }
        });
    });
    return c;
}

// An operation that fills one array of the person's rows.
template <class E>
auto rowsOf(Boolean (clsPidAccess::*read)(Long, std::vector<E>&, String*)) {
    return [read](Object<clsPidAccess>& o, Long id, py::list& rows) {
        std::vector<E> values = fromList<E>(rows);
        return call([&] {
            const Boolean failed = ((*o.ref).*read)(id, values, nullptr);
            fillList(rows, values);
            return failed;
        });
    };
}

// The two full person writes, whose arrays are all read and written back.
auto personWrite(Boolean (clsPidAccess::*write)(PersonInformation&, std::vector<PhoneInformation>&,
                                                std::vector<MailInformation>&, std::vector<GreetingInformation>&,
                                                std::vector<ChildrenInformation>&, String*)) {
    return [write](Object<clsPidAccess>& o, PersonInformation& person, py::list& phones, py::list& mails,
                   py::list& greetings, py::list& children) {
        auto p = fromList<PhoneInformation>(phones);
        auto ml = fromList<MailInformation>(mails);
        auto g = fromList<GreetingInformation>(greetings);
        auto ch = fromList<ChildrenInformation>(children);
        return call([&] {
            const Boolean failed = ((*o.ref).*write)(person, p, ml, g, ch, nullptr);
            fillList(phones, p);
            fillList(mails, ml);
            fillList(greetings, g);
            fillList(children, ch);
            return failed;
        });
    };
}

void bindPerson(py::module_& m) {
    auto c = bindCommon<clsPidAccess>(m);
    c.def("GetPersonalInformation",
          [](Object<clsPidAccess>& o, Long id) { return call([&] { return o->GetPersonalInformation(id); }); });
    c.def("GetMailAddressInfo", rowsOf(&clsPidAccess::GetMailAddressInfo));
    c.def("GetPhoneNumberInfo", rowsOf(&clsPidAccess::GetPhoneNumberInfo));
    c.def("GetChildInformation", rowsOf(&clsPidAccess::GetChildInformation));
    c.def("GetGreetingInformation", rowsOf(&clsPidAccess::GetGreetingInformation));
    c.def("UpdateNote", [](Object<clsPidAccess>& o, Long id, const String& note) {
        call([&] { o->UpdateNote(id, note); });
    });
    c.def("DeleteToDo", [](Object<clsPidAccess>& o) { call([&] { o->DeleteToDo(); }); });
    c.def("SetPersonalInformationEZ",
          [](Object<clsPidAccess>& o, PersonInformation& person, py::list& phones, py::list& mails) {
              auto p = fromList<PhoneInformation>(phones);
              auto ml = fromList<MailInformation>(mails);
              return call([&] {
                  const Boolean failed = o->SetPersonalInformationEZ(person, p, ml);
                  fillList(phones, p);
                  fillList(mails, ml);
                  return failed;
              });
          });
    c.def("SetPersonalInformation", personWrite(&clsPidAccess::SetPersonalInformation));
    c.def("UpPersonalInformation", personWrite(&clsPidAccess::UpPersonalInformation));
    c.def("DelPersonalInformation", [](Object<clsPidAccess>& o, Long id) {
        return call([&] { return o->DelPersonalInformation(id); });
    });
    c.def("CreateSimpleViewQuery", [](Object<clsPidAccess>& o, const String& name, const String& phone) {
        return call([&] { return o->CreateSimpleViewQuery(name, phone); });
    });
    c.def("GetFindView", [](Object<clsPidAccess>& o, const String& name, const String& phone) {
        return call([&] { return o->GetFindView(name, phone); });
    });
    c.def("GetPersonalInformaionOverView", [](Object<clsPidAccess>& o, Long id) {
        return call([&] { return o->GetPersonalInformaionOverView(id); });
    });
}

void bindItem(py::module_& m) {
    using O = Object<clsIidAccess>;
    auto c = bindCommon<clsIidAccess>(m);
    c.def("GetGoodsInformation", [](O& o, Long id, GoodsInformation& g, SupplierInformation& s,
                                    CustomerInformation& cu) {
        return call([&] { return o->GetGoodsInformation(id, g, s, cu); });
    });
    c.def("GetGoodsInformationOverView",
          [](O& o, Long id) { return call([&] { return o->GetGoodsInformationOverView(id); }); });
    c.def("ReadItemInformation", [](O& o, const String& name, GoodsInformation& g) {
        return call([&] { return o->ReadItemInformation(name, g); });
    });
    c.def("ReadSupplierInformation", [](O& o, const String& name, SupplierInformation& s) {
        return call([&] { return o->ReadSupplierInformation(name, s); });
    });
    c.def("ReadCustomerInformation", [](O& o, const String& name, CustomerInformation& cu) {
        return call([&] { return o->ReadCustomerInformation(name, cu); });
    });
    c.def("GetItemInformation",
          [](O& o, Long id, GoodsInformation& g) { call([&] { o->GetItemInformation(id, g); }); });
    c.def("GetPersonInformation", [](O& o, Long id, CustomerInformation& cu, SupplierInformation& s, Boolean flag) {
        call([&] { o->GetPersonInformation(id, cu, s, flag); });
    });
    c.def("GetSheetInformation",
          [](O& o, Long id, SheetInformation& sheet) { call([&] { o->GetSheetInformation(id, sheet); }); });
    c.def("UpdateNote", [](O& o, Long id, const String& note) { call([&] { o->UpdateNote(id, note); }); });
    c.def("DeleteToDo", [](O& o) { call([&] { o->DeleteToDo(); }); });
    c.def("SetGoodsInformation", [](O& o, GoodsInformation& g, SupplierInformation& s, CustomerInformation& cu,
                                    SheetInformation& sheet, Boolean choice) {
        return call([&] { return o->SetGoodsInformation(g, s, cu, sheet, choice); });
    });
    c.def("DeleteSheetInformation",
          [](O& o, Long id) { return call([&] { return o->DeleteSheetInformation(id); }); });
    c.def("UpdateSheetInformation", [](O& o, Long id, SheetInformation& sheet) {
        return call([&] { return o->UpdateSheetInformation(id, sheet); });
    });
    c.def("UpGoodsInformation", [](O& o, GoodsInformation& g, SupplierInformation& s, CustomerInformation& cu,
                                   SheetInformation& sheet) {
        return call([&] { return o->UpGoodsInformation(g, s, cu, sheet); });
    });
    c.def("DelGoodsInformation", [](O& o, Long sheet, Long goods, Long supplier, Long customer) {
        return call([&] { return o->DelGoodsInformation(sheet, goods, supplier, customer); });
    });
    c.def("CreateSimpleViewQuery", [](O& o, const String& item, const String& trader) {
        return call([&] { return o->CreateSimpleViewQuery(item, trader); });
    });
    c.def("GetFindView", [](O& o, const String& item, const String& trader) {
        return call([&] { return o->GetFindView(item, trader); });
    });
    c.def("CreateAdvancedViewQuery", [](O& o, py::list& query) {
        auto words = fromList<String>(query);
        return call([&] { return o->CreateAdvancedViewQuery(words); });
    });
    c.def("CreateItemView", [](O& o, const String& alias, const String& item, const String& form) {
        return call([&] { return o->CreateItemView(alias, item, form); });
    });
    c.def("CreatePersonView", [](O& o, const String& alias, const String& name, const String& tel, Boolean flag) {
        return call([&] { return o->CreatePersonView(alias, name, tel, flag); });
    });
}

void bindScrap(py::module_& m) {
    using O = Object<clsScrapAccess>;
    auto c = bindCommon<clsScrapAccess>(m);
    c.def("SetScrapInformation",
          [](O& o, ScrapInformation& s) { return call([&] { return o->SetScrapInformation(s); }); });
    c.def("GetScrapInformationOverView", [](O& o, Long id, ScrapInfoOverview& v) {
        call([&] { o->GetScrapInformationOverView(id, v); });
    });
    c.def("GetScrapInformation",
          [](O& o, Long id, ScrapInformation& s) { call([&] { o->GetScrapInformation(id, s); }); });
    c.def("UpScrapInformation",
          [](O& o, Long id, ScrapInformation& s) { return call([&] { return o->UpScrapInformation(id, s); }); });
    c.def("DelScrapInformation", [](O& o, Long id) { return call([&] { return o->DelScrapInformation(id); }); });
    c.def("UpdateLastDate", [](O& o, Long id, const py::object& date, const String& body) {
        const Date value = fromDatetime(date);
        call([&] { o->UpdateLastDate(id, value, body); });
    });
    c.def("CreateSimpleViewQuery", [](O& o, const String& keyword, const String& other) {
        return call([&] { return o->CreateSimpleViewQuery(keyword, other); });
    });
    c.def("CreateAdvancedViewQuery", [](O& o) { return call([&] { return o->CreateAdvancedViewQuery(); }); });
    c.def("GetFindView", [](O& o, const String& keyword, const String& other) {
        return call([&] { return o->GetFindView(keyword, other); });
    });
}

}  // namespace

void bindClasses(py::module_& m) {
    bindPerson(m);
    bindItem(m);
    bindScrap(m);
}

}  // namespace lumoaccess
