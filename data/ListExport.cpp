#include "data/ListExport.h"

#include <QStringList>

#include <vector>

#include "data/DataSet.h"
#include "data/Field.h"

namespace data {

namespace {

bool NeedsQuotes(const QString& text) {
    for (const QChar c : text)
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return true;
    return false;
}

void AppendCsvField(QString& out, const QString& text) {
    if (!NeedsQuotes(text)) {
        out += text;
        return;
    }
    out += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) out += QLatin1Char('"');
        out += c;
    }
    out += QLatin1Char('"');
}

}  // namespace


QByteArray DataSetAsCsv(DataSet& set, const CsvOptions& options) {
    std::vector<Field*> fields;
    for (int i = 0; i < set.FieldCount(); ++i)
        if (!options.visibleOnly || set.Fields(i)->visible()) fields.push_back(set.Fields(i));

    // One text for the whole list, made UTF-8 once at the end.
    QString out;
    auto appendRow = [&out, &fields](auto&& text) {
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i) out += QLatin1Char(',');
            AppendCsvField(out, text(fields[i]));
        }
        out += QLatin1Char('\n');
    };
    appendRow([&options](const Field* f) { return options.displayNames ? f->displayName() : f->fieldName(); });
    if (set.Active()) out.reserve(qsizetype(set.RecordCount()) * qsizetype(fields.size()) * 8);
    ForEachRecord(set, [&] { appendRow([](const Field* f) { return f->AsString(); }); });
    QByteArray bytes = options.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    bytes += out.toUtf8();
    return bytes;
}

void AppendJsonString(QByteArray& out, const QString& text) {
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    // Bytes that need no escape go out in runs.
    const char* run = utf8.constData();
    const char* const end = run + utf8.size();
    for (const char* p = run; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        out.append(run, p - run);
        run = p + 1;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    out.append(run, end - run);
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
    ForEachRecord(set, [&] {
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
    });
    out += first ? "[]\n" : "\n]\n";
    return out;
}

}  // namespace data
