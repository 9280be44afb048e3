#include "platform/SkinDispatch.h"

#include <QPointer>

#include "platform/Form.h"

namespace platform {

namespace {

// One receiver serves every attached skin data: it fans each message out to the forms
// open at the time of the message, so forms opened after the attach hear it too.
class FormDispatcher final : public skin::SkinMessageReceiver {
public:
    void SkinMessage(skin::SkinChange message, skin::TbsSkinData* data) override { DispatchSkinMessage(message, data); }
};

FormDispatcher& Dispatcher() {
    static FormDispatcher d;
    return d;
}

// The form the skin data belongs to: the nearest form among its owners.
Form* OwnerForm(QObject* o) {
    for (; o; o = o->parent())
        if (auto* f = qobject_cast<Form*>(o)) return f;
    return nullptr;
}

}  // namespace

void AttachSkinData(skin::TbsSkinData* data) {
    if (data) data->RegisterReceiver(&Dispatcher());
}

void DispatchSkinMessage(skin::SkinChange message, skin::TbsSkinData* data) {
    // A form may close or open forms while handling the message: walk a snapshot and skip
    // the forms that went away.
    QList<QPointer<Form>> order;
    Form* owner = data ? OwnerForm(data) : nullptr;
    if (owner) order.append(owner);
    for (Form* f : Form::OpenForms())
        if (f != owner) order.append(f);
    for (const QPointer<Form>& f : order) {
        if (!f) continue;
        if (FormFrame* frame = f->Frame())
            frame->FormSkinMessage(message, data);
        else
            ForwardSkinMessage(f->Client(), message, data);
    }
}

void ForwardSkinMessage(QWidget* root, skin::SkinChange message, skin::TbsSkinData* data) {
    if (!root || message == skin::SkinChange::ChangeDone) return;
    if (auto* c = dynamic_cast<SkinnedControl*>(root)) {
        skin::TbsSkinData* own = c->ControlSkinData();
        if (message == skin::SkinChange::Changing && own && own == data)
            c->SkinChanging();
        else if (message == skin::SkinChange::Changed && (data == nullptr || own == data))
            c->SkinChanged();
    }
    // Children as they stand after the control's own handling; a child deleted by an
    // earlier sibling's handling is skipped.
    QList<QPointer<QWidget>> kids;
    for (QObject* o : root->children())
        if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow()) kids.append(w);
    for (const QPointer<QWidget>& w : kids)
        if (w) ForwardSkinMessage(w, message, data);
}

}  // namespace platform
