#include "data/ListExport.h"

#include <QStringList>

#include <vector>

#include "data/DataSet.h"
#include "data/Field.h"

namespace data {

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray DataSetAsCsv(DataSet& set, const CsvOptions& options) {
    std::vector<Field*> fields;
    for (int i = 0; i < set.FieldCount(); ++i)
        if (!options.visibleOnly || set.Fields(i)->visible()) fields.push_back(set.Fields(i));

    QString out;
    QStringList row;
    for (const Field* f : fields) row << CsvField(options.displayNames ? f->displayName() : f->fieldName());
    out += row.join(QLatin1Char(',')) + QLatin1Char('\n');
    if (set.Active() && !set.IsEmpty()) {
        const int keep = set.RecNo();
        set.DisableControls();
        try {
            for (set.First(); !set.Eof(); set.Next()) {
                row.clear();
                for (const Field* f : fields) row << CsvField(f->AsString());
                out += row.join(QLatin1Char(',')) + QLatin1Char('\n');
            }
        } catch (...) {
            set.EnableControls();
            throw;
        }
        if (keep > 0) set.SetRecNo(keep);
        set.EnableControls();
    }
    QByteArray bytes = options.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    bytes += out.toUtf8();
    return bytes;
}

}  // namespace data
