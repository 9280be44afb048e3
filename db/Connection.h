#pragma once
// One attachment to the database through the Firebird client library, with at most one
// explicit transaction at a time, and the statements (Query) that run on it.
//
// Statements run outside an explicit transaction are committed on their own (read
// committed), as the program's implicit transactions are. Explicit transactions are
// read committed too; the id is a label only.
//
// Not thread-safe: one thread uses a connection and its queries. Queries must not
// outlive their connection.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

#include "db/CodePage.h"
#include "db/ConnectionParams.h"
#include "db/Error.h"

namespace db {

class Connection {
public:
    // A closed connection for the named entry; Open() loads the entry.
    explicit Connection(QString name = kConnectionName);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& name() const { return name_; }

    // Use these parameters instead of loading the named entry (tests, init-db).
    void SetParams(const ConnectionParams& params);
    const ConnectionParams& params() const { return params_; }

    // The page cache of this attachment, in pages, taken when it opens. It counts only on
    // an embedded database, where every attachment has a cache of its own in this process;
    // a server's cache is shared by all its clients and is the server's to size. 0 (the
    // default) leaves the engine's size.
    void SetPageCache(int pages) { pageCache_ = pages; }

    void Open();   // no-op when open
    void Close();  // rolls back an open explicit transaction
    // Drops every prepared statement of this connection's queries. The server refuses
    // to drop a table that an attachment still has statements prepared on.
    void FreeStatements();
    bool Connected() const;

    // Creates a new database file (embedded or on a server) and leaves it closed.
    static void CreateDatabase(const ConnectionParams& params, int pageSize = 8192);

    void StartTransaction(int id = 1);  // throws when one is active
    // A transaction that reserves the tables for protected write: other clients may read
    // them but not write them until it ends, and it waits (as the connection's lock
    // settings say) for clients already writing them. Serializes work that the
    // database's own constraints may not guard.
    void StartTransactionReserving(const QStringList& tables);
    // A read-only transaction that sees the database as it was when it began (snapshot
    // isolation): a report of several statements, or of one long statement, reads one
    // state whatever other clients commit meanwhile. Throws when one is active.
    void StartSnapshot();
    void Commit();
    void Rollback();
    bool InTransaction() const;

    // The attachment's number on the server (CURRENT_CONNECTION), read once per
    // attachment; opens the connection. Unique among the database's open attachments.
    qint64 AttachmentId();

    const CodePage& codePage() const { return codePage_; }

    // Statements prepared and executed on this connection since it was created; the
    // benchmarks count round trips with it.
    long statementsExecuted() const { return executed_; }

private:
    friend class Query;
    struct Impl;
    void* transactionForStatement(bool& implicit);  // opens on first use
    void endImplicit(void* tr, bool commit);
    void* handle();

    QString name_;
    ConnectionParams params_;
    bool paramsSet_ = false;
    int pageCache_ = 0;
    CodePage codePage_;
    std::unique_ptr<Impl> d_;
    long executed_ = 0;
};

enum class FieldType { Text, Integer, Float, Other };

// A read-only snapshot transaction (Connection::StartSnapshot) for as long as it lives. It
// has written nothing, so it is ended however the reading ends, and a failure to end it (a
// lost attachment ends it by itself) is passed over.
class ReadSnapshot {
public:
    explicit ReadSnapshot(Connection& connection) : connection_(connection) { connection_.StartSnapshot(); }
    ~ReadSnapshot() {
        try {
            connection_.Commit();
        } catch (...) {
            try {
                connection_.Rollback();
            } catch (...) {
            }
        }
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    Connection& connection_;
};

// A column of the current result, read with the program's null rules: a null reads as
// empty text and as 0; a float reads as text in its shortest general form.
class Field {
public:
    const QString& fieldName() const { return name_; }
    FieldType type() const { return type_; }
    int size() const { return size_; }  // characters for text, 0 otherwise

    bool IsNull() const;
    QString AsString() const;
    int AsInteger() const;   // throws DbError when the value is not a whole number in range
    double AsFloat() const;  // throws DbError when the text is not a number
    QVariant AsVariant() const;  // null is a null QVariant

private:
    friend class Query;
    QString name_;
    FieldType type_ = FieldType::Other;
    int size_ = 0;
    const QVariant* value_ = nullptr;  // current row's value; nullptr at end of data
};

class Query {
public:
    explicit Query(Connection& connection);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // Statement text as a list of lines; the statement is the lines each followed by a
    // line break. Changing the text closes the query and drops its prepared statement.
    void Clear();
    void Add(const QString& line);
    void SetSQL(const QStringList& lines);
    const QStringList& SQL() const { return lines_; }
    QString Text() const;

    // Named parameters (":NAME" in the text; names match without regard to case). The
    // value's type gives the parameter's SQL type: QString text, int / qint64 whole
    // number, double float; a null QVariant sends null. Parameters keep their values
    // across executions until set again or the text changes.
    void SetParam(const QString& name, const QVariant& value);

    // A statement whose parameters are "?" markers, taken as it stands (no ":NAME" is
    // rewritten: an EXECUTE BLOCK's body names its own inputs ":X"), with values by
    // position. SetSQL returns the query to named parameters.
    void SetPositionalSQL(const QString& text);
    // The values by position, to change in place: a statement executed again and again
    // with most of its values new each time keeps the vector and its unchanged values.
    std::vector<QVariant>& PositionalParams() { return positionalValues_; }

    void Execute();  // a statement that returns no rows (or one row, RETURNING)
    void Open();     // a select: fetches every row; the current row is the first
    void Close();
    bool Active() const { return active_; }
    // Drops the prepared statement (it is prepared again on the next run).
    void Unprepare();

    void Next();
    bool Eof() const;
    int RecordCount() const { return static_cast<int>(rows_.size()); }
    int RowsAffected() const { return rowsAffected_; }

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    const Field& Fields(int index) const;
    const Field& FieldByName(const QString& name) const;  // throws when absent
    const Field* FindField(const QString& name) const;    // nullptr when absent

    // All fetched rows, for data sets that copy a result at once.
    const std::vector<std::vector<QVariant>>& Rows() const { return rows_; }

private:
    struct Impl;
    void Prepare();
    void Run(bool select);
    void Bind(void* transaction);  // the statement's transaction, for blob parameters
    void PointFields();

    Connection& connection_;
    QStringList lines_;
    QVariantMap paramValues_;  // upper-case name -> value
    bool positional_ = false;
    std::vector<QVariant> positionalValues_;
    std::unique_ptr<Impl> d_;
    std::vector<Field> fields_;
    std::vector<std::vector<QVariant>> rows_;
    size_t current_ = 0;
    bool active_ = false;
    int rowsAffected_ = 0;
};

// Statements of a script separated by ";" at the end of a line (comments "--" skipped);
// used to run db/schema.sql.
QStringList SplitScript(const QString& script);
// db/schema.sql as built into the program.
QString SchemaScript();

// Stops the client library's (and the embedded engine's) threads and closes what is
// still attached. Called once as the process ends, so the engine flushes its files and no
// engine thread is still running while the process tears down.
void ShutdownClient();

}  // namespace db
