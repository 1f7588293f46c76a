// The search statement over the scrap book. The class only builds the
// text; the client opens it on its own connection.
#include <string>

#include "access/core/SqlText.h"
#include "access/scrap/clsScrapAccess.h"
#include "platform/ErrorReport.h"

namespace lumo::access {

using namespace LumoAccess;

namespace {

// word LIKE '%word%', the word's quotes doubled so that it stays one
// literal; % and _ inside it keep their LIKE meaning.
std::string contains(std::string_view column, const String& word) {
    return std::string(column) + " LIKE " + sqlString("%" + word + "%");
}

}  // namespace

// Both words empty give no statement at all rather than one listing every
// scrap. The inner join leaves out scraps whose group does not exist, and
// the row order is the engine's.
String ScrapAccess::CreateSimpleViewQuery(const String& strKeyword, const String& strOther, String*) noexcept {
    String query;
    reported("CLS-srca1012", [&] {
        std::string where;
        if (!strKeyword.empty()) where = "(" + contains("T_SCRAP.KEYWORD", strKeyword) + ")";
        if (!strOther.empty()) {
            if (!where.empty()) where += " AND ";
            where += "(" + contains("T_SCRAP.SOURCE", strOther) + " OR " + contains("T_GROUPING.LABEL", strOther) +
                     " OR " + contains("T_SCRAP.TITLE", strOther) + ")";
        }
        if (where.empty()) return;
        query = "SELECT T_SCRAP.ID, T_SCRAP.REG_DATE, T_SCRAP.TITLE, "
                "T_SCRAP.KEYWORD, T_SCRAP.SOURCE, T_GROUPING.LABEL, "
                "T_SCRAP.BODY_PATH "
                "FROM T_GROUPING INNER JOIN T_SCRAP ON "
                "T_GROUPING.LABEL_ID = T_SCRAP.LABEL_ID"
                " WHERE " +
                where;
    });
    return query;
}

String ScrapAccess::GetFindView(const String& strKeyword, const String& strOther) noexcept {
    String query;
    reported("CLS-srca1019", [&] {
        String reserved;
        query = CreateSimpleViewQuery(strKeyword, strOther, &reserved);
    });
    return query;
}

// Kept for clients that call it; there is no advanced search. Nothing here
// can fail, so its report ("CLS-srca1013") is never shown.
String ScrapAccess::CreateAdvancedViewQuery() noexcept { return {}; }

}  // namespace lumo::access
