#pragma once
// clsScrapAccess: clippings of a scrap database and their groups.
//
// The object owns its connection (cnnDatabase) from Initialize until its
// last reference is released; every operation opens and releases its own
// recordsets within the call and keeps nothing of the caller's records.
// One object is used by one thread at a time; objects share nothing, so
// different objects may run on different threads.
#include <string>

#include "access/LumoAccess.h"
#include "access/core/AccessObject.h"

namespace lumo::access {

class ScrapAccess final : public AccessObject<LumoAccess::clsScrapAccess> {
public:
    using Long = LumoAccess::Long;
    using Date = LumoAccess::Date;
    using String = LumoAccess::String;
    using ScrapInformation = LumoAccess::ScrapInformation;

    ScrapAccess();

    bool GetGroupLabel(LumoAccess::LabelTable& aryLabel, String* Reserved = nullptr) noexcept override;
    Long GetGroupID() noexcept override;
    Long GetGroupIDEx(const String& strLabel) noexcept override;
    String GetGroupingLabel() noexcept override;
    bool DeleteGroup(Long lngGroupID, String* Reserved = nullptr) noexcept override;

    bool SetScrapInformation(ScrapInformation& ScrapData, String* Reserved = nullptr) noexcept override;
    void GetScrapInformationOverView(Long lngID, LumoAccess::ScrapInfoOverview& OverView,
                                     String* Reserved = nullptr) noexcept override;
    void GetScrapInformation(Long lngID, ScrapInformation& ScrapData, String* Reserved = nullptr) noexcept override;
    bool UpScrapInformation(Long lngID, ScrapInformation& Scrap, String* Reserved = nullptr) noexcept override;
    bool DelScrapInformation(Long lngID, String* Reserved = nullptr) noexcept override;
    void UpdateLastDate(Long lngScrapID, Date dyDate, const String& strBody) noexcept override;

    String CreateSimpleViewQuery(const String& strKeyword, const String& strOther, String* Reserved = nullptr) noexcept override;
    String CreateAdvancedViewQuery() noexcept override;
    String GetFindView(const String& strKeyword, const String& strOther) noexcept override;

private:
    // Each returns its error flag. The insert and the update open their
    // recordset and begin their transaction before their handler is in
    // force: a failure there reaches the public caller.
    bool InsertScrapRecord(ScrapInformation& ScrapData, const String& Reserved);
    bool ReadScrapRecord(Long lngID, ScrapInformation& ScrapData, const String& Reserved);
    bool UpdateScrapRecord(Long lngID, ScrapInformation& ScrapData, const String& Reserved);
    bool DeleteScrapRecord(Long lngID, const String& Reserved);
};

}  // namespace lumo::access
