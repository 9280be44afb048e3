#include "db/StatementParams.h"

namespace db {

PositionalStatement ToPositionalParams(const QString& sql) {
    PositionalStatement out;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"') {
            // A doubled quote stands for itself inside; an unclosed one runs to the end.
            qsizetype j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) { j += 2; continue; }
                    break;
                }
                ++j;
            }
            out.text += sql.mid(i, j + 1 - i);
            i = j + 1;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            qsizetype j = sql.indexOf('\n', i);
            if (j < 0) j = n;
            out.text += sql.mid(i, j - i);
            i = j;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            qsizetype j = sql.indexOf("*/", i + 2);
            j = j < 0 ? n : j + 2;
            out.text += sql.mid(i, j - i);
            i = j;
        } else if (c == ':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == '_')) {
            qsizetype j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == '_' || sql[j] == '$')) ++j;
            out.names << sql.mid(i + 1, j - i - 1).toUpper();
            out.spans.push_back({i, j - i});
            out.text += '?';
            i = j;
        } else {
            out.text += c;
            ++i;
        }
    }
    return out;
}

}  // namespace db
