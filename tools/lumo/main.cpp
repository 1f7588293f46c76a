// lumo: administration and headless use of the suite's databases.
#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "tools/export/ExportCommand.h"
#include "tools/import/ImportCommand.h"
#include "tools/init/InitCommand.h"
#include "tools/lumo/Command.h"
#include "tools/sql/SqlCommand.h"

namespace lumo::tools {
namespace {

// Each subcommand adds one entry here.
std::array<const Command*, 4> commands() { return {&kInitCommand, &kImportCommand, &kExportCommand, &kSqlCommand}; }

void printUsage(std::ostream& out) {
    out << "使い方 / Usage:\n";
    for (const Command* command : commands()) out << command->usage;
    out << "  lumo --help\n"
           "      この説明を表示します / shows this text\n"
           "終了コード / exit status: 0 成功 success, 1 失敗 failure, 2 使い方の誤り usage error\n";
}

int run(std::vector<std::string_view> args) {
    if (args.empty()) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    if (isHelpOption(args[0]) || args[0] == "help") {
        printUsage(std::cout);
        return kExitOk;
    }
    for (const Command* command : commands()) {
        if (args[0] != command->name) continue;
        const std::string prefix = "lumo " + std::string(command->name) + ": ";
        try {
            return command->run(Arguments(args).subspan(1), std::cout, std::cerr);
        } catch (const UsageError& e) {
            std::cerr << prefix << e.what() << "\n使い方 / Usage:\n" << command->usage;
            return kExitUsage;
        } catch (const std::exception& e) {
            std::cout.flush();
            std::cerr << prefix << e.what() << '\n';
            return kExitFailure;
        }
    }
    std::cerr << "lumo: 知らないコマンドです (unknown command): " << args[0] << '\n';
    printUsage(std::cerr);
    return kExitUsage;
}

}  // namespace

}  // namespace lumo::tools

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    return lumo::tools::run(std::move(args));
}
