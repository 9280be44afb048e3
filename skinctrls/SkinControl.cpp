#include "skinctrls/SkinControl.h"

#include <QPainter>
#include <QResizeEvent>

#include "skin/DeviceImage.h"
#include "skinctrls/Paint.h"

namespace skinctrls {

// ===== TbsSkinControl =====================================================================

TbsSkinControl::TbsSkinControl(QWidget* parent)
    : platform::Control(parent), binding_(this, QString(), {}, [this] { ForgetSkin(); }) {
    // The control paints every pixel itself through one image: no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

TbsSkinControl::~TbsSkinControl() = default;

void TbsSkinControl::SetSkinDataName(const QString& name) {
    if (!binding_.SetName(name)) return;
    if (SkinUsable()) {
        ApplySkin();
    } else {
        LoadSkinEntry();
        Relayout();
        update();
    }
}

void TbsSkinControl::AssignSkinData(skin::TbsSkinData* value) {
    binding_.SetData(value);
    if (value && !value->IsEmpty()) {
        ApplySkin();
    } else {
        // No skin to draw from: the default look from the next paint on.
        LoadSkinEntry();
        Relayout();
    }
}

void TbsSkinControl::LoadSkinEntry() { binding_.Lookup(); }

void TbsSkinControl::DrawDefault(QImage&) {}
void TbsSkinControl::DrawSkinned(QImage&) {}

void TbsSkinControl::ApplySkin() {
    LoadSkinEntry();
    Relayout();
    update();
}

void TbsSkinControl::ForgetSkin() { binding_.Forget(); }

QImage TbsSkinControl::Render() {
    if (width() <= 0 || height() <= 0) return {};
    // Made at the screen's pixel ratio: text is drawn at the device's resolution.
    QImage bmp = skin::NewDeviceImage(size(), devicePixelRatioF(), platform::ToQColor(platform::clBtnFace));
    if (!binding_.HasEntry())
        DrawDefault(bmp);
    else
        DrawSkinned(bmp);
    return bmp;
}

void TbsSkinControl::paintEvent(QPaintEvent*) {
    const QImage bmp = Render();
    if (bmp.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, bmp);
}

void TbsSkinControl::enterEvent(QEnterEvent* e) {
    platform::Control::enterEvent(e);
    Fire(OnMouseEnter, this);
}

void TbsSkinControl::leaveEvent(QEvent* e) {
    platform::Control::leaveEvent(e);
    Fire(OnMouseLeave, this);
}

// ===== TbsSkinCustomControl ===============================================================

TbsSkinCustomControl::TbsSkinCustomControl(QWidget* parent) : TbsSkinControl(parent) {}

TbsSkinCustomControl::~TbsSkinCustomControl() = default;

void TbsSkinCustomControl::SetDefaultFont(const platform::TFont& f) {
    if (binding_.DefaultFont() == f) return;
    binding_.SetDefaultFont(f);
    DefaultFontChanged();
    if (!binding_.HasEntry()) update();
}

void TbsSkinCustomControl::SetDefaultWidth(int v) {
    binding_.SetDefaultWidth(v);
    if (!binding_.HasEntry() && v > 0) SetWidth(v);
}

void TbsSkinCustomControl::SetDefaultHeight(int v) {
    binding_.SetDefaultHeight(v);
    if (!binding_.HasEntry() && v > 0) SetHeight(v);
}

void TbsSkinCustomControl::SetUseSkinFont(bool v) {
    if (binding_.UseSkinFont() == v) return;
    binding_.SetUseSkinFont(v);
    update();
}

bool TbsSkinCustomControl::AcceptsEntry(const skin::TbsDataSkinControl& entry) const {
    return dynamic_cast<const skin::TbsDataSkinCustomControl*>(&entry) != nullptr;
}

void TbsSkinCustomControl::LoadSkinEntry() {
    // An entry this control cannot draw from is a missing entry: the control never
    // draws from geometry it did not read.
    const skin::TbsDataSkinControl* e =
        binding_.Lookup([this](const skin::TbsDataSkinControl& entry) { return AcceptsEntry(entry); });
    if (!e) {
        picture_ = maskPicture_ = QImage();
        return;
    }
    const auto& c = static_cast<const skin::TbsDataSkinCustomControl&>(*e);
    anchors_.skinRect = c.skinrect;
    anchors_.LT = c.lefttoppoint;
    anchors_.RT = c.righttoppoint;
    anchors_.LB = c.leftbottompoint;
    anchors_.RB = c.rightbottompoint;
    anchors_.clientRect = c.clientrect;
    const QImage* pic = binding_.Picture(c.pictureindex);
    const QImage* mask = binding_.Picture(c.maskpictureindex);
    picture_ = pic ? *pic : QImage();
    maskPicture_ = mask ? *mask : QImage();
    stretchKind_ = StretchKindOf(anchors_);
}

void TbsSkinCustomControl::ForgetSkin() {
    TbsSkinControl::ForgetSkin();
    picture_ = maskPicture_ = QImage();
    Relayout();
}

void TbsSkinCustomControl::DrawDefault(QImage& bmp) {
    QPainter p(&bmp);
    FillRect(p, skin::LogicalRect(bmp), platform::clBtnFace);
}

void TbsSkinCustomControl::DrawSkinImage(QImage& bmp, const skin::Rect& source) const {
    if (picture_.isNull() || source.IsEmpty()) {
        QPainter p(&bmp);
        FillRect(p, skin::LogicalRect(bmp), platform::clBtnFace);
        return;
    }
    // The picture is composed in the skin's pixels at the logical size, then scaled
    // onto an image made at a finer pixel ratio.
    const SkinAnchors& a = anchors_;
    const QSize size = skin::LogicalSize(bmp);
    QImage img;
    switch (stretchKind_) {
    case StretchKind::NoImage: return;
    case StretchKind::Fixed:
        bmp = skin::NewDeviceImage(a.SkinSize(), bmp.devicePixelRatio(), platform::ToQColor(platform::clBtnFace));
        {
            QPainter p(&bmp);
            CopyPicture(p, skin::LogicalRect(bmp), picture_, source);
        }
        return;
    case StretchKind::Both: {
        const skin::AnchorGeometry g = a.Anchors();
        img = skin::ComposeSkinImage(picture_, source, g, skin::NewGeometry(g, a.SkinSize(), size.width(), size.height()),
                                     size.width(), size.height(), true);
        break;
    }
    case StretchKind::Horizontal:
        img = skin::ComposeHorizontalImage(picture_, source, a.LT.x(), a.SkinWidth() - a.RT.x(), size.width());
        break;
    case StretchKind::Vertical:
        img = skin::ComposeVerticalImage(picture_, source, a.LT.y(), a.SkinHeight() - a.LB.y(), size.height());
        break;
    }
    if (img.isNull()) return;
    QPainter p(&bmp);
    DrawPicture(p, QPoint(0, 0), img);
}

void TbsSkinCustomControl::DrawSkinned(QImage& bmp) { DrawSkinImage(bmp, anchors_.skinRect); }

void TbsSkinCustomControl::FitSize(int& w, int& h) { skinctrls::FitSize(stretchKind_, anchors_, w, h, newGeometry_); }

skin::Rect TbsSkinCustomControl::MapSkinRect(const skin::Rect& r) const {
    return skinctrls::MapSkinRect(stretchKind_, anchors_, r, width(), height());
}

void TbsSkinCustomControl::SetBounds(int left, int top, int w, int h) {
    const bool changed = binding_.HasEntry() && QSize(w, h) != size();
    if (changed) {
        FitSize(w, h);
        if (stretchKind_ == StretchKind::Fixed) newGeometry_.C = anchors_.clientRect;
    }
    platform::Control::SetBounds(left, top, w, h);
    Relayout();
    if (changed) {
        UpdateRegion();
        update();
    }
}

void TbsSkinCustomControl::resizeEvent(QResizeEvent* e) {
    // A size given past SetBounds (a top-level window resized by the user) still gets
    // its new geometry, so drawing and hit rectangles follow the real size.
    if (binding_.HasEntry() && e->size() != e->oldSize()) {
        int w = width(), h = height();
        FitSize(w, h);
        if (stretchKind_ == StretchKind::Fixed) newGeometry_.C = anchors_.clientRect;
    }
    Relayout();
    platform::Control::resizeEvent(e);
}

void TbsSkinCustomControl::ApplySkin() {
    LoadSkinEntry();
    Relayout();  // again below when the size changes
    if (!binding_.HasEntry()) {
        const int w = binding_.DefaultWidth() > 0 ? binding_.DefaultWidth() : width();
        const int h = binding_.DefaultHeight() > 0 ? binding_.DefaultHeight() : height();
        if (QSize(w, h) != size()) SetBounds(x(), y(), w, h);
        UpdateRegion();
        update();
        return;
    }
    int w = width(), h = height();
    FitSize(w, h);
    if (QSize(w, h) != size()) {
        SetBounds(x(), y(), w, h);
    } else {
        if (stretchKind_ == StretchKind::Fixed) newGeometry_.C = anchors_.clientRect;
        UpdateRegion();
        update();
    }
}

void TbsSkinCustomControl::UpdateRegion() {
    if (maskPicture_.isNull() || !binding_.HasEntry()) {
        if (region_) {
            clearMask();
            region_.reset();
        }
        return;
    }
    std::optional<QRegion> r;
    switch (stretchKind_) {
    case StretchKind::Fixed: r = skin::MaskToRegion(maskPicture_, 0, 0); break;
    case StretchKind::Both:
    case StretchKind::Horizontal:
    case StretchKind::Vertical: {
        const MaskAnchors m = MaskRegionAnchors(stretchKind_, anchors_, newGeometry_, width(), height());
        r = skin::ComposeMaskRegion(maskPicture_, m.g, m.n, width(), height());
        break;
    }
    case StretchKind::NoImage: break;
    }
    if (r) {
        setMask(*r);
    } else {
        clearMask();
    }
    region_ = r;
}

}  // namespace skinctrls
