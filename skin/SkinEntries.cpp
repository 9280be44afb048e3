#include "skin/SkinEntries.h"

#include <algorithm>
#include <initializer_list>

#include "skin/SkinIni.h"

namespace skin {

namespace {


// Written forms of the common defaults.
constexpr const char* kRect = "0,0,0,0";
constexpr const char* kPoint = "0,0";
constexpr const char* kZero = "0";
constexpr const char* kNoPicture = "-1";
constexpr const char* kEmpty = "";
constexpr const char* kFalse = "0";

template <class C>
std::vector<KeyRow<C>> Join(std::initializer_list<std::vector<KeyRow<C>>> parts) {
    std::vector<KeyRow<C>> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

template <class C>
std::vector<KeyRow<C>> FontRows() {
    return {{"fontname", "Arial", &C::fontname},
            {"fontheight", "14", &C::fontheight},
            {"fontstyle", kEmpty, &C::fontstyle},
            {"fontcolor", kZero, &C::fontcolor}};
}
template <class C>
std::vector<KeyRow<C>> CaptionFontRows() {
    return {{"captionfontname", "Arial", &C::captionfontname},
            {"captionfontheight", "14", &C::captionfontheight},
            {"captionfontstyle", kEmpty, &C::captionfontstyle},
            {"captionfontcolor", kZero, &C::captionfontcolor}};
}
template <class C>
std::vector<KeyRow<C>> FixedFontRows() {
    return {{"fixedfontname", "Arial", &C::fixedfontname},
            {"fixedfontheight", "14", &C::fixedfontheight},
            {"fixedfontstyle", kEmpty, &C::fixedfontstyle},
            {"fixedfontcolor", kZero, &C::fixedfontcolor}};
}
template <class C>
std::vector<KeyRow<C>> AnchorRows() {
    return {{"lefttoppoint", kPoint, &C::lefttoppoint},
            {"righttoppoint", kPoint, &C::righttoppoint},
            {"leftbottompoint", kPoint, &C::leftbottompoint},
            {"rightbottompoint", kPoint, &C::rightbottompoint}};
}
// The six up/down button rectangles shared by scroll bars, spin edits and list boxes.
template <class C>
std::vector<KeyRow<C>> UpDownButtonRows() {
    return {{"upbuttonrect", kRect, &C::upbuttonrect},       {"activeupbuttonrect", kRect, &C::activeupbuttonrect},
            {"downupbuttonrect", kRect, &C::downupbuttonrect}, {"downbuttonrect", kRect, &C::downbuttonrect},
            {"activedownbuttonrect", kRect, &C::activedownbuttonrect},
            {"downdownbuttonrect", kRect, &C::downdownbuttonrect}};
}

}  // namespace

// ----- the one reader, writer and formatter ---------------------------------------------

void ReadField(const FieldRef& f, const SkinIni& ini, const QString& section) {
    const QString def = QString::fromLatin1(f.def);
    const std::optional<QString> value = ini.Value(section, QString::fromLatin1(f.key));
    const QString& text = value ? *value : def;
    std::visit(Overloaded{
                   [&](int* p) { *p = ParseInteger(text, ParseInteger(def, 0)); },
                   [&](Rect* p) { *p = ParseRect(text, ParseRect(def, {})); },
                   [&](QPoint* p) { *p = ParsePoint(text, ParsePoint(def, {})); },
                   [&](bool* p) { *p = ParseBoolean(text); },
                   [&](FontStyles* p) { *p = ParseFontStyle(text); },
                   [&](Alignment* p) { *p = ParseAlignment(text); },
                   [&](MorphKind* p) { *p = ParseMorphKind(text); },
                   [&](InactiveEffect* p) { *p = ParseInactiveEffect(text); },
                   [&](StdCommand* p) { *p = ParseCommand(text); },
                   [&](QString* p) { *p = text; },
               },
               f.field);
}

QString FormatField(const FieldRef& f) {
    return std::visit(Overloaded{
                          [](int* p) { return QString::number(*p); },
                          [](Rect* p) { return FormatRect(*p); },
                          [](QPoint* p) { return FormatPoint(*p); },
                          [](bool* p) { return FormatBoolean(*p); },
                          [](FontStyles* p) { return FormatFontStyle(*p); },
                          [](Alignment* p) { return FormatAlignment(*p); },
                          [](MorphKind* p) { return FormatMorphKind(*p); },
                          [](InactiveEffect* p) { return FormatInactiveEffect(*p); },
                          [](StdCommand* p) { return FormatCommand(*p); },
                          [](QString* p) { return *p; },
                      },
                      f.field);
}

void WriteFields(const std::vector<FieldRef>& fields, SkinIni& ini, const QString& section) {
    for (const FieldRef& f : fields) ini.WriteString(section, QString::fromLatin1(f.key), FormatField(f));
}

void SkinEntryRoot::SaveToIni(SkinIni& ini) const { ini.EraseSection(IDName); }

// ----- window sections -----------------------------------------------------------------------

const std::vector<KeyRow<TbsDataSkinFormInfo>>& TbsDataSkinFormInfo::Keys() {
    using C = TbsDataSkinFormInfo;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        AnchorRows<C>(),
        {{"clientrect", kRect, &C::clientrect},
         {"bgpictureindex", kNoPicture, &C::bgpictureindex},
         {"maskrectarea", kRect, &C::maskrectarea},
         {"hittestlefttoppoint", kPoint, &C::hittestlefttoppoint},
         {"hittestrighttoppoint", kPoint, &C::hittestrighttoppoint},
         {"hittestleftbottompoint", kPoint, &C::hittestleftbottompoint},
         {"hittestrightbottompoint", kPoint, &C::hittestrightbottompoint},
         {"buttonsrect", kRect, &C::buttonsrect},
         {"captionrect", kRect, &C::captionrect},
         {"buttonsoffset", kZero, &C::buttonsoffset},
         {"buttonsinleft", kFalse, &C::buttonsinleft},
         {"mainmenupopupup", kFalse, &C::mainmenupopupup},
         {"borderwidth", kZero, &C::borderwidth},
         {"autorenderinginactiveimage", kFalse, &C::autorenderinginactiveimage},
         {"inactiveeffect", "iebrightness", &C::inactiveeffect}},
    });
    return rows;
}

