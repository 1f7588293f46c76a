#include "greetings/AddressBook.h"

#include "client/AccessLibrary.h"
#include "platform/Error.h"
#include "engine/ConnectionString.h"

namespace lumo::greetings {

AddressBook::AddressBook(const std::filesystem::path& folder) : folder_(std::filesystem::absolute(folder)) {
    const std::filesystem::path database = folder_ / "Data" / "LumoBase.mdb";
    if (!std::filesystem::exists(database)) throw Error(database.string() + " がありません");
    const std::string connection = db::jetConnectionString(database.string());
    connection_.Open(connection);
    access_ = client::AccessLibrary::instance().create<LumoAccess::clsPidAccess>();
    if (access_->Initialize(connection)) throw Error(database.string() + " を開けません");
}

}  // namespace lumo::greetings
