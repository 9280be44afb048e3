#pragma once
// The skin definition as the authoring program builds it: sections of keys, each entry
// section checked against the key table of its entry class, so a misspelt key or a key
// the class does not read is an authoring error rather than a silently ignored line.
// Every key of an entry's class is written, with its default where the design leaves it,
// so the definition is complete on its own.

#include "Pixels.h"

#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace skinauthor {

enum class KeyType { Int, Colour, Rect, Point, Bool, FontStyle, Alignment, MorphKind, InactiveEffect, Command, String };

struct KeySpec {
    std::string name;
    KeyType type;
    std::string def;  // the written form of the default
};

// Keys of one entry class (inherited keys first), or of one fixed section.
struct ClassSpec {
    std::string className;  // the engine's class name, for messages
    std::vector<KeySpec> keys;
    const KeySpec* find(const std::string& key) const;
};

// Entry types by their word in [SKINOBJECTS] / [SKINCONTROLS]; nullptr when unknown.
const ClassSpec* ControlClass(const std::string& type);
const ClassSpec* ObjectClass(const std::string& type);
const ClassSpec& FormInfoKeys();
const ClassSpec& PopupWindowKeys();
const ClassSpec& HintWindowKeys();

// Font description of the font key group (fontname, fontheight, fontstyle, fontcolor).
struct Font {
    QString name = QStringLiteral("Arial");
    int height = 14;
    bool bold = false;
    QRgb colour = 0;
};

class Section {
public:
    Section(std::string name, const ClassSpec* entryClass) : name_(std::move(name)), entryClass_(entryClass) {}
    const std::string& name() const { return name_; }

    Section& set(const std::string& key, const QString& value);
    Section& i(const std::string& key, int v) { return set(key, QString::number(v)); }
    Section& b(const std::string& key, bool v) { return set(key, v ? QStringLiteral("1") : QStringLiteral("0")); }
    Section& s(const std::string& key, const QString& v) { return set(key, v); }
    Section& c(const std::string& key, QRgb colour) { return i(key, ColourValue(colour)); }
    Section& r(const std::string& key, const Rect& r);
    Section& p(const std::string& key, const Pt& p);
    // The font key group with the given prefix ("", "caption", "fixed").
    Section& font(const Font& f, const std::string& prefix = "");

    // Lines of the section, every key of its table in table order.
    QStringList lines() const;

    // The value written for a key (set or default), for checks while authoring.
    QString value(const std::string& key) const;

private:
    std::string name_;
    const ClassSpec* entryClass_;  // nullptr: free keys in insertion order (VERSION, PICTURES, lists)
    std::map<std::string, QString> values_;
    std::vector<std::string> order_;
};

class Definition {
public:
    Definition();
    Section& version() { return *version_; }
    Section& pictures() { return *pictures_; }
    Section& formInfo() { return *formInfo_; }
    Section& popupWindow() { return *popupWindow_; }
    Section& hintWindow() { return *hintWindow_; }

    // Appends an entry to [SKINOBJECTS] / [SKINCONTROLS] and returns its section. An
    // object of a type the engine does not read (the "animate" entries) gets a section of
    // free keys.
    Section& object(const std::string& name, const std::string& type);
    Section& control(const std::string& name, const std::string& type);

    // Moves the named control entries, in this order, before all others.
    void moveControlsToFront(const std::vector<std::string>& names);

    int objectCount() const { return int(objects_.size()); }
    int controlCount() const { return int(controls_.size()); }

    QStringList lines(const QStringList& header) const;

private:
    struct Entry {
        std::string name, type;
        std::unique_ptr<Section> section;
    };
    std::unique_ptr<Section> version_, pictures_, formInfo_, popupWindow_, hintWindow_;
    std::vector<Entry> objects_, controls_;
};

}  // namespace skinauthor
