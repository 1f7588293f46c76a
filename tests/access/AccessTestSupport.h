#pragma once
// What the access tests share: the library loaded the way a client loads
// it (dlopen from LUMO_BIN_DIR, else from beside the test program, as
// buildProgram finds programs; objects created by class name), scratch
// database files made from the suite's DDL, and a look at the reports.
#include <dlfcn.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "access/LumoAccess.h"
#include "platform/MessageSink.h"
#include "schema/Schema.h"
#include "tests/support/ChildProcess.h"
#include "engine/ConnectionString.h"

namespace lumo::test {

class AccessLibrary {
public:
    static AccessLibrary& instance() {
        static AccessLibrary library;
        return library;
    }

    void* symbol(const char* name) const { return handle_ ? dlsym(handle_.get(), name) : nullptr; }

    template <class Proc>
    Proc entry(const char* name) const {
        return reinterpret_cast<Proc>(symbol(name));
    }

    LumoAccess::DllGetClassObjectProc factory() const {
        return entry<LumoAccess::DllGetClassObjectProc>("DllGetClassObject");
    }

    template <class T>
    LumoAccess::Ref<T> create() const {
        // A test run by hand from another folder finds no library; say so
        // rather than call through a null entry point.
        if (!handle_) throw std::runtime_error("libLumoAccess.so not loaded: " + error_);
        return LumoAccess::createObject<T>(factory(), entry<LumoAccess::DllGetTypeLibraryProc>("DllGetTypeLibrary"));
    }

    const std::string& loadError() const { return error_; }

private:
    struct Closer {
        void operator()(void* h) const { dlclose(h); }
    };

    AccessLibrary() {
        const std::string path = buildProgram("libLumoAccess.so").string();
        handle_.reset(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
        if (!handle_) error_ = dlerror();
    }

    std::unique_ptr<void, Closer> handle_;
    std::string error_;
};

template <class T>
LumoAccess::Ref<T> createObject() {
    return AccessLibrary::instance().create<T>();
}

// A database file made from one of the suite's DDL texts, removed at the
// end of the test. exec() and the readers arrange and inspect states
// directly, bypassing the library.
class ScratchDatabase {
public:
    explicit ScratchDatabase(std::string_view ddl,
                             const std::filesystem::path& folder = std::filesystem::temp_directory_path()) {
        static int counter = 0;
        path_ = folder /
                ("lumo_access_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".mdb");
        std::filesystem::remove(path_);
        EXPECT_EQ(sqlite3_open(path_.c_str(), &db_), SQLITE_OK);
        exec(std::string(ddl));
    }
    ~ScratchDatabase() {
        sqlite3_close(db_);
        std::filesystem::remove(path_);
    }
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::string connectionString() const {
        return lumo::db::jetConnectionString(path_.string());
    }

    void exec(const std::string& sql) {
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "") << "\n" << sql;
        sqlite3_free(err);
    }

    // The first column of every row, as text ("NULL" for Null).
    std::vector<std::string> column(const std::string& sql) {
        std::vector<std::string> out;
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            const auto* text = sqlite3_column_text(st, 0);
            out.emplace_back(text ? reinterpret_cast<const char*>(text) : "NULL");
        }
        sqlite3_finalize(st);
        return out;
    }

    long long scalar(const std::string& sql) {
        auto values = column(sql);
        return values.empty() ? -1 : std::stoll(values.front());
    }

private:
    std::filesystem::path path_;
    sqlite3* db_ = nullptr;
};

inline std::string missingDatabase() {
    return lumo::db::jetConnectionString((std::filesystem::temp_directory_path() / "lumo_access_no_such_file.mdb").string());
}

// The location codes of the reports shown so far, checking that each has
// the form of an error report: code, CR LF, description; OK only, no title.
inline std::vector<std::string> reportCodes(const RecordingSink& sink) {
    std::vector<std::string> codes;
    for (const MessageRequest& m : sink.messages()) {
        const auto end = m.text.find("\r\n");
        EXPECT_NE(end, std::string::npos) << m.text;
        EXPECT_GT(m.text.size(), end + 2) << "report without a description: " << m.text;
        EXPECT_EQ(m.buttons, MsgButtons::OK);
        EXPECT_EQ(m.title, "");
        codes.push_back(m.text.substr(0, end));
    }
    return codes;
}

using Codes = std::vector<std::string>;

}  // namespace lumo::test
