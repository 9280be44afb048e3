// The skinned frame on real forms offscreen: pixels from grab(), mouse input as the window
// system delivers it, states, skin changes.

#include <QAction>
#include <QKeyEvent>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>
#include <typeinfo>

#include "frame/FrameObjects.h"
#include "frame/PopupMenu.h"
#include "frame/SkinFrame.h"
#include "platform/Fonts.h"
#include "platform/SkinDispatch.h"
#include "skins/Carried.h"
#include "support/QtTestApp.h"
#include "support/QtWidgetTest.h"
#include "TestSkin.h"

namespace frame {
namespace {

using namespace skin;

using frametest::StandardSkin;
using frametest::TestSkin;

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
           Qt::MouseButtons held = Qt::NoButton) {
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) held |= button;
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Key(QWidget* w, int key, const QString& text) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &e);
}

QPoint Centre(const Rect& r) { return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// A form with a skinned frame, shown off screen and counted as active.
struct Window {
    platform::Form form;
    TbsSkinFrame* frame;
    TbsSkinData* data;

    explicit Window(TestSkin* skin, QSize size = QSize(300, 120)) {
        form.setWindowTitle("Frame test");
        frame = new TbsSkinFrame(&form);
        frame->SetActiveOverride(true);
        data = new TbsSkinData(&form);
        if (skin) skin->LoadInto(*data);
        frame->SetSkinData(data);
        form.move(100, 100);
        form.resize(size);
        ShowOffscreen(&form);
    }
    // Menu levels closed by their own events go when the event loop next runs; tests have none.
    ~Window() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QImage Shot() { return form.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    TbsActiveSkinObject* Obj(const char* name) { return frame->FindObject(QString::fromLatin1(name)); }
};

TEST(SkinFrame, OwnerMustBeAForm) {
    QObject notAForm;
    EXPECT_THROW(TbsSkinFrame{&notAForm}, std::bad_cast);
    QWidget plainWidget;
    EXPECT_THROW(TbsSkinFrame{&plainWidget}, std::bad_cast);
}

TEST(SkinFrame, PublishedDefaults) {
    platform::Form form;
    TbsSkinFrame f(&form);
    EXPECT_EQ(f.BorderIcons(), biSystemMenu | biMinimize | biMaximize | biRollUp);
    EXPECT_FALSE(f.ShowIcon());
    EXPECT_FALSE(f.MaximizeOnFullScreen());
    EXPECT_FALSE(f.AlphaBlend());
    EXPECT_FALSE(f.AlphaBlendAnimation());
    EXPECT_EQ(f.AlphaBlendValue(), 200);
    EXPECT_EQ(f.MinWidth(), 0);
    EXPECT_EQ(f.MinHeight(), 0);
    EXPECT_FALSE(f.Magnetic());
    EXPECT_EQ(f.MagneticSize(), 5);
    EXPECT_EQ(f.DefCaptionFont(), (platform::TFont{"Arial", 14, FontStyle::fsBold, platform::clCaptionText}));
    EXPECT_EQ(f.DefInActiveCaptionFont(), (platform::TFont{"Arial", 14, FontStyle::fsBold, platform::clBtnShadow}));
    EXPECT_EQ(f.SystemMenu(), nullptr);
    EXPECT_EQ(f.DefMenuItemHeight(), 20);
    EXPECT_EQ(f.MenusAlphaBlendValue(), 200);
    EXPECT_EQ(f.SkinData(), nullptr);
    EXPECT_FALSE(f.IsSkinned());
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST(SkinFrame, DefaultFrameLook) {
    Window w(nullptr, QSize(240, 100));
    const QImage img = w.Shot();
    auto at = [&](int x, int y) { return QColor(img.pixel(x, y)); };
    using platform::ToQColor;
    // Three borders from the outside in.
    EXPECT_EQ(at(0, 50), ToQColor(platform::cl3DLight));
    EXPECT_EQ(at(239, 50), ToQColor(platform::cl3DDkShadow));
    EXPECT_EQ(at(1, 50), ToQColor(platform::clBtnHighlight));
    EXPECT_EQ(at(238, 50), ToQColor(platform::clBtnShadow));
    EXPECT_EQ(at(2, 50), ToQColor(platform::clBtnFace));
    // Client area below the 19-pixel caption.
    EXPECT_EQ(w.form.Client()->geometry(), QRect(3, 22, 234, 75));
    EXPECT_EQ(at(120, 60), ToQColor(platform::clBtnFace));
    // The buttons lie right to left from W - 3, the system-menu button at x = 3.
    const char* names[] = {"closebutton", "maxbutton", "minbutton", "rollupbutton", "sysmenubutton"};
    const Rect rects[] = {{220, 4, 237, 21}, {203, 4, 220, 21}, {186, 4, 203, 21}, {169, 4, 186, 21}, {3, 4, 20, 21}};
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(w.Obj(names[i]), nullptr) << names[i];
        EXPECT_EQ(w.Obj(names[i])->ObjectRect, rects[i]) << names[i];
    }
    // Caption stripes between the system-menu button and the others (left of the title
    // plate): highlight on caption row 2, shadow on row 3.
    EXPECT_EQ(at(25, 5), ToQColor(platform::clBtnHighlight));
    EXPECT_EQ(at(25, 6), ToQColor(platform::clBtnShadow));
    // The close glyph in button-text colour at (w/2 - 5, h/2 - 4) of the button.
    EXPECT_EQ(at(220 + 8 - 5 + 1, 4 + 8 - 4 + 1), ToQColor(platform::clBtnText));
}

TEST(SkinFrame, DefaultButtonHoverAndDownLooks) {
    Window w(nullptr, QSize(240, 100));
    w.Shot();
    const QPoint on = Centre(w.Obj("closebutton")->ObjectRect);  // button 220..237 x 4..21
    Mouse(&w.form, QEvent::MouseMove, on);
    QImage img = w.Shot();
    EXPECT_EQ(QColor(img.pixel(220, 10)), QColor(0, 0, 0x80));        // one-pixel navy border
    EXPECT_EQ(QColor(img.pixel(221, 5)), QColor(0xB6, 0xBD, 0xD2));    // hot fill 0xD2BDB6
    EXPECT_EQ(QColor(img.pixel(233, 10)), QColor(0xB6, 0xBD, 0xD2));   // beside the glyph
    Mouse(&w.form, QEvent::MouseButtonPress, on);
    img = w.Shot();
    EXPECT_EQ(QColor(img.pixel(221, 5)), QColor(0x85, 0x93, 0xB5));    // pressed fill 0xB59385
    EXPECT_EQ(QColor(img.pixel(233, 10)), platform::ToQColor(platform::clBtnText));  // glyph one pixel lower right
    Mouse(&w.form, QEvent::MouseMove, {120, 60}, Qt::NoButton, Qt::LeftButton);
    img = w.Shot();
    EXPECT_EQ(QColor(img.pixel(221, 5)), platform::ToQColor(platform::clBtnFace));  // left: plain again
    Mouse(&w.form, QEvent::MouseButtonRelease, {120, 60});
    EXPECT_TRUE(w.form.isVisible());
}

TEST(SkinFrame, DefaultButtonsFollowBorderIcons) {
    Window w(nullptr);
    w.frame->SetBorderIcons(biSystemMenu | biMinimize);
    w.Shot();  // the default frame builds its buttons when it paints
    EXPECT_FALSE(w.Obj("maxbutton")->Visible);
    EXPECT_FALSE(w.Obj("rollupbutton")->Visible);
    EXPECT_TRUE(w.Obj("closebutton")->Visible);
    EXPECT_EQ(w.Obj("minbutton")->ObjectRect, (Rect{263, 4, 280, 21}));  // moved up next to close
}

// The frame lays itself out when its size or skin changes: objects are in place before
// anything is painted, and painting moves none of them.
TEST(SkinFrame, LaidOutBeforePaintingAndPaintingChangesNothing) {
    auto rects = [](TbsSkinFrame* f) {
        std::vector<Rect> r;
        for (const auto& o : f->Objects()) r.push_back(o->ObjectRect);
        return r;
    };
    Window plain(nullptr, QSize(240, 100));
    ASSERT_NE(plain.Obj("closebutton"), nullptr);
    EXPECT_EQ(plain.Obj("closebutton")->ObjectRect, (Rect{220, 4, 237, 21}));
    EXPECT_EQ(plain.frame->HitTest({120, 10}), HTCAPTION);  // between the system-menu button and the others
    EXPECT_EQ(plain.frame->HitTest({10, 10}), HTOBJECT);    // on the system-menu button
    const std::vector<Rect> plainBefore = rects(plain.frame);
    plain.Shot();
    EXPECT_EQ(rects(plain.frame), plainBefore);

    TestSkin skin = StandardSkin();
    Window w(&skin, QSize(300, 120));
    w.form.resize(320, 120);
    EXPECT_EQ(w.Obj("closebtn")->ObjectRect, (Rect{300, 5, 316, 19}));
    EXPECT_EQ(w.frame->HitTest({318, 60}), HTRIGHT);  // the hit test follows the new size
    const std::vector<Rect> skinnedBefore = rects(w.frame);
    w.Shot();
    EXPECT_EQ(rects(w.frame), skinnedBefore);
}

TEST(SkinFrame, MinimumWidths) {
    Window plain(nullptr);
    EXPECT_EQ(plain.form.minimumWidth(), 120);
    plain.form.resize(50, 80);
    EXPECT_EQ(plain.form.width(), 120);

    TestSkin skin = StandardSkin();
    Window w(&skin);
    EXPECT_EQ(w.form.minimumSize(), QSize(100, 29));  // picture width; frame without client
    w.frame->SetMinWidth(150);
    w.form.resize(110, 80);
    EXPECT_EQ(w.form.width(), 150);
}

// The frame's pixels come from the picture pixel whose coordinates they carry.
QPoint Source(QRgb c) { return QPoint(qRed(c), qGreen(c)); }

TEST(SkinFrame, OnePixelWiderKeepsCornersAndLengthensTiledEdges) {
    TestSkin skin = StandardSkin();
    skin.objects.clear();  // bare frame
    Window w(&skin, QSize(200, 100));
    const QImage a = w.Shot();
    w.form.resize(201, 100);
    const QImage b = w.Shot();
    // Corners: the left one stays, the right one moves with the right edge.
    for (int y : {0, 10, 24})
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(a.pixel(x, y), b.pixel(x, y));
            EXPECT_EQ(Source(a.pixel(199 - x, y)), Source(b.pixel(200 - x, y)));
        }
    // Top edge: tiles of source columns 20..79 laid from x = 0, seen between the corners;
    // one pixel wider means one more tiled column.
    auto tiled = [](const QImage& img, int W) {
        int n = 0;
        for (int x = 20; x < W - 20; ++x) {
            EXPECT_EQ(Source(img.pixel(x, 2)), QPoint(20 + x % 60, 2)) << x;
            ++n;
        }
        return n;
    };
    EXPECT_EQ(tiled(b, 201), tiled(a, 200) + 1);
    // The client background tiles the picture's clientrect part (columns 4..95).
    EXPECT_EQ(Source(b.pixel(4, 30)), QPoint(4, 25 + 5));
    EXPECT_EQ(Source(b.pixel(4 + 92, 30)), QPoint(4, 30));
}

TEST(SkinFrame, CarriedSkinCaption) {
    platform::Form form;
    form.setWindowTitle(QStringLiteral("物料需求計算"));
    auto* frame = new TbsSkinFrame(&form);
    frame->SetActiveOverride(true);
    auto* data = new TbsSkinData(&form);
    skins::LoadCarriedSkin(*data);
    frame->SetSkinData(data);
    form.resize(640, 400);
    ShowOffscreen(&form);

    // One frame object, the caption; no caption buttons.
    ASSERT_EQ(frame->Objects().size(), 1u);
    auto* caption = dynamic_cast<TbsSkinCaptionObject*>(frame->Objects()[0].get());
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->ObjectRect, (Rect{4, 5, 640 - 5, 24}));
    // The title is centred, on a plate.
    const TbsSkinCaptionObject::TextLayout l = caption->LayoutText(true);
    EXPECT_EQ(l.text, QStringLiteral("物料需求計算"));
    EXPECT_FALSE(l.plate.IsEmpty());
    EXPECT_LE(std::abs((l.plate.left + l.plate.right) / 2 - 320), 2);
    // The frame's corners are the picture's corners.
    const QImage shot = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage pic = data->Picture.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(0, 0), pic.pixel(0, 0));
    EXPECT_EQ(shot.pixel(639, 399), pic.pixel(pic.width() - 1, pic.height() - 1));
    EXPECT_EQ(shot.pixel(639, 0), pic.pixel(pic.width() - 1, 0));
    // Double click on the caption maximizes, again restores.
    const QRect before = form.geometry();
    Mouse(&form, QEvent::MouseButtonDblClick, {200, 12});
    EXPECT_EQ(frame->FrameState(), wsMaximized);
    EXPECT_EQ(form.geometry(), platform::WorkArea(&form));
    Mouse(&form, QEvent::MouseButtonDblClick, {200, 12});
    EXPECT_EQ(frame->FrameState(), wsNormal);
    EXPECT_EQ(form.geometry(), before);
}

