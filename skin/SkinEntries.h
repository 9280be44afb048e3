#pragma once
// The entries of a skin definition: one class per kind of skinned control (the control
// entries, listed in [SKINCONTROLS]) and per kind of frame object (the object entries,
// listed in [SKINOBJECTS]), plus the window sections [FORMINFO], [POPUPWINDOW] and
// [HINTWINDOW].
//
// The classes differ only in their keys, so each one declares a table of its own keys
// {key, default as written, field}. One reader, one writer and one describer (used by
// the dump) walk those tables; SkinKeyed<Self, Base> wires a class's table into the
// virtual operations so that a derived class always reads its base class's keys first.
// Fields are public and named by their keys, as the drawing code addresses them.
//
// Lifetime: entries are owned by TbsSkinData and live until its next ClearSkin.

#include <QPoint>
#include <QString>

#include <memory>
#include <span>
#include <variant>
#include <vector>

#include "skin/SkinValues.h"

namespace skin {

class SkinIni;

// A field of one entry, bound to its place in memory.
// Lambdas combined into one visitor for std::visit over FieldPtr.
template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

using FieldPtr = std::variant<int*, Rect*, QPoint*, bool*, FontStyles*, Alignment*, MorphKind*, InactiveEffect*,
                              StdCommand*, QString*>;

struct FieldRef {
    const char* key;  // lower-case key name
    const char* def;  // the default in its written form
    FieldPtr field;
};

// Reads one key (or its default when missing) into its field; never fails.
void ReadField(const FieldRef& f, const SkinIni& ini, const QString& section);
// The field's value in its written form.
QString FormatField(const FieldRef& f);

// Writes every field's key in its written form into section.
void WriteFields(const std::vector<FieldRef>& fields, SkinIni& ini, const QString& section);

// One row of a class's key table: a member of class C.
template <class C>
using MemberOf = std::variant<int C::*, Rect C::*, QPoint C::*, bool C::*, FontStyles C::*, Alignment C::*,
                              MorphKind C::*, InactiveEffect C::*, StdCommand C::*, QString C::*>;
template <class C>
struct KeyRow {
    const char* key;
    const char* def;
    MemberOf<C> member;
};

// Root of every entry: the name (also its section) and the two operations.
class SkinEntry {
public:
    explicit SkinEntry(QString idName) : IDName(std::move(idName)) {}
    virtual ~SkinEntry() = default;
    SkinEntry(const SkinEntry&) = delete;
    SkinEntry& operator=(const SkinEntry&) = delete;

    QString IDName;

    // Reads the class's keys from section IDName (base class keys first).
    virtual void LoadFromIni(const SkinIni& ini) = 0;
    // Erases section IDName and writes the same keys back in their written forms.
    virtual void SaveToIni(SkinIni& ini) const = 0;

    // The class name ("TbsDataSkinPanelControl") and the type word that creates it in
    // its list ("panel"); empty for classes no list creates.
    virtual const char* ClassName() const = 0;
    virtual const char* TypeName() const = 0;

    // Every key of the class, inherited ones first, bound to this entry's fields.
    std::vector<FieldRef> Fields() {
        std::vector<FieldRef> out;
        CollectFields(out);
        return out;
    }

protected:
    virtual void CollectFields(std::vector<FieldRef>& out) = 0;
};

// Roots of the two hierarchies carry no keys of their own; they only start the chain.
class SkinEntryRoot : public SkinEntry {
public:
    using SkinEntry::SkinEntry;
    void LoadFromIni(const SkinIni&) override {}
    void SaveToIni(SkinIni& ini) const override;

protected:
    void CollectFields(std::vector<FieldRef>&) override {}
};

// Gives class Self (derived from Base) the operations driven by Self::Keys().
template <class Self, class Base>
class SkinKeyed : public Base {
public:
    using Base::Base;

