#include "access/scrap/clsScrapAccess.h"

#include "access/core/Groups.h"

namespace lumo::access {

using namespace LumoAccess;

namespace {

// The end-of-object code is spelt "scra", unlike the class's other codes.
constexpr FrameCodes kFrame{"CLS-srca1000", "CLS-scra1001", "CLS-srca1002"};

}  // namespace

ScrapAccess::ScrapAccess() : AccessObject(kFrame) {}

// ------------------------------------------------------------------ groups

bool ScrapAccess::GetGroupLabel(LabelTable& aryLabel, String*) noexcept {
    return groupLabel(kScrapGroups, cnnDatabase, aryLabel);
}

Long ScrapAccess::GetGroupID() noexcept { return groupID(kScrapGroups, cnnDatabase); }

Long ScrapAccess::GetGroupIDEx(const String& strLabel) noexcept { return groupIDEx(kScrapGroups, cnnDatabase, strLabel); }

String ScrapAccess::GetGroupingLabel() noexcept { return groupingLabel(kScrapGroups); }

bool ScrapAccess::DeleteGroup(Long lngGroupID, String*) noexcept {
    return deleteGroup(kScrapGroups, cnnDatabase, lngGroupID);
}

}  // namespace lumo::access
