#pragma once
// clsIidAccess: goods, suppliers, customers and purchase/sales sheets of
// the item database, and the goods groups.
#include <string>

#include "access/LumoAccess.h"
#include "access/core/AccessObject.h"

namespace lumo::access {

template <class Record>
struct CounterpartTable;

class IidAccess final : public AccessObject<LumoAccess::clsIidAccess> {
public:
    using Long = LumoAccess::Long;
    using String = LumoAccess::String;

    IidAccess();

    void GetGroupLabel(LumoAccess::LabelTable& aryLabel, String* Reserved = nullptr) override;
    bool GetGoodsInformation(Long lngGoodsID, LumoAccess::GoodsInformation& GoodsInfo,
                             LumoAccess::SupplierInformation& SupplierInfo,
                             LumoAccess::CustomerInformation& CustomerInfo, String* Reserved = nullptr) override;
    LumoAccess::GoodsInfoOverview GetGoodsInformationOverView(Long lngSheetID, String* Reserved = nullptr) override;
    bool ReadItemInformation(const String& strItemName, LumoAccess::GoodsInformation& ItemInfo,
                             String* Reserved = nullptr) override;
    bool ReadSupplierInformation(const String& strSupplier, LumoAccess::SupplierInformation& SupplierInfo,
                                 String* Reserved = nullptr) override;
    bool ReadCustomerInformation(const String& strCustomer, LumoAccess::CustomerInformation& CustomerInfo,
                                 String* Reserved = nullptr) override;
    String GetGroupingLabel() override;
    Long GetGroupID() override;
    void DeleteGroup(Long lngGroupID, String* Reserved = nullptr) override;
    void GetItemInformation(Long lngGoodsID, LumoAccess::GoodsInformation& GoodsInfo,
                            String* Reserved = nullptr) override;
    void GetPersonInformation(Long lngPersonID, LumoAccess::CustomerInformation& CustomerInfo,
                              LumoAccess::SupplierInformation& SupplierInfo, bool blnFlag) override;
    void GetSheetInformation(Long lngSheetID, LumoAccess::SheetInformation& SheetInfo,
                             String* Reserved = nullptr) override;
    Long GetGroupIDEx(const String& strLabel) override;
    void UpdateNote(Long lngSheetID, const String& strNote, String* Reserved = nullptr) override;
    void DeleteToDo() override;

private:
    template <class Record>
    bool readCounterpartByName(std::string_view locationCode, const CounterpartTable<Record>& table,
                               const String& name, Record& record);
    template <class Record>
    void readCounterpartById(const CounterpartTable<Record>& table, Long id, Record& record);
};

}  // namespace lumo::access
