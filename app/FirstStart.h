#pragma once
// The program's first start on a machine, from the desktop menu: no connection entry
// names a database yet. The window then says where the entry is looked for and offers
// to create the demo database for a first look, as `init-db --demo` does.

#include <QString>
#include <QStringList>

namespace app {

// True when no connection file is found, or the one found has no entry of the program's
// connection name. A connection file that cannot be read, or a database that is named but
// cannot be opened, is not a first start: the start fails with its reason, which the
// clerk or the administrator must mend (offering the demo would hide it).
bool ConnectionEntryMissing();

// Where the connection file is looked for, in order.
QStringList ConnectionFileCandidates();

// Where the first start puts the demo database: the user's data folder, as scripts/run
// does ($XDG_DATA_HOME/marlith/demo/POSDATA.FDB).
QString DemoDatabasePath();

// The question the window asks, naming the places looked in and the demo's file.
QString FirstStartQuestion();

// Creates the demo database (kept when it already exists) and writes the connection
// entry and settings file that point at it where none exist yet; returns the lines
// init-db prints.
QStringList CreateDemoForFirstStart();

}  // namespace app
