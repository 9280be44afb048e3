#pragma once
// The query dump: the last order or bill-of-materials query, rewritten before each one
// runs, so that a clerk's question about a list can be answered by running the same
// statement by hand. Lines end with CR LF and are written in the database's code page.
//
// The file is per user ($XDG_CACHE_HOME/marlith/query.txt, else ~/.cache/marlith/
// query.txt), never a fixed path in a directory that every user may write; the file and
// the folders made for it are the user's alone.

#include <QString>
#include <QStringList>
#include <stdexcept>

#include "db/CodePage.h"

namespace mrp {

class QueryDumpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

QString DefaultQueryDumpPath();

// Replaces the file's content with the lines. Throws QueryDumpError naming the file when
// it cannot be written (its folder is created when missing), and db::DbError when a line
// holds a character the code page cannot store.
void WriteQueryDump(const QString& path, const QStringList& lines, const db::CodePage& codePage);

}  // namespace mrp
