#pragma once
// A rough composite of the main window in the carried skin, for the skin's author to look
// at (written by the authoring program's --preview).

#include "Design.h"

#include <QImage>

namespace skinauthor {

// A window of w by h as the skin would frame it, with a few of the main window's
// controls on it: an approximate composite for looking at the design (titles and
// captions drawn with QPainter, so it needs a QGuiApplication). Not used by the program.
QImage MockWindow(const Skin& skin, int w, int h);

}  // namespace skinauthor
