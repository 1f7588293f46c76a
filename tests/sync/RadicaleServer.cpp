#include "tests/sync/RadicaleServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace lumo::test {
namespace fs = std::filesystem;
namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    const sockaddr_in address = loopback(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

void write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

}  // namespace

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no free port");
    const int port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

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
    const std::string config = (folder_.path() / "config").string();
    const std::string log = (folder_.path() / "log").string();
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) {
            ::dup2(fd, STDOUT_FILENO);
            ::dup2(fd, STDERR_FILENO);
        }
        ::execl("/usr/bin/python3", "python3", "-m", "radicale", "--config", config.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 200; ++i) {
        if (accepts(port_)) return;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            std::ifstream in(log);
            std::stringstream text;
            text << in.rdbuf();
            throw std::runtime_error("radicale did not start: " + text.str());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    throw std::runtime_error("radicale did not listen within 10 s");
}

RadicaleServer::~RadicaleServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
}

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
