#pragma once
// The window's messages as a clerk reads them: a short first line in Traditional Chinese
// that says what to do, and below it the error's own text (often English, from the
// database), which the clerk passes on to whoever looks after the system.

#include <QString>

#include <exception>
#include <stdexcept>

namespace db {
class CodePage;
}

namespace window {

// A failure the window words itself: the first line, and the detail beneath it.
class ClerkError : public std::runtime_error {
public:
    ClerkError(const QString& headline, const QString& detail);
    const QString& headline() const { return headline_; }
    const QString& detail() const { return detail_; }

private:
    QString headline_;
    QString detail_;
};

// What a handler's failure shows: a first line by the kind of error (the database, the
// data entered, the bill of materials, a file, ...), then "\n" and the error's own text.
QString ClerkMessage(const std::exception& e);

// What the program shows when the window cannot open because the database cannot be
// reached, with the error beneath.
QString StartFailedMessage(const std::exception& e);

// A first line and, when there is one, the detail on the line below.
QString WithDetail(const QString& headline, const QString& detail);

// Why text cannot be stored in a text column of the code page (the first character
// that the page cannot hold, named); empty when it can.
QString UnstorableText(const db::CodePage& page, const QString& text);

}  // namespace window
