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

}  // namespace skinauthor
