// lumo_bench_person: the person insert, update and delete of clsPidAccess
// on the 100,000-person file, each against a baseline that writes the same
// rows with prepared SQLite statements in one transaction.
//
//   lumo_bench_person [--data DIR] [--calls N]
//
// DIR is the benchmark data folder of scripts/bench (default
// $LUMO_BENCH_DATA, else /tmp/lumo-bench-data); its 100000 folder is
// copied, so the data stays as it was. Each call stores, rewrites and
// deletes a person with 3 phones, 2 mails, 1 greeting and 1 child and a
// note long enough for a ToDo row. The table gives the median per call and
// the ratio baseline/ours (1.0 = as fast as the plain statements).
//
// The library commits every row on its own (so that a failure undoes only
// the row it met, and the compensation removes the rest); the baseline
// commits once per call. Both connections use the file's journal mode and
// SQLite's default synchronous setting, so the ratio shows what the
// separate commits cost on this disk.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "access/LumoAccess.h"
#include "bench/BenchData.h"
#include "client/AccessLibrary.h"
#include "engine/ProgramSettings.h"
#include "schema/PersonColumns.h"

namespace fs = std::filesystem;
using namespace LumoAccess;
using Clock = std::chrono::steady_clock;

namespace {

struct Sample {
    PersonInformation person;
    std::vector<PhoneInformation> phones{3};
    std::vector<MailInformation> mails{2};
    std::vector<GreetingInformation> greetings{1};
    std::vector<ChildrenInformation> children{1};
};

Sample sample(int i, const char* mark) {
    Sample s;
    const std::string n = std::to_string(i);
    s.person.lngTypeID = 1;
    s.person.strLastName = std::string(mark) + "山田" + n;
    s.person.strFirstName = "太郎";
    s.person.strLastAlias = "やまだ";
    s.person.strFirstAlias = "たろう";
    s.person.strCompany = "山田商事";
    s.person.strHomeZip = "100-0001";
    s.person.strHomeAddress1 = "東京都千代田区千代田1-" + n;
    s.person.dyBirthday = 30000;
    s.person.intAge = 40;
    s.person.strNote = std::string("01/09/24 ") + mark + "打ち合わせの予定";
    for (int k = 0; k < 3; ++k) {
        s.phones[k].strPhoneNumber = "03-" + n + "-" + std::to_string(k);
        s.phones[k].strLabel = "電話";
        s.phones[k].intRank = static_cast<Integer>(k);
        s.phones[k].strType = k == 0 ? "HOME" : "OFFICE";
    }
    for (int k = 0; k < 2; ++k) {
        s.mails[k].strMailAddress = std::string(mark) + n + "." + std::to_string(k) + "@example.jp";
        s.mails[k].intRank = static_cast<Integer>(k);
    }
    s.greetings[0].lngYear = 2025;
    s.greetings[0].blnNewYear_Send = true;
    s.greetings[0].strMemo = mark;
    s.children[0].strName = "花子";
    s.children[0].strAlias = "はなこ";
    return s;
}

struct Medians {
    double insert = 0, update = 0, erase = 0;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <class F>
double timed(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Medians measureLibrary(const std::string& database, int calls) {
    auto object = lumo::client::AccessLibrary::instance().create<clsPidAccess>();
    if (object->Initialize(lumo::bench::connectionFor(database))) throw std::runtime_error("Initialize failed");
    std::vector<double> ins, upd, del;
    for (int i = 0; i < calls; ++i) {
        Sample s = sample(i, "新");
        bool failed = false;
        ins.push_back(timed([&] {
            failed |= object->SetPersonalInformation(s.person, s.phones, s.mails, s.greetings, s.children);
        }));
        Sample u = sample(i, "改");
        u.person.lngPersonID = s.person.lngPersonID;
        u.person.strNote = s.person.strNote + "\r\n01/10/01 追加された予定";
        upd.push_back(timed([&] {
            failed |= object->UpPersonalInformation(u.person, u.phones, u.mails, u.greetings, u.children);
        }));
        Long id = s.person.lngPersonID;
        del.push_back(timed([&] { failed |= object->DelPersonalInformation(id); }));
        if (failed) throw std::runtime_error("a library call reported a failure");
    }
    return {median(ins), median(upd), median(del)};
}

// ------------------------------------------------------------------ baseline

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db) + (": " + sql));
    }
    ~Statement() { sqlite3_finalize(st_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& text(int i, const std::string& v) {
        if (v.empty()) sqlite3_bind_null(st_, i);
        else sqlite3_bind_text(st_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& number(int i, double v) {
        sqlite3_bind_double(st_, i, v);
        return *this;
    }
    Statement& integer(int i, long long v) {
        sqlite3_bind_int64(st_, i, v);
        return *this;
    }
    // Runs it; the new row's key.
    long long run() {
        sqlite3* db = sqlite3_db_handle(st_);
        if (sqlite3_step(st_) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_reset(st_);
        return sqlite3_last_insert_rowid(db);
    }

private:
    sqlite3_stmt* st_ = nullptr;
};

// The baseline's connection, closed after its statements are finalized.
struct Handle {
    explicit Handle(const std::string& database) {
        if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            sqlite3_close(db);
            throw std::runtime_error("cannot open " + database);
        }
    }
    ~Handle() { sqlite3_close(db); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    sqlite3* db = nullptr;
};

class Baseline {
public:
    explicit Baseline(const std::string& database) : handle_(database) {}

    void exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db_));
    }

    struct Keys {
        long long person = 0;
        std::vector<long long> phones, mails;
        long long greeting = 0, child = 0;
    };

    Keys insert(const Sample& s) {
        Keys k;
        exec("BEGIN");
        bindPerson(insertPerson_, s.person);
        k.person = insertPerson_.run();
        insertTodo_.integer(1, k.person).text(2, s.person.strNote).run();
        for (const PhoneInformation& p : s.phones)
            k.phones.push_back(insertPhone_.integer(1, k.person).text(2, p.strLabel).text(3, p.strPhoneNumber)
                                   .integer(4, p.intRank).text(5, p.strType).run());
        for (const MailInformation& m : s.mails)
            k.mails.push_back(insertMail_.integer(1, k.person).text(2, m.strLabel).text(3, m.strMailAddress)
                                  .integer(4, m.intRank).text(5, m.strType).run());
        k.greeting = bindGreeting(insertGreeting_, s.greetings[0]).integer(1, k.person).run();
        k.child = insertChild_.integer(1, k.person).text(2, s.children[0].strName).text(3, s.children[0].strAlias).run();
        exec("COMMIT");
        return k;
    }

    void update(const Keys& k, const Sample& s) {
        exec("BEGIN");
        bindPerson(updatePerson_, s.person).integer(42, k.person).run();
        insertTodo_.integer(1, k.person).text(2, "01/10/01 追加された予定").run();
        for (std::size_t i = 0; i < s.phones.size(); ++i)
            updatePhone_.text(1, s.phones[i].strLabel).text(2, s.phones[i].strPhoneNumber)
                .integer(3, s.phones[i].intRank).text(4, s.phones[i].strType).integer(5, k.phones[i]).run();
        for (std::size_t i = 0; i < s.mails.size(); ++i)
            updateMail_.text(1, s.mails[i].strLabel).text(2, s.mails[i].strMailAddress)
                .integer(3, s.mails[i].intRank).text(4, s.mails[i].strType).integer(5, k.mails[i]).run();
        bindGreeting(updateGreeting_, s.greetings[0]).integer(1, k.greeting).run();
        updateChild_.text(1, s.children[0].strName).text(2, s.children[0].strAlias).integer(3, k.child).run();
        exec("COMMIT");
    }

    void erase(const Keys& k) {
        exec("BEGIN");
        deletePerson_.integer(1, k.person).run();
        exec("COMMIT");
    }

private:
    // T_PERSON's columns in the writers' order, which bindPerson follows.
    static std::string personColumns() {
        std::string out;
        for (const auto& c : lumo::schema::kPersonColumns)
            out += (out.empty() ? "\"" : ", \"") + std::string(c.name) + "\"";
        return out;
    }

    static std::string marks(int n) {
        std::string s;
        for (int i = 1; i <= n; ++i) s += (i > 1 ? ", ?" : "?") + std::to_string(i);
        return s;
    }
    static std::string assignments() {
        std::string out, columns = personColumns();
        int i = 1;
        for (std::size_t pos = 0; pos < columns.size();) {
            const std::size_t end = std::min(columns.find(", ", pos), columns.size());
            out += (i > 1 ? ", " : "") + columns.substr(pos, end - pos) + " = ?" + std::to_string(i);
            ++i;
            pos = end + 2;
        }
        return out;
    }

    Statement& bindPerson(Statement& st, const PersonInformation& p) {
        const std::string* texts[] = {&p.strLastAlias,    &p.strLastName,       &p.strFirstAlias,     &p.strFirstName,
                                      &p.strTitle,        &p.strNickName,       &p.strLabel1,         &p.strMemo1,
                                      &p.strLabel2,       &p.strMemo2,          &p.strHomeZip,        &p.strHomeAddress1,
                                      &p.strHomeAddress2, &p.strHomeURL,        &p.strLabel3,         &p.strMemo3,
                                      &p.strLabel4,       &p.strMemo4,          &p.strAlias,          &p.strCompany,
                                      &p.strPosition,     &p.strSection,        &p.strOfficeZip,      &p.strOfficeAddress1,
                                      &p.strOfficeAddress2, &p.strOfficeURL,    &p.strLabel5,         &p.strMemo5,
                                      &p.strLabel6,       &p.strMemo6};
        st.integer(1, p.lngTypeID);
        for (int i = 0; i < 30; ++i) st.text(i + 2, *texts[i]);
        st.number(32, p.dyBirthday).integer(33, p.intAge).text(34, p.strConstellation).text(35, p.strBlood);
        st.number(36, p.dyAnniversary).text(37, p.strMateAlias).text(38, p.strMate).text(39, p.strHobby);
        return st.text(40, p.strNote).text(41, p.strDefaut);
    }
    static Statement& bindGreeting(Statement& st, const GreetingInformation& g) {
        return st.integer(2, g.lngYear).integer(3, g.blnNewYear_Send ? -1 : 0).integer(4, g.blnNewYear_Receive ? -1 : 0)
            .integer(5, g.blnSummer_Send ? -1 : 0).integer(6, g.blnSummer_Receive ? -1 : 0)
            .integer(7, g.blnMidYear_Send ? -1 : 0).integer(8, g.blnMidYear_Receive ? -1 : 0)
            .integer(9, g.blnYearEnd_Send ? -1 : 0).integer(10, g.blnYearEnd_Receive ? -1 : 0).text(11, g.strMemo);
    }

    Handle handle_;
    sqlite3* db_ = handle_.db;
    Statement insertPerson_{db_, "INSERT INTO T_PERSON (" + personColumns() + ") VALUES (" +
                                                   marks(41) + ")"};
    Statement updatePerson_{db_, "UPDATE T_PERSON SET " + assignments() + " WHERE PERSON_ID = ?42"};
    Statement insertTodo_{db_, "INSERT INTO T_TODOLIST (CHK_FLAG, PERSON_ID, NOTE) VALUES (-1, ?1, ?2)"};
    Statement insertPhone_{db_, "INSERT INTO T_PHONE (PERSON_ID, LABEL, TEL_NUMBER, RANK, TYPE) VALUES (?1, ?2, ?3, ?4, ?5)"};
    Statement insertMail_{db_,
                          "INSERT INTO T_EMAIL (PERSON_ID, LABEL, MAIL_ADDRESS, RANK, TYPE) VALUES (?1, ?2, ?3, ?4, ?5)"};
    Statement insertGreeting_{
        db_, "INSERT INTO T_GREETING (PERSON_ID, TARGET, NEWYEAR_SEND, NEWYEAR_RECEIVE, SUMMER_SEND, SUMMER_RECEIVE, "
             "MIDYEAR_SEND, MIDYEAR_RECEIVE, YEAREND_SEND, YEAREND_RECEIVE, MEMO) VALUES (" + marks(11) + ")"};
    Statement insertChild_{db_, "INSERT INTO T_CHILDREN (PERSON_ID, CHILDREN, ALIAS) VALUES (?1, ?2, ?3)"};
    Statement updatePhone_{db_, "UPDATE T_PHONE SET LABEL = ?1, TEL_NUMBER = ?2, RANK = ?3, TYPE = ?4 WHERE PHONE_ID = ?5"};
    Statement updateMail_{db_,
                          "UPDATE T_EMAIL SET LABEL = ?1, MAIL_ADDRESS = ?2, RANK = ?3, TYPE = ?4 WHERE MAIL_ID = ?5"};
    Statement updateGreeting_{
        db_, "UPDATE T_GREETING SET TARGET = ?2, NEWYEAR_SEND = ?3, NEWYEAR_RECEIVE = ?4, SUMMER_SEND = ?5, "
             "SUMMER_RECEIVE = ?6, MIDYEAR_SEND = ?7, MIDYEAR_RECEIVE = ?8, YEAREND_SEND = ?9, YEAREND_RECEIVE = ?10, "
             "MEMO = ?11 WHERE GREETING_ID = ?1"};
    Statement updateChild_{db_, "UPDATE T_CHILDREN SET CHILDREN = ?1, ALIAS = ?2 WHERE CHILD_ID = ?3"};
    Statement deletePerson_{db_, "DELETE FROM T_PERSON WHERE PERSON_ID = ?1"};
};

Medians measureBaseline(const std::string& database, int calls) {
    Baseline b(database);
    std::vector<double> ins, upd, del;
    for (int i = 0; i < calls; ++i) {
        const Sample s = sample(i, "新");
        Baseline::Keys k;
        ins.push_back(timed([&] { k = b.insert(s); }));
        const Sample u = sample(i, "改");
        upd.push_back(timed([&] { b.update(k, u); }));
        del.push_back(timed([&] { b.erase(k); }));
    }
    return {median(ins), median(upd), median(del)};
}

}  // namespace

