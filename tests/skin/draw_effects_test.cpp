// The pixel buffer, the effects' arithmetic (halves to even, clamping, the blur's edges)
// and the morph rules, on buffers small enough to write out by hand.

#include <gtest/gtest.h>

#include "skin/Effects.h"
#include "draw_test_util.h"

#include <QImage>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace skin {
namespace {

using Values = std::vector<int>;

// A one-row buffer whose pixel j has all three channels at v[j].
TbsEffectBmp Row(const Values& v) {
    TbsEffectBmp b(static_cast<int>(v.size()), 1);
    for (size_t j = 0; j < v.size(); ++j)
        std::fill_n(b.scanline(0) + 3 * j, 3, static_cast<uint8_t>(v[j]));
    return b;
}

// A buffer of w by h pixels given row-major, all channels equal.
TbsEffectBmp Grey(int w, int h, const Values& v) {
    TbsEffectBmp b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::fill_n(b.scanline(y) + 3 * x, 3, static_cast<uint8_t>(v[static_cast<size_t>(y * w + x)]));
    return b;
}

// The blue channel of every pixel, row-major (tests keep the three channels equal and
// check that they stay so).
Values Channel(const TbsEffectBmp& b) {
    Values out;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            const uint8_t* p = b.scanline(y) + 3 * x;
            EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << "pixel " << x << "," << y;
            out.push_back(p[0]);
        }
    return out;
}

TEST(DrawEffects, BufferLayout) {
    for (auto [w, pitch] : {std::pair{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}}) {
        const TbsEffectBmp b(w, 2);
        EXPECT_EQ(b.pitch(), pitch) << w;
        EXPECT_EQ(b.scanline(1) - b.scanline(0), pitch);
    }
    EXPECT_TRUE(TbsEffectBmp(0, 3).isEmpty());
    EXPECT_TRUE(TbsEffectBmp(QImage()).isEmpty());

    // Pixels are blue, green, red; a round trip through QImage keeps them.
    QImage img(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) img.setPixel(x, y, qRgb(10 * x + 1, 20 * y + 2, 7 * x + 5 * y + 3));
    const TbsEffectBmp b(img);
    const uint8_t* p = b.scanline(1) + 3 * 2;
    EXPECT_EQ(p[0], 7 * 2 + 5 + 3);  // blue
    EXPECT_EQ(p[1], 22);             // green
    EXPECT_EQ(p[2], 21);             // red
    const QImage back = b.toImage();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(back.pixel(x, y), img.pixel(x, y));
}

struct EffectCase {
    const char* what;
    std::function<void(TbsEffectBmp&)> apply;
    Values in, out;
};

