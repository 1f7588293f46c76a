#include "tests/sync/RadicaleServer.h"

#include <fstream>
#include <sstream>

namespace lumo::test {
namespace fs = std::filesystem;
namespace {

void write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

}  // namespace

RadicaleServer::RadicaleServer(const std::map<std::string, std::string>& users) {
    port_ = freeLoopbackPort();
    const fs::path storage = folder_.path() / "storage";
    fs::create_directories(storage / "collection-root");
    std::string auth = "[auth]\ntype = none\n";
    if (!users.empty()) {
        std::string lines;
        for (const auto& [user, password] : users) lines += user + ":" + password + "\n";
        write(folder_.path() / "users", lines);
        auth = "[auth]\ntype = htpasswd\ndelay = 0\nhtpasswd_filename = " + (folder_.path() / "users").string() +
               "\nhtpasswd_encryption = plain\n";
    }
    write(folder_.path() / "config", "[server]\nhosts = 127.0.0.1:" + std::to_string(port_) + "\n" + auth +
                                         "[rights]\ntype = " + (users.empty() ? "authenticated" : "owner_only") +
                                         "\n[storage]\nfilesystem_folder = " + storage.string() +
                                         "\n[logging]\nlevel = error\n");
    process_ = std::make_unique<ServerProcess>(
        std::vector<std::string>{"/usr/bin/python3", "-m", "radicale", "--config", (folder_.path() / "config").string()},
        folder_.path() / "log", port_);
}

RadicaleServer::~RadicaleServer() = default;

std::string RadicaleServer::makeAddressBook(const std::string& user, const std::string& name) {
    const fs::path book = folder_.path() / "storage" / "collection-root" / user / name;
    fs::create_directories(book);
    write(book / ".Radicale.props", R"({"tag": "VADDRESSBOOK"})");
    return origin() + "/" + user + "/" + name + "/";
}

fs::path RadicaleServer::bookFolder(const std::string& user, const std::string& name) const {
    return folder_.path() / "storage" / "collection-root" / user / name;
}

std::map<std::string, std::string> RadicaleServer::storedCards(const std::string& user, const std::string& name) const {
    std::map<std::string, std::string> out;
    const fs::path book = folder_.path() / "storage" / "collection-root" / user / name;
    for (const auto& entry : fs::directory_iterator(book)) {
        const std::string file = entry.path().filename().string();
        if (file.starts_with(".") || !entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        out[file] = text.str();
    }
    return out;
}

}  // namespace lumo::test