TEST(SkinFrame, LongTitleIsShortenedToTheLongestPrefixThatFits) {
    TestSkin skin = StandardSkin();
    Window w(&skin, QSize(160, 100));
    const QString title = QStringLiteral("Material requirements calculation for every project");
    w.form.setWindowTitle(title);
    auto* caption = dynamic_cast<TbsSkinCaptionObject*>(w.Obj("caption"));
    ASSERT_NE(caption, nullptr);
    const TbsSkinCaptionObject::TextLayout l = caption->LayoutText(true);
    const QFont font = platform::MakeFont("Arial", 14, FontStyle::fsBold);
    const int room = l.textRect.Width();
    ASSERT_GT(room, 20);
    ASSERT_TRUE(l.text.endsWith("..."));
    const QString prefix = l.text.chopped(3);
    EXPECT_TRUE(title.startsWith(prefix));
    EXPECT_LE(platform::TextWidth(font, l.text), room);
    EXPECT_GT(platform::TextWidth(font, title.left(prefix.size() + 1) + "..."), room);
    // The plate (30 wide, text area 18 wide) grows with the text.
    EXPECT_EQ(l.plate.Width(), 30 + platform::TextWidth(font, l.text) - 18);
}

TEST(SkinFrame, ButtonsLaidOutRightToLeftInTheCaption) {
    TestSkin skin = StandardSkin();
    Window w(&skin, QSize(300, 100));
    // Caption rectangle 4..296; close ends at its right edge, minimize buttonsoffset (2)
    // pixels left of the close button.
    EXPECT_EQ(w.Obj("closebtn")->ObjectRect, (Rect{280, 5, 296, 19}));
    EXPECT_EQ(w.Obj("minbtn")->ObjectRect, (Rect{262, 5, 278, 19}));
    EXPECT_EQ(w.Obj("caption")->ObjectRect.right, 262);
    const QImage img = w.Shot();
    EXPECT_EQ(QColor(img.pixel(285, 10)), QColor(200, 0, 0));  // close button, normal look
}