void TbsDataSkinFormInfo::LoadFromIni(const SkinIni& ini) {
    SkinKeyed::LoadFromIni(ini);
    // A frame whose anchors span an area keeps every anchor inside the client area, so
    // the repeated middle parts never reach into the borders.
    if (rightbottompoint.x() != lefttoppoint.x() && rightbottompoint.y() != lefttoppoint.y()) {
        const Rect& c = clientrect;
        lefttoppoint = {std::max(lefttoppoint.x(), c.left), std::max(lefttoppoint.y(), c.top)};
        righttoppoint = {std::min(righttoppoint.x(), c.right), std::max(righttoppoint.y(), c.top)};
        leftbottompoint = {std::max(leftbottompoint.x(), c.left), std::min(leftbottompoint.y(), c.bottom)};
        rightbottompoint = {std::min(rightbottompoint.x(), c.right), std::min(rightbottompoint.y(), c.bottom)};
    }
}

const std::vector<KeyRow<TbsDataSkinPopupWindow>>& TbsDataSkinPopupWindow::Keys() {
    using C = TbsDataSkinPopupWindow;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"windowpictureindex", kNoPicture, &C::windowpictureindex},
         {"maskpictureindex", kNoPicture, &C::maskpictureindex}},
        AnchorRows<C>(),
        {{"itemsrect", kRect, &C::itemsrect},
         {"scrollmarkercolor", kZero, &C::scrollmarkercolor},
         {"scrollmarkeractivecolor", kZero, &C::scrollmarkeractivecolor}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinHintWindow>>& TbsDataSkinHintWindow::Keys() {
    using C = TbsDataSkinHintWindow;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"windowpictureindex", kNoPicture, &C::windowpictureindex},
         {"maskpictureindex", kNoPicture, &C::maskpictureindex}},
        AnchorRows<C>(),
        {{"clientrect", kRect, &C::clientrect}},
        FontRows<C>(),
    });
    return rows;
}

// ----- control entries -------------------------------------------------------------------------

const std::vector<KeyRow<TbsDataSkinControl>>& TbsDataSkinControl::Keys() {
    using C = TbsDataSkinControl;
    static const std::vector<KeyRow<C>> rows = {
        {"pictureindex", kNoPicture, &C::pictureindex},
        {"maskpictureindex", kNoPicture, &C::maskpictureindex},
        {"skinrect", kRect, &C::skinrect},
    };
    return rows;
}

const std::vector<KeyRow<TbsDataSkinCustomControl>>& TbsDataSkinCustomControl::Keys() {
    using C = TbsDataSkinCustomControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({AnchorRows<C>(), {{"clientrect", kRect, &C::clientrect}}});
    return rows;
}

