// The published record types as Python classes with the published field
// names; Date fields (the dy... fields) read and take datetime objects,
// converted by the suite's one date module (platform/Dates.h).
#include <pybind11/stl.h>

#include <cmath>
#include <string_view>

#include "platform/Dates.h"
#include "platform/Error.h"
#include "python/src/Module.h"

namespace lumoaccess {
namespace {

using namespace LumoAccess;

template <class R, class M>
void field(py::class_<R>& c, const char* name, M R::*member) {
    if constexpr (std::is_same_v<M, double>) {
        if (std::string_view(name).starts_with("dy")) {
            c.def_property(
                name, [member](const R& r) { return toDatetime(r.*member); },
                [member](R& r, const py::handle& v) { r.*member = fromDatetime(v); });
            return;
        }
    }
    c.def_readwrite(name, member);
}

}  // namespace

// A date the suite cannot hold (outside the years 100..9999) is a
// ValueError, as Python's own out-of-range dates are.
py::object toDatetime(double value) {
    if (value == 0 || !std::isfinite(value)) return py::none();
    try {
        const lumo::dates::DateTime d = lumo::dates::fromAutomation(value);
        return py::module_::import("datetime").attr("datetime")(d.year, d.month, d.day, d.hour, d.minute, d.second);
    } catch (const lumo::Error& e) {
        throw py::value_error(e.what());
    }
}

double fromDatetime(const py::handle& value) {
    if (value.is_none()) return 0;
    auto datetime = py::module_::import("datetime");
    if (!py::isinstance(value, datetime.attr("date")))
        throw py::type_error("a date field takes a datetime, a date or None");
    const auto part = [&](const char* name) { return value.attr(name).cast<int>(); };
    const bool withTime = py::isinstance(value, datetime.attr("datetime"));
    try {
        return withTime ? lumo::dates::toAutomation(part("year"), part("month"), part("day"), part("hour"),
                                                    part("minute"), part("second"))
                        : lumo::dates::toAutomation(part("year"), part("month"), part("day"));
    } catch (const lumo::Error& e) {
        throw py::value_error(e.what());
    }
}

void bindRecords(py::module_& m) {
    {
        py::class_<PersonInformation> c(m, "PersonInformation");
        c.def(py::init<>());
        field(c, "lngPersonID", &PersonInformation::lngPersonID);
        field(c, "lngTypeID", &PersonInformation::lngTypeID);
        field(c, "strLastName", &PersonInformation::strLastName);
        field(c, "strLastAlias", &PersonInformation::strLastAlias);
        field(c, "strFirstName", &PersonInformation::strFirstName);
        field(c, "strFirstAlias", &PersonInformation::strFirstAlias);
        field(c, "strTitle", &PersonInformation::strTitle);
        field(c, "strNickName", &PersonInformation::strNickName);
        field(c, "strLabel1", &PersonInformation::strLabel1);
        field(c, "strMemo1", &PersonInformation::strMemo1);
        field(c, "strLabel2", &PersonInformation::strLabel2);
        field(c, "strMemo2", &PersonInformation::strMemo2);
        field(c, "strHomeZip", &PersonInformation::strHomeZip);
        field(c, "strHomeAddress1", &PersonInformation::strHomeAddress1);
        field(c, "strHomeAddress2", &PersonInformation::strHomeAddress2);
        field(c, "strHomeURL", &PersonInformation::strHomeURL);
        field(c, "strLabel3", &PersonInformation::strLabel3);
        field(c, "strMemo3", &PersonInformation::strMemo3);
        field(c, "strLabel4", &PersonInformation::strLabel4);
        field(c, "strMemo4", &PersonInformation::strMemo4);
        field(c, "strAlias", &PersonInformation::strAlias);
        field(c, "strCompany", &PersonInformation::strCompany);
        field(c, "strPosition", &PersonInformation::strPosition);
        field(c, "strSection", &PersonInformation::strSection);
        field(c, "strOfficeZip", &PersonInformation::strOfficeZip);
        field(c, "strOfficeAddress1", &PersonInformation::strOfficeAddress1);
        field(c, "strOfficeAddress2", &PersonInformation::strOfficeAddress2);
        field(c, "strOfficeURL", &PersonInformation::strOfficeURL);
        field(c, "strLabel5", &PersonInformation::strLabel5);
        field(c, "strMemo5", &PersonInformation::strMemo5);
        field(c, "strLabel6", &PersonInformation::strLabel6);
        field(c, "strMemo6", &PersonInformation::strMemo6);
        field(c, "dyBirthday", &PersonInformation::dyBirthday);
        field(c, "intAge", &PersonInformation::intAge);
        field(c, "strConstellation", &PersonInformation::strConstellation);
        field(c, "strBlood", &PersonInformation::strBlood);
        field(c, "dyAnniversary", &PersonInformation::dyAnniversary);
        field(c, "strMateAlias", &PersonInformation::strMateAlias);
        field(c, "strMate", &PersonInformation::strMate);
        field(c, "strHobby", &PersonInformation::strHobby);
        field(c, "strNote", &PersonInformation::strNote);
        field(c, "strDefaut", &PersonInformation::strDefaut);
    }
    {
        py::class_<PhoneInformation> c(m, "PhoneInformation");
        c.def(py::init<>());
        field(c, "lngPhoneID", &PhoneInformation::lngPhoneID);
        field(c, "lngPersonID", &PhoneInformation::lngPersonID);
        field(c, "strLabel", &PhoneInformation::strLabel);
        field(c, "strPhoneNumber", &PhoneInformation::strPhoneNumber);
        field(c, "intRank", &PhoneInformation::intRank);
        field(c, "strType", &PhoneInformation::strType);
    }
    {
        py::class_<MailInformation> c(m, "MailInformation");
        c.def(py::init<>());
        field(c, "lngMailID", &MailInformation::lngMailID);
        field(c, "lngPersonID", &MailInformation::lngPersonID);
        field(c, "strLabel", &MailInformation::strLabel);
        field(c, "strMailAddress", &MailInformation::strMailAddress);
        field(c, "intRank", &MailInformation::intRank);
        field(c, "strType", &MailInformation::strType);
    }
    {
        py::class_<GreetingInformation> c(m, "GreetingInformation");
        c.def(py::init<>());
        field(c, "lngGreetingID", &GreetingInformation::lngGreetingID);
        field(c, "lngPersonID", &GreetingInformation::lngPersonID);
        field(c, "lngYear", &GreetingInformation::lngYear);
        field(c, "blnNewYear_Send", &GreetingInformation::blnNewYear_Send);
        field(c, "blnNewYear_Receive", &GreetingInformation::blnNewYear_Receive);
        field(c, "blnSummer_Send", &GreetingInformation::blnSummer_Send);
        field(c, "blnSummer_Receive", &GreetingInformation::blnSummer_Receive);
        field(c, "blnMidYear_Send", &GreetingInformation::blnMidYear_Send);
        field(c, "blnMidYear_Receive", &GreetingInformation::blnMidYear_Receive);
        field(c, "blnYearEnd_Send", &GreetingInformation::blnYearEnd_Send);
        field(c, "blnYearEnd_Receive", &GreetingInformation::blnYearEnd_Receive);
        field(c, "strMemo", &GreetingInformation::strMemo);
    }
    {
        py::class_<ChildrenInformation> c(m, "ChildrenInformation");
        c.def(py::init<>());
        field(c, "lngChildID", &ChildrenInformation::lngChildID);
        field(c, "lngPersonID", &ChildrenInformation::lngPersonID);
        field(c, "strAlias", &ChildrenInformation::strAlias);
        field(c, "strName", &ChildrenInformation::strName);
    }
    {
        py::class_<PersonaInfoOverview> c(m, "PersonaInfoOverview");
        c.def(py::init<>());
        field(c, "strName", &PersonaInfoOverview::strName);
        field(c, "strNickName", &PersonaInfoOverview::strNickName);
        field(c, "strCompany", &PersonaInfoOverview::strCompany);
        field(c, "strAlias", &PersonaInfoOverview::strAlias);
        field(c, "strHomeZip", &PersonaInfoOverview::strHomeZip);
        field(c, "strHomeAddress1", &PersonaInfoOverview::strHomeAddress1);
        field(c, "strHomeAddress2", &PersonaInfoOverview::strHomeAddress2);
        field(c, "strOfficeZip", &PersonaInfoOverview::strOfficeZip);
        field(c, "strOfficeAddress1", &PersonaInfoOverview::strOfficeAddress1);
        field(c, "strOfficeAddress2", &PersonaInfoOverview::strOfficeAddress2);
        field(c, "strPhonelabel1", &PersonaInfoOverview::strPhonelabel1);
        field(c, "strPhone1", &PersonaInfoOverview::strPhone1);
        field(c, "strPhonelabel2", &PersonaInfoOverview::strPhonelabel2);
        field(c, "strPhone2", &PersonaInfoOverview::strPhone2);
        field(c, "strPhonelabel3", &PersonaInfoOverview::strPhonelabel3);
        field(c, "strPhone3", &PersonaInfoOverview::strPhone3);
        field(c, "strMaillabel1", &PersonaInfoOverview::strMaillabel1);
        field(c, "strMail1", &PersonaInfoOverview::strMail1);
        field(c, "strMaillabel2", &PersonaInfoOverview::strMaillabel2);
        field(c, "strMail2", &PersonaInfoOverview::strMail2);
        field(c, "strNote", &PersonaInfoOverview::strNote);
    }
    {
        py::class_<GoodsInformation> c(m, "GoodsInformation");
        c.def(py::init<>());
        field(c, "lngGoodsID", &GoodsInformation::lngGoodsID);
        field(c, "lngTypeID", &GoodsInformation::lngTypeID);
        field(c, "strMakerName", &GoodsInformation::strMakerName);
        field(c, "strGoodsAlias", &GoodsInformation::strGoodsAlias);
        field(c, "strGoodsName", &GoodsInformation::strGoodsName);
        field(c, "strGoodsType", &GoodsInformation::strGoodsType);
        field(c, "strGoodsSpec", &GoodsInformation::strGoodsSpec);
        field(c, "strLabel", &GoodsInformation::strLabel);
        field(c, "strMemo", &GoodsInformation::strMemo);
        field(c, "strNote", &GoodsInformation::strNote);
        field(c, "strPhotoPath", &GoodsInformation::strPhotoPath);
    }
    {
        py::class_<SupplierInformation> c(m, "SupplierInformation");
        c.def(py::init<>());
        field(c, "lngSupplierID", &SupplierInformation::lngSupplierID);
        field(c, "strSupplierAlias", &SupplierInformation::strSupplierAlias);
        field(c, "strSupplierName", &SupplierInformation::strSupplierName);
        field(c, "strSupplierLastAlias", &SupplierInformation::strSupplierLastAlias);
        field(c, "strSupplierLastName", &SupplierInformation::strSupplierLastName);
        field(c, "strSupplierFirstAlias", &SupplierInformation::strSupplierFirstAlias);
        field(c, "strSupplierFirstName", &SupplierInformation::strSupplierFirstName);
        field(c, "strSupplierZip", &SupplierInformation::strSupplierZip);
        field(c, "strSupplierAddress1", &SupplierInformation::strSupplierAddress1);
        field(c, "strSupplierAddress2", &SupplierInformation::strSupplierAddress2);
        field(c, "strSupplierPhone1", &SupplierInformation::strSupplierPhone1);
        field(c, "strSupplierPhone2", &SupplierInformation::strSupplierPhone2);
        field(c, "strSupplierMailAddress", &SupplierInformation::strSupplierMailAddress);
        field(c, "strSupplierDefault", &SupplierInformation::strSupplierDefault);
        field(c, "lngSupplierLinkID", &SupplierInformation::lngSupplierLinkID);
    }
    {
        py::class_<CustomerInformation> c(m, "CustomerInformation");
        c.def(py::init<>());
        field(c, "lngCustomerID", &CustomerInformation::lngCustomerID);
        field(c, "strCustomerAlias", &CustomerInformation::strCustomerAlias);
        field(c, "strCustomerName", &CustomerInformation::strCustomerName);
        field(c, "strCustomerLastAlias", &CustomerInformation::strCustomerLastAlias);
        field(c, "strCustomerLastName", &CustomerInformation::strCustomerLastName);
        field(c, "strCustomerFirstAlias", &CustomerInformation::strCustomerFirstAlias);
        field(c, "strCustomerFirstName", &CustomerInformation::strCustomerFirstName);
        field(c, "strCustomerZip", &CustomerInformation::strCustomerZip);
        field(c, "strCustomerAddress1", &CustomerInformation::strCustomerAddress1);
        field(c, "strCustomerAddress2", &CustomerInformation::strCustomerAddress2);
        field(c, "strCustomerPhone1", &CustomerInformation::strCustomerPhone1);
        field(c, "strCustomerPhone2", &CustomerInformation::strCustomerPhone2);
        field(c, "strCustomerMailAddress", &CustomerInformation::strCustomerMailAddress);
        field(c, "strCustomerDefault", &CustomerInformation::strCustomerDefault);
        field(c, "lngCustomerLinkID", &CustomerInformation::lngCustomerLinkID);
    }
    {
        py::class_<SheetInformation> c(m, "SheetInformation");
        c.def(py::init<>());
        field(c, "lngSheetID", &SheetInformation::lngSheetID);
        field(c, "lngGoodsID", &SheetInformation::lngGoodsID);
        field(c, "intSheetFlag", &SheetInformation::intSheetFlag);
        field(c, "dyDate", &SheetInformation::dyDate);
        field(c, "lngCustomerID", &SheetInformation::lngCustomerID);
        field(c, "dySalesDate", &SheetInformation::dySalesDate);
        field(c, "lngSalesQuantity", &SheetInformation::lngSalesQuantity);
        field(c, "lngSalesUnitPrice", &SheetInformation::lngSalesUnitPrice);
        field(c, "lngSalesAmount", &SheetInformation::lngSalesAmount);
        field(c, "lngSupplierID", &SheetInformation::lngSupplierID);
        field(c, "dyStockDate", &SheetInformation::dyStockDate);
        field(c, "lngStockQuantity", &SheetInformation::lngStockQuantity);
        field(c, "lngStockUnitPrice", &SheetInformation::lngStockUnitPrice);
        field(c, "lngStockAmount", &SheetInformation::lngStockAmount);
        field(c, "strNote", &SheetInformation::strNote);
    }
    {
        py::class_<GoodsInfoOverview> c(m, "GoodsInfoOverview");
        c.def(py::init<>());
        field(c, "dyDate", &GoodsInfoOverview::dyDate);
        field(c, "strGoodsName", &GoodsInfoOverview::strGoodsName);
        field(c, "strGoodsType", &GoodsInfoOverview::strGoodsType);
        field(c, "strGoodsSpec", &GoodsInfoOverview::strGoodsSpec);
        field(c, "intQuantity", &GoodsInfoOverview::intQuantity);
        field(c, "dblUnitPrice", &GoodsInfoOverview::dblUnitPrice);
        field(c, "dblAmount", &GoodsInfoOverview::dblAmount);
        field(c, "strName", &GoodsInfoOverview::strName);
        field(c, "strTanto", &GoodsInfoOverview::strTanto);
        field(c, "strPhone1", &GoodsInfoOverview::strPhone1);
        field(c, "strPhone2", &GoodsInfoOverview::strPhone2);
        field(c, "strMail", &GoodsInfoOverview::strMail);
        field(c, "strNote", &GoodsInfoOverview::strNote);
        field(c, "blnFlag", &GoodsInfoOverview::blnFlag);
    }
    {
        py::class_<ScrapInformation> c(m, "ScrapInformation");
        c.def(py::init<>());
        field(c, "lngScrapID", &ScrapInformation::lngScrapID);
        field(c, "lngLabelID", &ScrapInformation::lngLabelID);
        field(c, "strLabe", &ScrapInformation::strLabe);
        field(c, "dyRegDate", &ScrapInformation::dyRegDate);
        field(c, "dyLastDate", &ScrapInformation::dyLastDate);
        field(c, "strTitle", &ScrapInformation::strTitle);
        field(c, "strSource", &ScrapInformation::strSource);
        field(c, "strKeyword", &ScrapInformation::strKeyword);
        field(c, "strPlace", &ScrapInformation::strPlace);
        field(c, "strBody", &ScrapInformation::strBody);
        field(c, "strBodyPath", &ScrapInformation::strBodyPath);
        field(c, "strMemoLabel", &ScrapInformation::strMemoLabel);
        field(c, "strMemo", &ScrapInformation::strMemo);
    }
    {
        py::class_<ScrapInfoOverview> c(m, "ScrapInfoOverview");
        c.def(py::init<>());
        field(c, "lngScrapID", &ScrapInfoOverview::lngScrapID);
        field(c, "lngLabelID", &ScrapInfoOverview::lngLabelID);
        field(c, "strLabe", &ScrapInfoOverview::strLabe);
        field(c, "dyRegDate", &ScrapInfoOverview::dyRegDate);
        field(c, "dyLastDate", &ScrapInfoOverview::dyLastDate);
        field(c, "strTitle", &ScrapInfoOverview::strTitle);
        field(c, "strSource", &ScrapInfoOverview::strSource);
        field(c, "strKeyword", &ScrapInfoOverview::strKeyword);
        field(c, "strBody", &ScrapInfoOverview::strBody);
        field(c, "strBodyPath", &ScrapInfoOverview::strBodyPath);
    }
}

}  // namespace lumoaccess
