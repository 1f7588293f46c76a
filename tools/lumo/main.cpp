// lumo: administration and headless use of the suite's databases.
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/MessageSink.h"
#include "engine/ProgramSettings.h"
#include "tools/export/ExportCommand.h"
#if LUMO_HAVE_IMPORT
#include "tools/import/ImportCommand.h"
#endif
#include "tools/greetings/GreetingsCommand.h"
#include "tools/init/InitCommand.h"
#include "tools/lumo/Arguments.h"
#include "tools/lumo/Command.h"
#include "tools/lumo/ReportLine.h"
#include "tools/lumo/Version.h"
#include "tools/print/PrintCommand.h"
#include "tools/postal/PostalCommand.h"
#include "tools/sql/SqlCommand.h"
#include "tools/vcard/VCardCommand.h"
#if LUMO_HAVE_SYNC
#include "tools/sync/SyncCommand.h"
#endif

namespace lumo::tools {
namespace {

// Each subcommand adds one line here; their examples run in this order.
const std::vector<const Command*>& commands() {
    static const std::vector<const Command*> all = {
        &kInitCommand,
#if LUMO_HAVE_IMPORT  // built where libmdb is found (tools/CMakeLists.txt)
        &kImportCommand,
#endif
        &kExportCommand,
        &kSqlCommand,
        &kVCardCommand,
        &kGreetingsCommand,
        &kPrintCommand,
#if LUMO_HAVE_SYNC  // built where libcurl and libxml2 are found (sync/CMakeLists.txt)
        &kSyncCommand,
#endif
        &kPostalCommand,
    };
    return all;
}

void printUsage(std::ostream& out) {
    out << "使い方 / Usage:\n";
    for (const Command* command : commands()) out << command->usage;
    out << "  lumo COMMAND --help\n"
           "      コマンドの説明と例を表示します / shows a command's usage and examples\n"
           "  lumo --version\n"
           "      版を表示します / shows the version\n"
           "終了コード / exit status: 0 成功 success, 1 失敗 failure, 2 使い方の誤り usage error\n";
}

void printCommandHelp(const Command& command, std::ostream& out) {
    out << "使い方 / Usage:\n" << command.usage << "例 / Examples:\n" << command.examples;
}

int runCommand(const Command& command, Arguments args) {
    if (std::ranges::any_of(optionWords(args), isHelpOption)) {
        printCommandHelp(command, std::cout);
        return kExitOk;
    }
    // Reports of the library and the engine go to standard error, one line
    // each, under the command's name like every other failure.
    const ScopedMessageSink sink(
        [&](const MessageRequest& request) { return printReport(std::cerr, command.name, request); });
    const std::string prefix = "lumo " + std::string(command.name) + ": ";
    try {
        return command.run(args, std::cout, std::cerr);
    } catch (const UsageError& e) {
        std::cerr << prefix << e.what() << "\n使い方 / Usage:\n" << command.usage;
        return kExitUsage;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << prefix << reportLine(e.what()) << '\n';
        return kExitFailure;
    }
}

int run(const std::vector<std::string_view>& args) {
    if (args.empty()) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    if (isHelpOption(args[0]) || args[0] == "help") {
        printUsage(std::cout);
        return kExitOk;
    }
    if (args[0] == "--version") {
        std::cout << "lumo " << kVersion << '\n';
        return kExitOk;
    }
    for (const Command* command : commands())
        if (args[0] == command->name) return runCommand(*command, Arguments(args).subspan(1));
    std::cerr << "lumo: 知らないコマンドです (unknown command): " << args[0] << '\n';
    printUsage(std::cerr);
    return kExitUsage;
}

}  // namespace
}  // namespace lumo::tools

int main(int argc, char** argv) {
    lumo::db::configureSqliteForProgram();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return lumo::tools::run(args);
}
