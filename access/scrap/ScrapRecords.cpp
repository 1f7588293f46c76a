// Single scraps: insert, read (whole or as an overview), update, delete,
// and the end date and body written when a scrap has been looked at.
#include <string_view>

#include "access/core/Columns.h"
#include "access/core/Fields.h"
#include "access/core/Transaction.h"
#include "access/scrap/clsScrapAccess.h"
#include "platform/ErrorReport.h"
#include "platform/MessageSink.h"
#include "engine/Recordset.h"

namespace lumo::access {

using namespace LumoAccess;

namespace {

using db::adCmdTable;
using db::adCmdText;
using db::adLockPessimistic;
using db::adOpenDynamic;

constexpr std::string_view kScrapTable = "T_SCRAP";

// Where each field of a scrap is kept in T_SCRAP (Columns.h), in the order
// the reader takes them; the writers set the same columns. strLabe and
// strMemoLabel are the caller's and have no column. Rows written by other
// programs may leave the group or the registration date Null, and such a
// scrap must stay readable: Null reads as 0 or "".
constexpr Column<ScrapInformation> kScrapColumns[] = {
    {"LABEL_ID", &ScrapInformation::lngLabelID},
    {"REG_DATE", &ScrapInformation::dyRegDate},
    {"ED_DATE", &ScrapInformation::dyLastDate},
    {"TITLE", &ScrapInformation::strTitle},
    {"KEYWORD", &ScrapInformation::strKeyword},
    {"SOURCE", &ScrapInformation::strSource},
    {"PLACE", &ScrapInformation::strPlace},
    {"BODY", &ScrapInformation::strBody},
    {"BODY_PATH", &ScrapInformation::strBodyPath},
    {"MEMO", &ScrapInformation::strMemo},
};

void readScrap(db::Recordset& rs, ScrapInformation& scrap) {
    readColumns<ScrapInformation>(rs, kScrapTable, kScrapColumns, scrap);
}

// The insert leaves a zero date to the column's default; the update stores
// Null (its record is the scrap's whole new state).
void writeScrap(db::Recordset& rs, const ScrapInformation& scrap, ZeroDate zero) {
    writeColumns<ScrapInformation>(rs, kScrapColumns, scrap, EmptyText::Null, zero);
}

std::string byID(std::string_view select, Long id) { return std::string(select) + std::to_string(id); }

void openByID(db::Recordset& rs, std::string_view select, Long id, db::Connection& cnn) {
    rs.Open(byID(select, id), cnn, adOpenDynamic, adLockPessimistic, adCmdText);
}

constexpr std::string_view kSelectScrap = "SELECT * FROM T_SCRAP WHERE ID = ";

}  // namespace

// ------------------------------------------------------------------ insert

bool ScrapAccess::SetScrapInformation(ScrapInformation& ScrapData, String*) noexcept {
    return passedOn("CLS-srca1003", [&] {
        const bool failed = InsertScrapRecord(ScrapData, {});
        if (failed)
            showMessage("データを登録中にエラーが発生した為、登録は出来ませんでした。", MsgButtons::OK,
                        MsgIcon::Information, "登録エラー");
        return failed;
    });
}

bool ScrapAccess::InsertScrapRecord(ScrapInformation& ScrapData, const String&) {
    db::Connection& cnn = cnnDatabase.get();
    db::Recordset rs;
    rs.Open("T_SCRAP", cnn, adOpenDynamic, adLockPessimistic, adCmdTable);
    return begunThenCommitted("CLS-srca1004", cnn, [&] {
        rs.AddNew();
        writeScrap(rs, ScrapData, ZeroDate::Unset);
        rs.Update();
        ScrapData.lngScrapID = longOf(rs, rowKey(kScrapTable, "ID"));
    });
}

// ------------------------------------------------------------------ read

void ScrapAccess::GetScrapInformation(Long lngID, ScrapInformation& ScrapData, String*) noexcept {
    reported("CLS-srca1006", [&] { ReadScrapRecord(lngID, ScrapData, {}); });
}

void ScrapAccess::GetScrapInformationOverView(Long lngID, ScrapInfoOverview& OverView, String*) noexcept {
    reported("CLS-srca1005", [&] {
        ScrapInformation scrap;
        ReadScrapRecord(lngID, scrap, {});
        OverView.dyRegDate = scrap.dyRegDate;
        OverView.dyLastDate = scrap.dyLastDate;
        OverView.strTitle = scrap.strTitle;
        OverView.strSource = scrap.strSource;
        OverView.strKeyword = scrap.strKeyword;
        OverView.strBody = scrap.strBody;
        OverView.lngScrapID = scrap.lngScrapID;
        OverView.lngLabelID = scrap.lngLabelID;
    });
}

bool ScrapAccess::ReadScrapRecord(Long lngID, ScrapInformation& ScrapData, const String&) {
    return reported("CLS-srca1007", [&] {
        db::Recordset rs;
        openByID(rs, kSelectScrap, lngID, cnnDatabase.get());
        if (rs.Bof() || rs.Eof()) return;
        readScrap(rs, ScrapData);
        ScrapData.lngScrapID = lngID;
    });
}

// ------------------------------------------------------------------ update

bool ScrapAccess::UpScrapInformation(Long lngID, ScrapInformation& Scrap, String*) noexcept {
    return passedOn("CLS-srca1008", [&] { return UpdateScrapRecord(lngID, Scrap, {}); });
}

// Without a row for the identifier the first assignment fails (no current
// row), so the update is reported and rolled back.
bool ScrapAccess::UpdateScrapRecord(Long lngID, ScrapInformation& ScrapData, const String&) {
    db::Connection& cnn = cnnDatabase.get();
    db::Recordset rs;
    openByID(rs, kSelectScrap, lngID, cnn);
    return begunThenCommitted("CLS-srca1009", cnn, [&] {
        writeScrap(rs, ScrapData, ZeroDate::Null);
        rs.Update();
        ScrapData.lngScrapID = longOf(rs, rowKey(kScrapTable, "ID"));
    });
}

void ScrapAccess::UpdateLastDate(Long lngScrapID, Date dyDate, const String& strBody) noexcept {
    reported("CLS-srca1020", [&] {
        db::Recordset rs;
        openByID(rs, "SELECT BODY, ED_DATE FROM T_SCRAP WHERE ID = ", lngScrapID, cnnDatabase.get());
        if (!rs.Bof() && !rs.Eof()) {
            rs.Fields("ED_DATE") = db::Variant::date(dyDate);
            rs.Fields("BODY") = textOrNull(strBody);
            rs.Update();
        }
        rs.Close();
    });
}

// ------------------------------------------------------------------ delete

bool ScrapAccess::DelScrapInformation(Long lngID, String*) noexcept {
    return passedOn("CLS-srca1010", [&] { return DeleteScrapRecord(lngID, {}); });
}

bool ScrapAccess::DeleteScrapRecord(Long lngID, const String&) {
    return reported("CLS-srca1011",
                    [&] { cnnDatabase.get().Execute(byID("DELETE FROM T_SCRAP WHERE ID = ", lngID), -1); });
}

}  // namespace lumo::access
