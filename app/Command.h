#pragma once
// Subcommands of the marlith program. Each command file in app/commands registers its
// commands with a static CommandRegistrar; main() picks the longest registered name that
// the arguments start with ("skin dump" before "skin"), so a command family can grow
// without touching a shared table.

#include <QSize>
#include <QStringList>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

// Thrown by a command for a malformed command line: main prints the message and the
// command's usage and exits with status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Which Qt application object a command needs. Commands that paint offscreen need Gui,
// commands that open windows need Widgets; the rest run on a core application.
// OffscreenWidgets: widgets that are rendered but never shown; without a display the
// command runs on Qt's offscreen platform instead of failing.
enum class Needs { Core, Gui, Widgets, OffscreenWidgets };

struct Command {
    std::string name;     // one or more words, e.g. "init-db", "skin dump"
    std::string usage;    // arguments after the name, e.g. "[--demo] PATH"
    std::string summary;  // one line for --help
    Needs needs = Needs::Core;
    // Runs with the arguments after the name; returns the exit status (0 or 1). A
    // command that keeps an app::SignalWatch while it runs ends with 128 + the signal's
    // number when one of the watched signals arrived (main.cpp).
    int (*run)(const QStringList& args) = nullptr;
};

const std::vector<Command>& Commands();

struct CommandRegistrar {
    explicit CommandRegistrar(Command c);
};

// Small helpers for commands' own option parsing.
// Removes "--name VALUE" (or "--name=VALUE") from args and returns VALUE, or def when absent.
QString TakeOption(QStringList& args, const QString& name, const QString& def = {});
// Whether "--name VALUE" or "--name=VALUE" is among args (an empty value counts).
bool HasOption(const QStringList& args, const QString& name);
// Removes a bare "--name" flag and tells whether it was there.
bool TakeFlag(QStringList& args, const QString& name);
// "WxH" (1..8192 each) as a size; UsageError otherwise.
QSize ParseSize(const QString& text);
// Takes "--quit-after MS" for the window commands' unattended runs: the milliseconds
// given, else screenshotDefault when a screenshot was asked for, else -1 (run until the
// window is closed). UsageError for a value that is not a whole number of 0 or more.
int TakeQuitAfter(QStringList& args, bool screenshot, int screenshotDefault);
// Fails with UsageError when an argument starting with "--" is left over.
void RejectUnknownOptions(const QStringList& args);

// Text for a terminal: every control character (C0, DEL, C1) is shown as "\x1B" (two hex
// digits), so that a text from the database or a clerk (a void reason holding an escape
// sequence) can neither move the cursor nor retitle or reprogram the terminal. A message
// of several lines keeps its line feeds (keepLineFeeds); a table cell keeps none. CSV and
// JSON are never passed through it: their formats carry such characters as they are.
QString TerminalText(const QString& text, bool keepLineFeeds = false);
// Writes text as UTF-8 through TerminalText, line feeds kept: every message and text
// listing a command writes for reading.
void WriteText(FILE* f, const QString& text);

}  // namespace app
