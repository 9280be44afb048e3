#pragma once
// The user's own files and folders. A connection entry may hold a server's password, the
// query dump shows what a clerk asked for, and the embedded engine loads its plugins from
// a folder of the user's: none of them may be open to other users, whatever the umask
// of the process that makes them.

#include <QFileDevice>
#include <QString>

#include <sys/types.h>

namespace db {

// Read and write for the user alone.
inline constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Makes the folder and any missing parents with access for the user alone; folders that
// exist are left as they are. False when one cannot be made.
bool MakePrivatePath(const QString& path);

// Whether path is a real directory (not a link to one) owned by this user whose mode
// has none of the bits of `forbidden`: 077 when nobody else may enter it, 022 when
// nobody else may change what is in it.
bool IsPrivateFolder(const QString& path, mode_t forbidden);

// Whether nothing in the folder is a symbolic link or a second name (hard link) of a
// file: a file opened there by its name is the folder's own, not one planted elsewhere.
bool HoldsNoLinks(const QString& folder);

}  // namespace db
