// The skin the program carries: it loads from both of its containers, both carry the same
// skin, and it holds the figures the main window is laid out with (entry counts, picture
// depths, and the values of the caption, button, edits, scroll bars, grid, group box and
// label). It also checks the skin as a design: every rectangle inside its picture, every
// written key read by its entry class, and text colours readable on their grounds.

#include <gtest/gtest.h>

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <set>

#include "skin/SkinData.h"
#include "skin/SkinEntries.h"
#include "skin/SkinIni.h"
#include "skin/StoredSkin.h"
#include "skin_test_print.h"
#include "skins/Carried.h"

namespace {

using namespace skin;

constexpr TColor kWhite = 0xFFFFFF;

// The skin loaded from one container only.
std::unique_ptr<TbsSkinData> FromStored() {
    auto data = std::make_unique<TbsSkinData>();
    TbsStoredSkin stored;
    skins::FillCarriedStoredSkin(stored);
    data->LoadFromStoredSkin(stored);
    return data;
}

std::unique_ptr<TbsSkinData> FromCompressed() {
    auto data = std::make_unique<TbsSkinData>();
    TbsCompressedStoredSkin compressed;
    skins::FillCarriedCompressedSkin(compressed);
    data->LoadFromCompressedStoredSkin(compressed);
    return data;
}

// The skin as the program loads it at start: plain container, then the compressed one.
class CarriedSkin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        data_ = new TbsSkinData;
        skins::LoadCarriedSkin(*data_);
    }
    static void TearDownTestSuite() {
        delete data_;
        data_ = nullptr;
    }

    template <class T>
    static T& Control(const char* name) {
        T* e = data_->FindControl<T>(QString::fromLatin1(name));
        if (!e) throw std::runtime_error(std::string("no control entry \"") + name + "\" of the expected class");
        return *e;
    }
    static const QImage& Pic(int index) {
        const QImage* p = data_->ActivePicture(index);
        if (!p) throw std::runtime_error("no active picture " + std::to_string(index));
        return *p;
    }

    static TbsSkinData* data_;
};
TbsSkinData* CarriedSkin::data_ = nullptr;

// Stretch kind of a custom control entry, by the rule the skinned controls apply.
enum class Stretch { NoImage, Fixed, Both, Horizontal, Vertical };
Stretch StretchOf(const TbsDataSkinCustomControl& e) {
    if (e.skinrect.IsEmpty()) return Stretch::NoImage;
    if (e.rightbottompoint.x() != 0 && e.rightbottompoint.y() != 0) return Stretch::Both;
    if (!e.righttoppoint.isNull()) return Stretch::Horizontal;
    if (!e.leftbottompoint.isNull()) return Stretch::Vertical;
    return Stretch::Fixed;
}

Rect Margins(const TbsDataSkinCustomControl& e) {
    return {e.clientrect.left, e.clientrect.top, e.skinrect.Width() - e.clientrect.right,
            e.skinrect.Height() - e.clientrect.bottom};
}

// Bytes of a BMP file image's headers.
int BitCount(const QByteArray& bmp) { return qFromLittleEndian<quint16>(bmp.constData() + 28); }
int ColourTableEntries(const QByteArray& bmp) {
    const quint32 pixelOffset = qFromLittleEndian<quint32>(bmp.constData() + 10);
    return int((pixelOffset - 14 - 40) / 4);
}

// --- containers ---------------------------------------------------------------------------

