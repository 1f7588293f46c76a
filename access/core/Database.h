#pragma once
// An access object's engine connection (cnnDatabase): Empty until
// Initialize, replaced by every Initialize, released when the object ends.
#include <memory>
#include <string>
#include <string_view>

#include "engine/Connection.h"

namespace lumo::access {

class Database {
public:
    // Creates a new connection (releasing the previous one) and opens it.
    // Reports under `locationCode` and returns true when that fails; the
    // object then holds a connection that is not open.
    bool initialize(std::string_view locationCode, const std::string& connectionString);

    // The connection for a statement; fails while it is Empty (no
    // Initialize yet). A connection whose open failed is handed out, and
    // the engine refuses to work on it.
    db::Connection& get() const;

    void release() noexcept { connection_.reset(); }

private:
    std::unique_ptr<db::Connection> connection_;
};

}  // namespace lumo::access
