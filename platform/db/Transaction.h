#pragma once

#include "Connection.h"

namespace platform::db {

// Rolls back on scope exit unless committed.
class Transaction {
public:
    explicit Transaction(Connection& connection) : connection_(connection) { connection_.beginTransaction(); }
    ~Transaction() {
        if (!done_ && connection_.inTransaction()) {
            try {
                connection_.rollback();
            } catch (...) {
                // the connection is gone; the server has dropped the transaction already
            }
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit() {
        connection_.commit();
        done_ = true;
    }

private:
    Connection& connection_;
    bool done_ = false;
};

} // namespace platform::db