TEST(DrawEffects, ChannelArithmetic) {
    const EffectCase cases[] = {
        // (1 - 0.5)·c + 127.5: black gives 127.5, a tie rounding to 128; 2 gives 128.5 -> 128,
        // 4 gives 129.5 -> 130, 254 gives 254.5 -> 254.
        {"Lighten 0.5", [](TbsEffectBmp& b) { b.Lighten(0.5); }, {0, 1, 2, 3, 4, 254, 255},
         {128, 128, 128, 129, 130, 254, 255}},
        {"Lighten clamps x above 1", [](TbsEffectBmp& b) { b.Lighten(7); }, {0, 90}, {255, 255}},
        {"Lighten clamps x below 0", [](TbsEffectBmp& b) { b.Lighten(-1); }, {0, 90}, {0, 90}},
        // 0.7·c: 3.5 -> 4, 10.5 -> 10, 17.5 -> 18, 178.5 -> 178 (decimal ties, not binary).
        {"Darken 0.3", [](TbsEffectBmp& b) { b.Darken(0.3); }, {5, 15, 25, 255, 10, 0},
         {4, 10, 18, 178, 7, 0}},
        {"Darken 1", [](TbsEffectBmp& b) { b.Darken(1); }, {5, 255}, {0, 0}},
        {"Negate", [](TbsEffectBmp& b) { b.Negate(); }, {0, 1, 128, 255}, {255, 254, 127, 0}},
        {"DiagonalBlur 0 changes nothing", [](TbsEffectBmp& b) { b.DiagonalBlur(0); },
         {0, 100, 255}, {0, 100, 255}},
        {"DiagonalBlur below 0 changes nothing", [](TbsEffectBmp& b) { b.DiagonalBlur(-2); },
         {0, 100, 255}, {0, 100, 255}},
        // One row: the row below the last lies outside, so the pixel's own row is used.
        {"DiagonalBlur of a single row", [](TbsEffectBmp& b) { b.DiagonalBlur(1); },
         {0, 40, 80}, {20, 50, 50}},
        {"DiagonalBlur of a single pixel", [](TbsEffectBmp& b) { b.DiagonalBlur(1); }, {77}, {77}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TbsEffectBmp b = Row(c.in);
        c.apply(b);
        EXPECT_EQ(Channel(b), c.out);
    }
}

TEST(DrawEffects, ToGrayWeighsRedGreenBlue) {
    struct Case {
        int r, g, b, grey;
    };
    const Case cases[] = {
        {255, 255, 255, 255}, {0, 0, 0, 0},
        {5, 0, 0, 2},       // 1.5 -> 2
        {15, 0, 0, 4},      // 4.5 -> 4
        {0, 0, 50, 6},      // 5.5 -> 6
        {0, 0, 150, 16},    // 16.5 -> 16
        {100, 0, 0, 30}, {0, 100, 0, 59}, {0, 0, 100, 11},
        {200, 100, 50, 124},  // 60 + 59 + 5.5 = 124.5 -> 124
    };
    for (const auto& c : cases) {
        QImage img(1, 1, QImage::Format_RGB32);
        img.setPixel(0, 0, qRgb(c.r, c.g, c.b));
        TbsEffectBmp b(img);
        b.ToGray();
        EXPECT_EQ(Channel(b), Values{c.grey}) << c.r << "," << c.g << "," << c.b;
    }
}

TEST(DrawEffects, DiagonalBlurReadsChangedPixelsAboveAndLeft) {
    // Worked by hand in reading order: up/left neighbours past the top or left edge are
    // the pixel's own row/column; past the bottom or right edge, row H - i / column W - j.
    const Values in = {0, 40, 80, 120, 160, 200, 240, 20, 60};
    TbsEffectBmp b = Grey(3, 3, in);
    b.DiagonalBlur(1);
    EXPECT_EQ(Channel(b), (Values{80, 120, 140, 115, 130, 70, 122, 92, 130}));

    // A distance beyond the image: H - 0 lies outside, so the top row reads itself.
    TbsEffectBmp far = Grey(3, 3, in);
    far.DiagonalBlur(5);
    EXPECT_EQ(Channel(far), (Values{0, 60, 70, 180, 110, 97, 210, 71, 84}));
}

// The blur as worded, pixel by pixel in place, for comparison on random pictures.
void ReferenceBlur(TbsEffectBmp& b, int d) {
    const int H = b.height(), W = b.width();
    auto at = [&](int i, int j) { return b.scanline(i) + 3 * j; };
    const long long D = d;
    auto edge = [D](int i, int n) {
        if (i + D < n) return static_cast<int>(i + D);
        return n - i < n ? n - i : i;  // outside the picture: the pixel's own line
    };
    auto back = [D](int i) { return i - D < 0 ? i : static_cast<int>(i - D); };
    for (int i = 0; i < H; ++i)
        for (int j = 0; j < W; ++j) {
            const int up = back(i), down = edge(i, H);
            const int left = back(j), right = edge(j, W);
            for (int c = 0; c < 3; ++c)
                at(i, j)[c] = static_cast<uint8_t>(
                    (at(up, left)[c] + at(down, left)[c] + at(up, right)[c] + at(down, right)[c]) / 4);
        }
}

TEST(DrawEffects, DiagonalBlurMatchesThePixelByPixelRule) {
    uint32_t seed = 1;
    for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {2, 2}, {5, 4}, {13, 9}, {64, 3}})
        for (int d : {1, 2, 3, 6, 100, 2147483647}) {
            TbsEffectBmp b(w, h);
            for (int y = 0; y < h; ++y)
                for (int k = 0; k < 3 * w; ++k) b.scanline(y)[k] = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
            TbsEffectBmp expected = b;
            ReferenceBlur(expected, d);
            b.DiagonalBlur(d);
            for (int y = 0; y < h; ++y)
                ASSERT_EQ(std::memcmp(b.scanline(y), expected.scanline(y), static_cast<size_t>(3 * w)), 0)
                    << w << "x" << h << " d=" << d << " row " << y;
        }
}

