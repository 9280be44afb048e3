#pragma once
// The run's work table: it carries the listed orders' numbers into the bill-of-materials
// query. It is created when the main window is created, emptied and filled at each
// expansion, and dropped when the window closes, always on the reading connection.

#include <QString>
#include <QTime>
#include <utility>
#include <vector>

#include "db/Connection.h"

namespace db {

// The data module's catalogue check: true when the database has no table of that name
// (compared upper case with the catalogue's names). Runs on its own connection.
class TableCatalogue {
public:
    explicit TableCatalogue(Connection& catalogue) : query_(catalogue) {}
    bool TableIsMissing(const QString& name);

private:
    Query query_;
};

// "TMP_BILLID" + the time "hhnnss" + "_" + eight hex digits that keep two runs started
// in the same second apart (25 characters, inside Firebird's 31).
QString MakeWorkTableName(const QTime& created, quint32 unique);
// The same with the current time and a random suffix.
QString NewWorkTableName();

class WorkTable {
public:
    WorkTable(Connection& reading, QString name) : connection_(reading), name_(std::move(name)) {}

    const QString& name() const { return name_; }

    // Creates the table unless the catalogue already has it (an existing table is used
    // unchanged).
    void CreateIfMissing(TableCatalogue& catalogue);
    void Empty();
    // One row per (order number, project code), through one prepared insert.
    void Fill(const std::vector<std::pair<QString, QString>>& rows);
    // Drops the table if it exists. The reading connection's prepared statements are
    // freed first: the server refuses to drop a table that statements are prepared on.
    void DropIfExists(TableCatalogue& catalogue);

private:
    Connection& connection_;
    QString name_;
};

}  // namespace db
