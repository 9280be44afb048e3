#include "data/ListExport.h"

#include <QStringList>

#include <vector>

#include "data/DataSet.h"
#include "data/Field.h"

namespace data {

namespace {

bool NeedsQuotes(QStringView text) {
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

// Text made a row at a time and handed on as UTF-8 whenever enough has gathered: the
// UTF-8 of the whole is that of its pieces, as no piece ends inside a character.
class ChunkWriter {
public:
    explicit ChunkWriter(const ByteSink& sink) : sink_(sink) { text_.reserve(kChunk + kChunk / 4); }
    ~ChunkWriter() = default;
    QString& text() { return text_; }
    void RowEnded() {
        if (text_.size() >= kChunk) Flush();
    }
    void Flush() {
        if (text_.isEmpty()) return;
        const QByteArray bytes = text_.toUtf8();
        sink_(bytes.constData(), bytes.size());
        text_.resize(0);
    }

private:
    static constexpr qsizetype kChunk = 16 * 1024;
    const ByteSink& sink_;
    QString text_;
};

// JSON's escapes, on UTF-16 text (all are ASCII, so the UTF-8 is the same).
void AppendJsonText(QString& out, const QString& text) {
    static const char kHex[] = "0123456789abcdef";
    out += QLatin1Char('"');
    const QChar* run = text.constData();
    const QChar* const end = run + text.size();
    for (const QChar* p = run; p < end; ++p) {
        const char16_t c = p->unicode();
        if (c >= 0x20 && c != u'"' && c != u'\\') continue;
        out.append(run, p - run);
        run = p + 1;
        switch (c) {
        case u'"': out += QLatin1StringView("\\\""); break;
        case u'\\': out += QLatin1StringView("\\\\"); break;
        case u'\b': out += QLatin1StringView("\\b"); break;
        case u'\f': out += QLatin1StringView("\\f"); break;
        case u'\n': out += QLatin1StringView("\\n"); break;
        case u'\r': out += QLatin1StringView("\\r"); break;
        case u'\t': out += QLatin1StringView("\\t"); break;
        default:
            out += QLatin1StringView("\\u00");
            out += QLatin1Char(kHex[c >> 4]);
            out += QLatin1Char(kHex[c & 15]);
        }
    }
    out.append(run, end - run);
    out += QLatin1Char('"');
}

}  // namespace

void WriteDataSetAsCsv(DataSet& set, const CsvOptions& options, const ByteSink& sink) {
    std::vector<Field*> fields;
    for (int i = 0; i < set.FieldCount(); ++i)
        if (!options.visibleOnly || set.Fields(i)->visible()) fields.push_back(set.Fields(i));

    if (options.byteOrderMark) sink("\xEF\xBB\xBF", 3);
    ChunkWriter writer(sink);
    QString& out = writer.text();
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) out += QLatin1Char(',');
        AppendCsvField(out, options.displayNames ? fields[i]->displayName() : fields[i]->fieldName());
    }
    out += QLatin1Char('\n');
    ForEachRecord(set, [&] {
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i) out += QLatin1Char(',');
            const qsizetype at = out.size();
            fields[i]->AppendDisplayText(out);
            // Quoted only when it must be: put the text back quoted.
            if (NeedsQuotes(QStringView(out).mid(at))) {
                const QString text = out.mid(at);
                out.truncate(at);
                AppendCsvField(out, text);
            }
        }
        out += QLatin1Char('\n');
        writer.RowEnded();
    });
    writer.Flush();
}

QByteArray DataSetAsCsv(DataSet& set, const CsvOptions& options) {
    QByteArray bytes;
    WriteDataSetAsCsv(set, options, [&bytes](const char* data, qsizetype size) { bytes.append(data, size); });
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

void WriteDataSetAsJson(DataSet& set, const ByteSink& sink) {
    const int n = set.FieldCount();
    std::vector<QString> names;
    for (int i = 0; i < n; ++i) {
        QString name;
        AppendJsonText(name, set.Fields(i)->fieldName());
        names.push_back(name + QLatin1Char(':'));
    }
    ChunkWriter writer(sink);
    QString& out = writer.text();
    bool first = true;
    ForEachRecord(set, [&] {
        out += first ? QLatin1StringView("[\n{") : QLatin1StringView(",\n{");
        first = false;
        for (int i = 0; i < n; ++i) {
            const Field* f = set.Fields(i);
            if (i) out += QLatin1Char(',');
            out += names[size_t(i)];
            if (f->IsNull())
                out += QLatin1StringView("null");
            else if (f->type() == FieldType::Text)
                AppendJsonText(out, f->AsString());
            else
                f->AppendDisplayText(out);
        }
        out += QLatin1Char('}');
        writer.RowEnded();
    });
    out += first ? QLatin1StringView("[]\n") : QLatin1StringView("\n]\n");
    writer.Flush();
}

QByteArray DataSetAsJson(DataSet& set) {
    QByteArray bytes;
    WriteDataSetAsJson(set, [&bytes](const char* data, qsizetype size) { bytes.append(data, size); });
    return bytes;
}

}  // namespace data
