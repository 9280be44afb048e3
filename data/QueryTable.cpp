#include "data/QueryTable.h"

#include <algorithm>

#include "db/Connection.h"

namespace data {

namespace {

FieldType FromColumnType(db::FieldType type) {
    switch (type) {
    case db::FieldType::Integer: return FieldType::Integer;
    case db::FieldType::Float: return FieldType::Float;
    case db::FieldType::Text:
    case db::FieldType::Other: break;
    }
    return FieldType::Text;
}

// The result's column names, a repeated one (without regard to case) made unique by
// "_1", "_2", ... so that every column can be reached by name.
QStringList UniqueColumnNames(const db::Query& q) {
    QStringList names;
    for (int i = 0; i < q.FieldCount(); ++i) {
        const QString base = q.Fields(i).fieldName();
        QString name = base;
        for (int n = 1; names.contains(name, Qt::CaseInsensitive); ++n) name = base + '_' + QString::number(n);
        names << name;
    }
    return names;
}

}  // namespace

void QueryTable::SetConnection(db::Connection* connection) { connection_ = connection; }

void QueryTable::SetCommandText(const QStringList& lines) {
    Close();
    commandText_ = lines;
    params_.clear();
}

void QueryTable::SetCommandText(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = t.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    SetCommandText(lines);
}

void QueryTable::SetParam(const QString& name, const QVariant& value) { params_[name] = value; }

void QueryTable::OpenData() { rows_ = Fetch(true); }

void QueryTable::Refresh() {
    CheckActive();
    CheckBrowseMode();
    rows_ = Fetch(false);
    RowsReplaced();
}

RowStore QueryTable::Fetch(bool makeFields) {
    if (!connection_) Fail(QStringLiteral("No connection assigned"));
    if (commandText_.join(QString()).trimmed().isEmpty()) Fail(QStringLiteral("No SQL statement"));

    // The statement lives only for this fetch: nothing stays prepared on the
    // connection between opens (a prepared statement would keep its tables in use).
    db::Query q(*connection_);
    q.SetSQL(commandText_);
    for (auto it = params_.cbegin(); it != params_.cend(); ++it) q.SetParam(it.key(), it.value());
    q.Open();

    const QStringList names = UniqueColumnNames(q);
    if (makeFields) {
        if (fieldDefs().Count() > 0) {
            for (const FieldDef& def : fieldDefs()) AddField(def);
        } else {
            for (int i = 0; i < q.FieldCount(); ++i) {
                FieldDef def;
                def.name = names[i];
                def.type = FromColumnType(q.Fields(i).type());
                def.size = def.type == FieldType::Text ? q.Fields(i).size() : 0;
                AddField(def);
            }
        }
    }
    std::vector<int> column(static_cast<size_t>(FieldCount()));
    for (int j = 0; j < FieldCount(); ++j) {
        const Field* f = Fields(j);
        column[static_cast<size_t>(j)] = static_cast<int>(names.indexOf(f->fieldName(), 0));
        if (column[static_cast<size_t>(j)] < 0) {
            const auto found = std::find_if(names.begin(), names.end(), [&](const QString& n) {
                return n.compare(f->fieldName(), Qt::CaseInsensitive) == 0;
            });
            if (found == names.end()) Fail(QStringLiteral("Field '%1' not found").arg(f->fieldName()));
            column[static_cast<size_t>(j)] = static_cast<int>(found - names.begin());
        }
    }

    RowStore rows;
    rows.SetColumns(FieldTypes());
    rows.Reserve(q.Rows().size());
    for (const auto& source : q.Rows()) {
        const size_t row = rows.AppendNullRow();
        for (int j = 0; j < FieldCount(); ++j) {
            const Field* f = Fields(j);
            const QVariant& value = source[static_cast<size_t>(column[static_cast<size_t>(j)])];
            try {
                // Text for a text column, most of a list, goes in as it was read.
                if (f->type() == FieldType::Text && value.typeId() == QMetaType::QString)
                    rows.SetText(row, j, *static_cast<const QString*>(value.constData()));
                else
                    rows.SetVariant(row, j, ConvertValue(f->type(), value));
            } catch (const DataError& e) {
                Fail(QStringLiteral("Field '%1': %2").arg(f->fieldName(), QString::fromStdString(e.what())));
            }
        }
    }
    return rows;
}

}  // namespace data
