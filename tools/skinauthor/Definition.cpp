#include "Definition.h"

#include <algorithm>
#include <stdexcept>

namespace skinauthor {

namespace {

using K = KeyType;
using Keys = std::vector<KeySpec>;

Keys operator+(Keys a, const Keys& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

KeySpec Int(const char* n, const char* def = "0") { return {n, K::Int, def}; }
KeySpec Col(const char* n, const char* def = "0") { return {n, K::Colour, def}; }
KeySpec Rc(const char* n) { return {n, K::Rect, "0,0,0,0"}; }
KeySpec Pnt(const char* n) { return {n, K::Point, "0,0"}; }
KeySpec Bool(const char* n) { return {n, K::Bool, "0"}; }
KeySpec Str(const char* n, const char* def = "") { return {n, K::String, def}; }

Keys Rects(std::initializer_list<const char*> names) {
    Keys k;
    for (const char* n : names) k.push_back(Rc(n));
    return k;
}

Keys FontKeys(const std::string& prefix = "") {
    return {{prefix + "fontname", K::String, "Arial"},
            {prefix + "fontheight", K::Int, "14"},
            {prefix + "fontstyle", K::FontStyle, ""},
            {prefix + "fontcolor", K::Colour, "0"}};
}

Keys Anchors() { return {Pnt("lefttoppoint"), Pnt("righttoppoint"), Pnt("leftbottompoint"), Pnt("rightbottompoint")}; }
Keys Morph() { return {Bool("morphing"), {"morphkind", K::MorphKind, "mkdefault"}}; }

// Control entry classes.
const Keys kControl = {Int("pictureindex", "-1"), Int("maskpictureindex", "-1"), Rc("skinrect")};
const Keys kCustom = kControl + Anchors() + Keys{Rc("clientrect")};
const Keys kButton = kCustom + FontKeys() + Keys{Col("activefontcolor"), Col("downfontcolor"), Col("disabledfontcolor")} +
                     Rects({"activeskinrect", "downskinrect", "disabledskinrect"}) + Morph();
const Keys kEdit = kCustom + Keys{Rc("activeskinrect")} + FontKeys() +
                   Keys{Col("disabledfontcolor"), Col("activefontcolor")} +
                   Rects({"buttonrect", "activebuttonrect", "downbuttonrect", "unenabledbuttonrect"});
const Keys kUpDownButtons =
    Rects({"upbuttonrect", "activeupbuttonrect", "downupbuttonrect", "downbuttonrect", "activedownbuttonrect",
           "downdownbuttonrect"});
const Keys kListBox = kCustom + Rects({"itemrect", "activeitemrect", "focusitemrect"}) +
                      Keys{Int("itemleftoffset"), Int("itemrightoffset"), Rc("itemtextrect")} + FontKeys() +
                      Keys{Col("activefontcolor"), Col("focusfontcolor"), Rc("captionrect")} + FontKeys("caption") +
                      kUpDownButtons + Rects({"checkbuttonrect", "activecheckbuttonrect", "downcheckbuttonrect"}) +
                      Keys{Str("vscrollbarname", "vscrollbar"), Str("hscrollbarname", "hscrollbar"),
                           Str("bothhscrollbarname", "bothhscrollbar")};

const std::map<std::string, ClassSpec>& Controls() {
    static const std::map<std::string, ClassSpec> table = {
        {"panel",
         {"TbsDataSkinPanelControl",
          kCustom + Keys{Int("bgpictureindex", "-1")} + Rects({"captionrect", "rollupmarkerrect", "restoremarkerrect"}) +
              Keys{{"alignment", K::Alignment, "tacenter"}} + FontKeys() + Rects({"checkimagerect", "uncheckimagerect"})}},
        {"expanel",
         {"TbsDataSkinExPanelControl",
          kCustom + Rects({"rollhskinrect", "rollvskinrect"}) +
              Keys{Int("rollleftoffset"), Int("rollrightoffset"), Int("rolltopoffset"), Int("rollbottomoffset")} +
              Rects({"rollvcaptionrect", "rollhcaptionrect", "closebuttonrect", "closebuttonactiverect",
                     "closebuttondownrect", "hrollbuttonrect", "hrollbuttonactiverect", "hrollbuttondownrect",
                     "hrestorebuttonrect", "hrestorebuttonactiverect", "hrestorebuttondownrect", "vrollbuttonrect",
                     "vrollbuttonactiverect", "vrollbuttondownrect", "vrestorebuttonrect", "vrestorebuttonactiverect",
                     "vrestorebuttondownrect", "captionrect"}) +
              FontKeys()}},
        {"button", {"TbsDataSkinButtonControl", kButton}},
        {"menubutton", {"TbsDataSkinMenuButtonControl", kButton + Keys{Rc("trackbuttonrect")}}},
        {"checkradio",
         {"TbsDataSkinCheckRadioControl",
          kCustom + FontKeys() + Keys{Col("activefontcolor"), Col("unenabledfontcolor"), Col("framefontcolor")} +
              Rects({"activeskinrect", "checkimagearea", "textarea", "checkimagerect", "uncheckimagerect",
                     "activecheckimagerect", "activeuncheckimagerect", "unenabledcheckimagerect",
                     "unenableduncheckimagerect"}) +
              Morph()}},
        {"gauge",
         {"TbsDataSkinGaugeControl", kCustom + Rects({"progressarea", "progressrect"}) +
                                         Keys{Int("beginoffset"), Int("endoffset"), Bool("vertical")} + FontKeys()}},
        {"splitter", {"TbsDataSkinSplitterControl", kCustom}},
        {"trackbar",
         {"TbsDataSkinTrackBarControl", kCustom + Rects({"trackarea", "buttonrect", "activebuttonrect"}) +
                                            Keys{Bool("vertical")}}},
        {"label", {"TbsDataSkinLabelControl", kCustom + FontKeys()}},
        {"stdlabel", {"TbsDataSkinStdLabelControl", kControl + FontKeys() + Keys{Col("activefontcolor", "16711680")}}},
        {"updown", {"TbsDataSkinUpDownControl", kCustom + kUpDownButtons}},
        {"grid",
         {"TbsDataSkinGridControl",
          kControl + Rects({"fixedcellrect", "selectcellrect", "focuscellrect"}) +
              Keys{Int("fixedcellleftoffset"), Int("fixedcellrightoffset"), Rc("fixedcelltextrect"), Int("cellleftoffset"),
                   Int("cellrightoffset"), Rc("celltextrect"), Col("linescolor"), Col("bgcolor")} +
              FontKeys() + Keys{Col("selectfontcolor"), Col("focusfontcolor")} + FontKeys("fixed")}},
        {"tab",
         {"TbsDataSkinTabControl",
          kControl + Rects({"tabrect", "activetabrect", "focustabrect", "mouseintabrect", "clientrect"}) +
              Keys{Int("bgpictureindex", "-1")} + Anchors() +
              Keys{Int("tableftoffset"), Int("tabrightoffset"), Rc("tabsbgrect")} + FontKeys() +
              Keys{Col("activefontcolor"), Col("focusfontcolor"), Col("mouseinfontcolor"), Str("updown")}}},
        {"mainmenubar",
         {"TbsDataSkinMainMenuBar",
          kControl + Keys{Rc("itemsrect"), Str("menubaritem"), Str("closebutton"), Str("minbutton"), Str("maxbutton"),
                          Str("sysmenubutton"), Col("trackmarkcolor"), Col("trackmarkactivecolor")}}},
        {"controlbar", {"TbsDataSkinControlBar", kCustom + Keys{Rc("itemrect"), Int("bgpictureindex", "-1")}}},
        {"edit", {"TbsDataSkinEditControl", kEdit}},
        {"memo", {"TbsDataSkinMemoControl", kEdit + Keys{Col("bgcolor"), Col("activebgcolor")}}},
        {"listbox", {"TbsDataSkinListBox", kListBox}},
        {"checklistbox",
         {"TbsDataSkinCheckListBox", kListBox + Rects({"itemcheckrect", "checkimagerect", "uncheckimagerect"})}},
        {"combobox",
         {"TbsDataSkinComboBox",
          kCustom + Rects({"itemrect", "focusitemrect"}) +
              Keys{Int("itemleftoffset"), Int("itemrightoffset"), Rc("itemtextrect")} + FontKeys() +
              Keys{Col("focusfontcolor"), Str("listboxname")} +
              Rects({"buttonrect", "activebuttonrect", "downbuttonrect", "unenabledbuttonrect"})}},
        {"scrollbar",
         {"TbsDataSkinScrollBarControl",
          kCustom + Keys{Rc("trackarea")} + kUpDownButtons + Rects({"thumbrect", "activethumbrect", "downthumbrect"}) +
              Keys{Int("thumboffset1"), Int("thumboffset2")} + Rects({"glyphrect", "activeglyphrect", "downglyphrect"})}},
        {"spinedit", {"TbsDataSkinSpinEditControl", kCustom + FontKeys() + kUpDownButtons}},
        {"scrollbox", {"TbsDataSkinScrollBoxControl", kCustom + Keys{Int("bgpictureindex", "-1")}}},
        {"treeview", {"TbsDataSkinTreeView", kControl + FontKeys() + Keys{Col("bgcolor")}}},
        {"listview", {"TbsDataSkinListView", kControl + FontKeys() + Keys{Col("bgcolor")}}},
        {"richedit", {"TbsDataSkinRichEdit", kControl + FontKeys() + Keys{Col("bgcolor")}}},
        {"bevel", {"TbsDataSkinBevel", kControl + Keys{Col("lightcolor"), Col("darkcolor")}}},
        {"slider",
         {"TbsDataSkinSlider", kControl + Keys{Col("bgcolor")} + Rects({"hrulerrect", "hthumbrect", "vrulerrect", "vthumbrect"}) +
                                   Keys{Int("edgesize"), Col("pointscolor")}}},
    };
    return table;
}

// Object entry classes.
const Keys kObject = {Str("hint"), Int("activepictureindex", "-1"), Bool("skinrectinapicture"), Rc("skinrect"),
                      Rc("activeskinrect"), Bool("morphing"), {"morphkind", K::MorphKind, "mkdefault"}};
const Keys kObjButton = kObject + Rects({"downrect", "disableskinrsect"});
const Keys kStdButton = kObjButton + Keys{{"command", K::Command, "cmdefault"}} +
                        Rects({"restorerect", "restoreactiverect", "restoredownrect", "restoreinactiverect"});
const Keys kMainMenuItem = kObject + Keys{Int("itemleftoffset"), Int("itemrightoffset"), Rc("downrect"), Rc("textrect")} +
                           FontKeys() +
                           Keys{Col("activefontcolor"), Col("downfontcolor"), Col("unenabledfontcolor")};

const std::map<std::string, ClassSpec>& Objects() {
    static const std::map<std::string, ClassSpec> table = {
        {"userobject", {"TbsDataUserObject", {Rc("skinrect")}}},
        {"button", {"TbsDataSkinButton", kObjButton}},
        {"stdbutton", {"TbsDataSkinStdButton", kStdButton}},
        {"mainmenubarbutton", {"TbsDataSkinMainMenuBarButton", kStdButton}},
        {"menuitem",
         {"TbsDataSkinMenuItem",
          kObject + Keys{Int("itemleftoffset"), Int("itemrightoffset"), Rc("dividerrect"), Int("dividerleftoffset"),
                         Int("dividerrightoffset"), Rc("textrect")} +
              FontKeys() + Keys{Col("activefontcolor"), Col("unenabledfontcolor")}}},
        {"mainmenubaritem", {"TbsDataSkinMainMenuBarItem", kMainMenuItem}},
        {"caption",
         {"TbsDataSkinCaption",
          kObject + Keys{Rc("textrect")} + FontKeys() +
              Keys{Col("activefontcolor"), {"alignment", K::Alignment, "tacenter"}, Bool("shadow"), Col("shadowcolor"),
                   Col("activeshadowcolor")} +
              Rects({"framerect", "activeframerect", "frametextrect"}) +
              Keys{Int("frameleftoffset"), Int("framerightoffset")}}},
    };
    return table;
}

}  // namespace

const KeySpec* ClassSpec::find(const std::string& key) const {
    for (const KeySpec& k : keys)
        if (k.name == key) return &k;
    return nullptr;
}

const ClassSpec* ControlClass(const std::string& type) {
    auto it = Controls().find(type);
    return it == Controls().end() ? nullptr : &it->second;
}

const ClassSpec* ObjectClass(const std::string& type) {
    auto it = Objects().find(type);
    return it == Objects().end() ? nullptr : &it->second;
}

const ClassSpec& FormInfoKeys() {
    static const ClassSpec entryClass{
        "FORMINFO",
        Anchors() + Keys{Rc("clientrect"), Int("bgpictureindex", "-1"), Rc("maskrectarea"), Pnt("hittestlefttoppoint"),
                         Pnt("hittestrighttoppoint"), Pnt("hittestleftbottompoint"), Pnt("hittestrightbottompoint"),
                         Rc("buttonsrect"), Rc("captionrect"), Int("buttonsoffset"), Bool("buttonsinleft"),
                         Bool("mainmenupopupup"), Int("borderwidth"), Bool("autorenderinginactiveimage"),
                         {"inactiveeffect", K::InactiveEffect, "iebrightness"}}};
    return entryClass;
}

const ClassSpec& PopupWindowKeys() {
    static const ClassSpec entryClass{"POPUPWINDOW", Keys{Int("windowpictureindex", "-1"), Int("maskpictureindex", "-1")} +
                                                   Anchors() +
                                                   Keys{Rc("itemsrect"), Col("scrollmarkercolor"),
                                                        Col("scrollmarkeractivecolor")}};
    return entryClass;
}

const ClassSpec& HintWindowKeys() {
    static const ClassSpec entryClass{"HINTWINDOW", Keys{Int("windowpictureindex", "-1"), Int("maskpictureindex", "-1")} +
                                                  Anchors() + Keys{Rc("clientrect")} + FontKeys()};
    return entryClass;
}

Section& Section::set(const std::string& key, const QString& value) {
    if (entryClass_ && !entryClass_->find(key))
        throw std::runtime_error("[" + name_ + "]: " + entryClass_->className + " has no key \"" + key + "\"");
    if (!values_.count(key)) order_.push_back(key);
    values_[key] = value;
    return *this;
}

Section& Section::r(const std::string& key, const Rect& v) {
    if (v.l < 0 || v.t < 0 || v.r < 0 || v.b < 0)
        throw std::runtime_error("[" + name_ + "] " + key + ": a definition cannot write negative numbers");
    return set(key, QStringLiteral("%1,%2,%3,%4").arg(v.l).arg(v.t).arg(v.r).arg(v.b));
}

Section& Section::p(const std::string& key, const Pt& v) {
    if (v.x < 0 || v.y < 0) throw std::runtime_error("[" + name_ + "] " + key + ": negative point");
    return set(key, QStringLiteral("%1,%2").arg(v.x).arg(v.y));
}

Section& Section::font(const Font& f, const std::string& prefix) {
    set(prefix + "fontname", f.name);
    i(prefix + "fontheight", f.height);
    set(prefix + "fontstyle", f.bold ? QStringLiteral("fsbold") : QString());
    return c(prefix + "fontcolor", f.colour);
}

QString Section::value(const std::string& key) const {
    auto it = values_.find(key);
    if (it != values_.end()) return it->second;
    if (entryClass_)
        if (const KeySpec* k = entryClass_->find(key)) return QString::fromStdString(k->def);
    return {};
}

QStringList Section::lines() const {
    QStringList out;
    out << QStringLiteral("[%1]").arg(QString::fromStdString(name_));
    if (entryClass_) {
        for (const KeySpec& k : entryClass_->keys) out << QString::fromStdString(k.name) + '=' + value(k.name);
    } else {
        for (const std::string& k : order_) out << QString::fromStdString(k) + '=' + values_.at(k);
    }
    return out;
}

Definition::Definition()
    : version_(std::make_unique<Section>("VERSION", nullptr)),
      pictures_(std::make_unique<Section>("PICTURES", nullptr)),
      formInfo_(std::make_unique<Section>("FORMINFO", &FormInfoKeys())),
      popupWindow_(std::make_unique<Section>("POPUPWINDOW", &PopupWindowKeys())),
      hintWindow_(std::make_unique<Section>("HINTWINDOW", &HintWindowKeys())) {}

namespace {

void CheckNewName(const std::string& name, const std::string& type) {
    if (name.empty() || name.find(':') != std::string::npos || name.find('=') != std::string::npos ||
        name.find(']') != std::string::npos)
        throw std::runtime_error("entry name \"" + name + "\" (" + type + ") cannot stand in the definition");
}

}  // namespace

Section& Definition::object(const std::string& name, const std::string& type) {
    CheckNewName(name, type);
    for (const Entry& e : objects_)
        if (e.name == name) throw std::runtime_error("object \"" + name + "\" twice");
    objects_.push_back({name, type, std::make_unique<Section>(name, ObjectClass(type))});
    return *objects_.back().section;
}

Section& Definition::control(const std::string& name, const std::string& type) {
    CheckNewName(name, type);
    const ClassSpec* entryClass = ControlClass(type);
    if (!entryClass) throw std::runtime_error("control \"" + name + "\": no entry class reads type \"" + type + "\"");
    for (const Entry& e : controls_)
        if (e.name == name) throw std::runtime_error("control \"" + name + "\" twice");
    controls_.push_back({name, type, std::make_unique<Section>(name, entryClass)});
    return *controls_.back().section;
}

void Definition::moveControlsToFront(const std::vector<std::string>& names) {
    std::vector<Entry> front;
    for (const std::string& n : names) {
        auto it = std::find_if(controls_.begin(), controls_.end(), [&](const Entry& e) { return e.name == n; });
        if (it == controls_.end()) throw std::runtime_error("no control \"" + n + "\" to move");
        front.push_back(std::move(*it));
        controls_.erase(it);
    }
    for (Entry& e : controls_) front.push_back(std::move(e));
    controls_ = std::move(front);
}

QStringList Definition::lines(const QStringList& header) const {
    QStringList out = header;
    auto section = [&](const Section& s) {
        if (!out.isEmpty()) out << QString();
        out << s.lines();
    };
    section(*version_);
    section(*pictures_);
    section(*formInfo_);
    section(*popupWindow_);
    section(*hintWindow_);
    auto list = [&](const char* name, const std::vector<Entry>& entries) {
        out << QString() << QStringLiteral("[%1]").arg(QLatin1String(name));
        out << QStringLiteral("count=%1").arg(entries.size());
        for (size_t k = 0; k < entries.size(); ++k)
            out << QStringLiteral("%1=%2:%3")
                       .arg(k)
                       .arg(QString::fromStdString(entries[k].name), QString::fromStdString(entries[k].type));
    };
    list("SKINOBJECTS", objects_);
    list("SKINCONTROLS", controls_);
    for (const Entry& e : objects_) section(*e.section);
    for (const Entry& e : controls_) section(*e.section);
    return out;
}

}  // namespace skinauthor
