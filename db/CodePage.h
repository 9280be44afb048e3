#pragma once
// The database's text columns hold code-page bytes with no character set. CodePage
// converts between those bytes and the program's Unicode strings.
//
// The Windows Big5 page (code page 950) is converted by tables built once per process,
// and every byte string read survives the trip back unchanged, byte for byte: a value
// read from the database and written again (a product code, a name, a unit, an
// employee's name) is stored with exactly the bytes it had. The tables are those of the
// Windows code page with the following choices, all of which keep that promise:
//
// - User-defined characters map to the private-use area as Windows maps them, in rows of
//   157 trail bytes (0x40-0x7E, 0xA1-0xFE):
//     FA40-FEFE -> U+E000-U+E310      8E40-A0FE -> U+E311-U+EEB7
//     8140-8DFE -> U+EEB8-U+F6B0      C6A1-C8FE -> U+F6B1-U+F848
// - Big5 codes one character twice. Where Windows reads both codes as one character,
//   the rarer code reads as a character of its own that is written back to it:
//     C94A -> U+FA0C (A461 is U+5140 兀)    DDFC -> U+FA0D (DCD1 is U+55C0 嗀)
//     A2CC -> U+3038 (A451 is U+5341 十)    A2CE -> U+303A (A4CA is U+5345 卅)
//   and for the eight box-drawing characters Big5 holds twice, the code Windows does not
//   write reads as the character followed by VARIATION SELECTOR-1 (U+FE00), which shows
//   as the character itself:
//     A2A4 -> U+2550 U+FE00 (F9F9 is U+2550)    F9FA -> U+256D U+FE00 (A27E is U+256D)
//     A2A5 -> U+255E U+FE00 (F9E9 is U+255E)    F9FB -> U+256E U+FE00 (A2A1 is U+256E)
//     A2A6 -> U+256A U+FE00 (F9EA is U+256A)    F9FC -> U+2570 U+FE00 (A2A2 is U+2570)
//     A2A7 -> U+2561 U+FE00 (F9EB is U+2561)    F9FD -> U+256F U+FE00 (A2A3 is U+256F)
// - The single bytes 0x80 and 0xFF read as U+0080 and U+F8F8, as on Windows.
// - A byte that starts no character (a lead byte 0x81-0xFE at the end of a column cut in
//   the middle of a character, or followed by a byte that makes no character with it)
//   reads as the reserved code point U+F7C8 + byte (U+F849-U+F8C6, the private-use
//   code points just above the user-defined block, which code page 950 does not use), and is
//   written back as that byte alone. Such a code point is refused where its byte would
//   join the next byte into a character, since it would then not read back the same.
//
// Writing never substitutes: text holding a character the page cannot store (an emoji,
// a letter of another script, a stray variation selector) is refused with a DbError
// naming the character, before any byte is sent. Reading never fails.

#include <QByteArray>
#include <QString>
#include <string>

namespace db {

// The code page of this program's Traditional Chinese data: the Windows Big5 page.
inline constexpr const char* kDefaultCodePage = "CP950";

// The Big5 code of a user-defined character, from the private-use code point the page
// reads it as (the blocks above); 0 for every other code point. Fonts draw these code
// points with glyphs of their own choosing, which are never the site's characters.
unsigned UserDefinedCode(char32_t codePoint);
inline bool IsUserDefined(char32_t codePoint) { return UserDefinedCode(codePoint) != 0; }
// The code points of the user-defined characters: one range, U+E000 to the last block's end.
char32_t FirstUserDefined();
char32_t LastUserDefined();

class Windows950;

class CodePage {
public:
    // name is an iconv encoding name ("CP950", "BIG5", "UTF-8", ...); "Big5" is taken as
    // the Windows Big5 page. Throws DbError for an unknown name.
    explicit CodePage(const QString& name = kDefaultCodePage);
    ~CodePage();
    CodePage(const CodePage&);
    CodePage& operator=(const CodePage&);

    const QString& name() const { return name_; }

    // Throws DbError naming the character when text holds one the page cannot store:
    // a value is never written altered.
    QByteArray Encode(const QString& text) const;
    // The same, appended to out; refused text leaves out as it was. A buffer reused from
    // one value to the next allocates only while it grows.
    void EncodeAppend(const QString& text, QByteArray& out) const;
    // Reading never fails. The Windows Big5 page gives every byte string a text that
    // encodes back to it (see above); other pages decode invalid bytes to U+FFFD.
    QString Decode(const QByteArray& bytes) const;
    QString Decode(const char* data, size_t size) const;

private:
    QByteArray EncodeThroughIconv(const QString& text) const;

    QString name_;
    std::string iconvName_;
    const Windows950* cp950_ = nullptr;  // the Windows Big5 page's tables, shared and never freed
};

}  // namespace db
