#pragma once
// Shared between db/Connection.cpp and db/Query.cpp only: what a connection holds of
// the client library (the attachment, its explicit transaction, the queries on it),
// which its queries prepare and run their statements on.

#include <ibase.h>

#include <set>

#include "db/Connection.h"
#include "db/LiveAttachments.h"

namespace db {

struct Connection::Impl {
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;  // the explicit transaction, 0 when none
    std::set<Query*> queries;
    LiveAttachment live;
    qint64 attachmentId = 0;  // read on first use, 0 until then

    void Register() { RegisterAttachment(live, db); }
    void Unregister() { UnregisterAttachment(live); }
};

}  // namespace db
