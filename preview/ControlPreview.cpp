#include "preview/ControlPreview.h"

#include <QApplication>

#include <memory>
#include <stdexcept>

#include "data/MemTable.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinLabel.h"
#include "skinctrls/SkinMessage.h"
#include "skinctrls/SkinPanel.h"
#include "skinctrls/SkinScrollBar.h"

namespace preview {

using namespace skinctrls;

namespace {

std::invalid_argument Bad(const QString& what) { return std::invalid_argument(what.toStdString()); }

// Makes the host window the active one so that a control can show its focused look.
void Activate(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QCoreApplication::processEvents();
}

// A grid in a frame of its own with its two bars, as the main window holds them.
QImage RenderGridPreview(const ControlPreviewOptions& o, TbsSkinPanel& host) {
    data::MemTable table;
    FillSampleOrderLines(table, 12);
    data::DataSource source(&table);
    auto* box = new TbsSkinPanel(&host);
    box->SetBorderStyle(bvNone);
    box->SetSkinData(o.skinData);
    const QSize size = o.size.isValid() ? o.size : QSize(420, 180);
    box->SetBounds(10, 10, size.width(), size.height());
    TbsSkinDBGrid* grid = CreateGridWithBars(box, o.skinData, &source).grid;
    if (!o.entry.isEmpty()) grid->SetSkinDataName(o.entry);
    if (o.state == "disabled") grid->setEnabled(false);
    host.show();
    if (o.state == "focused" || o.state == "down") {
        Activate(&host);
        grid->setFocus(Qt::TabFocusReason);
        table.SetRecNo(3);
        grid->SetSelectedIndex(1);
        if (o.state == "down") grid->SetEditorMode(true);
        QCoreApplication::processEvents();
    }
    QImage img = host.grab(box->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    grid->SetDataSource(nullptr);
    return img;
}

}  // namespace

void FillSampleOrderLines(data::MemTable& t, int rows) {
    struct Line {
        const char16_t* code;
        const char16_t* name;
        double qty, price;
        const char16_t* unit;
    };
    static const Line lines[] = {
        {u"A1001-01", u"不鏽鋼螺絲 M4x10", 1200, 0.35, u"PCS"},  {u"A1001-02", u"不鏽鋼螺帽 M4", 1200, 0.18, u"PCS"},
        {u"B2040-00", u"鋁擠型框架 40x40", 36, 285.5, u"支"},    {u"C3100-10", u"控制面板組", 12, 4620, u"組"},
        {u"D0007-03", u"電源線 1.8m", 48, 62.75, u"條"},         {u"E5521-00", u"包裝紙箱 (大)", 150, 18.2, u"個"},
        {u"F8800-01", u"散熱風扇 12V", 24, 156, u"個"},          {u"G1203-05", u"橡膠墊片", 500, 1.25, u"片"},
        {u"H4410-00", u"鈑金外殼", 12, 1380, u"件"},             {u"J0902-02", u"說明書 (中文)", 150, 4.5, u"本"},
        {u"K7000-00", u"標籤貼紙", 300, 0.8, u"張"},             {u"L3300-07", u"馬達驅動板", 12, 2250, u"片"},
    };
    t.Close();
    t.fieldDefs().Clear();
    t.fieldDefs().Add(QStringLiteral("ITEM"), data::FieldType::Text, 12).displayLabel = QStringLiteral("料號");
    t.fieldDefs().Add(QStringLiteral("NAME"), data::FieldType::Text, 20).displayLabel = QStringLiteral("品名規格");
    t.fieldDefs().Add(QStringLiteral("QTY"), data::FieldType::Float).displayLabel = QStringLiteral("數量");
    t.fieldDefs().Add(QStringLiteral("PRICE"), data::FieldType::Float).displayLabel = QStringLiteral("單價");
    t.fieldDefs().Add(QStringLiteral("UNIT"), data::FieldType::Text, 4).displayLabel = QStringLiteral("單位");
    t.CreateDataSet();
    t.DisableControls();
    for (int i = 0; i < rows; ++i) {
        const Line& l = lines[size_t(i) % std::size(lines)];
        t.Append();
        t.FieldByName(QStringLiteral("ITEM"))->SetAsString(QString::fromUtf16(l.code));
        t.FieldByName(QStringLiteral("NAME"))->SetAsString(QString::fromUtf16(l.name));
        t.FieldByName(QStringLiteral("QTY"))->SetAsFloat(l.qty);
        t.FieldByName(QStringLiteral("PRICE"))->SetAsFloat(l.price);
        t.FieldByName(QStringLiteral("UNIT"))->SetAsString(QString::fromUtf16(l.unit));
        t.Post();
    }
    t.First();
    t.EnableControls();
}

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
    } else if (k == "grid") {
        return RenderGridPreview(o, host);
    } else {
        throw Bad(QStringLiteral("unknown control \"%1\": use panel, groupbox, label, button, edit, hscrollbar, "
                                 "vscrollbar or grid")
                      .arg(k));
    }
    if (control->x() == 0 && control->y() == 0) control->move(10, 10);
    // A skin whose rectangles give the control no area leaves nothing to picture: say
    // which element it was rather than fail to write an empty picture.
    if (control->width() <= 0 || control->height() <= 0)
        throw std::runtime_error(QStringLiteral("the %1 collapsed to nothing (%2 x %3): its skin entry \"%4\" gives it no size")
                                     .arg(k)
                                     .arg(control->width())
                                     .arg(control->height())
                                     .arg(o.entry.isEmpty() ? k : o.entry)
                                     .toStdString());
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
        // The picture holds the device's pixels; the shape is in the window's.
        const qreal r = img.devicePixelRatio();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (!mask.contains(QPoint(int(x / r), int(y / r)))) img.setPixel(x, y, 0);
    }
    return img;
}

}  // namespace preview
