#pragma once
// The lookup dialog's search: one field of one table compared with the clerk's value.
//
// The statement is composed line by line (the lines are what the dialog keeps of its
// last search), and the value never enters its text: it travels as the parameter
// :VALUE, so a quote in it is just a character. Table and field names do enter the text, so both must be plain
// identifiers (a letter, then letters, digits, "_" or "$"); anything else is refused.
// The match modes compare with LIKE, and "%" and "_" in the clerk's value are escaped,
// so they match themselves.

#include <QString>
#include <QStringList>
#include <stdexcept>

namespace lookup {

// The dialog's match modes, in the order of its radio items.
enum class MatchMode { Exact = 0, Prefix = 1, Contains = 2 };

// A search the dialog refuses to run; the message is shown to the clerk.
class LookupError : public std::runtime_error {
public:
    explicit LookupError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// A letter (A-Z, a-z), then letters, digits, "_" or "$"; at most 63 characters.
bool IsPlainIdentifier(const QString& name);

// The escape character of the LIKE patterns. "!" is chosen because it is never the
// second byte of a Big5 character: the database compares the stored Big5 bytes, and a
// backslash (0x5C) is the second byte of characters such as 許.
inline constexpr char16_t kLikeEscape = u'!';

// value with the LIKE metacharacters "%" and "_" and the escape character itself
// preceded by the escape character.
QString EscapeLike(const QString& value);

// The pattern the parameter carries for a mode: the escaped value, followed by "%" for
// a prefix, between "%" for contains.
QString LikePattern(MatchMode mode, const QString& value);

struct SearchStatement {
    QStringList lines;  // each run followed by a line break
    QString pattern;    // the value of :VALUE
};

// The six lines "select * from ", table + " ", "where ", field,
// "like :VALUE escape '!'", tail. Throws LookupError when table or field is not a plain
// identifier.
SearchStatement ComposeSearch(const QString& table, const QString& field, MatchMode mode, const QString& value,
                              const QString& tail = QString());

// Whether text matches the clerk's value in the mode, compared character by character.
// The database compares Big5 bytes, and a byte pattern may also match across the
// boundary of two characters; the dialog keeps only the rows this accepts.
bool MatchesValue(MatchMode mode, const QString& text, const QString& value);

}  // namespace lookup
