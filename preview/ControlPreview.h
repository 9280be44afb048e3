#pragma once
// Off-screen pictures of the skinned controls and of the message dialog, for skin
// authors and for checks from outside (the "skin preview" command). Need a QApplication.

#include <QImage>
#include <QSize>
#include <QString>

#include "skinctrls/MessageLayout.h"

namespace skin {
class TbsSkinData;
}
namespace data {
class MemTable;
}

namespace preview {

struct ControlPreviewOptions {
    QString kind;          // panel, groupbox, label, button, edit, hscrollbar, vscrollbar, grid
    QString entry;         // entry name; empty: the control's own default
    QSize size;            // asked size; invalid: the control's default size
    QString state = QStringLiteral("normal");  // normal, hot, down, focused, disabled
    QString caption;       // caption, or the edit's text
    bool buttonMode = false;  // edit with its embedded button
    skin::TbsSkinData* skinData = nullptr;  // none: the plain look
};

// Order lines to show in a grid: item code, name (Chinese text), quantity and unit price
// (floats) and unit, `rows` rows; the table is created (opened) here, current row first.
void FillSampleOrderLines(data::MemTable& table, int rows);

// The control at its size after fitting, drawn over a skinned panel (what shows through
// a transparent label). A grid (default 420 x 180) shows sample order lines with its
// scroll bars; its "focused" state is the focused grid, "down" the in-place editor. Throws std::invalid_argument for an unknown kind or state,
// std::runtime_error naming the element when the skin leaves the control no area.
QImage RenderControlPreview(const ControlPreviewOptions& options);

struct MessagePreviewOptions {
    QString text;
    skinctrls::TMsgDlgType kind = skinctrls::mtInformation;
    QString buttons = QStringLiteral("OK");  // comma-separated: OK,Cancel,Yes,No,...
    skin::TbsSkinData* skinData = nullptr;   // frame and controls; none: plain looks
};

// The whole dialog, frame included. Throws std::invalid_argument for an unknown button
// name.
QImage RenderMessagePreview(const MessagePreviewOptions& options);

// The button set of a comma-separated list of names (case-insensitive); throws
// std::invalid_argument naming an unknown one.
unsigned ParseMessageButtons(const QString& list);

}  // namespace preview
