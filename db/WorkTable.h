#pragma once
// The run's work table: it carries the listed orders' numbers into the bill-of-materials
// query. It is created when the main window is created, emptied and filled at each
// expansion, and dropped when the window closes, always on the reading connection.
//
// A run that is killed outright (or whose database went away) cannot drop its table. Its
// name therefore says which attachment made it (the reading connection, which stays
// attached for the whole run), and every run, as it makes its own table, drops the tables
// whose makers are no longer attached (RemoveEndedRuns).

#include <QString>
#include <QTime>
#include <utility>
#include <vector>

#include "db/Connection.h"

namespace db {

// What a table's name tells about the run that made it.
struct WorkTableOwner {
    enum class Kind {
        NotAWorkTable,  // any other name, the design's "TMP_BILLID" + hhnnss included
        Attachment,     // made by the run whose reading attachment is `attachment`
        Unattributed,   // made by an earlier version of this program: no owner recorded
    };
    Kind kind = Kind::NotAWorkTable;
    qint64 attachment = 0;
};

// "TMP_BILLID" + the time "hhnnss" + "_AT" + the reading attachment's number in decimal
// (CURRENT_CONNECTION). The number is unique among the database's open attachments, so
// two live runs never share a name; up to twelve digits keep the name within Firebird's
// 31 characters (a larger number throws DbError).
QString MakeWorkTableName(const QTime& created, qint64 attachment);
// The owner of a table of that name: MakeWorkTableName's names, and the earlier
// versions' "TMP_BILLID" + hhnnss + "_" + eight hexadecimal digits (a random number).
WorkTableOwner WorkTableOwnerOf(const QString& name);

// The data module's catalogue check: true when the database has no table of that name
// (compared upper case with the catalogue's names). Runs on its own connection.
class TableCatalogue {
public:
    explicit TableCatalogue(Connection& catalogue) : query_(catalogue) {}
    bool TableIsMissing(const QString& name);

    // The tables whose names start with "TMP_BILLID" and that belong to the connection's
    // user (the monitoring tables show an ordinary user the attachments of that user
    // only, so only that user's tables can be told dead or alive).
    QStringList WorkTableCandidates();

    struct Attachments {
        std::vector<qint64> ids;  // every attachment to the database, this one included
        // True when an attachment of another copy of the program may be open: one from a
        // process called "marlith" other than this connection, or an embedded attachment
        // of another process (its program cannot be told).
        bool anotherCopy = false;
    };
    // The attachments open now, read in a snapshot of its own. `ownAttachments` are this
    // run's other connections (they do not count as another copy).
    Attachments OpenAttachments(const std::vector<qint64>& ownAttachments);

private:
    Query query_;
};

class WorkTable {
public:
    WorkTable(Connection& reading, QString name) : connection_(reading), name_(std::move(name)) {}

    const QString& name() const { return name_; }

    // Creates the table, with an index on masterbillid, unless the catalogue already has
    // it (an existing table is used unchanged).
    void CreateIfMissing(TableCatalogue& catalogue);
    void Empty();
    // One row per (order number, project code), through one prepared insert.
    void Fill(const std::vector<std::pair<QString, QString>>& rows);
    // Drops the table if it exists. The reading connection's prepared statements are
    // freed first: the server refuses to drop a table that statements are prepared on.
    void DropIfExists(TableCatalogue& catalogue);

    // Drops the work tables of runs that have ended, never this one's: a table whose
    // maker's attachment is no longer open, and a table of an earlier version of the
    // program (no maker recorded) when no other copy of the program is attached. A table
    // that cannot be dropped (another run removing it at the same moment, a statement of
    // someone else's on it) is left for a later run. Returns the names dropped.
    QStringList RemoveEndedRuns(TableCatalogue& catalogue);

private:
    Connection& connection_;
    QString name_;
};

}  // namespace db
