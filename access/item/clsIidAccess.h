#pragma once
// clsIidAccess: goods, suppliers, customers and purchase/sales sheets of
// the item database, and the goods groups. An object owns its connection
// (cnnDatabase) from Initialize until its last reference is released, and
// keeps nothing of the caller's records after a call. One thread at a time
// may use an object; different objects may be used on different threads.
#include <string>

#include "access/LumoAccess.h"
#include "access/core/AccessObject.h"

namespace lumo::access {

template <class Record>
struct ItemTable;

class IidAccess final : public AccessObject<LumoAccess::clsIidAccess> {
public:
    using Long = LumoAccess::Long;
    using String = LumoAccess::String;

    IidAccess();

    void GetGroupLabel(LumoAccess::LabelTable& aryLabel, String* Reserved = nullptr) noexcept override;
    bool GetGoodsInformation(Long lngGoodsID, LumoAccess::GoodsInformation& GoodsInfo,
                             LumoAccess::SupplierInformation& SupplierInfo,
                             LumoAccess::CustomerInformation& CustomerInfo, String* Reserved = nullptr) noexcept override;
    LumoAccess::GoodsInfoOverview GetGoodsInformationOverView(Long lngSheetID, String* Reserved = nullptr) noexcept override;
    bool ReadItemInformation(const String& strItemName, LumoAccess::GoodsInformation& ItemInfo,
                             String* Reserved = nullptr) noexcept override;
    bool ReadSupplierInformation(const String& strSupplier, LumoAccess::SupplierInformation& SupplierInfo,
                                 String* Reserved = nullptr) noexcept override;
    bool ReadCustomerInformation(const String& strCustomer, LumoAccess::CustomerInformation& CustomerInfo,
                                 String* Reserved = nullptr) noexcept override;
    String GetGroupingLabel() noexcept override;
    Long GetGroupID() noexcept override;
    void DeleteGroup(Long lngGroupID, String* Reserved = nullptr) noexcept override;
    void GetItemInformation(Long lngGoodsID, LumoAccess::GoodsInformation& GoodsInfo,
                            String* Reserved = nullptr) noexcept override;
    void GetPersonInformation(Long lngPersonID, LumoAccess::CustomerInformation& CustomerInfo,
                              LumoAccess::SupplierInformation& SupplierInfo, bool blnFlag) noexcept override;
    void GetSheetInformation(Long lngSheetID, LumoAccess::SheetInformation& SheetInfo,
                             String* Reserved = nullptr) noexcept override;
    Long GetGroupIDEx(const String& strLabel) noexcept override;
    void UpdateNote(Long lngSheetID, const String& strNote, String* Reserved = nullptr) noexcept override;
    void DeleteToDo() noexcept override;

    bool SetGoodsInformation(LumoAccess::GoodsInformation& GoodsInfo, LumoAccess::SupplierInformation& SupplierInfo,
                             LumoAccess::CustomerInformation& CustomerInfo, LumoAccess::SheetInformation& SheetInfo,
                             bool blnChoice, String* Reserved = nullptr) noexcept override;
    bool DeleteSheetInformation(Long lngSheetID, String* Reserved = nullptr) noexcept override;
    bool UpdateSheetInformation(Long lngSheetID, LumoAccess::SheetInformation& SheetInfo,
                                String* Reserved = nullptr) noexcept override;
    bool UpGoodsInformation(LumoAccess::GoodsInformation& GoodsInfo, LumoAccess::SupplierInformation& SupplierInfo,
                            LumoAccess::CustomerInformation& CustomerInfo, LumoAccess::SheetInformation& SheetInfo,
                            String* Reserved = nullptr) noexcept override;
    bool DelGoodsInformation(Long lngSheetID, Long lngGoodsID, Long lngSupplierID, Long lngCustomerID,
                             String* Reserved = nullptr) noexcept override;
    // ItemSearch.cpp
    String CreateSimpleViewQuery(const String& strItem, const String& strTrader, String* Reserved = nullptr) noexcept override;
    String GetFindView(const String& strItem, const String& strTrader) noexcept override;
    String CreateAdvancedViewQuery(std::vector<String>& aryQuery, String* Reserved = nullptr) noexcept override;
    String CreateItemView(const String& strAlias, const String& strItem, const String& strForm) noexcept override;
    String CreatePersonView(const String& strAlias, const String& strName, const String& strTel,
                            bool blnFlag) noexcept override;

private:
    // The sheet rewrite and removal. Their opening steps come before their
    // handler: a failure there reaches UpGoodsInformation's or
    // DelGoodsInformation's handler, or, called by the client, the public
    // operation's own.
    bool UpdateSheetRecord(Long lngSheetID, LumoAccess::SheetInformation& SheetInfo);
    bool DeleteSheetRecord(Long lngSheetID);
    // The writers of the sheet entry and maintenance (SheetEntry.cpp,
    // SheetMaintenance.cpp). Each runs one transaction; the reserved
    // argument is ignored. True after a failure reported under the
    // routine's own code; failures of the opening steps reach the caller.
    bool InsertGoodsRecord(LumoAccess::GoodsInformation& GoodsInfo, const String& reserved);
    bool InsertSupplierRecord(LumoAccess::SupplierInformation& SupplierInfo, const String& reserved);
    bool InsertCustomerRecord(LumoAccess::CustomerInformation& CustomerInfo, const String& reserved);
    bool InsertSheetRecord(LumoAccess::SheetInformation& SheetInfo);
    bool DeleteGoodsRecord(Long lngGoodsID, const String& reserved);
    bool DeleteSupplierRecord(Long lngSupplierID, const String& reserved);
    bool DeleteCustomerRecord(Long lngCustomerID, const String& reserved);
    bool UpdateGoodsRecord(Long lngGoodsID, LumoAccess::GoodsInformation& GoodsInfo, const String& reserved);
    bool UpdateSupplierRecord(Long lngSupplierID, LumoAccess::SupplierInformation& SupplierInfo,
                              const String& reserved);
    bool UpdateCustomerRecord(Long lngCustomerID, LumoAccess::CustomerInformation& CustomerInfo,
                              const String& reserved);

    template <class Record>
    bool lookUp(const ItemTable<Record>& table, const String& name, Record& record);
    template <class Record>
    void readCounterpartById(const ItemTable<Record>& table, Long id, Record& record);
};

}  // namespace lumo::access
