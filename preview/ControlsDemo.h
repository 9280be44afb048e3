#pragma once
// A panel that shows every skinned control in every state a person can reach with the
// mouse and the keyboard, for the "skin demo" window: buttons (default, cancel,
// disabled, repeating, grouped, with a glyph), edits (with and without their button,
// read-only, password, disabled), scroll bars (paged, focusable, sharing a corner,
// disabled), panels (check box, roll-up), labels, a data grid over sample order lines
// with its scroll bars, and message dialogs of every kind.

#include <functional>

class QWidget;

namespace skin {
class TbsSkinData;
}

namespace skinctrls {
class TbsSkinPanel;
}

namespace preview {

struct ControlsDemoOptions {
    skin::TbsSkinData* skinData = nullptr;
    // Puts the skin back after "no skin" (the demo does not know where the skin comes from).
    std::function<void()> reloadSkin;
};

// The panel, child of parent, about 820 x 616 (its minimum size).
skinctrls::TbsSkinPanel* CreateControlsDemo(QWidget* parent, const ControlsDemoOptions& options);

}  // namespace preview
