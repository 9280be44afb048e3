#pragma once
// What a screen reader reads of the skinned controls, through Qt's accessibility
// framework (InstallAccessibility registers the interfaces once at start; the frame's
// windows and menus are the frame layer's, frame/Accessible.h):
//
// - TbsSkinButton: a push button named by its caption without the accelerator mark, with
//   its accelerator, a Press action that clicks it, and its enabled, focused, default and
//   down states;
// - TbsSkinStdLabel: a label holding its caption, the label of the control it focuses;
// - TbsSkinPanel / TbsSkinGroupBox: a panel / grouping named by its caption, if any;
// - TbsSkinEdit: a panel holding the text box (Qt's own line edit: its text read and set)
//   and, in button mode, the embedded button, pressed as a click or F4 presses it;
// - TbsSkinDBGrid: a table (skinctrls/AccessibleGrid.h);
// - TbsMessageForm: an alert named by its caption whose description is the message, its
//   buttons as above.

#include <QString>

class QWidget;

namespace skinctrls {

class TbsSkinCustomEdit;
class TbsSkinStdLabel;

void InstallAccessibility();

// Makes label the one that names control: the screen reader reads control (its text box
// for an edit) by the label's caption, and the label's accelerator focuses it.
void SetLabelFor(TbsSkinStdLabel* label, QWidget* control);
// Names a control the clerk reads without a label of its own (an edit by what it holds).
void SetAccessibleName(QWidget* control, const QString& name);
// Names the embedded button of an edit for what it does (read as a button of that name).
void SetEditButtonName(TbsSkinCustomEdit* edit, const QString& name);

}  // namespace skinctrls
