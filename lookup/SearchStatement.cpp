#include "lookup/SearchStatement.h"

namespace lookup {

bool IsPlainIdentifier(const QString& name) {
    if (name.isEmpty() || name.size() > 63) return false;
    auto letter = [](QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
    if (!letter(name[0])) return false;
    for (QChar c : name)
        if (!letter(c) && !(c >= u'0' && c <= u'9') && c != u'_' && c != u'$') return false;
    return true;
}

QString EscapeLike(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        if (c == u'%' || c == u'_' || c == QChar(kLikeEscape)) out += QChar(kLikeEscape);
        out += c;
    }
    return out;
}

QString LikePattern(MatchMode mode, const QString& value) {
    const QString v = EscapeLike(value);
    switch (mode) {
    case MatchMode::Exact: return v;
    case MatchMode::Prefix: return v + u'%';
    case MatchMode::Contains: return u'%' + v + u'%';
    }
    return v;
}

SearchStatement ComposeSearch(const QString& table, const QString& field, MatchMode mode, const QString& value,
                              const QString& tail) {
    if (!IsPlainIdentifier(table)) throw LookupError(QStringLiteral("Invalid table name '%1'").arg(table));
    if (!IsPlainIdentifier(field)) throw LookupError(QStringLiteral("Invalid field name '%1'").arg(field));
    SearchStatement s;
    s.lines << QStringLiteral("select * from ") << table + u' ' << QStringLiteral("where ") << field
            << QStringLiteral("like :VALUE escape '%1'").arg(QChar(kLikeEscape)) << tail;
    s.pattern = LikePattern(mode, value);
    return s;
}

bool MatchesValue(MatchMode mode, const QString& text, const QString& value) {
    switch (mode) {
    case MatchMode::Exact: return text == value;
    case MatchMode::Prefix: return text.startsWith(value);
    case MatchMode::Contains: return text.contains(value);
    }
    return false;
}

}  // namespace lookup
