#include "skin/DeviceImage.h"

#include <QPainter>

#include <cmath>

namespace skin {

namespace {

int DevicePixels(int logical, qreal ratio) { return int(std::ceil(logical * ratio - 1e-9)); }

}  // namespace

QImage NewDeviceImage(QSize logical, qreal ratio, const QColor& fill, QImage::Format format) {
    if (ratio <= 1) {
        QImage img(logical, format);
        img.fill(fill);
        return img;
    }
    QImage img(DevicePixels(logical.width(), ratio), DevicePixels(logical.height(), ratio), format);
    img.setDevicePixelRatio(ratio);
    img.fill(fill);
    return img;
}

QSize LogicalSize(const QImage& img) {
    const qreal r = img.devicePixelRatio();
    if (r == 1) return img.size();
    return QSize(int(std::lround(img.width() / r)), int(std::lround(img.height() / r)));
}

QImage AtRatio(const QImage& picture, qreal ratio) {
    if (ratio <= 1 || picture.isNull()) return picture;
    QImage scaled = picture.scaled(DevicePixels(picture.width(), ratio), DevicePixels(picture.height(), ratio),
                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    return scaled;
}

QImage WithRatio(QImage img, qreal ratio) {
    if (!img.isNull() && img.devicePixelRatio() != ratio) img.setDevicePixelRatio(ratio);
    return img;
}

SmoothOnFinerDevice::SmoothOnFinerDevice(QPainter& p) : p_(p) {
    if (!p.device() || p.device()->devicePixelRatio() <= 1 || p.testRenderHint(QPainter::SmoothPixmapTransform)) return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    set_ = true;
}

SmoothOnFinerDevice::~SmoothOnFinerDevice() {
    if (set_) p_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

}  // namespace skin
