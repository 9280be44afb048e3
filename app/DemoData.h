#pragma once
// Creating a database for the program: the schema, and for the demo a small, realistic
// back office in Traditional Chinese.

#include <QString>

namespace app {

// Statements that fill a schema-only database with the demo data set: four projects,
// orders with several lines (one disabled, one transferred, one whose TS is null, one
// whose DISABLE_FLAG is "false"), products with units, costs and suppliers, a bill of
// materials three levels deep with shared sub-assemblies, a component missing from
// PRODUCT, divisors null and fractional, employees.
QString DemoDataScript();

// Creates the database file at path (embedded) with the schema, and with the demo data
// when demo is set. Refuses to touch an existing file.
void CreateProgramDatabase(const QString& path, bool demo);

// Writes, where none exists yet, a connection entry and a settings file that point at
// the demo database; returns one line per file for the user ("wrote …" / "kept …").
QStringList WriteDemoConfiguration(const QString& databasePath);

}  // namespace app
