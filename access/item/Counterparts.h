#pragma once
// Suppliers and customers: two tables of one shape, read and written by the
// same code over the names below.
#include <array>
#include <string_view>
#include <utility>

#include "access/LumoAccess.h"

namespace lumo::access {

template <class Record>
struct CounterpartTable {
    using LongField = LumoAccess::Long Record::*;
    using TextField = LumoAccess::String Record::*;

    std::string_view table;
    std::string_view keyColumn;
    LongField id;
    std::string_view linkColumn;
    LongField linkId;
    std::string_view aliasColumn;
    TextField alias;
    std::string_view nameColumn;
    TextField name;
    // The contact and address columns, in the order they are read and
    // written.
    std::array<std::pair<std::string_view, TextField>, 10> details;
    // Free text that is stored and rewritten but never read.
    std::string_view defaultColumn;
    TextField defaultText;
};

using LumoAccess::CustomerInformation;
using LumoAccess::SupplierInformation;

inline constexpr CounterpartTable<SupplierInformation> kSuppliers{
    "T_iSUPPLIER",
    "SUPPLIER_ID", &SupplierInformation::lngSupplierID,
    "S_LINK_ID", &SupplierInformation::lngSupplierLinkID,
    "ALIAS", &SupplierInformation::strSupplierAlias,
    "SUPPLIER", &SupplierInformation::strSupplierName,
    {{{"SLAST_ALIAS", &SupplierInformation::strSupplierLastAlias},
      {"SLAST_NAME", &SupplierInformation::strSupplierLastName},
      {"SFIRST_ALIAS", &SupplierInformation::strSupplierFirstAlias},
      {"SFIRST_NAME", &SupplierInformation::strSupplierFirstName},
      {"S_ZIP", &SupplierInformation::strSupplierZip},
      {"S_ADDRESS1", &SupplierInformation::strSupplierAddress1},
      {"S_ADDRESS2", &SupplierInformation::strSupplierAddress2},
      {"S_TEL", &SupplierInformation::strSupplierPhone1},
      {"S_FAX", &SupplierInformation::strSupplierPhone2},
      {"S_MAIL", &SupplierInformation::strSupplierMailAddress}}},
    "S_DEFAULT", &SupplierInformation::strSupplierDefault};

inline constexpr CounterpartTable<CustomerInformation> kCustomers{
    "T_iCUSTOMER",
    "CUSTOMER_ID", &CustomerInformation::lngCustomerID,
    "C_LINK_ID", &CustomerInformation::lngCustomerLinkID,
    "ALIAS", &CustomerInformation::strCustomerAlias,
    "CUSTOMER", &CustomerInformation::strCustomerName,
    {{{"CLAST_ALIAS", &CustomerInformation::strCustomerLastAlias},
      {"CLAST_NAME", &CustomerInformation::strCustomerLastName},
      {"CFIRST_ALIAS", &CustomerInformation::strCustomerFirstAlias},
      {"CFIRST_NAME", &CustomerInformation::strCustomerFirstName},
      {"C_ZIP", &CustomerInformation::strCustomerZip},
      {"C_ADDRESS1", &CustomerInformation::strCustomerAddress1},
      {"C_ADDRESS2", &CustomerInformation::strCustomerAddress2},
      {"C_TEL", &CustomerInformation::strCustomerPhone1},
      {"C_FAX", &CustomerInformation::strCustomerPhone2},
      {"C_MAIL", &CustomerInformation::strCustomerMailAddress}}},
    "C_DEFAULT", &CustomerInformation::strCustomerDefault};

}  // namespace lumo::access
