#pragma once
// One transaction around a command's statements on the reading connection. Outside a
// transaction every statement commits on its own, and each commit waits for the disk;
// a command of a thousand lookups would spend most of its time there. Read committed,
// so every statement still sees what other clients have committed.
//
// The transaction is committed when the command ends, also when it ends with an error:
// the work done before the error (the work table's rows) stays for the clerk to see. A
// command cut short because the program is ending is rolled back instead: nothing it had
// begun is kept. A connection already in a transaction is left alone.

#include "db/Connection.h"
#include "db/Interrupt.h"

namespace mrp {

// Ends a transaction that failed, or whose work is not wanted, before its error goes on.
// A lost attachment ends its transaction by itself, so a rollback that fails is passed
// over: the first error says why.
inline void RollbackQuietly(db::Connection& c) {
    try {
        c.Rollback();
    } catch (...) {
    }
}

class CommandTransaction {
public:
    explicit CommandTransaction(db::Connection& connection)
        : connection_(connection), own_(!connection.InTransaction()) {
        if (own_) connection_.StartTransaction();
    }
    ~CommandTransaction() {
        if (!own_) return;
        if (db::InterruptRequested()) {
            RollbackQuietly(connection_);
            return;
        }
        try {
            connection_.Commit();
        } catch (...) {
            RollbackQuietly(connection_);
        }
    }
    CommandTransaction(const CommandTransaction&) = delete;
    CommandTransaction& operator=(const CommandTransaction&) = delete;

    // Commits now, so that a failing commit is reported.
    void Commit() {
        if (!own_) return;
        own_ = false;
        connection_.Commit();
    }

private:
    db::Connection& connection_;
    bool own_;
};

}  // namespace mrp
