#pragma once
// The statements of the workflow that carry the project code: the order query of "確定"
// and the bill-of-materials query of "物料展開". Each is composed twice: the statement
// that runs, with the code as the parameter PROJ_ID, and the lines written to the query
// dump, with the code shown as a quoted literal so that the file can be run by hand.

#include <QString>
#include <QStringList>

namespace mrp {

struct ComposedQuery {
    QStringList statement;  // runs with the parameter PROJ_ID
    QStringList dump;       // the same lines with the value in place of the parameter
};

// The project's live order lines not yet transferred (eight lines).
ComposedQuery OrderQuery(const QString& projectCode);

// One row per order line and bill line of the orders in the work table (eleven lines).
// The work table's name is the program's own (db::MakeWorkTableName).
ComposedQuery BillOfMaterialsQuery(const QString& projectCode, const QString& workTable);

// The project's name: PROJ_NAME for the parameter PROJ_ID.
extern const QStringList kProjectNameStatement;

}  // namespace mrp
