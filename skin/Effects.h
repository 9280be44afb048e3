#pragma once
// Pixel effects for inactive windows, morph transitions between two images, and window
// transparency.
//
// TbsEffectBmp is a 24-bit pixel buffer: rows top first, each pixel blue, green, red,
// each row padded to a multiple of 4 bytes. Effects and morphs change it in place, row by
// row. Every result channel is rounded to the nearest integer, halves to the even
// neighbour, and clamped to 0..255. Fractions given as doubles (effect strengths,
// morph progress) are taken to millionths first, so decimal values such as 0.3 or 0.5
// round as their decimal value and not as their nearest binary fraction.

#include <QImage>

#include <cstdint>
#include <vector>

class QPainter;
class QWindow;

namespace skin {

class TbsEffectBmp {
public:
    TbsEffectBmp() = default;
    // A black buffer of the given size (empty when either is less than 1).
    TbsEffectBmp(int width, int height);
    // The image's pixels converted to 24 bits.
    explicit TbsEffectBmp(const QImage& image);

    int width() const { return width_; }
    int height() const { return height_; }
    // Bytes per row: 3·width rounded up to a multiple of 4.
    int pitch() const { return pitch_; }
    bool isEmpty() const { return width_ < 1 || height_ < 1; }
    uint8_t* scanline(int y) { return bits_.data() + static_cast<size_t>(y) * pitch_; }
    const uint8_t* scanline(int y) const { return bits_.data() + static_cast<size_t>(y) * pitch_; }

    // A deep copy as a 24-bit image (QImage::Format_BGR888, the same byte layout).
    QImage toImage() const;
    // Draws the buffer unstretched with its top-left corner at (x, y).
    void draw(QPainter& painter, int x, int y) const;

    // Effects. x is clamped to 0..1.
    void Lighten(double x);  // c' = (1 - x)·c + 255·x
    void Darken(double x);   // c' = (1 - x)·c
    void ToGray();           // all channels := 0.3·red + 0.59·green + 0.11·blue
    void Negate();           // c' = 255 - c
    // Adds one random value from -(n div 2) to n - 1 - (n div 2) per pixel to all three of
    // its channels; n < 1 changes nothing. The seeded form is repeatable.
    void AddNoise(int n);
    void AddNoise(int n, uint64_t seed);
    // Averages each pixel over its four diagonal neighbours at distance d, in place, top
    // row first; d < 1 changes nothing.
    void DiagonalBlur(int d);

    // Morphs towards target at progress x (clamped to 0..1; 0 = this image, 1 = target).
    // A target of another size changes nothing.
    void BlendTo(const TbsEffectBmp& target, double x);
    void CentreFadeTo(const TbsEffectBmp& target, double x);
    void LeftFadeTo(const TbsEffectBmp& target, double x);
    void RightFadeTo(const TbsEffectBmp& target, double x);
    void SlideInLeft(const TbsEffectBmp& target, double x);
    void SlideInRight(const TbsEffectBmp& target, double x);
    void PushInLeft(const TbsEffectBmp& target, double x);

private:
    bool SameSize(const TbsEffectBmp& other) const {
        return !isEmpty() && width_ == other.width_ && height_ == other.height_;
    }
    void MapChannels(const uint8_t (&table)[256]);

    int width_ = 0;
    int height_ = 0;
    int pitch_ = 0;
    std::vector<uint8_t> bits_;
};

// The effect for an inactive window frame, by the [FORMINFO] inactiveeffect number:
// 0 Lighten(0.5), 1 Darken(0.3), 2 ToGray, 3 AddNoise(50), 4 DiagonalBlur(1), 5 Negate.
// Numbers outside 0..5 are taken as 0, as the definition reader does with unknown words.
void ApplyInactiveEffect(TbsEffectBmp& bmp, int inactiveEffect);

// The morph of the entry's morphkind number: 0 BlendTo, 1 CentreFadeTo, 2 LeftFadeTo,
// 3 RightFadeTo, 4 SlideInLeft, 5 SlideInRight, 6 PushInLeft; other numbers are taken as 0.
void ApplyMorph(TbsEffectBmp& bmp, const TbsEffectBmp& target, int morphKind, double progress);

// Window transparency. Constant alpha is Qt's window opacity: SetWindowAlpha sets the
// opacity of window to alpha/255 (alpha clamped to 0..255; a null window is ignored).
// LayeredWindowsAvailable tells whether a GUI application exists whose windows can carry
// an opacity.
void SetWindowAlpha(QWindow* window, int alpha);
bool LayeredWindowsAvailable();

}  // namespace skin
