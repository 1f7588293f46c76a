#include "tests/tools/ToolsTestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/SpawnActions.h"
#include "tools/init/InitCommand.h"

extern char** environ;

namespace lumo::test {

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumo_tools_XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

Db::Db(const std::filesystem::path& file) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + file.string());
}

void Db::exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string what = message ? message : "?";
        sqlite3_free(message);
        throw std::runtime_error(what + " in: " + sql);
    }
}

std::vector<std::vector<std::string>> Db::rows(const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(db_.get())) + " in: " + sql);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
    std::vector<std::vector<std::string>> result;
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int i = 0; i < sqlite3_column_count(raw); ++i) {
            const auto* value = sqlite3_column_text(raw, i);
            row.emplace_back(value ? reinterpret_cast<const char*>(value) : "<null>");
        }
        result.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) throw std::runtime_error(std::string(sqlite3_errmsg(db_.get())) + " in: " + sql);
    return result;
}

std::int64_t Db::integer(const std::string& sql) {
    const auto r = rows(sql);
    if (r.empty() || r[0].empty()) throw std::runtime_error("no row for: " + sql);
    return std::stoll(r[0][0]);
}

std::string Db::text(const std::string& sql) {
    const auto r = rows(sql);
    return r.empty() || r[0][0] == "<null>" ? std::string() : r[0][0];
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string makeEmptyDatabases(const std::filesystem::path& folder) {
    tools::InitOptions options;
    options.folder = folder;
    tools::createDatabases(options);
    return (folder / "Data" / "LumoBase.mdb").string();
}

namespace {

std::filesystem::path lumoBinary() {
    if (const char* dir = std::getenv("LUMO_BIN_DIR"); dir && *dir) return std::filesystem::path(dir) / "lumo";
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "lumo";
}

}  // namespace

RunResult runLumo(const std::vector<std::string>& args, const std::string& input) {
    const ScratchFolder io;
    const std::string inFile = (io.path() / "in").string();
    std::ofstream(inFile, std::ios::binary) << input;
    const std::string outFile = (io.path() / "out").string();
    const std::string errFile = (io.path() / "err").string();
    const std::string program = lumoBinary().string();

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, inFile.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), actions.get(), nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot run " + program);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) throw std::runtime_error("waitpid failed");

    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readFile(outFile);
    result.err = readFile(errFile);
    return result;
}

}  // namespace lumo::test
