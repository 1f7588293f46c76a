#pragma once
// A scratch engine database and a connection for tests that evaluate Jet
// expressions one by one: `rows` gives the first column of every row as
// text, or the failure's description in place of the rows, so that a
// table of cases can expect an error like a value. Each test owns its
// fixture; one thread.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Connection.h"
#include "platform/Error.h"
#include "tests/engine/TestDatabase.h"

namespace lumo::test {

class ExpressionFixture : public ::testing::Test {
protected:
    void SetUp() override { cn_.Open(db_.connectionString()); }

    std::vector<std::string> rows(const std::string& sql) {
        try {
            return firstColumn(cn_, sql);
        } catch (const lumo::Error& e) {
            return {e.what()};
        }
    }

    // The value of one expression on the person whose PERSON_ID is 1.
    std::vector<std::string> valueOf(const std::string& expression) {
        return rows("SELECT " + expression + " FROM T_PERSON WHERE PERSON_ID = 1");
    }

    TestDatabase db_{kEngineTables};
    lumo::db::Connection cn_;
};

}  // namespace lumo::test
