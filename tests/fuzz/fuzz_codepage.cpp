// The Big5 page on arbitrary bytes and text. Every byte string reads as a text that is
// written back as the same bytes; any text that is written at all reads back as itself.
// The input is used three ways: as bytes; as UTF-16 code units (little-endian pairs,
// half surrogate pairs replaced); and as two byte strings whose texts are joined, which
// puts a byte carried on its own next to whatever the second text starts with.

#include <QString>
#include <cstdint>
#include <cstdlib>

#include "db/CodePage.h"
#include "db/Error.h"

namespace {

const db::CodePage& Big5() {
    static const db::CodePage page("Big5");
    return page;
}

// Text that is written must read back unchanged.
void CheckWrittenTextReadsBack(const QString& text) {
    QByteArray bytes;
    try {
        bytes = Big5().Encode(text);
    } catch (const db::DbError&) {
        return;  // refused: nothing is written
    }
    if (Big5().Decode(bytes) != text) std::abort();
}

QString Utf16(const uint8_t* data, size_t size) {
    QString text;
    text.reserve(static_cast<qsizetype>(size / 2));
    for (size_t i = 0; i + 1 < size; i += 2) text += QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Reading never fails, and what is read is written back byte for byte.
    const QString text = Big5().Decode(bytes);
    QByteArray again;
    try {
        again = Big5().Encode(text);
    } catch (const db::DbError&) {
        std::abort();
    }
    if (again != bytes) std::abort();

    CheckWrittenTextReadsBack(Utf16(data, size));

    if (size > 0) {
        const size_t split = data[0] % size;
        CheckWrittenTextReadsBack(Big5().Decode(bytes.mid(1, static_cast<qsizetype>(split))) +
                                  Big5().Decode(bytes.mid(1 + static_cast<qsizetype>(split))));
    }
    return 0;
}