TEST(DrawEffects, AddNoiseAddsOneValuePerPixelFromTheRange) {
    TbsEffectBmp b(256, 64);
    for (int y = 0; y < b.height(); ++y) std::fill_n(b.scanline(y), b.width() * 3, uint8_t{128});
    b.AddNoise(50, 12345);
    int lo = 255, hi = 0;
    for (int v : Channel(b)) {  // Channel also checks the three channels moved together
        lo = std::min(lo, v - 128);
        hi = std::max(hi, v - 128);
    }
    EXPECT_EQ(lo, -25);
    EXPECT_EQ(hi, 24);

    // Near black the sum is clamped, never wrapped.
    TbsEffectBmp dark(256, 8);
    for (int y = 0; y < dark.height(); ++y) std::fill_n(dark.scanline(y), dark.width() * 3, uint8_t{10});
    dark.AddNoise(50, 99);
    const Values v = Channel(dark);
    EXPECT_EQ(*std::min_element(v.begin(), v.end()), 0);
    EXPECT_EQ(*std::max_element(v.begin(), v.end()), 34);

    // No range, no change; the same seed, the same noise.
    TbsEffectBmp same = Row({50, 60});
    same.AddNoise(0);
    EXPECT_EQ(Channel(same), (Values{50, 60}));
    TbsEffectBmp a1 = Row(Values(40, 100)), a2 = Row(Values(40, 100));
    a1.AddNoise(50, 7);
    a2.AddNoise(50, 7);
    EXPECT_EQ(Channel(a1), Channel(a2));
}

// A buffer in which every channel value occurs: smooth gradients in even rows, noise in
// odd ones.
TbsEffectBmp Textured(int w, int h) {
    TbsEffectBmp b(w, h);
    uint32_t seed = static_cast<uint32_t>(w * 977 + h);
    for (int y = 0; y < h; ++y) {
        uint8_t* p = b.scanline(y);
        for (int k = 0; k < 3 * w; ++k) {
            seed = seed * 1103515245u + 12345u;
            p[k] = static_cast<uint8_t>(y % 2 ? seed >> 16 : (k % 3 == 0 ? k : k % 3 == 1 ? 7 * k + y : 255 - k));
        }
    }
    return b;
}

