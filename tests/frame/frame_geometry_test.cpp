// The frame's geometry rules as plain functions: hit codes, picture-to-window mapping,
// client and minimum sizes, snapping, border resizing and the system menu's items.

#include <gtest/gtest.h>

#include <ostream>

#include "frame/FrameGeometry.h"

namespace skin {

inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "[" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "]";
}

}  // namespace skin

namespace frame {
namespace {

using namespace skin;

// The standard test skin's [FORMINFO] for a 200 x 100 window (picture 100 x 60).
HitTestInput SkinnedInput() {
    HitTestInput in;
    in.window = QSize(200, 100);
    in.skinned = true;
    in.newC = {4, 25, 196, 96};
    in.borderWidth = 4;
    in.hitLT = {10, 10};
    in.hitRT = {190, 10};
    in.hitLB = {10, 90};
    in.hitRB = {190, 90};
    in.captionObjects = {{4, 5, 196, 24}};
    return in;
}

TEST(FrameHitTest, SkinnedCodes) {
    struct Case {
        QPoint p;
        int code;
        const char* why;
    } cases[] = {
        {{2, 50}, HTLEFT, "2 pixels inside the left border, borderwidth 4"},
        {{2, 8}, HTTOPLEFT, "left border above the left-top hit-test point"},
        {{3, 3}, HTTOPLEFT, "corner before the top and left edges"},
        {{198, 5}, HTTOPRIGHT, "top-right corner"},
        {{5, 97}, HTBOTTOMLEFT, "bottom-left corner"},
        {{197, 97}, HTBOTTOMRIGHT, "bottom-right corner"},
        {{100, 1}, HTTOP, "top edge"},
        {{100, 98}, HTBOTTOM, "bottom edge"},
        {{198, 50}, HTRIGHT, "right edge"},
        {{4, 50}, HTCLIENT, "inside, just far enough from the edge"},
        {{100, 15}, HTCAPTION, "on the caption"},
        {{100, 50}, HTCLIENT, "in the client area"},
        {{100, 24}, HTOBJECT, "below the caption, above the client area"},
    };
    const HitTestInput in = SkinnedInput();
    for (const Case& c : cases) EXPECT_EQ(FrameHitTest(in, c.p), c.code) << c.why;
}

TEST(FrameHitTest, SkinnedStates) {
    struct Case {
        void (*set)(HitTestInput&);
        QPoint p;
        int code;
        const char* why;
    } cases[] = {
        {[](HitTestInput& in) { in.hoverObject = true; }, {30, 24}, HTOBJECT, "hover object outside the client"},
        {[](HitTestInput& in) { in.hoverObject = true; }, {100, 15}, HTCAPTION, "hover object on the caption"},
        {[](HitTestInput& in) { in.rolledUp = true; }, {2, 50}, HTOBJECT, "rolled up: no resizing"},
        {[](HitTestInput& in) { in.rolledUp = true; }, {100, 15}, HTCAPTION, "rolled up: caption still drags"},
        {[](HitTestInput& in) { in.minimized = true; }, {100, 50}, HTOBJECT, "minimized: no client"},
        {[](HitTestInput& in) { in.maximized = true; }, {2, 50}, HTOBJECT, "maximized: no resizing"},
        {[](HitTestInput& in) { in.maximized = true; }, {100, 50}, HTCLIENT, "maximized: client"},
        {[](HitTestInput& in) { in.sizeable = false; }, {2, 50}, HTOBJECT, "not sizeable"},
    };
    for (const Case& c : cases) {
        HitTestInput in = SkinnedInput();
        c.set(in);
        EXPECT_EQ(FrameHitTest(in, c.p), c.code) << c.why;
    }
}

TEST(FrameHitTest, MaskShapeDecidesTheEdge) {
    // A window shape with its top-left corner cut off diagonally (x + y < 8 is outside).
    FrameShape shape;
    shape.maskArea = {8, 8, 192, 92};
    shape.masks.top = QImage(200, 8, QImage::Format_RGB32);
    shape.masks.top.fill(Qt::black);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x + y < 8; ++x) shape.masks.top.setPixel(x, y, qRgb(255, 255, 255));
    for (QImage* m : {&shape.masks.left, &shape.masks.right}) {
        *m = QImage(8, 84, QImage::Format_RGB32);
        m->fill(Qt::black);
    }
    shape.masks.bottom = QImage(200, 8, QImage::Format_RGB32);
    shape.masks.bottom.fill(Qt::black);