TEST(SkinFrame, CloseActsOnlyWhenReleasedOverTheButton) {
    TestSkin skin = StandardSkin();
    Window w(&skin);
    QSignalSpy closed(&w.form, &platform::Form::Closed);
    const QPoint on = Centre(w.Obj("closebtn")->ObjectRect);
    auto* close = dynamic_cast<TbsSkinStdButtonObject*>(w.Obj("closebtn"));

    // Pressed, dragged off, released elsewhere: nothing.
    Mouse(&w.form, QEvent::MouseMove, on);
    Mouse(&w.form, QEvent::MouseButtonPress, on);
    EXPECT_TRUE(close->Down);
    EXPECT_EQ(QColor(w.Shot().pixel(on)), QColor(0, 0, 200));  // down look
    Mouse(&w.form, QEvent::MouseMove, {150, 60}, Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(close->MouseIn);
    Mouse(&w.form, QEvent::MouseButtonRelease, {150, 60});
    EXPECT_EQ(closed.count(), 0);
    EXPECT_TRUE(w.form.isVisible());
    EXPECT_FALSE(close->Down);

    // On an inactive window the click that activates it counts, where it comes up too.
    w.frame->SetActiveOverride(false);
    Mouse(&w.form, QEvent::MouseButtonPress, on);
    EXPECT_TRUE(close->Down);
    Mouse(&w.form, QEvent::MouseMove, {150, 60}, Qt::NoButton, Qt::LeftButton);
    Mouse(&w.form, QEvent::MouseButtonRelease, {150, 60});
    EXPECT_EQ(closed.count(), 0);
    w.frame->SetActiveOverride(true);

    // Pressed and released over it: the form closes.
    Mouse(&w.form, QEvent::MouseMove, on);
    Mouse(&w.form, QEvent::MouseButtonPress, on);
    Mouse(&w.form, QEvent::MouseButtonRelease, on);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(w.form.isVisible());
}

TEST(SkinFrame, MinimizeButtonParksTheWindowAtTheBottomLeft) {
    platform::Form mainForm;  // the main form minimizes the application instead
    TestSkin skin = StandardSkin();
    Window w(&skin);
    const QRect before = w.form.geometry();
    const QPoint on = Centre(w.Obj("minbtn")->ObjectRect);
    Mouse(&w.form, QEvent::MouseMove, on);
    Mouse(&w.form, QEvent::MouseButtonPress, on);
    Mouse(&w.form, QEvent::MouseButtonRelease, on);
    EXPECT_EQ(w.frame->FrameState(), wsMinimized);
    const QRect area = platform::WorkArea(&w.form);
    EXPECT_EQ(w.form.geometry(), QRect(area.left(), area.bottom() + 1 - 29, 100, 29));
    w.frame->SetFrameState(wsNormal);
    EXPECT_EQ(w.form.geometry(), before);
}

TEST(SkinFrame, MorphMovesATenthPerTick) {
    TestSkin skin = StandardSkin();
    Window w(&skin);
    TbsActiveSkinObject* btn = w.Obj("morphbtn");
    ASSERT_NE(btn, nullptr);
    ASSERT_TRUE(btn->Morphing);
    const QPoint p(62, 10);  // inside the button (60..76 x 8..22)
    Mouse(&w.form, QEvent::MouseMove, p);
    EXPECT_TRUE(btn->Active);
    EXPECT_TRUE(w.frame->MorphTimerActive());
    for (int i = 1; i <= 3; ++i) {
        w.frame->MorphTimerTick();
        EXPECT_DOUBLE_EQ(btn->MorphKf, i / 10.0);
    }
    // At 0.3 the pixel is 70 % of the picture's pixel (62, 10, 128) and 30 % of green.
    const QColor c(w.Shot().pixel(p));
    EXPECT_EQ(c, QColor(int(std::lround(0.7 * 62)), int(std::lround(0.7 * 10 + 0.3 * 200)), int(std::lround(0.7 * 128))));
    // Leaving half-way turns back from where it stands.
    Mouse(&w.form, QEvent::MouseMove, {150, 60});
    EXPECT_FALSE(btn->Active);
    w.frame->MorphTimerTick();
    EXPECT_DOUBLE_EQ(btn->MorphKf, 0.2);
    w.frame->MorphTimerTick();
    w.frame->MorphTimerTick();
    EXPECT_DOUBLE_EQ(btn->MorphKf, 0.0);
    EXPECT_FALSE(w.frame->MorphTimerActive());
    // A full change takes ten ticks and ends exactly at 1.
    Mouse(&w.form, QEvent::MouseMove, p);
    for (int i = 0; i < 10; ++i) w.frame->MorphTimerTick();
    EXPECT_DOUBLE_EQ(btn->MorphKf, 1.0);
    EXPECT_FALSE(w.frame->MorphTimerActive());
    EXPECT_EQ(QColor(w.Shot().pixel(p)), QColor(0, 200, 0));
}

TEST(SkinFrame, RollUpAndBackGivesTheHeight) {
    TestSkin skin = StandardSkin();
    Window w(&skin, QSize(300, 140));
    w.frame->SetRolledUp(true);
    EXPECT_TRUE(w.frame->RolledUp());
    EXPECT_EQ(w.form.height(), 29);  // the frame without its client area
    EXPECT_EQ(w.form.Client()->height(), 0);
    // Double click on the caption of a rolled-up window unrolls it.
    Mouse(&w.form, QEvent::MouseButtonDblClick, {100, 12});
    EXPECT_FALSE(w.frame->RolledUp());
    EXPECT_EQ(w.form.height(), 140);
    // Without biRollUp nothing rolls up.
    w.frame->SetBorderIcons(biSystemMenu);
    w.frame->SetRolledUp(true);
    EXPECT_FALSE(w.frame->RolledUp());
}

TEST(SkinFrame, MagneticDragSnapsWithinFourPixels) {
    TestSkin skin = StandardSkin();
    Window w(&skin);
    w.frame->SetMagnetic(true);
    const QRect area = platform::WorkArea(&w.form);
    // Drag by the caption so that the left edge comes to area.left + d.
    auto drag = [&](int d) {
        w.form.move(area.left() + 100, area.top() + 100);
        const QPoint grip(150, 12);
        Mouse(&w.form, QEvent::MouseButtonPress, grip);
        const QPoint to = grip + QPoint(d - 100, 0);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(w.form.mapToGlobal(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w.form, &move);
        Mouse(&w.form, QEvent::MouseButtonRelease, to);
        return w.form.x() - area.left();
    };
    EXPECT_EQ(drag(4), 0);
    EXPECT_EQ(drag(5), 5);
    EXPECT_EQ(drag(-3), 0);
    w.frame->SetMagnetic(false);
    EXPECT_EQ(drag(4), 4);
}

TEST(SkinFrame, BorderDragResizesWithinTheMinimum) {
    TestSkin skin = StandardSkin();
    Window w(&skin, QSize(300, 120));
    const QRect start = w.form.geometry();
    Mouse(&w.form, QEvent::MouseButtonPress, {298, 60});  // right border
    const QPoint to(298 - 250, 60);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(w.form.mapToGlobal(QPoint(298, 60)) + QPoint(-250, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w.form, &move);
    Mouse(&w.form, QEvent::MouseButtonRelease, to);
    EXPECT_EQ(w.form.geometry(), QRect(start.topLeft(), QSize(100, 120)));
}

TEST(SkinFrame, BorderIconsOnSkinButtons) {
    TestSkin skin = StandardSkin();
    // A maximize button painted into the form picture, one from an active picture.
    skin.objects.insert(skin.objects.begin(),
                        {{"maxinframe", "stdbutton",
                          {"skinrectinapicture=0", "activepictureindex=1", "skinrect=30,8,46,22",
                           "disableskinrsect=32,14,48,28", "command=cmmaximize"}},
                         {"maxactive", "stdbutton",
                          {"skinrectinapicture=1", "activepictureindex=1", "skinrect=0,0,16,14",
                           "command=cmmaximize"}}});
    Window w(&skin);
    w.frame->SetBorderIcons(biSystemMenu | biMinimize | biRollUp);
    TbsActiveSkinObject* inFrame = w.Obj("maxinframe");
    TbsActiveSkinObject* fromActive = w.Obj("maxactive");
    EXPECT_TRUE(inFrame->Visible);
    EXPECT_FALSE(inFrame->Enabled);
    EXPECT_FALSE(fromActive->Visible);
    EXPECT_EQ(QColor(w.Shot().pixel(35, 12)), QColor(0, 0, 200));  // drawn with disableskinrsect
    // It no longer reacts.
    Mouse(&w.form, QEvent::MouseMove, {35, 12});
    Mouse(&w.form, QEvent::MouseButtonPress, {35, 12});
    Mouse(&w.form, QEvent::MouseButtonRelease, {35, 12});
    EXPECT_EQ(w.frame->FrameState(), wsNormal);
    EXPECT_TRUE(w.Obj("closebtn")->Enabled);
}

// The items of the open system menu: name, caption, shortcut; disabled ones marked.
QStringList OpenMenuItems(TbsSkinFrame* frame) {
    QStringList items;
    TbsSkinMenu* chain = frame->SkinMenu();
    if (chain->LevelCount() == 0) return items;
    for (const TbsSkinMenuItem& it : chain->Level(0)->Items()) {
        QString s = it.item->IsSeparator() ? QString("-") : it.item->Name + ":" + it.item->Caption;
        if (!it.item->ShortCut.isEmpty()) s += " " + it.item->ShortCut;
        if (!it.item->Enabled) s += " (disabled)";
        items << s;
    }
    return items;
}

// Chooses the named item of the open system menu with the mouse.
void ChooseFromMenu(TbsSkinFrame* frame, const QString& name) {
    TbsSkinPopupWindow* level = frame->SkinMenu()->Level(0);
    for (const TbsSkinMenuItem& it : level->Items()) {
        if (it.item->Name != name) continue;
        const QPoint c = it.rect.ToQRect().center();
        Mouse(level, QEvent::MouseMove, c);
        Mouse(level, QEvent::MouseButtonPress, c);
        Mouse(level, QEvent::MouseButtonRelease, c);
        return;
    }
    ADD_FAILURE() << "no item " << name.toStdString();
}

TEST(SkinFrame, SystemMenuOnRightClickOfTheCaption) {
    TestSkin skin = StandardSkin();
    Window w(&skin);
    int opened = 0, closed = 0;
    w.frame->OnSkinMenuOpen = [&] { ++opened; };
    w.frame->OnSkinMenuClose = [&] { ++closed; };
    Mouse(&w.form, QEvent::MouseButtonPress, {150, 12}, Qt::RightButton);
    TbsSkinMenu* chain = w.frame->SkinMenu();
    ASSERT_EQ(chain->LevelCount(), 1);
    TbsSkinPopupWindow* level = chain->Level(0);
    EXPECT_TRUE(level->isVisible());
    // At the cursor, the first item hot.
    EXPECT_EQ(level->pos(), w.form.mapToGlobal(QPoint(150, 12)));
    EXPECT_EQ(level->HotItem(), 0);
    EXPECT_EQ(OpenMenuItems(w.frame), (QStringList{"BSF_MINITEM:Mi&nimize", "BSF_MAXITEM:Ma&ximize",
                                                   "BSF_ROLLUP:Ro&llUp", "-", "BSF_CLOSE:&Close Alt+F4"}));
    ChooseFromMenu(w.frame, "BSF_ROLLUP");
    EXPECT_TRUE(w.frame->RolledUp());
    EXPECT_FALSE(chain->ChainOpen());
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(closed, 1);
    // Restore unrolls a rolled-up window.
    w.frame->ShowSystemMenu(w.form.mapToGlobal(QPoint(150, 12)));
    ChooseFromMenu(w.frame, "BSF_RESTORE");
    EXPECT_FALSE(w.frame->RolledUp());
    // Any change of the window closes an open menu.
    w.frame->ShowSystemMenu(w.form.mapToGlobal(QPoint(150, 12)));
    ASSERT_TRUE(chain->ChainOpen());
    w.form.resize(320, 120);
    EXPECT_FALSE(chain->ChainOpen());
    // So does a change of the skin it is drawn with.
    w.frame->ShowSystemMenu(w.form.mapToGlobal(QPoint(150, 12)));
    ASSERT_TRUE(chain->ChainOpen());
    skin.LoadInto(*w.data);
    EXPECT_FALSE(chain->ChainOpen());
}

TEST(SkinFrame, PlainSystemMenuShowsTheCloseGlyphAndItsShortcut) {
    Window w(nullptr);
    w.frame->ShowSystemMenu(w.form.mapToGlobal(QPoint(150, 12)));
    TbsSkinPopupWindow* level = w.frame->SkinMenu()->Level(0);
    const TbsSkinMenuItem& close = level->Items().back();
    ASSERT_EQ(close.item->Name, "BSF_CLOSE");
    const QImage img = level->LevelImage();
    const Rect r = close.rect;
    const int cy = r.top + r.Height() / 2;
    auto ink = [&](int x0, int x1) {  // dark (text) pixels in the columns [x0, x1)
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = r.top + 2; y < r.bottom - 2; ++y) n += qGray(img.pixel(x, y)) < 128;
        return n;
    };
    // The close glyph's cross at (T.left + 2, centre - 4), T inset 2 in the item.
    EXPECT_EQ(img.pixel(r.left + 4 + 1, cy - 4 + 1), platform::ToQRgb(platform::clWindowText));
    EXPECT_EQ(img.pixel(r.left + 4 + 5, cy - 4 + 5), platform::ToQRgb(platform::clWindowText));
    // "Alt+F4" ends 19 pixels before T's right edge: ink just left of there, none after.
    const int end = r.right - 2 - 19;
    EXPECT_GT(ink(end - 4, end), 0);
    EXPECT_EQ(ink(end, r.right), 0);
    w.frame->CloseSkinMenus();
}

TEST(SkinFrame, SystemMenuFollowsTheWindowState) {
    TestSkin skin = StandardSkin();
    struct Case {
        const char* what;
        std::function<void(TbsSkinFrame*)> state;
        QStringList items;
    } cases[] = {
        {"normal", [](TbsSkinFrame*) {},
         {"BSF_MINITEM:Mi&nimize", "BSF_MAXITEM:Ma&ximize", "BSF_ROLLUP:Ro&llUp", "-", "BSF_CLOSE:&Close Alt+F4"}},
        {"maximized", [](TbsSkinFrame* f) { f->SetFrameState(wsMaximized); },
         {"BSF_MINITEM:Mi&nimize", "BSF_RESTORE:&Restore", "BSF_ROLLUP:Ro&llUp", "-", "BSF_CLOSE:&Close Alt+F4"}},
        {"rolled up", [](TbsSkinFrame* f) { f->SetRolledUp(true); },
         {"BSF_MINITEM:Mi&nimize", "BSF_MAXITEM:Ma&ximize", "BSF_RESTORE:&Restore", "-", "BSF_CLOSE:&Close Alt+F4"}},
        {"without minimize and roll-up", [](TbsSkinFrame* f) { f->SetBorderIcons(biSystemMenu | biMaximize); },
         {"BSF_MAXITEM:Ma&ximize", "-", "BSF_CLOSE:&Close Alt+F4"}},
    };
    for (const Case& c : cases) {
        Window w(&skin);
        c.state(w.frame);
        w.frame->ShowSystemMenu(w.form.mapToGlobal(QPoint(150, 12)));
        EXPECT_EQ(OpenMenuItems(w.frame), c.items) << c.what;
        w.frame->CloseSkinMenus();
    }
    // A menu that replaces the built-in one comes from its actions.
    Window w(&skin);
    QMenu replacement;
    QAction* hello = replacement.addAction("&Hello");
    hello->setObjectName("hello");
    replacement.addSeparator();
    replacement.addAction("&Gone")->setEnabled(false);
    int said = 0;
    QObject::connect(hello, &QAction::triggered, [&] { ++said; });
    w.frame->SetSystemMenu(&replacement);
    w.frame->ShowSystemMenu(w.form.mapToGlobal(QPoint(150, 12)));
    EXPECT_EQ(OpenMenuItems(w.frame), (QStringList{"hello:&Hello", "-", ":&Gone (disabled)"}));
    ChooseFromMenu(w.frame, "hello");
    EXPECT_EQ(said, 1);
}

TEST(SkinFrame, PopupMenuShowsThroughTheFormsFrame) {
    TestSkin skin = StandardSkin();
    Window w(&skin);
    TbsSkinData other;
    auto* menu = new TbsSkinPopupMenu(&w.form);
    int popups = 0, ran = 0;
    menu->OnPopup = [&] { ++popups; };
    TbsMenuItem item;
    item.Caption = "&Go";
    item.OnClick = [&] { ++ran; };
    menu->Items.Items = {item};
    TbsSkinMenu* chain = w.frame->SkinMenu();
    struct Case {
        const char* what;
        TbsSkinData* menuSkin;
        TbsSkinData* framesMenuSkin;
        TbsSkinData* shown;
    } cases[] = {
        {"the frame's skin", nullptr, nullptr, w.data},
        {"the frame's menu skin", nullptr, &other, &other},
        {"its own skin", w.data, &other, w.data},
    };
    for (const Case& c : cases) {
        menu->SetSkinData(c.menuSkin);
        w.frame->SetMenusSkinData(c.framesMenuSkin);
        menu->Popup(120, 130);
        ASSERT_EQ(chain->LevelCount(), 1) << c.what;
        EXPECT_EQ(chain->SkinData(), c.shown) << c.what;
        EXPECT_EQ(chain->Level(0)->pos(), QPoint(120, 130)) << c.what;
    }
    Key(chain->Level(0), Qt::Key_G, "g");
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(popups, 3);
    // Owned by a component of the form it finds the form too; with no form, nothing shows.
    QObject component(&w.form);
    TbsSkinPopupMenu nested(&component), orphan;
    nested.Items = orphan.Items = menu->Items;
    nested.Popup(10, 10);
    EXPECT_EQ(chain->LevelCount(), 1);
    w.frame->CloseSkinMenus();
    orphan.Popup(10, 10);
    EXPECT_EQ(chain->LevelCount(), 0);
}

TEST(SkinFrame, MaskShapesTheWindow) {
    TestSkin skin = StandardSkin();
    skin.mask = frametest::Solid(100, 60, qRgb(0, 0, 0));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x + y < 6; ++x) {
            skin.mask.setPixel(x, y, qRgb(255, 255, 255));
            skin.mask.setPixel(99 - x, y, qRgb(255, 255, 255));
        }
    skin.Set("maskrectarea", "8,8,92,52");
    Window w(&skin, QSize(300, 120));
    const QRegion shape = w.form.mask();
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(299, 0)));  // the right corner moved with the width
    EXPECT_TRUE(shape.contains(QPoint(6, 0)));
    EXPECT_TRUE(shape.contains(QPoint(150, 60)));
    EXPECT_TRUE(shape.contains(QPoint(299, 119)));
    EXPECT_EQ(w.frame->HitTest({3, 3}), HTTOPLEFT);
    // Without the mask the window is a rectangle again.
    TestSkin plain = StandardSkin();
    plain.LoadInto(*w.data);
    EXPECT_TRUE(w.form.mask().isEmpty());
}

