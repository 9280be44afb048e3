#pragma once
// Off-screen images at the screen's resolution. A control composes its skin pictures in
// the skin's own pixels and draws its text over them; on a screen whose pixels are finer
// than the logical ones (a pixel ratio above 1, as on a 4K screen's scale) the image it
// draws into is made at that ratio, so text and lines land on the device's pixels and the
// pictures are scaled onto it smoothly. At ratio 1 every function here leaves the pixels
// exactly as a plain image of the logical size would have them.

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

namespace skin {

// An image of the logical size made at the pixel ratio and filled with fill.
QImage NewDeviceImage(QSize logical, qreal ratio, const QColor& fill, QImage::Format format = QImage::Format_RGB32);

// An image's size and rectangle in logical pixels.
QSize LogicalSize(const QImage& img);
inline QRect LogicalRect(const QImage& img) { return QRect(QPoint(0, 0), LogicalSize(img)); }

// A picture composed in logical pixels brought to the ratio by smooth scaling; the picture
// itself at ratio 1.
QImage AtRatio(const QImage& picture, qreal ratio);

// The same pixels carrying the given ratio (an effect that works on the raw pixels returns
// an image without one).
QImage WithRatio(QImage img, qreal ratio);

// While it lives, the painter scales the pictures it draws smoothly when its device is
// finer than the logical pixels; nothing at ratio 1, where pictures keep their exact pixels.
class SmoothOnFinerDevice {
public:
    explicit SmoothOnFinerDevice(QPainter& p);
    ~SmoothOnFinerDevice();
    SmoothOnFinerDevice(const SmoothOnFinerDevice&) = delete;
    SmoothOnFinerDevice& operator=(const SmoothOnFinerDevice&) = delete;

private:
    QPainter& p_;
    bool set_ = false;
};

}  // namespace skin
