#pragma once
// Skin-change messages on their way from a skin data to the skinned controls.
//
// A TbsSkinData announces a reload with SkinChange::Changing, SkinChange::Changed and
// SkinChange::ChangeDone. Once attached here, each message reaches every open form, the form
// that owns the skin data first and then the others in the order they were created.
// A form's message goes to its window frame when it has one (the frame reacts itself and
// then passes it on to the form's controls), else straight to the form's controls. Controls hear it depth-first: a
// control, then its children in child order.

#include <QWidget>

#include "skin/SkinData.h"

namespace platform {

// What a skinned control implements to follow skin changes.
class SkinnedControl {
public:
    virtual ~SkinnedControl() = default;
    // The skin data the control draws from, or nullptr.
    virtual skin::TbsSkinData* ControlSkinData() const = 0;
    // Its skin data is about to be cleared: forget the entry (nothing may be kept that
    // points into the skin data).
    virtual void SkinChanging() = 0;
    // Its skin data holds a new skin (or none): look the entry up again, fit the size,
    // repaint.
    virtual void SkinChanged() = 0;
};

// Makes the skin data's messages reach every open form. Idempotent; the skin data needs
// no detaching (it forgets its receivers when destroyed).
void AttachSkinData(skin::TbsSkinData* data);

// Delivers one message to every open form, the owner form of data first.
void DispatchSkinMessage(skin::SkinChange message, skin::TbsSkinData* data);

// Passes one message down root's widget tree (root included when it is a skinned
// control): SkinChange::Changing reaches the controls that use data; SkinChange::Changed those that
// use data, or every control when data is nullptr; SkinChange::ChangeDone is not passed on.
void ForwardSkinMessage(QWidget* root, skin::SkinChange message, skin::TbsSkinData* data);

}  // namespace platform