TEST(SkinFrame, MalformedSkinsNeitherCrashNorReadOutside) {
    // A definition without a form picture: the plain frame.
    {
        TestSkin skin = StandardSkin();
        skin.picture = QImage();
        Window w(&skin);
        EXPECT_FALSE(w.data->IsEmpty());
        EXPECT_FALSE(w.frame->IsSkinned());
        EXPECT_EQ(w.form.Client()->geometry(), QRect(3, 22, 294, 95));
        w.Shot();
    }
    // Geometry far outside the pictures, a client rectangle larger than the picture,
    // anchors out of order, a background picture index that does not exist, a huge font.
    TestSkin skin = StandardSkin();
    skin.Set("clientrect", "4,25,400,300");
    skin.Set("lefttoppoint", "90,30");
    skin.Set("righttoppoint", "10,30");
    skin.Set("captionrect", "4,5,5000,24");
    skin.Set("bgpictureindex", "7");
    skin.mask = frametest::Solid(30, 20, qRgb(0, 0, 0));
    skin.Set("maskrectarea", "50,50,900,900");
    skin.objects.push_back({"wild", "stdbutton",
                            {"skinrectinapicture=1", "activepictureindex=1", "skinrect=40,20,900,700",
                             "activeskinrect=1000,1000,1200,1100", "restorerect=500,0,600,100", "command=cmmaximize",
                             "morphing=1"}});
    skin.objects.push_back({"wildcaption", "caption",
                            {"activepictureindex=9", "skinrect=4,5,96,24", "activeskinrect=0,0,4000,4000",
                             "textrect=0,0,9000,19", "fontheight=99999", "framerect=0,0,3000,3000",
                             "frametextrect=0,0,5,5"}});
    Window w(&skin, QSize(300, 200));
    for (QSize s : {QSize(300, 200), QSize(1000, 40), QSize(120, 500)}) {
        w.form.resize(s);
        const QImage img = w.Shot();
        EXPECT_FALSE(img.isNull());
    }
    Mouse(&w.form, QEvent::MouseMove, {150, 12});
    Mouse(&w.form, QEvent::MouseButtonDblClick, {150, 12});
    for (int i = 0; i < 12; ++i) w.frame->MorphTimerTick();
    w.Shot();
}

