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

void AppendJsonString(QByteArray& out, const QString& text) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 15];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

QByteArray DataSetAsJson(DataSet& set) {
    const int n = set.FieldCount();
    std::vector<QByteArray> names;
    for (int i = 0; i < n; ++i) {
        QByteArray name;
        AppendJsonString(name, set.Fields(i)->fieldName());
        names.push_back(name + ':');
    }
    QByteArray out;
    bool first = true;
    if (set.Active() && !set.IsEmpty()) {
        const int keep = set.RecNo();
        set.DisableControls();
        try {
            for (set.First(); !set.Eof(); set.Next()) {
                out += first ? "[\n{" : ",\n{";
                first = false;
                for (int i = 0; i < n; ++i) {
                    const Field* f = set.Fields(i);
                    if (i) out += ',';
                    out += names[size_t(i)];
                    if (f->IsNull())
                        out += "null";
                    else if (f->type() == FieldType::Text)
                        AppendJsonString(out, f->AsString());
                    else
                        out += f->AsString().toUtf8();
                }
                out += '}';
            }
        } catch (...) {
            set.EnableControls();
            throw;
        }
        if (keep > 0) set.SetRecNo(keep);
        set.EnableControls();
    }
    out += first ? "[]\n" : "\n]\n";
    return out;
}

}  // namespace data
