#pragma once
// An in-memory table fed by a query, such as the order list: its command text is
// replaced, and opening runs the statement on a connection and fetches every row at
// once; the current row is the first. The rows can then be edited in memory like any
// table's; nothing is written back to the database.
//
// Fields: without field definitions they are made from the result's columns (name,
// type, size; a repeated column name gets "_1", "_2", ...). With definitions, those
// are the fields, each bound to the result column of its name (a missing column is an
// error), so their labels and visibility stay the same across every open.

#include <QStringList>
#include <QVariantMap>

#include "data/DataSet.h"

namespace db {
class Connection;
}

namespace data {

class QueryTable : public DataSet {
public:
    explicit QueryTable(db::Connection* connection = nullptr) : connection_(connection) {}
    ~QueryTable() override = default;

    // The connection must outlive the table's opens; the table keeps no statement
    // prepared between them.
    db::Connection* connection() const { return connection_; }
    void SetConnection(db::Connection* connection);

    // The statement as lines (each followed by a line break when run). Replacing the
    // text closes an open table and forgets the parameters.
    const QStringList& CommandText() const { return commandText_; }
    void SetCommandText(const QStringList& lines);
    // Text split into lines at CR LF or LF (a final line break adds no empty line).
    void SetCommandText(const QString& text);

    // Named parameters (":NAME") as db::Query takes them: QString text, int whole
    // number, double float, null QVariant null. Kept until the text changes.
    void SetParam(const QString& name, const QVariant& value);

    // Runs the statement again and replaces the rows; the current row keeps its number
    // where it can. The result must still have the table's fields.
    void Refresh() override;

protected:
    void OpenData() override;

private:
    RowStore Fetch(bool makeFields);

    db::Connection* connection_;
    QStringList commandText_;
    QVariantMap params_;
};

}  // namespace data