const std::vector<KeyRow<TbsDataSkinPanelControl>>& TbsDataSkinPanelControl::Keys() {
    using C = TbsDataSkinPanelControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"bgpictureindex", kNoPicture, &C::bgpictureindex},
         {"captionrect", kRect, &C::captionrect},
         {"rollupmarkerrect", kRect, &C::rollupmarkerrect},
         {"restoremarkerrect", kRect, &C::restoremarkerrect},
         {"alignment", "tacenter", &C::alignment}},
        FontRows<C>(),
        {{"checkimagerect", kRect, &C::checkimagerect}, {"uncheckimagerect", kRect, &C::uncheckimagerect}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinExPanelControl>>& TbsDataSkinExPanelControl::Keys() {
    using C = TbsDataSkinExPanelControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"rollhskinrect", kRect, &C::rollhskinrect},
         {"rollvskinrect", kRect, &C::rollvskinrect},
         {"rollleftoffset", kZero, &C::rollleftoffset},
         {"rollrightoffset", kZero, &C::rollrightoffset},
         {"rolltopoffset", kZero, &C::rolltopoffset},
         {"rollbottomoffset", kZero, &C::rollbottomoffset},
         {"rollvcaptionrect", kRect, &C::rollvcaptionrect},
         {"rollhcaptionrect", kRect, &C::rollhcaptionrect},
         {"closebuttonrect", kRect, &C::closebuttonrect},
         {"closebuttonactiverect", kRect, &C::closebuttonactiverect},
         {"closebuttondownrect", kRect, &C::closebuttondownrect},
         {"hrollbuttonrect", kRect, &C::hrollbuttonrect},
         {"hrollbuttonactiverect", kRect, &C::hrollbuttonactiverect},
         {"hrollbuttondownrect", kRect, &C::hrollbuttondownrect},
         {"hrestorebuttonrect", kRect, &C::hrestorebuttonrect},
         {"hrestorebuttonactiverect", kRect, &C::hrestorebuttonactiverect},
         {"hrestorebuttondownrect", kRect, &C::hrestorebuttondownrect},
         {"vrollbuttonrect", kRect, &C::vrollbuttonrect},
         {"vrollbuttonactiverect", kRect, &C::vrollbuttonactiverect},
         {"vrollbuttondownrect", kRect, &C::vrollbuttondownrect},
         {"vrestorebuttonrect", kRect, &C::vrestorebuttonrect},
         {"vrestorebuttonactiverect", kRect, &C::vrestorebuttonactiverect},
         {"vrestorebuttondownrect", kRect, &C::vrestorebuttondownrect},
         {"captionrect", kRect, &C::captionrect}},
        FontRows<C>(),
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinButtonControl>>& TbsDataSkinButtonControl::Keys() {
    using C = TbsDataSkinButtonControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        FontRows<C>(),
        {{"activefontcolor", kZero, &C::activefontcolor},
         {"downfontcolor", kZero, &C::downfontcolor},
         {"disabledfontcolor", kZero, &C::disabledfontcolor},
         {"activeskinrect", kRect, &C::activeskinrect},
         {"downskinrect", kRect, &C::downskinrect},
         {"disabledskinrect", kRect, &C::disabledskinrect},
         {"morphing", kFalse, &C::morphing},
         {"morphkind", "mkdefault", &C::morphkind}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinMenuButtonControl>>& TbsDataSkinMenuButtonControl::Keys() {
    using C = TbsDataSkinMenuButtonControl;
    static const std::vector<KeyRow<C>> rows = {{"trackbuttonrect", kRect, &C::trackbuttonrect}};
    return rows;
}

const std::vector<KeyRow<TbsDataSkinCheckRadioControl>>& TbsDataSkinCheckRadioControl::Keys() {
    using C = TbsDataSkinCheckRadioControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        FontRows<C>(),
        {{"activefontcolor", kZero, &C::activefontcolor},
         {"unenabledfontcolor", kZero, &C::unenabledfontcolor},
         {"framefontcolor", kZero, &C::framefontcolor},
         {"activeskinrect", kRect, &C::activeskinrect},
         {"checkimagearea", kRect, &C::checkimagearea},
         {"textarea", kRect, &C::textarea},
         {"checkimagerect", kRect, &C::checkimagerect},
         {"uncheckimagerect", kRect, &C::uncheckimagerect},
         {"activecheckimagerect", kRect, &C::activecheckimagerect},
         {"activeuncheckimagerect", kRect, &C::activeuncheckimagerect},
         {"unenabledcheckimagerect", kRect, &C::unenabledcheckimagerect},
         {"unenableduncheckimagerect", kRect, &C::unenableduncheckimagerect},
         {"morphing", kFalse, &C::morphing},
         {"morphkind", "mkdefault", &C::morphkind}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinGaugeControl>>& TbsDataSkinGaugeControl::Keys() {
    using C = TbsDataSkinGaugeControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"progressarea", kRect, &C::progressarea},
         {"progressrect", kRect, &C::progressrect},
         {"beginoffset", kZero, &C::beginoffset},
         {"endoffset", kZero, &C::endoffset},
         {"vertical", kFalse, &C::vertical}},
        FontRows<C>(),
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinSplitterControl>>& TbsDataSkinSplitterControl::Keys() {
    static const std::vector<KeyRow<TbsDataSkinSplitterControl>> rows;
    return rows;
}

const std::vector<KeyRow<TbsDataSkinTrackBarControl>>& TbsDataSkinTrackBarControl::Keys() {
    using C = TbsDataSkinTrackBarControl;
    static const std::vector<KeyRow<C>> rows = {
        {"trackarea", kRect, &C::trackarea},
        {"buttonrect", kRect, &C::buttonrect},
        {"activebuttonrect", kRect, &C::activebuttonrect},
        {"vertical", kFalse, &C::vertical},
    };
    return rows;
}

const std::vector<KeyRow<TbsDataSkinLabelControl>>& TbsDataSkinLabelControl::Keys() {
    static const std::vector<KeyRow<TbsDataSkinLabelControl>> rows = FontRows<TbsDataSkinLabelControl>();
    return rows;
}

const std::vector<KeyRow<TbsDataSkinStdLabelControl>>& TbsDataSkinStdLabelControl::Keys() {
    using C = TbsDataSkinStdLabelControl;
    static const std::vector<KeyRow<C>> rows =
        Join<C>({FontRows<C>(), {{"activefontcolor", "16711680", &C::activefontcolor}}});
    return rows;
}

const std::vector<KeyRow<TbsDataSkinUpDownControl>>& TbsDataSkinUpDownControl::Keys() {
    static const std::vector<KeyRow<TbsDataSkinUpDownControl>> rows = UpDownButtonRows<TbsDataSkinUpDownControl>();
    return rows;
}

void TbsDataSkinUpDownControl::LoadFromIni(const SkinIni& ini) {
    SkinKeyed::LoadFromIni(ini);
    // An up-down is drawn from its button rectangles only; it never stretches.
    lefttoppoint = righttoppoint = leftbottompoint = rightbottompoint = QPoint(0, 0);
    clientrect = Rect{};
}

const std::vector<KeyRow<TbsDataSkinGridControl>>& TbsDataSkinGridControl::Keys() {
    using C = TbsDataSkinGridControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"fixedcellrect", kRect, &C::fixedcellrect},
         {"selectcellrect", kRect, &C::selectcellrect},
         {"focuscellrect", kRect, &C::focuscellrect},
         {"fixedcellleftoffset", kZero, &C::fixedcellleftoffset},
         {"fixedcellrightoffset", kZero, &C::fixedcellrightoffset},
         {"fixedcelltextrect", kRect, &C::fixedcelltextrect},
         {"cellleftoffset", kZero, &C::cellleftoffset},
         {"cellrightoffset", kZero, &C::cellrightoffset},
         {"celltextrect", kRect, &C::celltextrect},
         {"linescolor", kZero, &C::linescolor},
         {"bgcolor", kZero, &C::bgcolor}},
        FontRows<C>(),
        {{"selectfontcolor", kZero, &C::selectfontcolor}, {"focusfontcolor", kZero, &C::focusfontcolor}},
        FixedFontRows<C>(),
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinTabControl>>& TbsDataSkinTabControl::Keys() {
    using C = TbsDataSkinTabControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"tabrect", kRect, &C::tabrect},
         {"activetabrect", kRect, &C::activetabrect},
         {"focustabrect", kRect, &C::focustabrect},
         {"mouseintabrect", kRect, &C::mouseintabrect},
         {"clientrect", kRect, &C::clientrect},
         {"bgpictureindex", kNoPicture, &C::bgpictureindex}},
        AnchorRows<C>(),
        {{"tableftoffset", kZero, &C::tableftoffset},
         {"tabrightoffset", kZero, &C::tabrightoffset},
         {"tabsbgrect", kRect, &C::tabsbgrect}},
        FontRows<C>(),
        {{"activefontcolor", kZero, &C::activefontcolor},
         {"focusfontcolor", kZero, &C::focusfontcolor},
         {"mouseinfontcolor", kZero, &C::mouseinfontcolor},
         {"updown", kEmpty, &C::updown}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinMainMenuBar>>& TbsDataSkinMainMenuBar::Keys() {
    using C = TbsDataSkinMainMenuBar;
    static const std::vector<KeyRow<C>> rows = {
        {"itemsrect", kRect, &C::itemsrect},
        {"menubaritem", kEmpty, &C::menubaritem},
        {"closebutton", kEmpty, &C::closebutton},
        {"minbutton", kEmpty, &C::minbutton},
        {"maxbutton", kEmpty, &C::maxbutton},
        {"sysmenubutton", kEmpty, &C::sysmenubutton},
        {"trackmarkcolor", kZero, &C::trackmarkcolor},
        {"trackmarkactivecolor", kZero, &C::trackmarkactivecolor},
    };
    return rows;
}

const std::vector<KeyRow<TbsDataSkinControlBar>>& TbsDataSkinControlBar::Keys() {
    using C = TbsDataSkinControlBar;
    static const std::vector<KeyRow<C>> rows = {
        {"itemrect", kRect, &C::itemrect},
        {"bgpictureindex", kNoPicture, &C::bgpictureindex},
    };
    return rows;
}

const std::vector<KeyRow<TbsDataSkinEditControl>>& TbsDataSkinEditControl::Keys() {
    using C = TbsDataSkinEditControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"activeskinrect", kRect, &C::activeskinrect}},
        FontRows<C>(),
        {{"disabledfontcolor", kZero, &C::disabledfontcolor},
         {"activefontcolor", kZero, &C::activefontcolor},
         {"buttonrect", kRect, &C::buttonrect},
         {"activebuttonrect", kRect, &C::activebuttonrect},
         {"downbuttonrect", kRect, &C::downbuttonrect},
         {"unenabledbuttonrect", kRect, &C::unenabledbuttonrect}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinMemoControl>>& TbsDataSkinMemoControl::Keys() {
    using C = TbsDataSkinMemoControl;
    static const std::vector<KeyRow<C>> rows = {
        {"bgcolor", kZero, &C::bgcolor},
        {"activebgcolor", kZero, &C::activebgcolor},
    };
    return rows;
}

const std::vector<KeyRow<TbsDataSkinListBox>>& TbsDataSkinListBox::Keys() {
    using C = TbsDataSkinListBox;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"itemrect", kRect, &C::itemrect},
         {"activeitemrect", kRect, &C::activeitemrect},
         {"focusitemrect", kRect, &C::focusitemrect},
         {"itemleftoffset", kZero, &C::itemleftoffset},
         {"itemrightoffset", kZero, &C::itemrightoffset},
         {"itemtextrect", kRect, &C::itemtextrect}},
        FontRows<C>(),
        {{"activefontcolor", kZero, &C::activefontcolor},
         {"focusfontcolor", kZero, &C::focusfontcolor},
         {"captionrect", kRect, &C::captionrect}},
        CaptionFontRows<C>(),
        UpDownButtonRows<C>(),
        {{"checkbuttonrect", kRect, &C::checkbuttonrect},
         {"activecheckbuttonrect", kRect, &C::activecheckbuttonrect},
         {"downcheckbuttonrect", kRect, &C::downcheckbuttonrect},
         {"vscrollbarname", "vscrollbar", &C::vscrollbarname},
         {"hscrollbarname", "hscrollbar", &C::hscrollbarname},
         {"bothhscrollbarname", "bothhscrollbar", &C::bothhscrollbarname}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinCheckListBox>>& TbsDataSkinCheckListBox::Keys() {
    using C = TbsDataSkinCheckListBox;
    static const std::vector<KeyRow<C>> rows = {
        {"itemcheckrect", kRect, &C::itemcheckrect},
        {"checkimagerect", kRect, &C::checkimagerect},
        {"uncheckimagerect", kRect, &C::uncheckimagerect},
    };
    return rows;
}

const std::vector<KeyRow<TbsDataSkinComboBox>>& TbsDataSkinComboBox::Keys() {
    using C = TbsDataSkinComboBox;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"itemrect", kRect, &C::itemrect},
         {"focusitemrect", kRect, &C::focusitemrect},
         {"itemleftoffset", kZero, &C::itemleftoffset},
         {"itemrightoffset", kZero, &C::itemrightoffset},
         {"itemtextrect", kRect, &C::itemtextrect}},
        FontRows<C>(),
        {{"focusfontcolor", kZero, &C::focusfontcolor},
         {"listboxname", kEmpty, &C::listboxname},
         {"buttonrect", kRect, &C::buttonrect},
         {"activebuttonrect", kRect, &C::activebuttonrect},
         {"downbuttonrect", kRect, &C::downbuttonrect},
         {"unenabledbuttonrect", kRect, &C::unenabledbuttonrect}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinScrollBarControl>>& TbsDataSkinScrollBarControl::Keys() {
    using C = TbsDataSkinScrollBarControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"trackarea", kRect, &C::trackarea}},
        UpDownButtonRows<C>(),
        {{"thumbrect", kRect, &C::thumbrect},
         {"activethumbrect", kRect, &C::activethumbrect},
         {"downthumbrect", kRect, &C::downthumbrect},
         {"thumboffset1", kZero, &C::thumboffset1},
         {"thumboffset2", kZero, &C::thumboffset2},
         {"glyphrect", kRect, &C::glyphrect},
         {"activeglyphrect", kRect, &C::activeglyphrect},
         {"downglyphrect", kRect, &C::downglyphrect}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinSpinEditControl>>& TbsDataSkinSpinEditControl::Keys() {
    using C = TbsDataSkinSpinEditControl;
    static const std::vector<KeyRow<C>> rows = Join<C>({FontRows<C>(), UpDownButtonRows<C>()});
    return rows;
}

const std::vector<KeyRow<TbsDataSkinScrollBoxControl>>& TbsDataSkinScrollBoxControl::Keys() {
    using C = TbsDataSkinScrollBoxControl;
    static const std::vector<KeyRow<C>> rows = {{"bgpictureindex", kNoPicture, &C::bgpictureindex}};
    return rows;
}

// Tree view, list view and rich edit share one key list: the font and a background.
template <class C>
static std::vector<KeyRow<C>> FontAndBackgroundRows() {
    return Join<C>({FontRows<C>(), {{"bgcolor", kZero, &C::bgcolor}}});
}

const std::vector<KeyRow<TbsDataSkinTreeView>>& TbsDataSkinTreeView::Keys() {
    static const std::vector<KeyRow<TbsDataSkinTreeView>> rows = FontAndBackgroundRows<TbsDataSkinTreeView>();
    return rows;
}

const std::vector<KeyRow<TbsDataSkinListView>>& TbsDataSkinListView::Keys() {
    static const std::vector<KeyRow<TbsDataSkinListView>> rows = FontAndBackgroundRows<TbsDataSkinListView>();
    return rows;
}

const std::vector<KeyRow<TbsDataSkinRichEdit>>& TbsDataSkinRichEdit::Keys() {
    static const std::vector<KeyRow<TbsDataSkinRichEdit>> rows = FontAndBackgroundRows<TbsDataSkinRichEdit>();
    return rows;
}

const std::vector<KeyRow<TbsDataSkinBevel>>& TbsDataSkinBevel::Keys() {
    using C = TbsDataSkinBevel;
    static const std::vector<KeyRow<C>> rows = {
        {"lightcolor", kZero, &C::lightcolor},
        {"darkcolor", kZero, &C::darkcolor},
    };
    return rows;
}

const std::vector<KeyRow<TbsDataSkinSlider>>& TbsDataSkinSlider::Keys() {
    using C = TbsDataSkinSlider;
    static const std::vector<KeyRow<C>> rows = {
        {"bgcolor", kZero, &C::bgcolor},          {"hrulerrect", kRect, &C::hrulerrect},
        {"hthumbrect", kRect, &C::hthumbrect},    {"vrulerrect", kRect, &C::vrulerrect},
        {"vthumbrect", kRect, &C::vthumbrect},    {"edgesize", kZero, &C::edgesize},
        {"pointscolor", kZero, &C::pointscolor},
    };
    return rows;
}

// ----- object entries -------------------------------------------------------------------------

const std::vector<KeyRow<TbsDataSkinObject>>& TbsDataSkinObject::Keys() {
    using C = TbsDataSkinObject;
    static const std::vector<KeyRow<C>> rows = {
        {"hint", kEmpty, &C::hint},
        {"activepictureindex", kNoPicture, &C::activepictureindex},
        {"skinrectinapicture", kFalse, &C::skinrectinapicture},
        {"skinrect", kRect, &C::skinrect},
        {"activeskinrect", kRect, &C::activeskinrect},
        {"morphing", kFalse, &C::morphing},
        {"morphkind", "mkdefault", &C::morphkind},
    };
    return rows;
}

const std::vector<KeyRow<TbsDataUserObject>>& TbsDataUserObject::Keys() {
    static const std::vector<KeyRow<TbsDataUserObject>> rows;
    return rows;
}

void TbsDataUserObject::LoadFromIni(const SkinIni& ini) { ReadField({"skinrect", kRect, &skinrect}, ini, IDName); }

void TbsDataUserObject::SaveToIni(SkinIni& ini) const {
    ini.EraseSection(IDName);
    ini.WriteString(IDName, QStringLiteral("skinrect"), FormatRect(skinrect));
}

const std::vector<KeyRow<TbsDataSkinButton>>& TbsDataSkinButton::Keys() {
    using C = TbsDataSkinButton;
    static const std::vector<KeyRow<C>> rows = {
        {"downrect", kRect, &C::downrect},
        {"disableskinrsect", kRect, &C::disableskinrsect},
    };
    return rows;
}

const std::vector<KeyRow<TbsDataSkinStdButton>>& TbsDataSkinStdButton::Keys() {
    using C = TbsDataSkinStdButton;
    static const std::vector<KeyRow<C>> rows = {
        {"command", "cmdefault", &C::command},
        {"restorerect", kRect, &C::restorerect},
        {"restoreactiverect", kRect, &C::restoreactiverect},
        {"restoredownrect", kRect, &C::restoredownrect},
        {"restoreinactiverect", kRect, &C::restoreinactiverect},
    };
    return rows;
}

const std::vector<KeyRow<TbsDataSkinMainMenuBarButton>>& TbsDataSkinMainMenuBarButton::Keys() {
    static const std::vector<KeyRow<TbsDataSkinMainMenuBarButton>> rows;
    return rows;
}

const std::vector<KeyRow<TbsDataSkinMenuItem>>& TbsDataSkinMenuItem::Keys() {
    using C = TbsDataSkinMenuItem;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"itemleftoffset", kZero, &C::itemleftoffset},
         {"itemrightoffset", kZero, &C::itemrightoffset},
         {"dividerrect", kRect, &C::dividerrect},
         {"dividerleftoffset", kZero, &C::dividerleftoffset},
         {"dividerrightoffset", kZero, &C::dividerrightoffset},
         {"textrect", kRect, &C::textrect}},
        FontRows<C>(),
        {{"activefontcolor", kZero, &C::activefontcolor}, {"unenabledfontcolor", kZero, &C::unenabledfontcolor}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinMainMenuItem>>& TbsDataSkinMainMenuItem::Keys() {
    using C = TbsDataSkinMainMenuItem;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"itemleftoffset", kZero, &C::itemleftoffset},
         {"itemrightoffset", kZero, &C::itemrightoffset},
         {"downrect", kRect, &C::downrect},
         {"textrect", kRect, &C::textrect}},
        FontRows<C>(),
        {{"activefontcolor", kZero, &C::activefontcolor},
         {"downfontcolor", kZero, &C::downfontcolor},
         {"unenabledfontcolor", kZero, &C::unenabledfontcolor}},
    });
    return rows;
}

