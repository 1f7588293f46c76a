#pragma once
// What the person write tests share: a connected person object on a fresh
// person database, element builders, and a snapshot of every person table
// to compare states before and after a call.
#include <string>
#include <vector>

#include "tests/access/AccessTestSupport.h"

namespace lumo::test {

inline LumoAccess::PhoneInformation phone(std::string number, std::string label = "", LumoAccess::Integer rank = 0,
                                          std::string type = "") {
    LumoAccess::PhoneInformation p;
    p.strPhoneNumber = std::move(number);
    p.strLabel = std::move(label);
    p.intRank = rank;
    p.strType = std::move(type);
    return p;
}

inline LumoAccess::MailInformation mail(std::string address, std::string label = "", LumoAccess::Integer rank = 0,
                                        std::string type = "") {
    LumoAccess::MailInformation m;
    m.strMailAddress = std::move(address);
    m.strLabel = std::move(label);
    m.intRank = rank;
    m.strType = std::move(type);
    return m;
}

inline LumoAccess::GreetingInformation greeting(LumoAccess::Long year, std::string memo = "", bool flags = false) {
    LumoAccess::GreetingInformation g;
    g.lngYear = year;
    g.strMemo = std::move(memo);
    g.blnNewYear_Send = g.blnSummer_Receive = g.blnYearEnd_Send = flags;
    return g;
}

inline LumoAccess::ChildrenInformation child(std::string name, std::string alias = "") {
    LumoAccess::ChildrenInformation c;
    c.strName = std::move(name);
    c.strAlias = std::move(alias);
    return c;
}

// Every person table, row by row, in key order (Null shown as NULL).
inline const std::vector<std::string> kPersonTables = {"T_PERSON", "T_PHONE", "T_EMAIL", "T_GREETING",
                                                       "T_CHILDREN", "T_TODOLIST"};

class PersonFixture : public ::testing::Test {
protected:
    explicit PersonFixture(const std::filesystem::path& folder = std::filesystem::temp_directory_path())
        : db(schema::personDdl(), folder) {}

    void SetUp() override { ASSERT_FALSE(person->Initialize(db.connectionString())); }

    long long count(const std::string& table, const std::string& where = "1") {
        return db.scalar("SELECT COUNT(*) FROM " + table + " WHERE " + where);
    }

    // The whole contents of the person tables, a line per row.
    std::vector<std::string> contents() {
        std::vector<std::string> all;
        for (const std::string& t : kPersonTables) {
            const std::string row =
                db.column("SELECT group_concat('quote(\"' || name || '\")', ' || ''|'' || ') FROM pragma_table_info('" +
                          t + "')")
                    .front();
            for (const std::string& line : db.column("SELECT " + row + " FROM " + t + " ORDER BY rowid"))
                all.push_back(t + ": " + line);
        }
        return all;
    }

    // A person stored with plain SQL: its ID.
    long long storePerson(const std::string& lastName) {
        db.exec("INSERT INTO T_PERSON (TYPE_ID, LASTNAME) VALUES (1, '" + lastName + "')");
        return db.scalar("SELECT MAX(PERSON_ID) FROM T_PERSON");
    }

    // The given columns of a person's rows of `table`, in key order.
    std::vector<std::string> rows(const std::string& table, const std::string& columns, LumoAccess::Long id) {
        return db.column("SELECT " + columns + " FROM " + table + " WHERE PERSON_ID = " + std::to_string(id) +
                         " ORDER BY rowid");
    }
    std::vector<std::string> keys(const std::string& table, LumoAccess::Long id) { return rows(table, "rowid", id); }

    // Rows of any person table whose person does not exist.
    long long orphans() {
        long long n = 0;
        for (const char* t : {"T_PHONE", "T_EMAIL", "T_GREETING", "T_CHILDREN", "T_TODOLIST"})
            n += count(t, "PERSON_ID NOT IN (SELECT PERSON_ID FROM T_PERSON)");
        return n;
    }

    ScratchDatabase db;
    RecordingSink sink;
    LumoAccess::Ref<LumoAccess::clsPidAccess> person = createObject<LumoAccess::clsPidAccess>();
};

}  // namespace lumo::test

namespace lumo::test {

// Every row is committed on its own, and a commit waits for the disk:
// tests that store tens of thousands of rows keep their file in memory.
class ManyRowsFixture : public PersonFixture {
protected:
    ManyRowsFixture()
        : PersonFixture(std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                  : std::filesystem::temp_directory_path()) {}
};

}  // namespace lumo::test
