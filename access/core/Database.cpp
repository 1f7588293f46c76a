#include "access/core/Database.h"

#include "platform/ErrorReport.h"
#include "platform/Error.h"

namespace lumo::access {

bool Database::initialize(std::string_view locationCode, const std::string& connectionString) {
    return reported(locationCode, [&] {
        connection_ = std::make_unique<db::Connection>();
        connection_->Open(connectionString, {}, {}, -1);
    });
}

db::Connection& Database::get() const {
    if (!connection_) throw Error("オブジェクト変数または With ブロック変数が設定されていません。");
    return *connection_;
}

}  // namespace lumo::access
