// Forms, the align pass and the skin-change dispatch, on real widgets offscreen.

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Align.h"
#include "platform/Form.h"
#include "platform/SkinDispatch.h"
#include "support/QtTestApp.h"
#include "support/QtWidgetTest.h"

namespace platform {
namespace {

// A control that keeps a fixed height whatever it is asked for, as skinned controls do
// when their skin does not stretch vertically.
class FixedHeightControl : public Control {
public:
    FixedHeightControl(QWidget* parent, int h) : Control(parent), fixed_(h) {}
    void SetBounds(int l, int t, int w, int) override { Control::SetBounds(l, t, w, fixed_); }

private:
    int fixed_;
};

TEST(Align, KindsInOrderChildrenInCreationOrder) {
    Control box;
    ShowOffscreen(&box);
    box.resize(200, 100);
    auto make = [&](TAlign a, int w, int h) {
        auto* c = new Control(&box);
        c->resize(w, h);
        c->SetAlign(a);
        c->show();  // children added to a shown widget start hidden
        return c;
    };
    // Created out of kind order on purpose: the client child first, a bottom before a top.
    Control* client = make(alClient, 5, 5);
    Control* bottom = make(alBottom, 10, 20);
    Control* top1 = make(alTop, 10, 10);
    Control* right = make(alRight, 30, 10);
    Control* top2 = make(alTop, 10, 15);
    Control* left = make(alLeft, 25, 10);
    Control* hidden = make(alTop, 10, 50);
    hidden->hide();
    Control* none = make(alNone, 7, 7);
    none->move(3, 4);
    box.Realign();

    struct Expect {
        Control* c;
        QRect r;
        const char* what;
    } expect[] = {
        {top1, QRect(0, 0, 200, 10), "first top"},
        {top2, QRect(0, 10, 200, 15), "second top below the first"},
        {bottom, QRect(0, 80, 200, 20), "bottom"},
        {left, QRect(0, 25, 25, 55), "left between tops and bottom"},
        {right, QRect(170, 25, 30, 55), "right"},
        {client, QRect(25, 25, 145, 55), "client takes the rest"},
        {none, QRect(3, 4, 7, 7), "unaligned child stays"},
    };
    for (const Expect& e : expect) EXPECT_EQ(e.c->geometry(), e.r) << e.what;

    // Showing the hidden top child takes its room; resizing the box re-runs the pass.
    hidden->show();
    EXPECT_EQ(hidden->geometry(), QRect(0, 25, 200, 50));
    EXPECT_EQ(client->geometry(), QRect(25, 75, 145, 5));
    box.resize(300, 200);
    EXPECT_EQ(client->geometry(), QRect(25, 75, 245, 105));
    EXPECT_EQ(bottom->geometry(), QRect(0, 180, 300, 20));
}

TEST(Align, AreaShrinksByTheSizeAControlTook) {
    Control box;
    ShowOffscreen(&box);
    box.resize(100, 100);
    auto* top = new FixedHeightControl(&box, 28);
    top->SetAlign(alTop);
    auto* bottom = new FixedHeightControl(&box, 18);
    bottom->resize(100, 40);
    bottom->SetAlign(alBottom);
    auto* client = new Control(&box);
    client->SetAlign(alClient);
    for (QWidget* w : {static_cast<QWidget*>(top), static_cast<QWidget*>(bottom), static_cast<QWidget*>(client)}) w->show();
    box.Realign();
    EXPECT_EQ(top->geometry(), QRect(0, 0, 100, 28));
    EXPECT_EQ(bottom->geometry(), QRect(0, 82, 100, 18));  // sits on the bottom edge at its own height
    EXPECT_EQ(client->geometry(), QRect(0, 28, 100, 54));
    // The plain route for widgets without a SetBounds of their own.
    QWidget plain(&box);
    SetBounds(&plain, 1, 2, -5, 4);
    EXPECT_EQ(plain.geometry(), QRect(1, 2, 0, 4));
}

TEST(Form, ModalRunEndsOnResultOrClose) {
    Form f;
    QTimer::singleShot(0, &f, [&] { f.SetModalResult(mrOk); });
    EXPECT_EQ(f.ShowModal(), mrOk);
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.InModalRun());