// Records what the frame looks like when the skin-change messages reach the controls.
class Probe : public platform::Control, public platform::SkinnedControl {
public:
    Probe(QWidget* parent, TbsSkinFrame* frame, TbsSkinData* data) : Control(parent), frame_(frame), data_(data) {}
    TbsSkinData* ControlSkinData() const override { return data_; }
    void SkinChanging() override { atChanging = {frame_->Objects().size(), frame_->IsSkinned()}; }
    void SkinChanged() override { atChanged = {frame_->Objects().size(), frame_->IsSkinned()}; }
    std::pair<size_t, bool> atChanging{99, true}, atChanged{99, false};

private:
    TbsSkinFrame* frame_;
    TbsSkinData* data_;
};

TEST(SkinFrame, SkinChangeFreesAndRebuildsObjectsBeforeTheControlsHear) {
    TestSkin skin = StandardSkin();
    Window w(&skin);
    ASSERT_EQ(w.frame->Objects().size(), 4u);
    auto* probe = new Probe(w.form.Client(), w.frame, w.data);
    skin.LoadInto(*w.data);  // SkinChange::Changing, then SkinChange::Changed
    EXPECT_EQ(probe->atChanging, std::make_pair(size_t(0), false));
    EXPECT_EQ(probe->atChanged, std::make_pair(size_t(4), true));
    EXPECT_EQ(w.frame->Objects().size(), 4u);

    // A skin data that goes away leaves the plain frame.
    delete w.data;
    EXPECT_EQ(w.frame->SkinData(), nullptr);
    EXPECT_FALSE(w.frame->IsSkinned());
    EXPECT_EQ(w.form.Client()->geometry(), QRect(3, 22, 294, 95));
}

