#pragma once
// Runs one Jet function call through SQLite on an in-memory database with
// the Jet functions installed, and shows the answer as text: Null, a
// number (up to 15 significant digits), a text in quotes, or "!" and the
// error's description.
#include <sqlite3.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "engine/JetFunctions.h"

namespace lumo::test {

inline const std::string kInvalidCall = "!プロシージャの呼び出し、または引数が不正です。";
inline const std::string kTypeMismatch = "!型が一致しません。";
inline const std::string kOverflow = "!オーバーフローしました。";
inline const std::string kInvalidNull = "!Null の使い方が不正です。";

struct FunctionCase {
    const char* expression;  // an SQL expression calling jet_ functions
    std::string expected;
};

class FunctionDatabase {
public:
    FunctionDatabase() {
        EXPECT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        lumo::db::installJetFunctions(db_);
    }
    ~FunctionDatabase() { sqlite3_close(db_); }
    FunctionDatabase(const FunctionDatabase&) = delete;
    FunctionDatabase& operator=(const FunctionDatabase&) = delete;

    sqlite3* handle() const { return db_; }

    std::string eval(const std::string& expression) const {
        sqlite3_stmt* st = nullptr;
        const std::string sql = "SELECT " + expression;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            return std::string("?prepare: ") + sqlite3_errmsg(db_);
        std::string out;
        if (sqlite3_step(st) == SQLITE_ROW) {
            switch (sqlite3_column_type(st, 0)) {
            case SQLITE_NULL: out = "Null"; break;
            case SQLITE_INTEGER: out = std::to_string(sqlite3_column_int64(st, 0)); break;
            case SQLITE_FLOAT: {
                char text[40];
                std::snprintf(text, sizeof text, "%.15G", sqlite3_column_double(st, 0));
                out = text;
                break;
            }
            default: out = "\"" + std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) + "\"";
            }
        } else {
            out = "!" + std::string(sqlite3_errmsg(db_));
        }
        sqlite3_finalize(st);
        return out;
    }

    void expectAll(std::initializer_list<FunctionCase> cases) const {
        for (const FunctionCase& c : cases) EXPECT_EQ(eval(c.expression), c.expected) << c.expression;
    }

private:
    sqlite3* db_ = nullptr;
};

}  // namespace lumo::test
