#pragma once
// Each person's first home and office number and first mail address,
// worked out from the phone and mail rows with window functions: a
// formulation of "first" independent of the person file's own, against
// which the views vwHomePhone, vwOfficePhone and vwMailAddress are checked.
// Each statement gives PERSON_ID and the number or address.
#include <string>

namespace lumo::test {

inline std::string firstPhonesByRows(const std::string& type) {
    return "SELECT PERSON_ID, TEL_NUMBER FROM (SELECT PERSON_ID, TEL_NUMBER, row_number() "
           "OVER (PARTITION BY PERSON_ID ORDER BY RANK, PHONE_ID) AS n FROM T_PHONE "
           "WHERE PERSON_ID IS NOT NULL AND TYPE = '" +
           type + "' AND TEL_NUMBER <> '') WHERE n = 1";
}

inline std::string firstMailsByRows() {
    return "SELECT PERSON_ID, MAIL_ADDRESS FROM (SELECT PERSON_ID, MAIL_ADDRESS, row_number() "
           "OVER (PARTITION BY PERSON_ID ORDER BY RANK DESC, MAIL_ID) AS n FROM T_EMAIL "
           "WHERE PERSON_ID IS NOT NULL AND MAIL_ADDRESS <> '') WHERE n = 1";
}

}  // namespace lumo::test
