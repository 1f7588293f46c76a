// The person file as one query: the person row, its group's caption and
// its phones, mails and children packed by group_concat, each list in the
// order the library reads it.
#include <span>
#include <string_view>

#include "bench/BaselineExport.h"
#include "export/engine/clsExportSource.h"
#include "schema/PersonColumns.h"

namespace lumo::bench {
namespace {

std::string packedGroup(std::string_view table, std::string_view label, std::string_view value,
                        std::string_view order) {
    std::string sql = "(SELECT group_concat(ifnull(";
    sql.append(label).append(", '') || char(31) || ifnull(").append(value).append(", ''), char(30)) FROM (SELECT ");
    sql.append(label).append(", ").append(value).append(" FROM ").append(table);
    sql.append(" WHERE PERSON_ID = p.PERSON_ID ORDER BY ").append(order).append("))");
    return sql;
}

BaselineQuery makePersonBaseline() {
    BaselineQuery q;
    q.header = exporter::personHeader();
    q.columns.push_back({"g.LABEL", Cell::Text});
    // The export's fields in its order, each in its T_PERSON column.
    using P = LumoAccess::PersonInformation;
    const auto column = [](auto field) {
        return "p." + std::string(schema::columnOf(std::span(schema::kPersonColumns), field));
    };
    for (LumoAccess::String P::*field :
         {&P::strLastAlias, &P::strFirstAlias, &P::strLastName, &P::strFirstName, &P::strTitle, &P::strNickName,
          &P::strLabel1, &P::strMemo1, &P::strLabel2, &P::strMemo2, &P::strHomeZip, &P::strHomeAddress1,
          &P::strHomeAddress2, &P::strHomeURL, &P::strLabel3, &P::strMemo3, &P::strLabel4, &P::strMemo4,
          &P::strAlias, &P::strCompany, &P::strPosition, &P::strSection, &P::strOfficeZip, &P::strOfficeAddress1,
          &P::strOfficeAddress2, &P::strOfficeURL, &P::strLabel5, &P::strMemo5, &P::strLabel6, &P::strMemo6})
        q.columns.push_back({column(field), Cell::Text});
    q.columns.push_back({column(&P::dyBirthday), Cell::Ymd});
    q.columns.push_back({column(&P::intAge), Cell::Number});
    q.columns.push_back({column(&P::strConstellation), Cell::Text});
    q.columns.push_back({column(&P::strBlood), Cell::Text});
    q.columns.push_back({column(&P::dyAnniversary), Cell::Ymd});
    q.columns.push_back({column(&P::strMateAlias), Cell::Text});
    q.columns.push_back({column(&P::strMate), Cell::Text});
    q.columns.push_back({column(&P::strHobby), Cell::Text});
    q.columns.push_back({packedGroup("T_PHONE", "LABEL", "TEL_NUMBER", "RANK, PHONE_ID"), Cell::Group});
    q.columns.push_back({packedGroup("T_EMAIL", "LABEL", "MAIL_ADDRESS", "RANK DESC, MAIL_ID"), Cell::Group});
    q.columns.push_back({packedGroup("T_CHILDREN", "ALIAS", "CHILDREN", "CHILD_ID"), Cell::Group});
    q.from = "FROM T_PERSON AS p LEFT JOIN T_GROUPING AS g ON g.TYPE_ID = p.TYPE_ID ORDER BY p.PERSON_ID";
    return q;
}

}  // namespace

const BaselineQuery& personBaseline() {
    static const BaselineQuery query = makePersonBaseline();
    return query;
}

}  // namespace lumo::bench