    void LoadFromIni(const SkinIni& ini) override {
        Base::LoadFromIni(ini);
        for (const FieldRef& f : OwnFields()) ReadField(f, ini, this->IDName);
    }
    void SaveToIni(SkinIni& ini) const override {
        Base::SaveToIni(ini);
        // OwnFields binds non-const pointers; they are only read here.
        WriteFields(const_cast<SkinKeyed*>(this)->OwnFields(), ini, this->IDName);
    }
    const char* ClassName() const override { return Self::kClassName; }
    const char* TypeName() const override { return Self::kTypeName; }

protected:
    void CollectFields(std::vector<FieldRef>& out) override {
        Base::CollectFields(out);
        const std::vector<FieldRef> own = OwnFields();
        out.insert(out.end(), own.begin(), own.end());
    }

private:
    std::vector<FieldRef> OwnFields() {
        Self& self = static_cast<Self&>(*this);
        std::vector<FieldRef> out;
        for (const KeyRow<Self>& row : Self::Keys())
            out.push_back({row.key, row.def, std::visit([&](auto m) -> FieldPtr { return &(self.*m); }, row.member)});
        return out;
    }
};

// The font key groups: fontname "Arial", fontheight 14, fontstyle empty, fontcolor 0,
// and the same with the prefixes "caption" and "fixed".
struct SkinFontKeys {
    QString fontname = QStringLiteral("Arial");
    int fontheight = 14;
    FontStyles fontstyle;
    TColor fontcolor = 0;
};
struct SkinCaptionFontKeys {
    QString captionfontname = QStringLiteral("Arial");
    int captionfontheight = 14;
    FontStyles captionfontstyle;
    TColor captionfontcolor = 0;
};
struct SkinFixedFontKeys {
    QString fixedfontname = QStringLiteral("Arial");
    int fixedfontheight = 14;
    FontStyles fixedfontstyle;
    TColor fixedfontcolor = 0;
};

// Shorthand for the class declarations below.
#define MARLITH_SKIN_ENTRY(Class, Type)                  \
public:                                                  \
    static constexpr const char* kClassName = #Class;    \
    static constexpr const char* kTypeName = Type;       \
    static const std::vector<KeyRow<Class>>& Keys();

// ===== Window sections ===================================================================

// [FORMINFO]: the window frame geometry. After reading, the anchor points are pulled
// inside clientrect (see LoadFromIni).
class TbsDataSkinFormInfo : public SkinKeyed<TbsDataSkinFormInfo, SkinEntryRoot> {
    MARLITH_SKIN_ENTRY(TbsDataSkinFormInfo, "")
    TbsDataSkinFormInfo() : SkinKeyed(QStringLiteral("FORMINFO")) {}
    void LoadFromIni(const SkinIni& ini) override;

    QPoint lefttoppoint, righttoppoint, leftbottompoint, rightbottompoint;
    Rect clientrect;
    int bgpictureindex = -1;
    Rect maskrectarea;
    QPoint hittestlefttoppoint, hittestrighttoppoint, hittestleftbottompoint, hittestrightbottompoint;
    Rect buttonsrect;
    Rect captionrect;
    int buttonsoffset = 0;
    bool buttonsinleft = false;
    bool mainmenupopupup = false;
    int borderwidth = 0;
    bool autorenderinginactiveimage = false;
    InactiveEffect inactiveeffect = ieBrightness;
};

// [POPUPWINDOW]
class TbsDataSkinPopupWindow : public SkinKeyed<TbsDataSkinPopupWindow, SkinEntryRoot> {
    MARLITH_SKIN_ENTRY(TbsDataSkinPopupWindow, "")
    TbsDataSkinPopupWindow() : SkinKeyed(QStringLiteral("POPUPWINDOW")) {}

    int windowpictureindex = -1;
    int maskpictureindex = -1;
    QPoint lefttoppoint, righttoppoint, leftbottompoint, rightbottompoint;
    Rect itemsrect;
    TColor scrollmarkercolor = 0;
    TColor scrollmarkeractivecolor = 0;
};

// [HINTWINDOW]
class TbsDataSkinHintWindow : public SkinKeyed<TbsDataSkinHintWindow, SkinEntryRoot>, public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinHintWindow, "")
    TbsDataSkinHintWindow() : SkinKeyed(QStringLiteral("HINTWINDOW")) {}

    int windowpictureindex = -1;
    int maskpictureindex = -1;
    QPoint lefttoppoint, righttoppoint, leftbottompoint, rightbottompoint;
    Rect clientrect;
};

// ===== Control entries =====================================================================

