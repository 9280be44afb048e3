#include "skinctrls/Preview.h"

#include <QApplication>

#include <memory>
#include <stdexcept>

#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinLabel.h"
#include "skinctrls/SkinMessage.h"
#include "skinctrls/SkinPanel.h"
#include "skinctrls/SkinScrollBar.h"

namespace skinctrls {

namespace {

std::invalid_argument Bad(const QString& what) { return std::invalid_argument(what.toStdString()); }

// Makes the host window the active one so that a control can show its focused look.
void Activate(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QCoreApplication::processEvents();
}

}  // namespace

unsigned ParseMessageButtons(const QString& list) {
    unsigned set = 0;
    for (const QString& raw : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = raw.trimmed();
        bool found = false;
        for (int b = 0; b < kMsgDlgButtonCount; ++b) {
            if (name.compare(QLatin1String(MsgButtonInfoOf(TMsgDlgBtn(b)).name), Qt::CaseInsensitive) == 0) {
                set |= 1u << unsigned(b);
                found = true;
            }
        }
        if (!found)
            throw Bad(QStringLiteral("unknown button \"%1\": use Yes, No, OK, Cancel, Abort, Retry, Ignore, All, "
                                     "NoToAll, YesToAll, Help")
                          .arg(name));
    }
    return set;
}

QImage RenderControlPreview(const ControlPreviewOptions& o) {
    static const QStringList states{"normal", "hot", "down", "focused", "disabled"};
    if (!states.contains(o.state)) throw Bad(QStringLiteral("unknown state \"%1\"").arg(o.state));

    // A skinned panel as the background the control stands on.
    TbsSkinPanel host;
    host.setAttribute(Qt::WA_DontShowOnScreen);
    host.SetBorderStyle(bvNone);
    host.SetSkinData(o.skinData);
    host.SetBounds(0, 0, 600, 400);

    QWidget* control = nullptr;
    auto apply = [&](auto* c, const QString& defaultEntry) {
        if (!o.entry.isEmpty() || !defaultEntry.isEmpty()) c->SetSkinDataName(o.entry.isEmpty() ? defaultEntry : o.entry);
        return c;
    };
    const QString& k = o.kind;
    if (k == "panel" || k == "groupbox") {
        TbsSkinPanel* p = k == "panel" ? new TbsSkinPanel(&host) : new TbsSkinGroupBox(&host);
        apply(p, {});
        p->SetCaption(o.caption);
        if (k == "panel" && !o.caption.isEmpty()) p->SetCaptionMode(true);
        if (o.size.isValid()) p->SetBounds(10, 10, o.size.width(), o.size.height());
        p->SetSkinData(o.skinData);
        control = p;
    } else if (k == "label") {
        auto* l = apply(new TbsSkinStdLabel(&host), {});
        l->SetCaption(o.caption.isEmpty() ? QStringLiteral("Label") : o.caption);
        l->SetSkinData(o.skinData);
        if (o.size.isValid()) {
            l->SetAutoSize(false);
            l->resize(o.size);
        }
        l->move(10, 10);
        control = l;
    } else if (k == "button") {
        auto* b = apply(new TbsSkinButton(&host), {});
        b->SetCaption(o.caption.isEmpty() ? QStringLiteral("Button") : o.caption);
        if (o.size.isValid()) b->SetBounds(10, 10, o.size.width(), o.size.height());
        b->SetSkinData(o.skinData);
        b->SetBounds(10, 10, b->width(), b->height());
        if (o.state == "hot") b->SetHot(true);
        if (o.state == "down") {
            b->SetHot(true);
            b->SetDown(true);
        }
        control = b;
    } else if (k == "edit") {
        auto* e = new TbsSkinEdit(&host);
        e->SetButtonMode(o.buttonMode);
        apply(e, o.buttonMode ? QStringLiteral("buttonedit") : QString());
        e->SetText(o.caption);
        if (o.size.isValid()) e->SetBounds(10, 10, o.size.width(), o.size.height());
        e->SetSkinData(o.skinData);
        e->SetBounds(10, 10, e->width(), e->height());
        if (o.state == "hot") e->ShowState(true, o.buttonMode, false);
        if (o.state == "down") e->ShowState(true, true, true);
        control = e;
    } else if (k == "hscrollbar" || k == "vscrollbar") {
        auto* s = new TbsSkinScrollBar(&host);
        const bool vertical = k == "vscrollbar";
        if (vertical) {
            s->SetKind(sbVertical);
            s->SetBounds(10, 10, 20, 200);
        }
        apply(s, vertical ? QStringLiteral("vscrollbar") : QString());
        s->SetBarRange(0, 100, 0, 30);
        if (o.size.isValid()) s->SetBounds(10, 10, o.size.width(), o.size.height());
        s->SetSkinData(o.skinData);
        s->SetBounds(10, 10, s->width(), s->height());
        if (o.state == "hot") s->ShowPartState(ScrollPart::Thumb, true, false);
        if (o.state == "down") s->ShowPartState(ScrollPart::Thumb, true, true);
        if (o.state == "focused") s->SetCanFocused(true);
        control = s;
    } else {
        throw Bad(QStringLiteral("unknown control \"%1\": use panel, groupbox, label, button, edit, hscrollbar or "
                                 "vscrollbar")
                      .arg(k));
    }
    if (control->x() == 0 && control->y() == 0) control->move(10, 10);
    if (o.state == "disabled") control->setEnabled(false);
    host.show();
    if (o.state == "focused") {
        Activate(&host);
        control->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    return host.grab(control->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage RenderMessagePreview(const MessagePreviewOptions& o) {
    if (o.kind < 0 || o.kind > 4) throw Bad(QStringLiteral("dialog kind %1: use 0 to 4").arg(o.kind));
    TbsSkinMessage message;
    message.SetSkinData(o.skinData);
    message.SetCtrlSkinData(o.skinData);
    std::unique_ptr<TbsMessageForm> form = message.CreateMessageForm(o.text, o.kind, ParseMessageButtons(o.buttons));
    form->setAttribute(Qt::WA_DontShowOnScreen);
    form->Frame()->SetActiveOverride(true);
    form->show();
    // The focus goes where showing the dialog puts it: the first button.
    Activate(form.get());
    QImage img = form->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRegion mask = form->mask();
    if (!mask.isEmpty()) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (!mask.contains(QPoint(x, y))) img.setPixel(x, y, 0);
    }
    return img;
}

}  // namespace skinctrls
