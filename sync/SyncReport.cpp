#include <string>

#include "sync/SyncFolder.h"

namespace lumo::sync {

std::vector<std::string> describe(const SyncReport& report) {
    const auto n = [](int value) { return std::to_string(value); };
    std::vector<std::string> lines;
    lines.push_back("この住所録: 追加 " + n(report.addedHere) + " 件, 更新 " + n(report.updatedHere) + " 件, 削除 " +
                    n(report.deletedHere) + " 件");
    lines.push_back("サーバー: 追加 " + n(report.addedThere) + " 件, 更新 " + n(report.updatedThere) + " 件, 削除 " +
                    n(report.deletedThere) + " 件");
    if (report.paired > 0) lines.push_back("同じ人として組にした人: " + n(report.paired) + " 件");
    if (report.kept > 0)
        lines.push_back("片方で削除され、もう片方で変更されていたので残した人: " + n(report.kept) + " 件");
    if (report.conflicts > 0)
        lines.push_back("両方で変更されていた人: " + n(report.conflicts) + " 件 (新しい方を採り、もう一方を " +
                        report.conflictFolder.string() + " に保存しました)");
    for (const std::string& file : report.conflictFiles) lines.push_back("  " + file);
    if (report.deferred > 0)
        lines.push_back("同期中にサーバーで変更されたので次の同期に回した人: " + n(report.deferred) + " 件");
    for (const std::string& note : report.notes) lines.push_back(note);
    return lines;
}

}  // namespace lumo::sync