class TbsDataSkinControl : public SkinKeyed<TbsDataSkinControl, SkinEntryRoot> {
    MARLITH_SKIN_ENTRY(TbsDataSkinControl, "")
    using SkinKeyed::SkinKeyed;
    int pictureindex = -1;
    int maskpictureindex = -1;
    Rect skinrect;
};

class TbsDataSkinCustomControl : public SkinKeyed<TbsDataSkinCustomControl, TbsDataSkinControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinCustomControl, "")
    using SkinKeyed::SkinKeyed;
    QPoint lefttoppoint, righttoppoint, leftbottompoint, rightbottompoint;
    Rect clientrect;
};

class TbsDataSkinPanelControl : public SkinKeyed<TbsDataSkinPanelControl, TbsDataSkinCustomControl>,
                                public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinPanelControl, "panel")
    using SkinKeyed::SkinKeyed;
    int bgpictureindex = -1;
    Rect captionrect, rollupmarkerrect, restoremarkerrect;
    Alignment alignment = taCenter;
    Rect checkimagerect, uncheckimagerect;
};

class TbsDataSkinExPanelControl : public SkinKeyed<TbsDataSkinExPanelControl, TbsDataSkinCustomControl>,
                                  public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinExPanelControl, "expanel")
    using SkinKeyed::SkinKeyed;
    Rect rollhskinrect, rollvskinrect;
    int rollleftoffset = 0, rollrightoffset = 0, rolltopoffset = 0, rollbottomoffset = 0;
    Rect rollvcaptionrect, rollhcaptionrect;
    Rect closebuttonrect, closebuttonactiverect, closebuttondownrect;
    Rect hrollbuttonrect, hrollbuttonactiverect, hrollbuttondownrect;
    Rect hrestorebuttonrect, hrestorebuttonactiverect, hrestorebuttondownrect;
    Rect vrollbuttonrect, vrollbuttonactiverect, vrollbuttondownrect;
    Rect vrestorebuttonrect, vrestorebuttonactiverect, vrestorebuttondownrect;
    Rect captionrect;
};

class TbsDataSkinButtonControl : public SkinKeyed<TbsDataSkinButtonControl, TbsDataSkinCustomControl>,
                                 public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinButtonControl, "button")
    using SkinKeyed::SkinKeyed;
    TColor activefontcolor = 0, downfontcolor = 0, disabledfontcolor = 0;
    Rect activeskinrect, downskinrect, disabledskinrect;
    bool morphing = false;
    MorphKind morphkind = mkDefault;
};

class TbsDataSkinMenuButtonControl : public SkinKeyed<TbsDataSkinMenuButtonControl, TbsDataSkinButtonControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinMenuButtonControl, "menubutton")
    using SkinKeyed::SkinKeyed;
    Rect trackbuttonrect;
};

class TbsDataSkinCheckRadioControl : public SkinKeyed<TbsDataSkinCheckRadioControl, TbsDataSkinCustomControl>,
                                     public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinCheckRadioControl, "checkradio")
    using SkinKeyed::SkinKeyed;
    TColor activefontcolor = 0, unenabledfontcolor = 0, framefontcolor = 0;
    Rect activeskinrect, checkimagearea, textarea, checkimagerect, uncheckimagerect, activecheckimagerect,
        activeuncheckimagerect, unenabledcheckimagerect, unenableduncheckimagerect;
    bool morphing = false;
    MorphKind morphkind = mkDefault;
};

class TbsDataSkinGaugeControl : public SkinKeyed<TbsDataSkinGaugeControl, TbsDataSkinCustomControl>,
                                public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinGaugeControl, "gauge")
    using SkinKeyed::SkinKeyed;
    Rect progressarea, progressrect;
    int beginoffset = 0, endoffset = 0;
    bool vertical = false;
};

class TbsDataSkinSplitterControl : public SkinKeyed<TbsDataSkinSplitterControl, TbsDataSkinCustomControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinSplitterControl, "splitter")
    using SkinKeyed::SkinKeyed;
};

class TbsDataSkinTrackBarControl : public SkinKeyed<TbsDataSkinTrackBarControl, TbsDataSkinCustomControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinTrackBarControl, "trackbar")
    using SkinKeyed::SkinKeyed;
    Rect trackarea, buttonrect, activebuttonrect;
    bool vertical = false;
};