// Whole results pinned by their fingerprints, on widths whose rows end in every possible
// remainder of a block of words, so that a faster loop must give the same bytes: every
// rounding, clamp, edge rule and, for a given seed, every noise value.
TEST(DrawEffects, EffectsKeepTheirExactPixels) {
    struct Case {
        const char* what;
        std::function<void(TbsEffectBmp&)> apply;
        const char* digest;
    };
    const Case cases[] = {
        {"Lighten 0.5", [](TbsEffectBmp& b) { b.Lighten(0.5); }, "27af91b15d365398"},
        {"Lighten 0.3", [](TbsEffectBmp& b) { b.Lighten(0.3); }, "4a01157b143e5dac"},
        {"Lighten 0.123457", [](TbsEffectBmp& b) { b.Lighten(0.123457); }, "c8def23db1bdd238"},
        {"Lighten 0.98", [](TbsEffectBmp& b) { b.Lighten(0.98); }, "fcef984fdde3ba85"},
        {"Lighten 1", [](TbsEffectBmp& b) { b.Lighten(1); }, "e5cac20c264daaa0"},
        {"Darken 0.3", [](TbsEffectBmp& b) { b.Darken(0.3); }, "507029e4bca984f2"},
        {"Darken 0.5", [](TbsEffectBmp& b) { b.Darken(0.5); }, "ef3249c4604fabc5"},
        {"Darken 0.0625", [](TbsEffectBmp& b) { b.Darken(0.0625); }, "5c8389ef63206baf"},
        {"Darken 0.777777", [](TbsEffectBmp& b) { b.Darken(0.777777); }, "060e5e733cee22ec"},
        {"Darken 0", [](TbsEffectBmp& b) { b.Darken(0); }, "d6dd7e4e65d167dc"},
        {"ToGray", [](TbsEffectBmp& b) { b.ToGray(); }, "7c79057a216d0406"},
        {"Negate", [](TbsEffectBmp& b) { b.Negate(); }, "9abf923b0b98d1f9"},
        {"AddNoise 50", [](TbsEffectBmp& b) { b.AddNoise(50, 1); }, "2a685fe5fb56d101"},
        {"AddNoise 1", [](TbsEffectBmp& b) { b.AddNoise(1, 2); }, "d6dd7e4e65d167dc"},
        {"AddNoise 7", [](TbsEffectBmp& b) { b.AddNoise(7, 0xFFFFFFFFFFFFFFFFull); }, "3fd604c5e0b7882e"},
        {"AddNoise 1000 clamps", [](TbsEffectBmp& b) { b.AddNoise(1000, 3); }, "64971421b47debf2"},
        // A range for which a quarter of the draws are rejected and drawn again.
        {"AddNoise 3·2^29", [](TbsEffectBmp& b) { b.AddNoise(3 << 29, 4); }, "a3b00c7f614d57bd"},
        {"DiagonalBlur 1", [](TbsEffectBmp& b) { b.DiagonalBlur(1); }, "328059e11df2a1aa"},
        {"DiagonalBlur 2", [](TbsEffectBmp& b) { b.DiagonalBlur(2); }, "69fb4af93b860d30"},
        {"DiagonalBlur 7", [](TbsEffectBmp& b) { b.DiagonalBlur(7); }, "0e80ae72564ee36a"},
        {"DiagonalBlur 300", [](TbsEffectBmp& b) { b.DiagonalBlur(300); }, "0aaf67a012815029"},
    };
    // The last is larger than the table of byte pairs the lightness curves use on large
    // buffers.
    const std::pair<int, int> sizes[] = {{1, 1},  {2, 3},    {5, 2},    {11, 11},
                                         {37, 9}, {64, 4},   {203, 7},  {1001, 3}, {233, 199}};
    for (const auto& c : cases) {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (auto [w, h] : sizes) {
            TbsEffectBmp b = Textured(w, h);
            c.apply(b);
            testing::AddPixels(hash, b.toImage());
        }
        EXPECT_EQ(testing::Digest(hash), c.digest) << c.what;
    }
}

struct MorphCase {
    const char* what;
    int kind;
    double x;
    Values a, b, out;
};