    EXPECT_FALSE(shape.Contains({1, 5}));
    EXPECT_TRUE(shape.Contains({5, 5}));
    EXPECT_TRUE(shape.Contains({100, 50}));
    EXPECT_FALSE(shape.Contains({-1, 50}));

    HitTestInput in = SkinnedInput();
    EXPECT_EQ(FrameHitTest(in, {5, 5}), HTCAPTION);  // rectangular window: far from the edge
    in.shape = &shape;
    EXPECT_EQ(FrameHitTest(in, {5, 5}), HTTOPLEFT);  // (1, 5) lies outside the cut corner
    EXPECT_EQ(FrameHitTest(in, {100, 50}), HTCLIENT);
    EXPECT_EQ(FrameHitTest(in, {2, 50}), HTLEFT);
}

TEST(FrameHitTest, DefaultFrameCodes) {
    HitTestInput in;
    in.window = QSize(200, 100);
    in.captionHeight = 19;
    in.captionArea = {20, 3, 130, 22};
    struct Case {
        QPoint p;
        int code;
    } cases[] = {
        {{1, 1}, HTTOPLEFT},   {{198, 2}, HTTOPRIGHT}, {{2, 98}, HTBOTTOMLEFT}, {{199, 99}, HTBOTTOMRIGHT},
        {{2, 50}, HTLEFT},     {{50, 2}, HTTOP},       {{198, 50}, HTRIGHT},    {{50, 98}, HTBOTTOM},
        {{50, 10}, HTCAPTION}, {{50, 50}, HTCLIENT},   {{10, 10}, HTOBJECT},    {{150, 10}, HTOBJECT},
    };
    for (const Case& c : cases) EXPECT_EQ(FrameHitTest(in, c.p), c.code) << c.p.x() << "," << c.p.y();
    in.hoverObject = true;
    EXPECT_EQ(FrameHitTest(in, {2, 50}), HTOBJECT);
    in.hoverObject = false;
    in.maximized = true;
    EXPECT_EQ(FrameHitTest(in, {2, 50}), HTOBJECT);
    EXPECT_EQ(FrameHitTest(in, {50, 10}), HTCAPTION);
}

FrameGeometry TestGeometry(QSize window) {
    TbsDataSkinFormInfo fi;
    fi.lefttoppoint = {20, 30};
    fi.righttoppoint = {80, 30};
    fi.leftbottompoint = {20, 50};
    fi.rightbottompoint = {80, 50};
    fi.clientrect = {4, 25, 96, 56};
    fi.captionrect = {4, 5, 96, 24};
    fi.buttonsrect = {60, 6, 94, 22};
    fi.maskrectarea = {6, 6, 94, 54};
    fi.hittestlefttoppoint = {10, 10};
    fi.hittestrighttoppoint = {90, 10};
    fi.hittestleftbottompoint = {10, 50};
    fi.hittestrightbottompoint = {90, 50};
    return ComputeFrameGeometry(fi, QSize(100, 60), window);
}

TEST(FrameGeometry, FollowsTheWindowSize) {
    const FrameGeometry g = TestGeometry(QSize(300, 100));
    EXPECT_EQ(g.dx, 200);
    EXPECT_EQ(g.dy, 40);
    EXPECT_EQ(g.n.C, (Rect{4, 25, 296, 96}));
    EXPECT_EQ(g.n.RT, QPoint(280, 30));
    EXPECT_EQ(g.n.LB, QPoint(20, 90));
    EXPECT_EQ(g.caption, (Rect{4, 5, 296, 24}));
    EXPECT_EQ(g.buttons, (Rect{260, 6, 294, 22}));  // right half: follows the right edge
    EXPECT_EQ(g.maskArea, (Rect{6, 6, 294, 94}));
    EXPECT_EQ(g.hitRB, QPoint(290, 90));

    TbsDataSkinFormInfo left;
    left.buttonsrect = {4, 6, 40, 22};  // left half: stays
    EXPECT_EQ(ComputeFrameGeometry(left, QSize(100, 60), QSize(300, 100)).buttons, (Rect{4, 6, 40, 22}));
}

TEST(FrameGeometry, MapFrameRectZones) {
    const FrameGeometry g = TestGeometry(QSize(300, 100));  // dx 200, dy 40
    struct Case {
        Rect in, out;
        const char* zone;
    } cases[] = {
        {{2, 2, 18, 28}, {2, 2, 18, 28}, "inside top-left: kept"},
        {{82, 2, 98, 28}, {282, 2, 298, 28}, "inside top-right: moved by dx"},
        {{2, 52, 18, 58}, {2, 92, 18, 98}, "inside bottom-left: moved by dy"},
        {{82, 52, 98, 58}, {282, 92, 298, 98}, "inside bottom-right: moved by both"},
        {{4, 5, 96, 24}, {4, 5, 296, 24}, "top-left to top-right: wider"},
        {{4, 5, 96, 58}, {4, 5, 296, 98}, "top-left to bottom-right: wider and taller"},
        {{2, 52, 96, 58}, {2, 92, 296, 98}, "bottom-left to bottom-right: wider, moved down"},
        {{2, 2, 18, 58}, {2, 2, 18, 98}, "top-left to bottom-left: taller"},
        {{82, 2, 98, 58}, {282, 2, 298, 98}, "top-right to bottom-right: moved right, taller"},
        {{40, 40, 60, 45}, {40, 40, 60, 45}, "in no zone: kept"},
    };
    for (const Case& c : cases) EXPECT_EQ(MapFrameRect(c.in, g), c.out) << c.zone;
}

TEST(FrameGeometry, ClientAndMinimumSizes) {
    EXPECT_EQ(SkinnedClientRect(QSize(300, 100), {4, 25, 96, 56}, QSize(100, 60)), (Rect{4, 25, 296, 96}));
    EXPECT_EQ(SkinnedClientRect(QSize(5, 5), {4, 25, 96, 56}, QSize(100, 60)), (Rect{4, 25, 4, 25}));
    EXPECT_EQ(DefaultClientRect(QSize(200, 100), 19), (Rect{3, 22, 197, 97}));

    struct Case {
        MinTrackInput in;
        QSize out;
        const char* why;
    } cases[] = {
        {{true, {100, 60}, {4, 25, 96, 56}, 19, 0, 0, false, false}, {100, 29}, "picture width, frame height"},
        {{true, {100, 60}, {4, 25, 96, 56}, 19, 150, 0, false, false}, {150, 29}, "MinWidth above the picture"},
        {{true, {100, 60}, {4, 25, 96, 56}, 19, 150, 0, true, false}, {100, 29}, "minimized ignores MinWidth"},
        {{true, {100, 60}, {4, 25, 96, 56}, 19, 0, 80, false, false}, {100, 80}, "MinHeight"},
        {{true, {100, 60}, {4, 25, 96, 56}, 19, 0, 80, false, true}, {100, 29}, "rolled up ignores MinHeight"},
        {{false, {}, {}, 19, 0, 0, false, false}, {120, 25}, "default frame: 120 wide"},
        {{false, {}, {}, 19, 200, 40, false, false}, {200, 40}, "default frame with MinWidth, MinHeight"},
        {{false, {}, {}, 15, 0, 40, false, true}, {120, 21}, "tool window rolled up"},
    };
    for (const Case& c : cases) EXPECT_EQ(MinimumTrackSize(c.in), c.out) << c.why;
}

TEST(FrameGeometry, MagneticSnapIsStrict) {
    const Rect area{0, 0, 800, 600};
    struct Case {
        QRect in;
        QPoint out;
    } cases[] = {
        {{4, 100, 200, 100}, {0, 100}},      {{5, 100, 200, 100}, {5, 100}},
        {{-4, 100, 200, 100}, {0, 100}},     {{100, 3, 200, 100}, {100, 0}},
        {{596, 100, 200, 100}, {600, 100}},  {{595, 100, 200, 100}, {595, 100}},
        {{100, 496, 200, 100}, {100, 500}},  {{100, 200, 200, 100}, {100, 200}},
    };
    for (const Case& c : cases) {
        const QRect r = MagneticSnap(c.in, area, 5);
        EXPECT_EQ(r.topLeft(), c.out) << c.in.x() << "," << c.in.y();
        EXPECT_EQ(r.size(), c.in.size());
    }
}

TEST(FrameGeometry, ResizeKeepsTheOppositeEdges) {
    const QRect start(100, 100, 300, 200);
    const QSize min(120, 40), max(1000, 700);
    struct Case {
        int code;
        QPoint delta;
        QRect out;
    } cases[] = {
        {HTLEFT, {-10, 0}, {90, 100, 310, 200}},
        {HTLEFT, {250, 0}, {280, 100, 120, 200}},  // stops at the minimum width
        {HTRIGHT, {-250, 5}, {100, 100, 120, 200}},
        {HTBOTTOMRIGHT, {20, 30}, {100, 100, 320, 230}},
        {HTTOP, {0, -900}, {100, -400, 300, 700}},  // stops at the maximum height
        {HTTOPLEFT, {5, 5}, {105, 105, 295, 195}},
        {HTCAPTION, {5, 5}, {100, 100, 300, 200}},
    };
    for (const Case& c : cases) EXPECT_EQ(ResizeByHitCode(start, c.code, c.delta, min, max), c.out) << c.code;
}

TEST(SystemMenu, ItemsFollowTheState) {
    const TbsBorderIcons all = biSystemMenu | biMinimize | biMaximize | biRollUp;
    const std::vector<SystemMenuItem> normal = SystemMenuItems(all, wsNormal, false);
    const QStringList captions = [&] {
        QStringList l;
        for (const auto& i : normal) l << i.caption;
        return l;
    }();
    EXPECT_EQ(captions, (QStringList{"Mi&nimize", "Ma&ximize", "Ro&llUp", "-", "&Close"}));
    EXPECT_EQ(normal.back().shortcut, "Alt+F4");

    auto names = [](const std::vector<SystemMenuItem>& items) {
        QStringList l;
        for (const auto& i : items) l << i.name;
        return l.join(' ');
    };
    struct Case {
        TbsBorderIcons icons;
        TWindowState state;
        bool rolledUp;
        QString items;
    } cases[] = {
        {all, wsNormal, false, "BSF_MINITEM BSF_MAXITEM BSF_ROLLUP - BSF_CLOSE"},
        {all, wsMaximized, false, "BSF_MINITEM BSF_RESTORE BSF_ROLLUP - BSF_CLOSE"},
        {all, wsMinimized, false, "BSF_MAXITEM BSF_RESTORE - BSF_CLOSE"},
        {all, wsNormal, true, "BSF_MINITEM BSF_MAXITEM BSF_RESTORE - BSF_CLOSE"},
        {all | biMinimizeToTray, wsNormal, false, "BSF_MINITEM BSF_MAXITEM BSF_ROLLUP BSF_MINTOTRAY - BSF_CLOSE"},
        {biSystemMenu, wsNormal, false, "BSF_CLOSE"},
        {biSystemMenu, wsNormal, true, "BSF_RESTORE - BSF_CLOSE"},
    };
    for (const Case& c : cases) EXPECT_EQ(names(SystemMenuItems(c.icons, c.state, c.rolledUp)), c.items);
}

}  // namespace
}  // namespace frame
