#pragma once
// The message dialog's arithmetic, without widgets: its buttons by bit, the default and
// cancel roles, and the sizes of the client area and the button row.

#include <QSize>
#include <QString>

namespace skinctrls {

// The eleven button kinds, bit n for kind n, created left to right in bit order.
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = unsigned;  // a set of TMsgDlgBtn, bit n for value n
inline constexpr int kMsgDlgButtonCount = 11;
inline constexpr TMsgDlgButtons MsgButton(TMsgDlgBtn b) { return 1u << unsigned(b); }

// The dialog kinds: 0 warning, 1 error, 2 information, 3 confirmation, 4 custom.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

struct MsgButtonInfo {
    const char* name;     // component name
    const char* caption;  // with its "&" accelerator
    int modalResult;
};
const MsgButtonInfo& MsgButtonInfoOf(TMsgDlgBtn b);

// The window caption of a kind; custom gives appTitle.
QString MsgDialogCaption(TMsgDlgType kind, const QString& appTitle);

// The default button: OK, else Yes, else Retry; the cancel button: Cancel, else No,
// else OK. -1 when the chosen kind is not in the set.
int MsgDefaultButton(TMsgDlgButtons set);
int MsgCancelButton(TMsgDlgButtons set);

inline constexpr int kMsgButtonWidth = 60;
inline constexpr int kMsgButtonGap = 10;
inline constexpr int kMsgPlainButtonHeight = 25;

int MsgButtonCount(TMsgDlgButtons set);
// n buttons of 60 with gaps of 10; 0 for none.
int MsgRowWidth(int n);
// Client area: button height + label height + 45 high; the wider of the row and the
// text's right edge, plus 40, wide.
QSize MsgClientSize(int n, int buttonHeight, int textRight, int labelHeight);
// Left of the first button and top of the row in a client area of that size.
int MsgRowLeft(int clientWidth, int n);
int MsgRowTop(int clientHeight, int buttonHeight);

}  // namespace skinctrls
