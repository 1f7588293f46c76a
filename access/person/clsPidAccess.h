#pragma once
// clsPidAccess: persons of the person database with their phones, mails,
// greetings and children, and the person groups.
#include <string>

#include "access/LumoAccess.h"
#include "access/core/AccessObject.h"

namespace lumo::db {
class Recordset;
}

namespace lumo::access {

class PidAccess final : public AccessObject<LumoAccess::clsPidAccess> {
public:
    using Long = LumoAccess::Long;
    using String = LumoAccess::String;

    PidAccess();

    String GetGroupingLabel() override;
    Long GetGroupID() override;
    void GetGroupLabel(LumoAccess::LabelTable& aryLabel) override;
    LumoAccess::PersonInformation GetPersonalInformation(Long lngPersonID, String* Reserved = nullptr) override;
    bool GetMailAddressInfo(Long lngPersonID, std::vector<LumoAccess::MailInformation>& paMail,
                            String* Reserved = nullptr) override;
    bool GetPhoneNumberInfo(Long lngPersonID, std::vector<LumoAccess::PhoneInformation>& paPhone,
                            String* Reserved = nullptr) override;
    bool GetChildInformation(Long lngPersonID, std::vector<LumoAccess::ChildrenInformation>& pachild,
                             String* Reserved = nullptr) override;
    bool GetGreetingInformation(Long lngPersonID, std::vector<LumoAccess::GreetingInformation>& paGreeting,
                                String* Reserved = nullptr) override;
    void DeleteGroup(Long lngID, String* Reerved = nullptr) override;
    Long GetGroupIDEx(const String& strLabel) override;
    LumoAccess::Variant UpdateNote(Long lngPersonID, const String& strNote, String* Reserved = nullptr) override;
    void DeleteToDo() override;

private:
    // Each opens `rs` on the person's rows; true after a reported failure.
    bool OpenPersonRecordset(Long lngPersonID, db::Recordset& rs, const String& reserved);
    bool OpenPhoneRecordset(Long lngPersonID, db::Recordset& rs, const String& reserved);
    bool OpenMailRecordset(Long lngPersonID, db::Recordset& rs, const String& reserved);

    // The person the update in progress writes dependent rows for; the
    // inserts set it back to 0.
    Long lngCurrentPersonID = 0;
};

}  // namespace lumo::access
