#pragma once
// Qt's own dialogs (the file dialog, the print dialog and its preview, the standard
// buttons) in Traditional Chinese, as the rest of the window speaks.

class QTranslator;

namespace window {

// Loads Qt's zh_TW translations (Debian: qt6-translations-l10n) from Qt's translations
// folder into the application. Returns the translator, owned by the application, or
// nullptr when the translations are not installed (Qt's dialogs then stay English).
QTranslator* InstallQtTranslations();

}  // namespace window