class TbsDataSkinLabelControl : public SkinKeyed<TbsDataSkinLabelControl, TbsDataSkinCustomControl>,
                                public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinLabelControl, "label")
    using SkinKeyed::SkinKeyed;
};

class TbsDataSkinStdLabelControl : public SkinKeyed<TbsDataSkinStdLabelControl, TbsDataSkinControl>,
                                   public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinStdLabelControl, "stdlabel")
    using SkinKeyed::SkinKeyed;
    TColor activefontcolor = 0xFF0000;
};

// The section's anchor points and clientrect are ignored: they are zero after loading.
class TbsDataSkinUpDownControl : public SkinKeyed<TbsDataSkinUpDownControl, TbsDataSkinCustomControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinUpDownControl, "updown")
    using SkinKeyed::SkinKeyed;
    void LoadFromIni(const SkinIni& ini) override;
    Rect upbuttonrect, activeupbuttonrect, downupbuttonrect, downbuttonrect, activedownbuttonrect,
        downdownbuttonrect;
};

class TbsDataSkinGridControl : public SkinKeyed<TbsDataSkinGridControl, TbsDataSkinControl>,
                               public SkinFontKeys,
                               public SkinFixedFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinGridControl, "grid")
    using SkinKeyed::SkinKeyed;
    Rect fixedcellrect, selectcellrect, focuscellrect;
    int fixedcellleftoffset = 0, fixedcellrightoffset = 0;
    Rect fixedcelltextrect;
    int cellleftoffset = 0, cellrightoffset = 0;
    Rect celltextrect;
    TColor linescolor = 0, bgcolor = 0;
    TColor selectfontcolor = 0, focusfontcolor = 0;
};

class TbsDataSkinTabControl : public SkinKeyed<TbsDataSkinTabControl, TbsDataSkinControl>, public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinTabControl, "tab")
    using SkinKeyed::SkinKeyed;
    Rect tabrect, activetabrect, focustabrect, mouseintabrect, clientrect;
    int bgpictureindex = -1;
    QPoint lefttoppoint, righttoppoint, leftbottompoint, rightbottompoint;
    int tableftoffset = 0, tabrightoffset = 0;
    Rect tabsbgrect;
    TColor activefontcolor = 0, focusfontcolor = 0, mouseinfontcolor = 0;
    QString updown;  // name of an up-down control entry
};

class TbsDataSkinMainMenuBar : public SkinKeyed<TbsDataSkinMainMenuBar, TbsDataSkinControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinMainMenuBar, "mainmenubar")
    using SkinKeyed::SkinKeyed;
    Rect itemsrect;
    // names of object entries
    QString menubaritem, closebutton, minbutton, maxbutton, sysmenubutton;
    TColor trackmarkcolor = 0, trackmarkactivecolor = 0;
};

class TbsDataSkinControlBar : public SkinKeyed<TbsDataSkinControlBar, TbsDataSkinCustomControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinControlBar, "controlbar")
    using SkinKeyed::SkinKeyed;
    Rect itemrect;
    int bgpictureindex = -1;
};

class TbsDataSkinEditControl : public SkinKeyed<TbsDataSkinEditControl, TbsDataSkinCustomControl>,
                               public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinEditControl, "edit")
    using SkinKeyed::SkinKeyed;
    Rect activeskinrect;
    TColor disabledfontcolor = 0, activefontcolor = 0;
    Rect buttonrect, activebuttonrect, downbuttonrect, unenabledbuttonrect;
};

class TbsDataSkinMemoControl : public SkinKeyed<TbsDataSkinMemoControl, TbsDataSkinEditControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinMemoControl, "memo")
    using SkinKeyed::SkinKeyed;
    TColor bgcolor = 0, activebgcolor = 0;
};

class TbsDataSkinListBox : public SkinKeyed<TbsDataSkinListBox, TbsDataSkinCustomControl>,
                           public SkinFontKeys,
                           public SkinCaptionFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinListBox, "listbox")
    using SkinKeyed::SkinKeyed;
    Rect itemrect, activeitemrect, focusitemrect;
    int itemleftoffset = 0, itemrightoffset = 0;
    Rect itemtextrect;
    TColor activefontcolor = 0, focusfontcolor = 0;
    Rect captionrect;
    Rect upbuttonrect, activeupbuttonrect, downupbuttonrect, downbuttonrect, activedownbuttonrect,
        downdownbuttonrect, checkbuttonrect, activecheckbuttonrect, downcheckbuttonrect;
    QString vscrollbarname = QStringLiteral("vscrollbar");
    QString hscrollbarname = QStringLiteral("hscrollbar");
    QString bothhscrollbarname = QStringLiteral("bothhscrollbar");
};

