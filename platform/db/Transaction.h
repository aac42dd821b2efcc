#pragma once

#include "Batch.h"
#include "Connection.h"

namespace platform::db {

// One transaction for one scope: the commit is explicit, and a transaction still open on the connection
// when the scope ends (a failure on the way) is rolled back.
class Transaction {
public:
    enum class Start {
        Now,      // begins in the constructor; a second start joins the open transaction
        WithBatch // begins as a step of a batch (beginWith), sharing the batch's one wait for the server
    };

    explicit Transaction(Connection& connection, Start start = Start::Now) : connection_(connection) {
        if (start == Start::Now)
            connection_.beginTransaction();
    }
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

    // Begins when `batch` runs, before the statements added after this.
    void beginWith(Batch& batch) { batch.begin(); }

    void commit() {
        connection_.commit();
        done_ = true;
    }
    // Commits when `batch` runs, after the statements added before this; a batch that fails leaves
    // the transaction to be rolled back when the scope ends.
    void commitWith(Batch& batch) { batch.commit(); }

private:
    Connection& connection_;
    bool done_ = false;
};

} // namespace platform::db
