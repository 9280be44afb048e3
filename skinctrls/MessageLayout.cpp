#include "skinctrls/MessageLayout.h"

#include <bit>

namespace skinctrls {

namespace {
constexpr MsgButtonInfo kButtons[kMsgDlgButtonCount] = {
    {"Yes", "&Yes", 6},       {"No", "&No", 7},           {"OK", "OK", 1},
    {"Cancel", "Cancel", 2},  {"Abort", "&Abort", 3},     {"Retry", "&Retry", 4},
    {"Ignore", "&Ignore", 5}, {"All", "&All", 8},         {"NoToAll", "N&oToAll", 9},
    {"YesToAll", "&YesToAll", 10}, {"Help", "&Help", 0},
};
}  // namespace

const MsgButtonInfo& MsgButtonInfoOf(TMsgDlgBtn b) { return kButtons[int(b)]; }

QString MsgDialogCaption(TMsgDlgType kind, const QString& appTitle) {
    switch (kind) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirm");
    default: return appTitle;
    }
}

int MsgDefaultButton(TMsgDlgButtons set) {
    if (set & MsgButton(mbOK)) return mbOK;
    if (set & MsgButton(mbYes)) return mbYes;
    if (set & MsgButton(mbRetry)) return mbRetry;
    return -1;
}

int MsgCancelButton(TMsgDlgButtons set) {
    if (set & MsgButton(mbCancel)) return mbCancel;
    if (set & MsgButton(mbNo)) return mbNo;
    if (set & MsgButton(mbOK)) return mbOK;
    return -1;
}

int MsgButtonCount(TMsgDlgButtons set) { return std::popcount(set & ((1u << kMsgDlgButtonCount) - 1)); }

int MsgRowWidth(int n) { return n > 0 ? n * kMsgButtonWidth + (n - 1) * kMsgButtonGap : 0; }

QSize MsgClientSize(int n, int buttonHeight, int textRight, int labelHeight) {
    const int row = MsgRowWidth(n);
    const int width = (row > textRight ? row : textRight) + 40;
    return QSize(width, buttonHeight + labelHeight + 45);
}

int MsgRowLeft(int clientWidth, int n) { return (clientWidth - MsgRowWidth(n)) / 2; }

int MsgRowTop(int clientHeight, int buttonHeight) { return clientHeight - buttonHeight - 10; }

}  // namespace skinctrls