class TbsDataSkinCheckListBox : public SkinKeyed<TbsDataSkinCheckListBox, TbsDataSkinListBox> {
    MARLITH_SKIN_ENTRY(TbsDataSkinCheckListBox, "checklistbox")
    using SkinKeyed::SkinKeyed;
    Rect itemcheckrect, checkimagerect, uncheckimagerect;
};

class TbsDataSkinComboBox : public SkinKeyed<TbsDataSkinComboBox, TbsDataSkinCustomControl>, public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinComboBox, "combobox")
    using SkinKeyed::SkinKeyed;
    Rect itemrect, focusitemrect;
    int itemleftoffset = 0, itemrightoffset = 0;
    Rect itemtextrect;
    TColor focusfontcolor = 0;
    QString listboxname;
    Rect buttonrect, activebuttonrect, downbuttonrect, unenabledbuttonrect;
};

class TbsDataSkinScrollBarControl : public SkinKeyed<TbsDataSkinScrollBarControl, TbsDataSkinCustomControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinScrollBarControl, "scrollbar")
    using SkinKeyed::SkinKeyed;
    Rect trackarea, upbuttonrect, activeupbuttonrect, downupbuttonrect, downbuttonrect, activedownbuttonrect,
        downdownbuttonrect, thumbrect, activethumbrect, downthumbrect;
    int thumboffset1 = 0, thumboffset2 = 0;
    Rect glyphrect, activeglyphrect, downglyphrect;
};

class TbsDataSkinSpinEditControl : public SkinKeyed<TbsDataSkinSpinEditControl, TbsDataSkinCustomControl>,
                                   public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinSpinEditControl, "spinedit")
    using SkinKeyed::SkinKeyed;
    Rect upbuttonrect, activeupbuttonrect, downupbuttonrect, downbuttonrect, activedownbuttonrect,
        downdownbuttonrect;
};

class TbsDataSkinScrollBoxControl : public SkinKeyed<TbsDataSkinScrollBoxControl, TbsDataSkinCustomControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinScrollBoxControl, "scrollbox")
    using SkinKeyed::SkinKeyed;
    int bgpictureindex = -1;
};

class TbsDataSkinTreeView : public SkinKeyed<TbsDataSkinTreeView, TbsDataSkinControl>, public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinTreeView, "treeview")
    using SkinKeyed::SkinKeyed;
    TColor bgcolor = 0;
};

class TbsDataSkinListView : public SkinKeyed<TbsDataSkinListView, TbsDataSkinControl>, public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinListView, "listview")
    using SkinKeyed::SkinKeyed;
    TColor bgcolor = 0;
};

class TbsDataSkinRichEdit : public SkinKeyed<TbsDataSkinRichEdit, TbsDataSkinControl>, public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinRichEdit, "richedit")
    using SkinKeyed::SkinKeyed;
    TColor bgcolor = 0;
};

class TbsDataSkinBevel : public SkinKeyed<TbsDataSkinBevel, TbsDataSkinControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinBevel, "bevel")
    using SkinKeyed::SkinKeyed;
    TColor lightcolor = 0, darkcolor = 0;
};

class TbsDataSkinSlider : public SkinKeyed<TbsDataSkinSlider, TbsDataSkinControl> {
    MARLITH_SKIN_ENTRY(TbsDataSkinSlider, "slider")
    using SkinKeyed::SkinKeyed;
    TColor bgcolor = 0;
    Rect hrulerrect, hthumbrect, vrulerrect, vthumbrect;
    int edgesize = 0;
    TColor pointscolor = 0;
};

// ===== Object entries ======================================================================

