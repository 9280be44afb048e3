#pragma once
// The carried skin's design: every picture, drawn from code, and the definition entries
// that cut them up. One function builds the whole skin in memory; main.cpp writes it.

#include "Definition.h"

#include <QImage>
#include <QString>

#include <vector>

namespace skinauthor {

struct Picture {
    QString file;    // file name in the skin folder
    QImage image;    // RGB32 as drawn
    bool trueColour; // written at 24 bits; otherwise at 8 bits with a 256-colour table
};

struct Skin {
    Picture form;                 // [PICTURES] picture
    std::vector<Picture> active;  // [PICTURES] 0 .. activepicturescount-1
    Definition def;
};

Skin BuildSkin();

// A window of w by h as the skin would frame it, with a few of the main window's
// controls on it: an approximate composite for looking at the design (titles and
// captions drawn with QPainter, so it needs a QGuiApplication). Not used by the program.
QImage MockWindow(const Skin& skin, int w, int h);

}  // namespace skinauthor