int main(int argc, char** argv) {
    lumo::db::configureSqliteForProgram();  // measured as the programs run
    const char* env = std::getenv("LUMO_BENCH_DATA");
    fs::path data = env && *env ? env : "/tmp/lumo-bench-data";
    int calls = 200;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view a = argv[i];
        if (a == "--data") data = argv[i + 1];
        else if (a == "--calls") calls = std::max(1, std::atoi(argv[i + 1]));
    }
    const lumo::bench::BenchData bench(data);
    const fs::path original = bench.personDatabase(100'000);
    if (!fs::exists(original)) {
        std::fprintf(stderr, "lumo_bench_person: %s is missing (scripts/bench creates it)\n", original.c_str());
        return 1;
    }
    try {
        fs::create_directories(bench.out(""));
        const fs::path ours = bench.out("person-write-ours.mdb");
        const fs::path plain = bench.out("person-write-baseline.mdb");
        for (const fs::path& copy : {ours, plain}) {
            fs::remove(copy.string() + "-wal");
            fs::remove(copy.string() + "-shm");
            fs::copy_file(original, copy, fs::copy_options::overwrite_existing);
        }
        const Medians lib = measureLibrary(ours.string(), calls);
        const Medians base = measureBaseline(plain.string(), calls);
        std::printf("Person writes on the 100,000-person file, median of %d calls "
                    "(3 phones, 2 mails, 1 greeting, 1 child, ToDo note)\n\n",
                    calls);
        std::printf("| operation | ours (ms) | baseline (ms) | baseline/ours |\n|---|---|---|---|\n");
        const auto row = [](const char* name, double ours, double baseline) {
            std::printf("| %s | %.3f | %.3f | %.3f |\n", name, ours, baseline, ours > 0 ? baseline / ours : 0.0);
        };
        row("SetPersonalInformation", lib.insert, base.insert);
        row("UpPersonalInformation", lib.update, base.update);
        row("DelPersonalInformation", lib.erase, base.erase);
        for (const fs::path& copy : {ours, plain}) fs::remove(copy);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumo_bench_person: %s\n", e.what());
        return 1;
    }
    return 0;
}
