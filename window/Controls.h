#pragma once
// How the program's windows make their skinned controls (the main window's choices, shared
// by its dialogs): the skinned controls' own defaults, MS Sans Serif 11 for the grid's
// titles, 75 x 25 buttons, 20-pixel edits and grid rows.

#include "platform/Align.h"
#include "platform/Fonts.h"

class QSize;
namespace data {
class DataSource;
}
namespace frame {
class TbsSkinFrame;
}
namespace platform {
class Form;
}
namespace skin {
class TbsSkinData;
}
namespace skinctrls {
class TbsSkinPanel;
class TbsSkinButton;
class TbsSkinEdit;
class TbsSkinDBGrid;
class TbsSkinStdLabel;
}  // namespace skinctrls

namespace window {

extern const platform::TFont kSansSerif11;

// A panel aligned in its parent, the main window's width and `height` (0: the align
// pass gives both).
skinctrls::TbsSkinPanel* InitPanel(skinctrls::TbsSkinPanel* p, skin::TbsSkinData* data, platform::TAlign align,
                                   int height);
skinctrls::TbsSkinButton* MakeButton(QWidget* parent, skin::TbsSkinData* data, const QString& caption, int x, int y);
// A grid over source filling `area`, with its two bars.
skinctrls::TbsSkinDBGrid* MakeGrid(QWidget* area, skin::TbsSkinData* data, data::DataSource* source);
skinctrls::TbsSkinEdit* MakeEdit(QWidget* parent, skin::TbsSkinData* data, bool buttonMode, int x, int y, int w);
skinctrls::TbsSkinStdLabel* MakeLabel(QWidget* parent, skin::TbsSkinData* data, const QString& caption, int x, int y);
// A dialog sized so that its client area is `client` inside its frame, centred on its screen.
void SizeForClient(platform::Form* form, frame::TbsSkinFrame* frame, QSize client);

}  // namespace window
