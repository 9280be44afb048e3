#pragma once
// The database's text columns hold code-page bytes with no character set. CodePage
// converts between those bytes and the program's Unicode strings.

#include <QByteArray>
#include <QString>
#include <memory>
#include <string>

namespace db {

// The code page of this program's Traditional Chinese data: the Windows Big5 page.
inline constexpr const char* kDefaultCodePage = "CP950";

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
    // Bytes that are not valid in the page decode to U+FFFD; reading never fails.
    QString Decode(const QByteArray& bytes) const;
    QString Decode(const char* data, size_t size) const;

private:
    QString name_;
    std::string iconvName_;
};

}  // namespace db
