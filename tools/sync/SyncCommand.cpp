#include "tools/sync/SyncCommand.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <string>

#include "platform/Error.h"
#include "sync/SyncFolder.h"

namespace lumo::tools {
namespace {

constexpr std::string_view kUsage =
    "  lumo sync DIR --url URL [--user NAME] [--password-file FILE] [--cacert FILE] [--timeout SECONDS] [--insecure]\n"
    "      DIR の住所録と CardDAV サーバーのアドレス帳一つを双方向に同期します。\n"
    "      パスワードは --password-file のファイルの一行目から読みます (コマンド行には書きません)。\n"
    "      https は証明書を確かめます (--cacert: 自前の認証局の証明書)。暗号化しない http は\n"
    "      この計算機 (127.0.0.1) のサーバーにだけ使え、ほかには --insecure が要ります。\n"
    "      同期の記録は DIR/Data/LumoSync.sqlite、両方で変更された人のもう一方の版は DIR/SyncConflicts/ に。\n"
    "      Two-way sync of DIR's address book with one CardDAV address book. The password\n"
    "      is read from the first line of --password-file, never from the command line.\n";

constexpr std::string_view kExamples =
    "  lumo sync . --url http://127.0.0.1:5232/taro/contacts/\n"
    "  lumo sync . --url https://dav.example.jp/taro/contacts/ --user taro --password-file ~/.lumo-dav\n";

std::string readPassword(std::string_view file) {
    std::ifstream in{std::string(file), std::ios::binary};
    std::string line;
    if (!in || (!std::getline(in, line) && !in.eof()))
        throw Error("パスワードのファイル '" + std::string(file) + "' を読めません: " + std::strerror(errno));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string formatSeconds(double seconds) {
    std::ostringstream out;
    out << std::fixed << std::setprecision(2) << seconds;
    return out.str();
}

int runSync(Arguments args, std::ostream& out, std::ostream&) {
    std::string_view folder;
    sync::SyncSettings settings;
    std::string_view passwordFile;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const auto value = [&]() -> std::string_view {
            if (i + 1 == args.size()) throw UsageError(std::string(arg) + " には値が要ります (" + std::string(arg) + " expects a value)");
            return args[++i];
        };
        if (arg == "--url") settings.url = value();
        else if (arg == "--user") settings.http.user = value();
        else if (arg == "--password-file") passwordFile = value();
        else if (arg == "--cacert") settings.http.caFile = value();
        else if (arg == "--insecure") settings.http.allowPlainHttp = true;
        else if (arg == "--timeout") {
            const std::string text(value());
            char* end = nullptr;
            const long seconds = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || seconds <= 0 || seconds > 3600)
                throw UsageError("--timeout には 1 から 3600 までの秒数を指定してください (--timeout expects seconds)");
            settings.http.timeoutSeconds = seconds;
        } else if (arg == "--password")
            throw UsageError("パスワードはコマンド行に書かず、--password-file のファイルに書いてください "
                             "(the password only from --password-file)");
        else if (arg.starts_with("-")) throw UsageError("知らないオプションです (unknown option): " + std::string(arg));
        else if (!folder.empty()) throw UsageError("フォルダーは一つだけ指定してください (expects one DIR)");
        else folder = arg;
    }
    if (folder.empty()) throw UsageError("同期するフォルダーを指定してください (expects DIR)");
    if (settings.url.empty()) throw UsageError("--url でアドレス帳の URL を指定してください (expects --url URL)");
    if (!passwordFile.empty()) settings.http.password = readPassword(passwordFile);
    const sync::SyncReport report = sync::syncFolder(std::filesystem::path(folder), settings);
    for (const std::string& line : sync::describe(report)) out << line << '\n';
    out << "同期しました (" << (report.usedSyncToken ? "同期トークン" : "ETag") << ", 要求 " << report.requests
        << " 回, サーバー待ち " << formatSeconds(report.serverSeconds) << " 秒, 全体 " << formatSeconds(report.totalSeconds)
        << " 秒)\n";
    return kExitOk;
}

}  // namespace

const Command kSyncCommand{"sync", kUsage, kExamples, runSync};

}  // namespace lumo::tools