const std::vector<KeyRow<TbsDataSkinMainMenuBarItem>>& TbsDataSkinMainMenuBarItem::Keys() {
    static const std::vector<KeyRow<TbsDataSkinMainMenuBarItem>> rows;
    return rows;
}

const std::vector<KeyRow<TbsDataSkinCaption>>& TbsDataSkinCaption::Keys() {
    using C = TbsDataSkinCaption;
    static const std::vector<KeyRow<C>> rows = Join<C>({
        {{"textrect", kRect, &C::textrect}},
        FontRows<C>(),
        {{"activefontcolor", kZero, &C::activefontcolor},
         {"alignment", "tacenter", &C::alignment},
         {"shadow", kFalse, &C::shadow},
         {"shadowcolor", kZero, &C::shadowcolor},
         {"activeshadowcolor", kZero, &C::activeshadowcolor},
         {"framerect", kRect, &C::framerect},
         {"activeframerect", kRect, &C::activeframerect},
         {"frametextrect", kRect, &C::frametextrect},
         {"frameleftoffset", kZero, &C::frameleftoffset},
         {"framerightoffset", kZero, &C::framerightoffset}},
    });
    return rows;
}

// ----- creation by type word ------------------------------------------------------------------

namespace {

template <class Entry>
struct TypeRow {
    const char* type;
    std::unique_ptr<Entry> (*make)(const QString& name);
};
template <class Base, class T>
std::unique_ptr<Base> Make(const QString& name) {
    return std::make_unique<T>(name);
}
template <class T>
constexpr TypeRow<TbsDataSkinControl> ControlRow() {
    return {T::kTypeName, &Make<TbsDataSkinControl, T>};
}
template <class T>
constexpr TypeRow<TbsDataSkinObject> ObjectRow() {
    return {T::kTypeName, &Make<TbsDataSkinObject, T>};
}

const std::vector<TypeRow<TbsDataSkinControl>>& ControlTypes() {
    static const std::vector<TypeRow<TbsDataSkinControl>> rows = {
        ControlRow<TbsDataSkinPanelControl>(),      ControlRow<TbsDataSkinExPanelControl>(),
        ControlRow<TbsDataSkinButtonControl>(),     ControlRow<TbsDataSkinMenuButtonControl>(),
        ControlRow<TbsDataSkinCheckRadioControl>(), ControlRow<TbsDataSkinGaugeControl>(),
        ControlRow<TbsDataSkinSplitterControl>(),   ControlRow<TbsDataSkinTrackBarControl>(),
        ControlRow<TbsDataSkinLabelControl>(),      ControlRow<TbsDataSkinStdLabelControl>(),
        ControlRow<TbsDataSkinUpDownControl>(),     ControlRow<TbsDataSkinGridControl>(),
        ControlRow<TbsDataSkinTabControl>(),        ControlRow<TbsDataSkinMainMenuBar>(),
        ControlRow<TbsDataSkinControlBar>(),        ControlRow<TbsDataSkinEditControl>(),
        ControlRow<TbsDataSkinMemoControl>(),       ControlRow<TbsDataSkinListBox>(),
        ControlRow<TbsDataSkinCheckListBox>(),      ControlRow<TbsDataSkinComboBox>(),
        ControlRow<TbsDataSkinScrollBarControl>(),  ControlRow<TbsDataSkinSpinEditControl>(),
        ControlRow<TbsDataSkinScrollBoxControl>(),  ControlRow<TbsDataSkinTreeView>(),
        ControlRow<TbsDataSkinListView>(),          ControlRow<TbsDataSkinRichEdit>(),
        ControlRow<TbsDataSkinBevel>(),             ControlRow<TbsDataSkinSlider>(),
    };
    return rows;
}

const std::vector<TypeRow<TbsDataSkinObject>>& ObjectTypes() {
    static const std::vector<TypeRow<TbsDataSkinObject>> rows = {
        ObjectRow<TbsDataUserObject>(),     ObjectRow<TbsDataSkinButton>(),
        ObjectRow<TbsDataSkinStdButton>(),  ObjectRow<TbsDataSkinMainMenuBarButton>(),
        ObjectRow<TbsDataSkinMenuItem>(),   ObjectRow<TbsDataSkinMainMenuBarItem>(),
        ObjectRow<TbsDataSkinCaption>(),
    };
    return rows;
}

template <class Entry>
std::unique_ptr<Entry> Create(const std::vector<TypeRow<Entry>>& rows, const QString& type, const QString& name) {
    for (const auto& r : rows)
        if (type == QLatin1StringView(r.type)) return r.make(name);
    return nullptr;
}

template <class Entry>
QStringList Types(const std::vector<TypeRow<Entry>>& rows) {
    QStringList out;
    for (const auto& r : rows) out << QLatin1StringView(r.type);
    return out;
}

}  // namespace

std::unique_ptr<TbsDataSkinControl> CreateSkinControl(const QString& type, const QString& name) {
    return Create(ControlTypes(), type, name);
}

std::unique_ptr<TbsDataSkinObject> CreateSkinObject(const QString& type, const QString& name) {
    return Create(ObjectTypes(), type, name);
}

QStringList SkinControlTypes() { return Types(ControlTypes()); }
QStringList SkinObjectTypes() { return Types(ObjectTypes()); }

}  // namespace skin
