#pragma once
// One transaction around a command's statements on the reading connection. Outside a
// transaction every statement commits on its own, and each commit waits for the disk;
// a command of a thousand lookups would spend most of its time there. Read committed,
// so every statement still sees what other clients have committed, as before.
//
// The transaction is committed when the command ends, also when it ends with an error:
// the work done before the error (the work table's rows) stays, as it did when each
// statement committed on its own. A command cut short because the program is ending is
// rolled back instead: nothing it had begun is kept. A connection already in a
// transaction is left alone.

#include "db/Connection.h"
#include "db/Interrupt.h"

namespace mrp {

class CommandTransaction {
public:
    CommandTransaction(db::Connection& connection, bool use)
        : connection_(connection), own_(use && !connection.InTransaction()) {
        if (own_) connection_.StartTransaction();
    }
    ~CommandTransaction() {
        if (!own_) return;
        try {
            if (db::InterruptRequested())
                connection_.Rollback();
            else
                connection_.Commit();
        } catch (...) {
            try {
                connection_.Rollback();
            } catch (...) {
                // The attachment is lost; the command's own error says more.
            }
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

// Ends a failed write's transaction before its error goes on. A lost attachment ends its
// transaction by itself, so a rollback that fails is passed over: the first error says why.
inline void RollbackQuietly(db::Connection& c) {
    try {
        c.Rollback();
    } catch (...) {
    }
}

}  // namespace mrp
