#pragma once
// An in-memory table built from field definitions, such as the material list: define
// the fields (and, if wanted, named indexes), create it empty, then append, edit and
// delete rows. Rows stay in the order they were added: an index definition is kept
// with the table but never made the active order.

#include <QString>
#include <vector>

#include "data/DataSet.h"

namespace data {

struct IndexDef {
    QString name;
    QString fields;  // field names separated by ";"
};

class MemTable : public DataSet {
public:
    MemTable() = default;
    ~MemTable() override = default;

    // Throws DataError for an empty or duplicate name (without regard to case).
    IndexDef& AddIndexDef(const QString& name, const QString& fields);
    const std::vector<IndexDef>& indexDefs() const { return indexDefs_; }
    void ClearIndexDefs() { indexDefs_.clear(); }

    // Closes the table (dropping its rows), builds its fields from the definitions and
    // opens it empty. Throws DataError without definitions, or when an index names a
    // field that is not defined. Open on a closed table does the same.
    void CreateDataSet();
    // Removes every row of the open table (an unposted edit is cancelled).
    void EmptyDataSet();
    // Takes rows made elsewhere in the table's field types (see DataSet::ReplaceRows):
    // a list of thousands of rows built by the program moves in without a copy.
    void LoadRows(RowStore rows) { ReplaceRows(std::move(rows)); }

protected:
    void OpenData() override;

private:
    std::vector<IndexDef> indexDefs_;
};

}  // namespace data
