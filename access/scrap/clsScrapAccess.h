#pragma once
// clsScrapAccess: clippings of a scrap database and their groups.
#include <string>

#include "access/LumoAccess.h"
#include "access/core/AccessObject.h"

namespace lumo::access {

class ScrapAccess final : public AccessObject<LumoAccess::clsScrapAccess> {
public:
    using Long = LumoAccess::Long;
    using String = LumoAccess::String;

    ScrapAccess();

    bool GetGroupLabel(LumoAccess::LabelTable& aryLabel, String* Reserved = nullptr) override;
    Long GetGroupID() override;
    Long GetGroupIDEx(const String& strLabel) override;
    String GetGroupingLabel() override;
    bool DeleteGroup(Long lngGroupID, String* Reserved = nullptr) override;
};

}  // namespace lumo::access