TEST(CarriedSkinContainers, EachLoadsOnItsOwnAndBothCarryTheSameSkin) {
    const auto stored = FromStored();
    const auto compressed = FromCompressed();
    ASSERT_FALSE(stored->IsEmpty());
    ASSERT_FALSE(compressed->IsEmpty());

    EXPECT_EQ(stored->Picture, compressed->Picture);
    ASSERT_EQ(stored->ActivePictures.size(), compressed->ActivePictures.size());
    for (qsizetype i = 0; i < stored->ActivePictures.size(); ++i)
        EXPECT_EQ(stored->ActivePictures[i], compressed->ActivePictures[i]) << "active picture " << i;

    auto same = [](auto& a, auto& b) {
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i]->IDName, b[i]->IDName);
            const auto fa = a[i]->Fields(), fb = b[i]->Fields();
            ASSERT_EQ(fa.size(), fb.size());
            for (size_t k = 0; k < fa.size(); ++k)
                EXPECT_EQ(FormatField(fa[k]), FormatField(fb[k])) << a[i]->IDName << " " << fa[k].key;
        }
    };
    same(stored->SkinObjects, compressed->SkinObjects);
    same(stored->SkinControls, compressed->SkinControls);
}

TEST(CarriedSkinContainers, CompressedStreamHoldsThePlainPictureBlockAndDefinition) {
    TbsCompressedStoredSkin compressed;
    skins::FillCarriedCompressedSkin(compressed);
    EXPECT_EQ(compressed.FileName, QStringLiteral("skin.ini"));
    const QByteArray inflated = compressed.Inflate();
    ASSERT_GE(inflated.size(), 4);
    EXPECT_EQ(qFromLittleEndian<qint32>(inflated.constData()), 1);

    const QByteArray block = skins::CarriedStoredSkin();
    EXPECT_EQ(inflated.mid(4, block.size()), block);
    const QStringList lines = skins::CarriedStoredSkinLines();
    EXPECT_EQ(inflated.mid(4 + block.size()), (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
}

TEST(CarriedSkinContainers, PictureBlockHoldsTheFormPictureAndSevenActivePicturesAtTheirDepths) {
    const QByteArray raw = skins::CarriedStoredSkin();
    qsizetype used = 0;
    const PictureBlock block = ReadPictureBlock(raw, &used);
    EXPECT_EQ(used, raw.size());

    // Flags: picture present, no inactive picture, no mask.
    ASSERT_FALSE(block.picture.bmp.isEmpty());
    EXPECT_EQ(raw[0], '\0');
    EXPECT_TRUE(block.inactivePicture.bmp.isEmpty());
    EXPECT_TRUE(block.mask.bmp.isEmpty());
    EXPECT_EQ(raw[1 + block.picture.bmp.size()], '\1');
    EXPECT_EQ(raw[2 + block.picture.bmp.size()], '\1');

    EXPECT_EQ(BitCount(block.picture.bmp), 8);
    EXPECT_EQ(ColourTableEntries(block.picture.bmp), 256);

    ASSERT_EQ(block.active.size(), 7);
    int trueColour = 0;
    for (const BlockPicture& p : block.active) {
        if (BitCount(p.bmp) == 24) {
            ++trueColour;
            EXPECT_EQ(ColourTableEntries(p.bmp), 0);
        } else {
            EXPECT_EQ(BitCount(p.bmp), 8);
            EXPECT_EQ(ColourTableEntries(p.bmp), 256);
        }
    }
    EXPECT_EQ(trueColour, 1);
}

// --- the definition ---------------------------------------------------------------------

TEST(CarriedSkinDefinition, HasEverySectionAndOneSectionPerEntry) {
    const SkinIni ini(skins::CarriedStoredSkinLines());
    for (const char* s : {"VERSION", "PICTURES", "FORMINFO", "POPUPWINDOW", "HINTWINDOW", "SKINOBJECTS", "SKINCONTROLS"})
        EXPECT_TRUE(ini.HasSection(QString::fromLatin1(s))) << s;

    std::set<QString> names;
    for (const char* list : {"SKINOBJECTS", "SKINCONTROLS"}) {
        const int count = ini.ReadString(QString::fromLatin1(list), QStringLiteral("count"), {}).toInt();
        for (int i = 0; i < count; ++i) {
            const QString name = ini.ReadString(QString::fromLatin1(list), QString::number(i), {}).section(':', 0, 0);
            EXPECT_TRUE(ini.HasSection(name)) << name;
            EXPECT_TRUE(names.insert(name).second) << "entry name twice: " << name;
        }
    }
}

TEST(CarriedSkinDefinition, EveryWrittenKeyIsReadByItsEntryClassAndEveryKeyIsWritten) {
    const SkinIni ini(skins::CarriedStoredSkinLines());
    auto check = [&](SkinEntry& e) {
        std::set<QString> classKeys;
        for (const FieldRef& f : e.Fields()) classKeys.insert(QString::fromLatin1(f.key));
        std::set<QString> written;
        for (const QString& k : ini.Keys(e.IDName)) written.insert(k.toLower());
        EXPECT_EQ(written, classKeys) << e.IDName << " (" << e.ClassName() << ")";
    };
    auto data = FromStored();
    for (auto& e : data->SkinObjects) check(*e);
    for (auto& e : data->SkinControls) check(*e);
}

TEST_F(CarriedSkin, HasSevenObjectsNoCaptionButtonsAndSkipsFiveAnimateEntries) {
    ASSERT_EQ(data_->SkinObjects.size(), 7u);
    std::map<QString, int> types;
    for (const auto& e : data_->SkinObjects) {
        ++types[QString::fromLatin1(e->TypeName())];
        // The frame shows no caption buttons: no button or user object other than the
        // menu bar's own buttons.
        if (dynamic_cast<TbsDataSkinButton*>(e.get()) || dynamic_cast<TbsDataUserObject*>(e.get())) {
            EXPECT_TRUE(dynamic_cast<TbsDataSkinMainMenuBarButton*>(e.get())) << e->IDName;
        }
    }
    EXPECT_EQ(types, (std::map<QString, int>{{"menuitem", 1}, {"caption", 1}, {"mainmenubaritem", 1}, {"mainmenubarbutton", 4}}));
    EXPECT_NE(data_->FindObject<TbsDataSkinMenuItem>(QStringLiteral("MENUITEM")), nullptr);

    const SkinIni ini(skins::CarriedStoredSkinLines());
    EXPECT_EQ(ini.ReadString(QStringLiteral("SKINOBJECTS"), QStringLiteral("count"), {}), QStringLiteral("12"));
    int animate = 0;
    for (int i = 0; i < 12; ++i)
        if (ini.ReadString(QStringLiteral("SKINOBJECTS"), QString::number(i), {}).endsWith(QLatin1String(":animate"))) ++animate;
    EXPECT_EQ(animate, 5);
}

TEST_F(CarriedSkin, HasFiftyNineControlsCoveringEveryEntryClass) {
    EXPECT_EQ(data_->SkinControls.size(), 59u);
    std::set<QString> used;
    for (const auto& e : data_->SkinControls) used.insert(QString::fromLatin1(e->TypeName()));
    for (const QString& type : SkinControlTypes()) EXPECT_TRUE(used.count(type)) << "no entry of type " << type;

    // The entries the main window and its message dialog ask for, by name and class.
    Control<TbsDataSkinPanelControl>("panel");
    Control<TbsDataSkinPanelControl>("groupbox");
    Control<TbsDataSkinStdLabelControl>("stdlabel");
    Control<TbsDataSkinEditControl>("edit");
    Control<TbsDataSkinEditControl>("buttonedit");
    Control<TbsDataSkinButtonControl>("button");
    Control<TbsDataSkinScrollBarControl>("hscrollbar");
    Control<TbsDataSkinScrollBarControl>("vscrollbar");
    Control<TbsDataSkinScrollBarControl>("bothhscrollbar");
    Control<TbsDataSkinGridControl>("grid");
    Control<TbsDataSkinListBox>("listbox");
}

TEST_F(CarriedSkin, EveryPictureIndexAndRectangleStaysInsideItsPicture) {
    auto inside = [](const Rect& r, const QImage& pic) {
        return r.IsEmpty() || (r.left >= 0 && r.top >= 0 && r.right <= pic.width() && r.bottom <= pic.height());
    };
    auto rects = [](SkinEntry& e) {
        std::vector<std::pair<const char*, Rect>> out;
        for (const FieldRef& f : e.Fields())
            if (auto r = std::get_if<Rect*>(&f.field)) out.push_back({f.key, **r});
        return out;
    };
    for (auto& e : data_->SkinControls) {
        if (e->pictureindex == -1) continue;
        ASSERT_NE(data_->ActivePicture(e->pictureindex), nullptr) << e->IDName;
        for (auto [key, r] : rects(*e)) EXPECT_TRUE(inside(r, *data_->ActivePicture(e->pictureindex))) << e->IDName << " " << key;
    }
    for (auto& e : data_->SkinObjects) {
        ASSERT_NE(data_->ActivePicture(e->activepictureindex), nullptr) << e->IDName;
        const QImage& skinPic = e->skinrectinapicture ? *data_->ActivePicture(e->activepictureindex) : data_->Picture;
        EXPECT_TRUE(inside(e->skinrect, skinPic)) << e->IDName;
        for (auto [key, r] : rects(*e))
            if (QLatin1String(key) != QLatin1String("skinrect") && QLatin1String(key) != QLatin1String("textrect")) {
                EXPECT_TRUE(inside(r, *data_->ActivePicture(e->activepictureindex))) << e->IDName << " " << key;
            }
    }
    EXPECT_NE(data_->ActivePicture(data_->PopupWindowData.windowpictureindex), nullptr);
    EXPECT_NE(data_->ActivePicture(data_->HintWindowData.windowpictureindex), nullptr);
}

// --- figures of the main window -----------------------------------------------------------

// The frame's mapping of a form-picture rectangle to a window W wide (H high): corner
// zones of the anchor points keep or move a rectangle; one that spans the top-left and
// top-right zones is widened.
Rect MapFrameRect(const TbsDataSkinFormInfo& f, const QImage& pic, Rect r, int w, int h) {
    const int dx = w - pic.width(), dy = h - pic.height();
    const Rect tl{0, 0, f.lefttoppoint.x(), f.lefttoppoint.y()};
    const Rect tr{f.righttoppoint.x(), 0, pic.width(), f.righttoppoint.y()};
    auto in = [](int x, int y, const Rect& z) { return x >= z.left && y >= z.top && x < z.right && y < z.bottom; };
    if (in(r.left, r.top, tl) && in(r.right, r.bottom, tl)) return r;
    if (in(r.left, r.top, tl) && in(r.right, r.bottom, tr)) return {r.left, r.top, r.right + dx, r.bottom};
    ADD_FAILURE() << "the caption lies in a corner zone this check does not expect";
    (void)dy;
    return r;
}

TEST_F(CarriedSkin, CaptionSpansTheTopBandAndCentresTheTitleOnAPlate) {
    const auto& caption = *data_->FindObject<TbsDataSkinCaption>(QStringLiteral("caption"));
    const auto& form = data_->FormInfo;
    EXPECT_TRUE(data_->InactivePicture.isNull());
    EXPECT_TRUE(data_->MaskImage.isNull());
    EXPECT_FALSE(caption.skinrectinapicture);
    EXPECT_TRUE(form.buttonsrect.IsEmpty());
    for (int w : {data_->Picture.width(), 640, 1024}) {
        const Rect mapped = MapFrameRect(form, data_->Picture, caption.skinrect, w, 480);
        EXPECT_EQ(mapped, (Rect{4, 5, w - 5, 24})) << "window width " << w;
        const Rect area{form.captionrect.left, form.captionrect.top,
                        form.captionrect.right + w - data_->Picture.width(), form.captionrect.bottom};
        EXPECT_EQ(area, mapped);  // no buttons take room from the caption
    }
    EXPECT_EQ(caption.alignment, taCenter);
    EXPECT_TRUE(caption.activeskinrect.IsEmpty());  // only title and plate drawn over the frame
    ASSERT_FALSE(caption.framerect.IsEmpty());
    ASSERT_FALSE(caption.activeframerect.IsEmpty());
    EXPECT_LE(caption.framerect.Height(), caption.skinrect.Height());
    EXPECT_LE(caption.frametextrect.right, caption.framerect.Width());
    EXPECT_GT(caption.frametextrect.left, caption.frameleftoffset);  // the text stays off the plate's ends
    EXPECT_GT(caption.framerect.Width() - caption.frametextrect.right, caption.framerightoffset);
}

TEST_F(CarriedSkin, ButtonStretchesHorizontallyAtHeight28WithWhiteHotAndDownText) {
    const auto& b = Control<TbsDataSkinButtonControl>("button");
    EXPECT_FALSE(b.lefttoppoint.isNull());
    EXPECT_FALSE(b.righttoppoint.isNull());
    EXPECT_TRUE(b.leftbottompoint.isNull());
    EXPECT_TRUE(b.rightbottompoint.isNull());
    EXPECT_EQ(StretchOf(b), Stretch::Horizontal);
    EXPECT_EQ(b.skinrect.Height(), 28);
    EXPECT_TRUE(b.activeskinrect.IsEmpty());
    EXPECT_EQ(b.downskinrect, (Rect{72, 3, 139, 31}));
    EXPECT_EQ(b.downskinrect.Width(), b.skinrect.Width());
    EXPECT_FALSE(b.morphing);
    EXPECT_EQ(b.activefontcolor, kWhite);
    EXPECT_EQ(b.downfontcolor, kWhite);
    EXPECT_FALSE(b.clientrect.IsEmpty());  // the caption is laid out in it
}

TEST_F(CarriedSkin, EditsAre18HighWithTheirTextMarginsAndTheLookupButtonInTheRightFixedPart) {
    struct Case {
        const char* name;
        Rect margins;
    };
    for (const Case& c : {Case{"edit", {4, 2, 1, 1}}, Case{"buttonedit", {1, 1, 17, 1}}}) {
        const auto& e = Control<TbsDataSkinEditControl>(c.name);
        EXPECT_EQ(e.skinrect.Height(), 18) << c.name;
        EXPECT_EQ(Margins(e), c.margins) << c.name;
        EXPECT_EQ(StretchOf(e), Stretch::Horizontal) << c.name;
        if (!e.activeskinrect.IsEmpty()) {
            EXPECT_EQ(e.activeskinrect.Height(), 18) << c.name;
        }
    }
    const auto& be = Control<TbsDataSkinEditControl>("buttonedit");
    const int rightFixed = be.skinrect.Width() - be.righttoppoint.x();
    ASSERT_FALSE(be.buttonrect.IsEmpty());
    EXPECT_GE(be.buttonrect.left, be.skinrect.Width() - rightFixed);  // follows the right edge
    EXPECT_GE(be.buttonrect.left, be.clientrect.right);               // beside the text, not over it
    for (const Rect& r : {be.activebuttonrect, be.downbuttonrect, be.unenabledbuttonrect}) {
        EXPECT_EQ(r.Width(), be.buttonrect.Width());
        EXPECT_EQ(r.Height(), be.buttonrect.Height());
    }
}

TEST_F(CarriedSkin, ScrollBarsAre17ThickAndStretchAlongTheirLengthOnly) {
    struct Case {
        const char* name;
        Stretch stretch;
        int length;
    };
    for (const Case& c : {Case{"hscrollbar", Stretch::Horizontal, 53}, Case{"bothhscrollbar", Stretch::Horizontal, 70},
                          Case{"vscrollbar", Stretch::Vertical, 53}}) {
        const auto& s = Control<TbsDataSkinScrollBarControl>(c.name);
        EXPECT_EQ(StretchOf(s), c.stretch) << c.name;
        const bool horizontal = c.stretch == Stretch::Horizontal;
        EXPECT_EQ(horizontal ? s.skinrect.Height() : s.skinrect.Width(), 17) << c.name;
        EXPECT_EQ(horizontal ? s.skinrect.Width() : s.skinrect.Height(), c.length) << c.name;
        // The up button sits beyond the stretch point, so it follows the far end.
        if (horizontal) {
            EXPECT_LT(s.righttoppoint.x(), s.upbuttonrect.left) << c.name;
        } else {
            EXPECT_LT(s.leftbottompoint.y(), s.upbuttonrect.top) << c.name;
        }
        EXPECT_FALSE(s.thumbrect.IsEmpty()) << c.name;
        EXPECT_LE(horizontal ? s.thumbrect.Height() : s.thumbrect.Width(), 17) << c.name;
    }
    const auto& both = Control<TbsDataSkinScrollBarControl>("bothhscrollbar");
    EXPECT_EQ(both.skinrect.Width() - both.righttoppoint.x(), 37);
    EXPECT_GE(both.upbuttonrect.left, both.righttoppoint.x());
    EXPECT_LE(both.upbuttonrect.right, both.skinrect.Width());
}

TEST_F(CarriedSkin, GridRowsAre22HighWithBoldLightGreyTitles) {
    const auto& g = Control<TbsDataSkinGridControl>("grid");
    EXPECT_EQ(g.selectcellrect.Height(), 22);
    EXPECT_EQ(g.focuscellrect.Height(), 22);
    EXPECT_EQ(g.fixedcellrect.Height(), 22);
    EXPECT_EQ(g.fixedfontname, QStringLiteral("Arial"));
    EXPECT_EQ(g.fixedfontheight, 14);
    EXPECT_EQ(g.fixedfontstyle, FontStyles(FontStyle::fsBold));
    EXPECT_EQ(g.fixedfontcolor, 12632256);
}

TEST_F(CarriedSkin, GroupBoxCentresAWhiteCaptionInARectangleThatWidensWithTheBox) {
    const auto& gb = Control<TbsDataSkinPanelControl>("groupbox");
    EXPECT_EQ(gb.captionrect, (Rect{1, 1, 38, 14}));
    EXPECT_EQ(gb.alignment, taCenter);
    EXPECT_EQ(gb.fontcolor, kWhite);
    ASSERT_EQ(StretchOf(gb), Stretch::Both);
    // Both corners of the caption rectangle in the top-left and top-right zones (edges
    // included): the mapping moves its right edge with the box's width.
    const QPoint tl = gb.lefttoppoint, tr = gb.righttoppoint;
    EXPECT_TRUE(gb.captionrect.left <= tl.x() && gb.captionrect.top <= tl.y());
    EXPECT_TRUE(gb.captionrect.right >= tr.x() && gb.captionrect.right <= gb.skinrect.Width() &&
                gb.captionrect.bottom <= tr.y());
}

TEST_F(CarriedSkin, PanelAndLabelDrawLightGroundsWithReadableText) {
    const auto& panel = Control<TbsDataSkinPanelControl>("panel");
    EXPECT_EQ(StretchOf(panel), Stretch::Both);
    EXPECT_EQ(panel.bgpictureindex, -1);
    EXPECT_TRUE(panel.captionrect.IsEmpty());  // the main window's panels show no caption
    const auto& label = Control<TbsDataSkinStdLabelControl>("stdlabel");
    EXPECT_FALSE(label.fontname.isEmpty());
    EXPECT_GE(label.fontheight, 12);
}

// True when every column (or row) of area in pic equals its first one: such a segment
// tiles without a seam at any length.
bool ColumnsAlike(const QImage& pic, const Rect& area) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left + 1; x < area.right; ++x)
            if (pic.pixel(x, y) != pic.pixel(area.left, y)) return false;
    return true;
}
bool RowsAlike(const QImage& pic, const Rect& area) {
    for (int y = area.top + 1; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (pic.pixel(x, y) != pic.pixel(x, area.top)) return false;
    return true;
}
Rect Part(const Rect& s, int l, int t, int r, int b) { return {s.left + l, s.top + t, s.left + r, s.top + b}; }

TEST_F(CarriedSkin, RepeatSegmentsTileWithoutSeams) {
    // Elements that stretch along one axis: the segment between the anchors, in every
    // state image.
    for (const char* name : {"button", "edit", "buttonedit", "hscrollbar", "bothhscrollbar", "vscrollbar"}) {
        const auto& e = Control<TbsDataSkinCustomControl>(name);
        std::vector<Rect> images{e.skinrect};
        if (auto* b = dynamic_cast<const TbsDataSkinButtonControl*>(&e))
            images.insert(images.end(), {b->downskinrect, b->disabledskinrect});
        if (auto* ed = dynamic_cast<const TbsDataSkinEditControl*>(&e)) images.push_back(ed->activeskinrect);
        for (const Rect& s : images) {
            if (s.IsEmpty()) continue;
            if (StretchOf(e) == Stretch::Horizontal) {
                EXPECT_TRUE(ColumnsAlike(Pic(e.pictureindex), Part(s, e.lefttoppoint.x(), 0, e.righttoppoint.x(), s.Height())))
                    << name;
            } else {
                EXPECT_TRUE(RowsAlike(Pic(e.pictureindex), Part(s, 0, e.lefttoppoint.y(), s.Width(), e.leftbottompoint.y())))
                    << name;
            }
        }
    }
    // Elements that stretch both ways: the four edge bands and the client.
    for (const char* name : {"panel", "groupbox"}) {
        const auto& e = Control<TbsDataSkinCustomControl>(name);
        const QImage& pic = Pic(e.pictureindex);
        const Rect& s = e.skinrect;
        const Rect& c = e.clientrect;
        EXPECT_TRUE(ColumnsAlike(pic, Part(s, e.lefttoppoint.x(), 0, e.righttoppoint.x(), c.top))) << name << " top";
        EXPECT_TRUE(ColumnsAlike(pic, Part(s, e.leftbottompoint.x(), c.bottom, e.rightbottompoint.x(), s.Height())))
            << name << " bottom";
        EXPECT_TRUE(RowsAlike(pic, Part(s, 0, e.lefttoppoint.y(), c.left, e.leftbottompoint.y()))) << name << " left";
        EXPECT_TRUE(RowsAlike(pic, Part(s, c.right, e.righttoppoint.y(), s.Width(), e.rightbottompoint.y())))
            << name << " right";
        EXPECT_TRUE(ColumnsAlike(pic, Part(s, c.left, c.top, c.right, c.bottom)) &&
                    RowsAlike(pic, Part(s, c.left, c.top, c.right, c.bottom)))
            << name << " client";
    }
    // The window frame: its bands between the anchors, and the client ground.
    const auto& f = data_->FormInfo;
    const QImage& form = data_->Picture;
    EXPECT_TRUE(ColumnsAlike(form, {f.lefttoppoint.x(), 0, f.righttoppoint.x(), f.clientrect.top}));
    EXPECT_TRUE(ColumnsAlike(form, {f.leftbottompoint.x(), f.clientrect.bottom, f.rightbottompoint.x(), form.height()}));
    EXPECT_TRUE(RowsAlike(form, {0, f.lefttoppoint.y(), f.clientrect.left, f.leftbottompoint.y()}));
    EXPECT_TRUE(RowsAlike(form, {f.clientrect.right, f.righttoppoint.y(), form.width(), f.rightbottompoint.y()}));
    EXPECT_TRUE(ColumnsAlike(form, f.clientrect) && RowsAlike(form, f.clientrect));
    // Grid cells and the caption plates stretch between their fixed ends.
    const auto& g = Control<TbsDataSkinGridControl>("grid");
    for (const Rect& s : {g.fixedcellrect})
        EXPECT_TRUE(ColumnsAlike(Pic(g.pictureindex), Part(s, g.fixedcellleftoffset, 0, s.Width() - g.fixedcellrightoffset, s.Height())));
    for (const Rect& s : {g.selectcellrect, g.focuscellrect})
        EXPECT_TRUE(ColumnsAlike(Pic(g.pictureindex), Part(s, g.cellleftoffset, 0, s.Width() - g.cellrightoffset, s.Height())));
    const auto& cap = *data_->FindObject<TbsDataSkinCaption>(QStringLiteral("caption"));
    for (const Rect& s : {cap.framerect, cap.activeframerect})
        EXPECT_TRUE(ColumnsAlike(Pic(cap.activepictureindex), Part(s, cap.frameleftoffset, 0, s.Width() - cap.framerightoffset, s.Height())));
}

// Contrast ratio of two colours (relative luminance of sRGB, as accessibility guides
// define it): 4.5 is the usual floor for body text.
double Luminance(QRgb c) {
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}
double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
QRgb FromTColor(TColor c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
QRgb CentreOf(const QImage& pic, const Rect& r) { return pic.pixel(r.left + r.Width() / 2, r.top + r.Height() / 2); }

TEST_F(CarriedSkin, TextColoursAreReadableOnTheGroundsTheyAreDrawnOn) {
    const auto& button = Control<TbsDataSkinButtonControl>("button");
    const auto& panel = Control<TbsDataSkinPanelControl>("panel");
    const auto& gb = Control<TbsDataSkinPanelControl>("groupbox");
    const auto& grid = Control<TbsDataSkinGridControl>("grid");
    const auto& edit = Control<TbsDataSkinEditControl>("edit");
    const auto& caption = *data_->FindObject<TbsDataSkinCaption>(QStringLiteral("caption"));
    const Rect panelClient{panel.skinrect.left + panel.clientrect.left, panel.skinrect.top + panel.clientrect.top,
                           panel.skinrect.left + panel.clientrect.right, panel.skinrect.top + panel.clientrect.bottom};
    const Rect gbCaption{gb.skinrect.left + gb.captionrect.left, gb.skinrect.top + gb.captionrect.top,
                         gb.skinrect.left + gb.captionrect.right, gb.skinrect.top + gb.captionrect.bottom};
    struct Case {
        const char* what;
        TColor text;
        QRgb ground;
    };
    const Case cases[] = {
        {"stdlabel on panel", Control<TbsDataSkinStdLabelControl>("stdlabel").fontcolor, CentreOf(Pic(panel.pictureindex), panelClient)},
        {"button", button.fontcolor, CentreOf(Pic(button.pictureindex), button.skinrect)},
        {"button hot", button.activefontcolor, CentreOf(Pic(button.pictureindex), button.skinrect)},
        {"button down", button.downfontcolor, CentreOf(Pic(button.pictureindex), button.downskinrect)},
        {"group box caption", gb.fontcolor, CentreOf(Pic(gb.pictureindex), gbCaption)},
        {"grid title", grid.fixedfontcolor, CentreOf(Pic(grid.pictureindex), grid.fixedcellrect)},
        {"grid cell", grid.fontcolor, FromTColor(grid.bgcolor)},
        {"grid selected cell", grid.selectfontcolor, CentreOf(Pic(grid.pictureindex), grid.selectcellrect)},
        {"grid focused cell", grid.focusfontcolor, CentreOf(Pic(grid.pictureindex), grid.focuscellrect)},
        {"edit", edit.fontcolor, CentreOf(Pic(edit.pictureindex), edit.skinrect)},
        {"caption", caption.activefontcolor, CentreOf(Pic(caption.activepictureindex), caption.activeframerect)},
        {"caption inactive", caption.fontcolor, CentreOf(Pic(caption.activepictureindex), caption.framerect)},
    };
    for (const Case& c : cases) EXPECT_GE(Contrast(FromTColor(c.text), c.ground), 4.5) << c.what;
}

}  // namespace