TEST(SkinFrame, ActivationFollowsTheWindowSystem) {
    TestSkin skin = StandardSkin();
    platform::Form form;
    form.setWindowTitle("Frame test");
    auto* frame = new TbsSkinFrame(&form);
    auto* data = new TbsSkinData(&form);
    skin.LoadInto(*data);
    frame->SetSkinData(data);
    int activations = 0, deactivations = 0;
    frame->OnActivate = [&] { ++activations; };
    frame->OnDeActivate = [&] { ++deactivations; };
    auto* caption = dynamic_cast<TbsSkinCaptionObject*>(frame->FindObject("caption"));
    ASSERT_NE(caption, nullptr);
    EXPECT_FALSE(caption->Active);
    form.resize(300, 120);
    form.show();  // the offscreen platform activates shown windows on request
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_TRUE(frame->FormActive());
    EXPECT_TRUE(caption->Active);
    EXPECT_GE(activations, 1);
    // The caption's text colour follows: active black, inactive grey (8421504), on the
    // light plate.
    const Rect plate = caption->LayoutText(true).plate;
    auto darkest = [&](const QImage& img) {
        int best = 255;
        for (int y = plate.top + 2; y < plate.bottom - 2; ++y)
            for (int x = plate.left + 6; x < plate.right - 6; ++x) best = std::min(best, qGray(img.pixel(x, y)));
        return best;
    };
    EXPECT_LT(darkest(form.grab().toImage()), 40);
    frame->SetActiveOverride(false);
    EXPECT_FALSE(caption->Active);
    EXPECT_GE(deactivations, 1);
    EXPECT_GT(darkest(form.grab().toImage()), 100);
}

TEST(SkinFrame, FadeInAndConstantAlpha) {
    {
        platform::Form form;
        auto* frame = new TbsSkinFrame(&form);
        frame->SetAlphaBlend(true);
        ShowOffscreen(&form);
        EXPECT_NEAR(form.windowOpacity(), 200 / 255.0, 0.01);
        frame->SetAlphaBlendValue(100);
        EXPECT_NEAR(form.windowOpacity(), 100 / 255.0, 0.01);
    }
    platform::Form form;
    auto* frame = new TbsSkinFrame(&form);
    frame->SetAlphaBlendAnimation(true);
    ShowOffscreen(&form);
    EXPECT_LT(form.windowOpacity(), 0.5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.windowOpacity() >= 1.0; }, 3000));
}

}  // namespace
}  // namespace frame