// skinrect and activeskinrect are in the active picture at activepictureindex when
// skinrectinapicture is set and the index is valid; otherwise skinrect is in the form
// picture and activeskinrect in the active picture.
class TbsDataSkinObject : public SkinKeyed<TbsDataSkinObject, SkinEntryRoot> {
    MARLITH_SKIN_ENTRY(TbsDataSkinObject, "")
    using SkinKeyed::SkinKeyed;
    QString hint;
    int activepictureindex = -1;
    bool skinrectinapicture = false;
    Rect skinrect, activeskinrect;
    bool morphing = false;
    MorphKind morphkind = mkDefault;
};

// Reads skinrect only; every inherited field keeps its initial value.
class TbsDataUserObject : public SkinKeyed<TbsDataUserObject, TbsDataSkinObject> {
    MARLITH_SKIN_ENTRY(TbsDataUserObject, "userobject")
    using SkinKeyed::SkinKeyed;
    void LoadFromIni(const SkinIni& ini) override;
    void SaveToIni(SkinIni& ini) const override;
};

class TbsDataSkinButton : public SkinKeyed<TbsDataSkinButton, TbsDataSkinObject> {
    MARLITH_SKIN_ENTRY(TbsDataSkinButton, "button")
    using SkinKeyed::SkinKeyed;
    Rect downrect;
    Rect disableskinrsect;  // the key is spelled so in every definition
};

class TbsDataSkinStdButton : public SkinKeyed<TbsDataSkinStdButton, TbsDataSkinButton> {
    MARLITH_SKIN_ENTRY(TbsDataSkinStdButton, "stdbutton")
    using SkinKeyed::SkinKeyed;
    StdCommand command = cmDefault;
    Rect restorerect, restoreactiverect, restoredownrect, restoreinactiverect;
};

class TbsDataSkinMainMenuBarButton : public SkinKeyed<TbsDataSkinMainMenuBarButton, TbsDataSkinStdButton> {
    MARLITH_SKIN_ENTRY(TbsDataSkinMainMenuBarButton, "mainmenubarbutton")
    using SkinKeyed::SkinKeyed;
};

class TbsDataSkinMenuItem : public SkinKeyed<TbsDataSkinMenuItem, TbsDataSkinObject>, public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinMenuItem, "menuitem")
    using SkinKeyed::SkinKeyed;
    int itemleftoffset = 0, itemrightoffset = 0;
    Rect dividerrect;
    int dividerleftoffset = 0, dividerrightoffset = 0;
    Rect textrect;
    TColor activefontcolor = 0, unenabledfontcolor = 0;
};

class TbsDataSkinMainMenuItem : public SkinKeyed<TbsDataSkinMainMenuItem, TbsDataSkinObject>, public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinMainMenuItem, "")
    using SkinKeyed::SkinKeyed;
    int itemleftoffset = 0, itemrightoffset = 0;
    Rect downrect, textrect;
    TColor activefontcolor = 0, downfontcolor = 0;
    TColor unenabledfontcolor = 0;  // written "unenabledfontColor"; keys match without case
};

class TbsDataSkinMainMenuBarItem : public SkinKeyed<TbsDataSkinMainMenuBarItem, TbsDataSkinMainMenuItem> {
    MARLITH_SKIN_ENTRY(TbsDataSkinMainMenuBarItem, "mainmenubaritem")
    using SkinKeyed::SkinKeyed;
};

class TbsDataSkinCaption : public SkinKeyed<TbsDataSkinCaption, TbsDataSkinObject>, public SkinFontKeys {
    MARLITH_SKIN_ENTRY(TbsDataSkinCaption, "caption")
    using SkinKeyed::SkinKeyed;
    Rect textrect;
    TColor activefontcolor = 0;
    Alignment alignment = taCenter;
    bool shadow = false;
    TColor shadowcolor = 0, activeshadowcolor = 0;
    Rect framerect, activeframerect, frametextrect;
    int frameleftoffset = 0, framerightoffset = 0;
};

#undef MARLITH_SKIN_ENTRY

// ===== Creation by type word ==============================================================

// The entry of a [SKINCONTROLS] / [SKINOBJECTS] type word (exact, case-sensitive), or
// nullptr for a type not in the tables (such as "animate").
std::unique_ptr<TbsDataSkinControl> CreateSkinControl(const QString& type, const QString& name);
std::unique_ptr<TbsDataSkinObject> CreateSkinObject(const QString& type, const QString& name);
// Every type word each list knows, in table order.
QStringList SkinControlTypes();
QStringList SkinObjectTypes();

}  // namespace skin