    QTimer::singleShot(0, &f, [&] { f.close(); });
    EXPECT_EQ(f.ShowModal(), mrCancel);
}

// The end of a modal run gives the keyboard back to the window and control that had it,
// and gives nothing back that went away meanwhile: a control freed during the run, a
// window hidden during it.
TEST(Form, ModalRunGivesTheFocusBackToWhatStillStands) {
    Form owner;
    owner.resize(200, 80);
    auto* first = new QLineEdit(owner.Client());
    auto* second = new QLineEdit(owner.Client());
    second->move(0, 30);
    ASSERT_TRUE(ShowActive(&owner));
    second->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(second->hasFocus());

    Form dialog;
    QTimer::singleShot(0, &dialog, [&] { dialog.SetModalResult(mrOk); });
    dialog.ShowModal();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&owner, 2000));
    EXPECT_EQ(QApplication::focusWidget(), second);

    // The focused control freed while the dialog is up.
    QTimer::singleShot(0, &dialog, [&] {
        delete second;
        dialog.SetModalResult(mrOk);
    });
    dialog.ShowModal();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&owner, 2000));
    EXPECT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->window(), &owner);

    // The window hidden while the dialog is up stays hidden.
    first->setFocus(Qt::OtherFocusReason);
    QTimer::singleShot(0, &dialog, [&] {
        owner.hide();
        dialog.SetModalResult(mrOk);
    });
    dialog.ShowModal();
    QCoreApplication::processEvents();
    EXPECT_FALSE(owner.isVisible());
}

// A focused control that is disabled or hidden (hidden also with its parent) hands the
// keyboard to the form's home control rather than to the next one of the tab order;
// Tab from a control that stands still goes along the tab order.
TEST(Form, AFocusedControlThatGoesAwayHandsTheKeyboardHome) {
    struct Case {
        const char* what;
        std::function<void(QWidget* focused, QWidget* box)> away;
    };
    const Case cases[] = {
        {"disabled", [](QWidget* f, QWidget*) { f->setEnabled(false); }},
        {"hidden", [](QWidget* f, QWidget*) { f->hide(); }},
        {"parent hidden", [](QWidget*, QWidget* box) { box->hide(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Form form;
        form.resize(300, 100);
        auto* home = new QLineEdit(form.Client());
        auto* box = new Control(form.Client());
        box->setGeometry(0, 30, 300, 60);
        auto* focused = new QLineEdit(box);
        auto* next = new QLineEdit(box);  // next in the tab order
        next->move(0, 30);
        form.SetFocusHome(home);
        ASSERT_TRUE(ShowActive(&form));
        focused->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(focused->hasFocus());
        c.away(focused, box);
        EXPECT_EQ(QApplication::focusWidget(), home);
    }
    Form form;
    auto* home = new QLineEdit(form.Client());
    auto* first = new QLineEdit(form.Client());
    auto* second = new QLineEdit(form.Client());
    form.SetFocusHome(home);
    ASSERT_TRUE(ShowActive(&form));
    first->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), second);
}

TEST(Form, RegistryReleaseAndClientGeometry) {
    const qsizetype before = Form::OpenForms().size();
    auto* owner = new Form;
    auto* child = new Form(owner);
    ASSERT_EQ(Form::OpenForms().size(), before + 2);
    EXPECT_EQ(Form::OpenForms().at(before), owner);
    EXPECT_TRUE(child->isWindow());

    ShowOffscreen(owner);
    // Without a frame the client area is the whole form and is filled with Color.
    owner->resize(50, 40);
    EXPECT_EQ(owner->Client()->geometry(), QRect(0, 0, 50, 40));
    owner->SetColor(clNavy);
    const QImage shot = owner->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(25, 20)), QColor(0, 0, 0x80));

    QPointer<Form> watch(child);
    child->Release();
    EXPECT_TRUE(watch);  // not yet: the release is deferred
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(watch);
    delete owner;
    EXPECT_EQ(Form::OpenForms().size(), before);
}

