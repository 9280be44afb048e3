#pragma once
// Statements carry named parameters (":NAME"); the client library takes positional ones
// ("?"). The rewrite leaves quoted text ('...'), quoted identifiers ("...") and comments
// ("--" to the end of the line, "/* ... */") alone, so a colon inside them is just text.

#include <QList>
#include <QString>
#include <QStringList>

namespace db {

struct PositionalStatement {
    QString text;       // the statement with "?" in place of each parameter
    QStringList names;  // upper case, one per "?" put in, in order
    // Where each parameter stood in the given statement: the ':' and the name.
    struct Span {
        qsizetype start;
        qsizetype length;
    };
    QList<Span> spans;
};

PositionalStatement ToPositionalParams(const QString& sql);

}  // namespace db
