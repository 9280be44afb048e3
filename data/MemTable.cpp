#include "data/MemTable.h"

namespace data {

IndexDef& MemTable::AddIndexDef(const QString& name, const QString& fields) {
    if (name.trimmed().isEmpty()) Fail(QStringLiteral("An index needs a name"));
    for (const IndexDef& d : indexDefs_)
        if (d.name.compare(name, Qt::CaseInsensitive) == 0) Fail(QStringLiteral("Duplicate index name '%1'").arg(name));
    indexDefs_.push_back({name, fields});
    return indexDefs_.back();
}

void MemTable::CreateDataSet() {
    Close();
    Open();
}

void MemTable::EmptyDataSet() {
    CheckActive();
    Cancel();
    // The rows' memory stays for the next fill.
    rows_.Clear();
    RowsReplaced();
}

void MemTable::OpenData() {
    if (fieldDefs().Count() == 0) Fail(QStringLiteral("No fields defined"));
    for (const IndexDef& index : indexDefs_) {
        for (const QString& part : index.fields.split(';')) {
            const QString name = part.trimmed();
            if (name.isEmpty() || !fieldDefs().Find(name))
                Fail(QStringLiteral("Index '%1': field '%2' not found").arg(index.name, name));
        }
    }
    for (const FieldDef& def : fieldDefs()) AddField(def);
}

}  // namespace data
