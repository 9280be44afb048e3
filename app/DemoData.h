#pragma once
// Creating a database for the program: the schema, and for the demo a small, realistic
// back office in Traditional Chinese.

#include <QString>

#include "db/ConnectionParams.h"

namespace app {

// Statements that fill a schema-only database with the demo data set: four projects,
// orders with several lines (one disabled, one transferred, one whose TS is null, one
// whose DISABLE_FLAG is "false"), products with units, costs and suppliers, a bill of
// materials three levels deep with shared sub-assemblies, a component missing from
// PRODUCT, divisors null and fractional, employees.
QString DemoDataScript();

// Creates the database with the schema, and with the demo data when demo is set: a local
// file (embedded engine) or, for "host:/path" or "host/port:/path", a file on a Firebird
// server, created by the server with the account the parameters give. Refuses to touch
// an existing database.
void CreateProgramDatabase(const QString& path, bool demo);
void CreateProgramDatabase(db::ConnectionParams params, bool demo);

// Writes, where none exists yet, a connection entry and a settings file that point at
// the demo database; returns one line per file for the user ("wrote …" / "kept …").
// The entry names the database as the parameters do (a server's location as given, a
// local file by its whole path) with their account.
QStringList WriteDemoConfiguration(const QString& databasePath);
QStringList WriteDemoConfiguration(const db::ConnectionParams& params);

}  // namespace app
