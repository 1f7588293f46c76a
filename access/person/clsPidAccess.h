#pragma once
// clsPidAccess: persons of the person database with their phones, mails,
// greetings and children, and the person groups.
//
// An object is created by DllGetClassObject and ends with the release of
// its last reference. It owns its connection (cnnDatabase) and
// lngCurrentPersonID; records and arrays stay the caller's and nothing of
// them is kept after a call. One thread at a time may use an object.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

    String GetGroupingLabel() noexcept override;
    Long GetGroupID() noexcept override;
    void GetGroupLabel(LumoAccess::LabelTable& aryLabel) noexcept override;
    LumoAccess::PersonInformation GetPersonalInformation(Long lngPersonID, String* Reserved = nullptr) noexcept override;
    bool GetMailAddressInfo(Long lngPersonID, std::vector<LumoAccess::MailInformation>& paMail,
                            String* Reserved = nullptr) noexcept override;
    bool GetPhoneNumberInfo(Long lngPersonID, std::vector<LumoAccess::PhoneInformation>& paPhone,
                            String* Reserved = nullptr) noexcept override;
    bool GetChildInformation(Long lngPersonID, std::vector<LumoAccess::ChildrenInformation>& pachild,
                             String* Reserved = nullptr) noexcept override;
    bool GetGreetingInformation(Long lngPersonID, std::vector<LumoAccess::GreetingInformation>& paGreeting,
                                String* Reserved = nullptr) noexcept override;
    void DeleteGroup(Long lngID, String* Reerved = nullptr) noexcept override;
    Long GetGroupIDEx(const String& strLabel) noexcept override;
    LumoAccess::Variant UpdateNote(Long lngPersonID, const String& strNote, String* Reserved = nullptr) noexcept override;
    void DeleteToDo() noexcept override;
    bool SetPersonalInformationEZ(LumoAccess::PersonInformation& PersonInfo,
                                  std::vector<LumoAccess::PhoneInformation>& PhoneInfo,
                                  std::vector<LumoAccess::MailInformation>& MailInfo, String* Reserved = nullptr) noexcept override;
    bool SetPersonalInformation(LumoAccess::PersonInformation& PersonInfo,
                                std::vector<LumoAccess::PhoneInformation>& PhoneInfo,
                                std::vector<LumoAccess::MailInformation>& MailInfo,
                                std::vector<LumoAccess::GreetingInformation>& GreetingInfo,
                                std::vector<LumoAccess::ChildrenInformation>& ChildrenInfo,
                                String* Reserved = nullptr) noexcept override;
    bool UpPersonalInformation(LumoAccess::PersonInformation& PersonInfo,
                               std::vector<LumoAccess::PhoneInformation>& PhoneInfo,
                               std::vector<LumoAccess::MailInformation>& MailInfo,
                               std::vector<LumoAccess::GreetingInformation>& GreetingInfo,
                               std::vector<LumoAccess::ChildrenInformation>& ChildrenInfo,
                               String* Reserved = nullptr) noexcept override;
    bool DelPersonalInformation(Long& lngPersonID, String* Reserved = nullptr) noexcept override;
    // PersonSearch.cpp
    String CreateSimpleViewQuery(const String& strName, const String& strPhone) noexcept override;
    String GetFindView(const String& strName, const String& strPhone) noexcept override;
    LumoAccess::PersonaInfoOverview GetPersonalInformaionOverView(Long lngPersonID,
                                                                 String* Reserved = nullptr) noexcept override;

private:
    // Insert routines (PersonWrite.cpp): each runs one transaction of its
    // own and returns true after reporting a failure. Opening the
    // recordsets (and, for the person, beginning the transaction) comes
    // before their handler: those failures reach the calling operation.
    bool InsertPersonRecord(LumoAccess::PersonInformation& PersonInfo, bool blnShort, const String& reserved);
    bool InsertPhoneRecord(LumoAccess::PhoneInformation& PhoneInfo, const String& reserved);
    bool InsertMailRecord(LumoAccess::MailInformation& MailInfo, const String& reserved);
    bool InsertGreetingRecord(LumoAccess::GreetingInformation& GreetingInfo, const String& reserved);
    bool InsertChildRecord(LumoAccess::ChildrenInformation& ChildInfo, const String& reserved);
    bool DeletePersonRecord(Long lngPersonID, const String& reserved);
    // Both inserts: the person row, then `dependents` with the new ID, and
    // the compensating delete after any failure once the row is stored.
    bool InsertPerson(std::string_view locationCode, LumoAccess::PersonInformation& PersonInfo, bool blnShort,
                      const std::function<bool(Long)>& dependents);

    // Update routines (PersonUpdate.cpp), same pattern; the dependent rows
    // are those of lngCurrentPersonID.
    bool UpdatePersonRecord(LumoAccess::PersonInformation& PersonInfo, const String& reserved);
    bool UpdatePhoneRecords(std::vector<LumoAccess::PhoneInformation>& PhoneInfo, const String& reserved);
    bool UpdateMailRecords(std::vector<LumoAccess::MailInformation>& MailInfo, const String& reserved);
    bool UpdateChildRecords(std::vector<LumoAccess::ChildrenInformation>& ChildrenInfo, const String& reserved);
    bool UpdateGreetingRecords(std::vector<LumoAccess::GreetingInformation>& GreetingInfo, const String& reserved);

    // Each opens `rs` on the person's rows; true after a reported failure.
    bool OpenPersonRecordset(Long lngPersonID, db::Recordset& rs, const String& reserved);
    bool OpenPhoneRecordset(Long lngPersonID, db::Recordset& rs, const String& reserved);
    bool OpenMailRecordset(Long lngPersonID, db::Recordset& rs, const String& reserved);

    // The person the update in progress writes dependent rows for; the
    // inserts set it back to 0.
    Long lngCurrentPersonID = 0;
};

}  // namespace lumo::access
