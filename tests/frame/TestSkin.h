#pragma once
// Small skins written to a temporary directory (skin.ini and BMP files) and loaded the
// way the program loads any skin file, for the frame tests.
//
// The standard frame skin has a 100 x 60 form picture whose pixel (x, y) has red x,
// green y and blue 128, so every pixel of a composed frame tells which picture pixel it
// was copied from.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "skin/Bmp.h"
#include "skin/SkinData.h"
#include "skin/StoredSkin.h"

namespace frametest {

inline QImage CodedPicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x, y, 128));
    return img;
}

inline QImage Solid(int w, int h, QRgb c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

struct SkinObjectDef {
    QString name, type;
    QStringList keys;  // "key=value"
};

class TestSkin {
public:
    QImage picture = CodedPicture(100, 60);
    QImage mask;
    std::vector<QImage> active;
    QStringList formInfo = {
        "lefttoppoint=20,30",          "righttoppoint=80,30",          "leftbottompoint=20,50",
        "rightbottompoint=80,50",      "clientrect=4,25,96,56",        "hittestlefttoppoint=10,10",
        "hittestrighttoppoint=90,10",  "hittestleftbottompoint=10,50", "hittestrightbottompoint=90,50",
        "captionrect=4,5,96,24",       "buttonsoffset=2",              "borderwidth=4",
    };
    std::vector<SkinObjectDef> objects;
    QStringList popupWindow;  // [POPUPWINDOW] keys

    void Set(const QString& key, const QString& value) {
        for (QString& line : formInfo)
            if (line.startsWith(key + "=")) {
                line = key + "=" + value;
                return;
            }
        formInfo << key + "=" + value;
    }

    // Writes the files and returns the definition's path.
    QString Write() {
        if (!dir_.isValid()) throw std::runtime_error("no temporary directory");
        QStringList ini{"[VERSION]", "skinname=test", "[PICTURES]",
                        picture.isNull() ? "picture=" : "picture=form.bmp", "inactivepicture="};
        ini << (mask.isNull() ? "mask=" : "mask=mask.bmp");
        ini << QStringLiteral("activepicturescount=%1").arg(active.size());
        for (size_t i = 0; i < active.size(); ++i) ini << QStringLiteral("%1=a%1.bmp").arg(i);
        ini << "[FORMINFO]" << formInfo << "[POPUPWINDOW]" << popupWindow << "[HINTWINDOW]" << "[SKINOBJECTS]"
            << QStringLiteral("count=%1").arg(objects.size());
        for (size_t i = 0; i < objects.size(); ++i) ini << QStringLiteral("%1=%2:%3").arg(i).arg(objects[i].name, objects[i].type);
        ini << "[SKINCONTROLS]" << "count=0";
        for (const SkinObjectDef& o : objects) ini << "[" + o.name + "]" << o.keys;
        Save("skin.ini", ini.join("\r\n").toUtf8());
        if (!picture.isNull()) Save("form.bmp", skin::WriteBmp24(picture));
        if (!mask.isNull()) Save("mask.bmp", skin::WriteBmp24(mask));
        for (size_t i = 0; i < active.size(); ++i) Save(QStringLiteral("a%1.bmp").arg(i), skin::WriteBmp24(active[i]));
        return dir_.filePath("skin.ini");
    }

    // Loads the skin into data (sending the skin-change messages).
    void LoadInto(skin::TbsSkinData& data) {
        skin::TbsStoredSkin stored;
        stored.LoadFromSkinFile(Write());
        data.LoadFromStoredSkin(stored);
        if (data.IsEmpty()) throw std::runtime_error("test skin did not load");
    }

private:
    void Save(const QString& name, const QByteArray& bytes) {
        QFile f(dir_.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) throw std::runtime_error("cannot write");
    }
    QTemporaryDir dir_;
};

// Active picture 0: a green hover look (0..16 x 0..14) and a caption plate in rows 20..38;
// active picture 1: the std buttons' looks, normal red, active green, down blue, the close
// button in rows 0..14 and the minimize button in rows 14..28.
inline TestSkin StandardSkin() {
    TestSkin s;
    QImage a0 = Solid(64, 40, qRgb(0, 200, 0));
    for (int y = 20; y < 38; ++y)
        for (int x = 0; x < 30; ++x) a0.setPixel(x, y, qRgb(250, 250, 200));
    QImage a1(48, 28, QImage::Format_RGB32);
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 48; ++x) a1.setPixel(x, y, x < 16 ? qRgb(200, 0, 0) : x < 32 ? qRgb(0, 200, 0) : qRgb(0, 0, 200));
    s.active = {a0, a1};
    s.objects = {
        {"morphbtn", "button",
         {"skinrectinapicture=0", "activepictureindex=0", "skinrect=60,8,76,22", "activeskinrect=0,0,16,14",
          "morphing=1", "morphkind=mkdefault"}},
        {"closebtn", "stdbutton",
         {"skinrectinapicture=1", "activepictureindex=1", "skinrect=0,0,16,14", "activeskinrect=16,0,32,14",
          "downrect=32,0,48,14", "command=cmclose"}},
        {"minbtn", "stdbutton",
         {"skinrectinapicture=1", "activepictureindex=1", "skinrect=0,14,16,28", "activeskinrect=16,14,32,28",
          "downrect=32,14,48,28", "command=cmminimize"}},
        {"caption", "caption",
         {"skinrectinapicture=0", "activepictureindex=0", "skinrect=4,5,96,24", "textrect=0,0,92,19",
          "fontname=Arial", "fontheight=14", "fontstyle=fsbold", "fontcolor=8421504", "activefontcolor=0",
          "alignment=tacenter", "framerect=0,20,30,38", "frametextrect=6,2,24,16", "frameleftoffset=6",
          "framerightoffset=6"}},
    };
    return s;
}

}  // namespace frametest
