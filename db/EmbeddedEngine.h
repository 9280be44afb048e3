#pragma once
// The embedded engine's environment, set before the first embedded attachment of the
// process: a lock folder this user may write, shared by every process of the program,
// and the engine's shared mode, so that several processes open one database file.

namespace db {

// Sets both up once per process (later calls do nothing).
void PrepareEmbeddedEngine();

}  // namespace db
