#include "preview/FramePreview.h"

#include <QPixmap>

#include <stdexcept>

#include "frame/PopupMenu.h"
#include "frame/SkinFrame.h"
#include "platform/Form.h"

namespace preview {

using namespace frame;

namespace {

// The widget's picture with every pixel outside its shape made transparent.
QImage GrabShaped(QWidget& w) {
    QImage img = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRegion mask = w.mask();
    if (!mask.isEmpty()) {
        // The picture holds the device's pixels; the shape is in the window's.
        const qreal r = img.devicePixelRatio();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (!mask.contains(QPoint(int(x / r), int(y / r)))) img.setPixel(x, y, 0);
    }
    return img;
}

}  // namespace

QImage RenderFramePreview(const FramePreviewOptions& options) {
    platform::Form form;
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.setWindowTitle(options.title);
    auto* frame = new TbsSkinFrame(&form);
    frame->SetActiveOverride(options.active);
    frame->SetSkinData(options.skinData);
    const QSize min = frame->MinimumTrackSize();
    if (options.size.width() < min.width() || options.size.height() < min.height())
        throw std::invalid_argument(QStringLiteral("the window cannot be smaller than %1x%2 with this frame")
                                        .arg(min.width())
                                        .arg(min.height())
                                        .toStdString());
    form.resize(options.size);
    form.show();  // not on any screen: delivers the resize and paint events
    // Outside a skin's window shape nothing belongs to the window.
    return GrabShaped(form);
}

QImage RenderMenuPreview(const MenuPreviewOptions& options) {
    platform::Form form;
    form.setAttribute(Qt::WA_DontShowOnScreen);
    auto* frame = new TbsSkinFrame(&form);
    frame->SetSkinData(options.skinData);
    frame->ShowSystemMenu(QPoint(0, 0));
    TbsSkinMenu* chain = frame->SkinMenu();
    if (chain->LevelCount() == 0) throw std::invalid_argument("the system menu has no items");
    QImage img = GrabShaped(*chain->Level(0));
    chain->CloseMenuLevels(0);
    return img;
}

}  // namespace preview
