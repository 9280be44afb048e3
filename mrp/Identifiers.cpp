#include "mrp/Identifiers.h"

#include "db/Error.h"

namespace mrp {

QString FirstUnstorable(const QString& text, const db::CodePage& page) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const QString character = text.mid(i, pair ? 2 : 1);
        try {
            page.Encode(character);
        } catch (const db::DbError&) {
            return character;
        }
        if (pair) ++i;
    }
    return {};
}

QString IdentifierProblem(const char* label, const QString& text, int columnBytes, const db::CodePage& page) {
    const QString name = QString::fromUtf8(label);
    QByteArray bytes;
    try {
        bytes = page.Encode(text);
    } catch (const db::DbError&) {
        const QString character = FirstUnstorable(text, page);
        return character.isEmpty()
                   ? QString("%1「%2」無法以 Big5 (代碼頁 950) 儲存").arg(name, text)
                   : QString("%1「%2」含有無法以 Big5 (代碼頁 950) 儲存的字「%3」").arg(name, text, character);
    }
    if (bytes.size() > columnBytes)
        return QString("%1最多 %2 個字元（一個中文字佔 2 個），「%3」有 %4 個")
            .arg(name)
            .arg(columnBytes)
            .arg(text)
            .arg(bytes.size());
    return {};
}

void RequireFits(const char* label, const QString& text, int columnBytes, const db::CodePage& page) {
    if (const QString problem = IdentifierProblem(label, text, columnBytes, page); !problem.isEmpty())
        throw InputError(problem.toStdString());
}

}  // namespace mrp