// A frame that keeps a border of 3 and a caption of 20 and records its skin messages.
class RecordingFrame : public FormFrame {
public:
    QRect ClientRectFor(QSize s) const override { return QRect(3, 23, s.width() - 6, s.height() - 26); }
    void PaintClientBackground(QPainter& p, QSize s) override { p.fillRect(QRect(QPoint(), s), Qt::green); }
    void FormSkinMessage(skin::SkinChange message, skin::TbsSkinData*) override { messages.push_back(message); }
    void FormDestroying() override {}
    std::vector<skin::SkinChange> messages;
};

TEST(Form, FramePlacesClientAndPaintsItsBackground) {
    Form f;
    ShowOffscreen(&f);
    RecordingFrame frame;
    f.SetFrame(&frame);
    f.resize(100, 80);
    EXPECT_EQ(f.Client()->geometry(), QRect(3, 23, 94, 54));
    EXPECT_EQ(QColor(f.Client()->grab().toImage().pixel(10, 10)), QColor(Qt::green));
    f.SetFrame(nullptr);
    EXPECT_EQ(f.Client()->geometry(), QRect(0, 0, 100, 80));
}

// A skinned control that logs what it hears, by name.
class LoggingControl : public Control, public SkinnedControl {
public:
    LoggingControl(QWidget* parent, std::string name, skin::TbsSkinData* data, std::vector<std::string>* log)
        : Control(parent), name_(std::move(name)), data_(data), log_(log) {}
    skin::TbsSkinData* ControlSkinData() const override { return data_; }
    void SkinChanging() override { log_->push_back(name_ + ":forget"); }
    void SkinChanged() override { log_->push_back(name_ + ":apply"); }

private:
    std::string name_;
    skin::TbsSkinData* data_;
    std::vector<std::string>* log_;
};

TEST(SkinDispatch, OwnerFormFirstThenControlsDepthFirst) {
    std::vector<std::string> log;
    Form other;  // created first, but not the skin data's owner
    Form owner;
    auto* data = new skin::TbsSkinData(&owner);
    skin::TbsSkinData foreign;
    AttachSkinData(data);
    AttachSkinData(data);  // attaching twice delivers once

    auto* a = new LoggingControl(owner.Client(), "a", data, &log);
    auto* a1 = new LoggingControl(a, "a1", data, &log);
    new LoggingControl(a1, "a1x", data, &log);
    new LoggingControl(a, "a2", &foreign, &log);
    auto* plain = new Control(owner.Client());  // not skinned: passed through to its child
    new LoggingControl(plain, "b", data, &log);
    new LoggingControl(other.Client(), "o", data, &log);

    data->BroadcastSkinMessage(skin::SkinChange::Changing);
    EXPECT_EQ(log, (std::vector<std::string>{"a:forget", "a1:forget", "a1x:forget", "b:forget", "o:forget"}));
    log.clear();
    data->BroadcastSkinMessage(skin::SkinChange::Changed);
    EXPECT_EQ(log, (std::vector<std::string>{"a:apply", "a1:apply", "a1x:apply", "b:apply", "o:apply"}));
    log.clear();
    data->BroadcastSkinMessage(skin::SkinChange::ChangeDone);
    EXPECT_TRUE(log.empty());
    // A message without skin data re-skins every control.
    ForwardSkinMessage(owner.Client(), skin::SkinChange::Changed, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a:apply", "a1:apply", "a1x:apply", "a2:apply", "b:apply"}));

    // A frame hears the message instead of the controls.
    log.clear();
    RecordingFrame frame;
    owner.SetFrame(&frame);
    data->BroadcastSkinMessage(skin::SkinChange::Changed);
    EXPECT_EQ(frame.messages, std::vector<skin::SkinChange>{skin::SkinChange::Changed});
    EXPECT_EQ(log, (std::vector<std::string>{"o:apply"}));
    owner.SetFrame(nullptr);
}

TEST(HourglassCursor, NestsAndRestores) {
    {
        HourglassCursor outer;
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            HourglassCursor inner;
        }
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace platform