TEST(DrawEffects, MorphRules) {
    const Values zero(10, 0), b250(10, 250), b253(10, 253);
    const Values a = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    const Values b = {100, 101, 102, 103, 104, 105, 106, 107, 108, 109};
    const MorphCase cases[] = {
        // BlendTo: (1 - x)·A + x·B, ties to even.
        {"blend 0.5", 0, 0.5, {0, 0, 1, 2, 10}, {253, 251, 2, 3, 255}, {126, 126, 2, 2, 132}},
        {"blend 0.3", 0, 0.3, {0, 10, 5}, {5, 0, 0}, {2, 7, 4}},
        {"blend 0", 0, 0, {0, 10}, {250, 250}, {0, 10}},
        {"blend past 1 is clamped", 0, 1.5, {0, 10}, {250, 251}, {250, 251}},
        // CentreFadeTo, horizontal: at x = 0 the middle column (5) still becomes B.
        {"centre fade 0", 1, 0, zero, b250, {0, 50, 100, 150, 200, 250, 200, 150, 100, 50}},
        {"centre fade 0.4", 1, 0.4, zero, b250, {0, 83, 167, 250, 250, 250, 250, 250, 167, 83}},
        {"centre fade 1", 1, 1, zero, b250, b250},
        // LeftFadeTo: columns 0..a, weight of A from 0 by 1/a.
        {"left fade 0.2", 2, 0.2, zero, b253, {253, 126, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"left fade 0 keeps a = 1", 2, 0, zero, b253, {253, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        // RightFadeTo: columns W-1 down to a, weight from 0 by 1/(W - a).
        {"right fade 0.3", 3, 0.3, zero, b250, {0, 0, 0, 0, 0, 0, 0, 83, 167, 250}},
        {"right fade 1", 3, 1, zero, b250, {25, 50, 75, 100, 125, 150, 175, 200, 225, 250}},
        // Slides and push copy whole columns.
        {"slide in left 0.3", 4, 0.3, a, b, {107, 108, 109, 13, 14, 15, 16, 17, 18, 19}},
        {"slide in left 0 keeps b = 1", 4, 0, a, b, {109, 11, 12, 13, 14, 15, 16, 17, 18, 19}},
        {"slide in left 1 keeps b = W - 1", 4, 1, a, b,
         {101, 102, 103, 104, 105, 106, 107, 108, 109, 19}},
        {"slide in right 0.3", 5, 0.3, a, b, {10, 11, 12, 13, 14, 15, 16, 100, 101, 102}},
        {"push in left 0.3", 6, 0.3, a, b, {106, 107, 108, 109, 10, 11, 12, 13, 14, 15}},
        {"push in left 0", 6, 0, a, b, {109, 10, 11, 12, 13, 14, 15, 16, 17, 18}},
        {"push in left 1", 6, 1, a, b, b},
        // Unknown kinds blend.
        {"kind 9 blends", 9, 0.5, {0}, {253}, {126}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TbsEffectBmp buf = Row(c.a);
        ApplyMorph(buf, Row(c.b), c.kind, c.x);
        EXPECT_EQ(Channel(buf), c.out);
    }
}

TEST(DrawEffects, CentreFadeOnTallImagesWorksOnRows) {
    const Values zero(10, 0), b250(10, 250);
    // x = 0: a = 0, b = (10 - 1) div 2 = 4, rows fade by 1/4 from row 5 out:
    // 0.75·250 = 187.5 -> 188, 0.25·250 = 62.5 -> 62.
    TbsEffectBmp tall = Grey(1, 10, zero);
    tall.CentreFadeTo(Grey(1, 10, b250), 0);
    EXPECT_EQ(Channel(tall), (Values{0, 0, 62, 125, 188, 250, 188, 125, 62, 0}));
    // x = 0.9: b = (10 - 1 - 9) div 2 = 0, a step of 0: every row mixed takes B.
    TbsEffectBmp late = Grey(1, 10, zero);
    late.CentreFadeTo(Grey(1, 10, b250), 0.9);
    EXPECT_EQ(Channel(late), b250);
}

TEST(DrawEffects, MorphsIgnoreOtherSizesAndSurviveTinyImages) {
    for (int kind = 0; kind <= 6; ++kind) {
        SCOPED_TRACE(kind);
        TbsEffectBmp a = Row({1, 2, 3});
        ApplyMorph(a, Row({9, 9}), kind, 0.5);
        EXPECT_EQ(Channel(a), (Values{1, 2, 3}));
        TbsEffectBmp empty;
        ApplyMorph(empty, TbsEffectBmp(), kind, 0.5);
        EXPECT_TRUE(empty.isEmpty());
        // One pixel wide: the column rules (fades from a side, slides, push) have no room
        // left and show B; the others stay within the image.
        for (double x : {0.0, 0.5, 1.0}) {
            TbsEffectBmp one = Grey(1, 3, {1, 2, 3});
            ApplyMorph(one, Grey(1, 3, {7, 8, 9}), kind, x);
            if (kind >= 2) {
                EXPECT_EQ(Channel(one), (Values{7, 8, 9})) << x;
            }
        }
    }
}

TEST(DrawEffects, InactiveEffectsByNumber) {
    struct Case {
        int effect;
        Values in, out;
    };
    const Case cases[] = {
        {0, {0, 255}, {128, 255}},
        {1, {200, 5}, {140, 4}},
        {2, {77, 0}, {77, 0}},
        {4, {0, 40, 80}, {20, 50, 50}},
        {5, {0, 200}, {255, 55}},
        {42, {0, 255}, {128, 255}},  // unknown: as iebrightness
        {-1, {0, 255}, {128, 255}},
    };
    for (const auto& c : cases) {
        TbsEffectBmp b = Row(c.in);
        ApplyInactiveEffect(b, c.effect);
        EXPECT_EQ(Channel(b), c.out) << c.effect;
    }
    // ienoise: AddNoise(50), each channel within -25..24.
    TbsEffectBmp noisy = Row(Values(64, 100));
    ApplyInactiveEffect(noisy, 3);
    for (int v : Channel(noisy)) EXPECT_TRUE(v >= 75 && v <= 124) << v;
}

}  // namespace
}  // namespace skin
