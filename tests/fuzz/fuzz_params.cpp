// The rewrite of ":NAME" parameters into "?" on arbitrary statement text, against a
// scanner of its own: a parameter is reported exactly where a colon and a name stand
// outside quotes and comments, each becomes one "?", and all other text is kept.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "db/StatementParams.h"

namespace {

bool NameStart(QChar c) { return c.isLetter() || c == '_'; }
bool NamePart(QChar c) { return c.isLetterOrNumber() || c == '_' || c == '$'; }

// For each character: is it statement text (not inside a quote or a comment)?
std::vector<bool> OutsideQuotesAndComments(const QString& sql) {
    enum class State { Code, Quoted, Line, Block } state = State::Code;
    QChar quote;
    const qsizetype n = sql.size();
    std::vector<bool> code(size_t(n), false);
    const auto next = [&](qsizetype i) { return i + 1 < n ? sql[i + 1] : QChar(); };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        switch (state) {
        case State::Code:
            if (c == '\'' || c == '"') {
                state = State::Quoted;
                quote = c;
            } else if (c == '-' && next(i) == '-') {
                state = State::Line;
                ++i;
            } else if (c == '/' && next(i) == '*') {
                state = State::Block;
                ++i;
            } else {
                code[size_t(i)] = true;
            }
            break;
        case State::Quoted:
            if (c == quote) {
                if (next(i) == quote) ++i;  // a doubled quote stands for itself
                else state = State::Code;
            }
            break;
        case State::Line:
            if (c == '\n') {
                state = State::Code;
                code[size_t(i)] = true;
            }
            break;
        case State::Block:
            if (c == '*' && next(i) == '/') {
                state = State::Code;
                ++i;
            }
            break;
        }
    }
    return code;
}

qsizetype CodeMarks(const QString& sql) {
    const std::vector<bool> code = OutsideQuotesAndComments(sql);
    qsizetype marks = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) marks += code[size_t(i)] && sql[i] == '?';
    return marks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const db::PositionalStatement p = db::ToPositionalParams(sql);
    if (p.names.size() != p.spans.size()) std::abort();

    // Where the scanner sees a parameter begin.
    const std::vector<bool> code = OutsideQuotesAndComments(sql);
    std::vector<qsizetype> starts;
    for (qsizetype i = 0; i + 1 < sql.size(); ++i)
        if (code[size_t(i)] && sql[i] == ':' && NameStart(sql[i + 1])) starts.push_back(i);
    if (starts.size() != size_t(p.spans.size())) std::abort();

    QString expected;
    qsizetype from = 0;
    for (qsizetype k = 0; k < p.spans.size(); ++k) {
        const auto [start, length] = p.spans[k];
        if (start != starts[size_t(k)] || length < 2 || start + length > sql.size()) std::abort();
        // The whole name and nothing after it.
        for (qsizetype i = start + 1; i < start + length; ++i)
            if (!NamePart(sql[i])) std::abort();
        if (start + length < sql.size() && NamePart(sql[start + length])) std::abort();
        if (p.names[k] != sql.mid(start + 1, length - 1).toUpper()) std::abort();
        expected += sql.mid(from, start - from) + '?';
        from = start + length;
    }
    expected += sql.mid(from);
    if (p.text != expected) std::abort();
    // Each parameter became one "?" that is statement text, not quoted or commented.
    if (CodeMarks(p.text) != CodeMarks(sql) + p.names.size()) std::abort();
    return 0;
}
