#pragma once
// Shared by the files of db/ that call the Firebird client library, and by no file
// outside db/: the status a call fills in, and the DbError (Interrupted while the run is
// ending) that a failed call throws with the server's own message and codes.

#include <ibase.h>

#include <string>

namespace db {

struct Status {
    ISC_STATUS_ARRAY v{};
    ISC_STATUS* operator&() { return v; }
    bool failed() const { return v[0] == 1 && v[1] != 0; }
};

// A failed call's status as DbError; context, when given, leads the message.
[[noreturn]] void Throw(const Status& st, const std::string& context = {});
void Check(const Status& st, const std::string& context = {});

}  // namespace db
