// The person file as one query: the person row, its group's caption and
// its phones, mails and children packed by group_concat, each list in the
// order the library reads it.
#include <string_view>

#include "bench/BaselineExport.h"
#include "export/engine/clsExportSource.h"

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
    for (std::string_view column :
         {"LASTALIAS", "FIRSTALIAS", "LASTNAME", "FIRSTNAME", "TITLE", "NICKNAME", "LABEL1", "MEMO1", "LABEL2",
          "MEMO2", "HOME_ZIP", "HOME_ADDRESS1", "HOME_ADDRESS2", "HOME_URL", "LABEL3", "MEMO3", "LABEL4", "MEMO4",
          "ALIAS", "COMPANY", "CO_POSITION", "CO_SECTION", "OFFICE_ZIP", "OFFICE_ADDRESS1", "OFFICE_ADDRESS2",
          "OFFICE_URL", "LABEL5", "MEMO5", "LABEL6", "MEMO6"})
        q.columns.push_back({"p." + std::string(column), Cell::Text});
    q.columns.push_back({"p.BIRTHDAY", Cell::Ymd});
    q.columns.push_back({"p.AGE", Cell::Number});
    q.columns.push_back({"p.CONSTELLATION", Cell::Text});
    q.columns.push_back({"p.BLOOD", Cell::Text});
    q.columns.push_back({"p.ANNIVERSARY", Cell::Ymd});
    q.columns.push_back({"p.MATEALIAS", Cell::Text});
    q.columns.push_back({"p.MATE", Cell::Text});
    q.columns.push_back({"p.HOBBY", Cell::Text});
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
