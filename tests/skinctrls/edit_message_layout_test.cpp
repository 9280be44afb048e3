// The skinned edit's rectangles and margins, and the message dialog's arithmetic.

#include <gtest/gtest.h>

#include "skinctrls/test_print.h"

#include "skinctrls/EditGeometry.h"
#include "skinctrls/MessageLayout.h"

namespace skinctrls {
namespace {

using skin::Rect;

TEST(EditGeometry, CarriedEntriesAndThePlainLook) {
    const EditSkinGeometry edit{Rect{329, 162, 369, 180}, 3, Rect{4, 2, 39, 17}, Rect{}};
    const EditSkinGeometry buttonEdit{Rect{235, 169, 295, 187}, 17, Rect{1, 1, 43, 17}, Rect{43, 1, 59, 17}};
    EXPECT_EQ(EditMargins(&edit, false), QMargins(4, 2, 1, 1));
    EXPECT_EQ(EditMargins(&buttonEdit, true), QMargins(1, 1, 17, 1));
    EXPECT_EQ(EditMargins(nullptr, true), QMargins(2, 2, 22, 2));
    EXPECT_EQ(EditMargins(nullptr, false), QMargins(2, 2, 2, 2));

    struct Case {
        const EditSkinGeometry* g;
        bool buttonMode;
        QSize size;
        Rect text, button;
        const char* what;
    } cases[] = {
        {&edit, false, {121, 18}, {4, 2, 120, 17}, {}, "edit: text grows with the width"},
        {&buttonEdit, true, {121, 18}, {1, 1, 104, 17}, {104, 1, 120, 17}, "button follows the right edge"},
        {&buttonEdit, true, {60, 18}, {1, 1, 43, 17}, {43, 1, 59, 17}, "at skin width: as in the skin"},
        {nullptr, true, {121, 20}, {2, 2, 99, 18}, {101, 0, 121, 20}, "plain: 20-pixel button at the right"},
        {nullptr, false, {121, 20}, {2, 2, 119, 18}, {}, "plain without button"},
    };
    for (const Case& c : cases) {
        const EditRects r = EditGeometry(c.g, c.buttonMode, c.size);
        EXPECT_EQ(r.text, c.text) << c.what;
        EXPECT_EQ(r.button, c.button) << c.what;
    }
    // A button drawn left of the right fixed part stays where the skin puts it.
    const EditSkinGeometry leftButton{Rect{0, 0, 60, 18}, 17, Rect{18, 1, 59, 17}, Rect{1, 1, 17, 17}};
    EXPECT_EQ(EditGeometry(&leftButton, true, {200, 18}).button, (Rect{1, 1, 17, 17}));
}

TEST(MessageLayout, RolesCaptionsAndButtons) {
    const auto set = [](std::initializer_list<TMsgDlgBtn> bs) {
        TMsgDlgButtons s = 0;
        for (TMsgDlgBtn b : bs) s |= MsgButton(b);
        return s;
    };
    struct Case {
        TMsgDlgButtons buttons;
        int def, cancel;
    } cases[] = {
        {set({mbOK}), mbOK, mbOK},
        {set({mbYes, mbNo}), mbYes, mbNo},
        {set({mbOK, mbCancel}), mbOK, mbCancel},
        {set({mbAbort, mbRetry, mbIgnore}), mbRetry, -1},
        {set({mbYes, mbNo, mbCancel}), mbYes, mbCancel},
        {set({mbHelp}), -1, -1},
        {0, -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MsgDefaultButton(c.buttons), c.def) << c.buttons;
        EXPECT_EQ(MsgCancelButton(c.buttons), c.cancel) << c.buttons;
    }
    EXPECT_EQ(MsgDialogCaption(mtWarning, "T"), "Warning");
    EXPECT_EQ(MsgDialogCaption(mtError, "T"), "Error");
    EXPECT_EQ(MsgDialogCaption(mtInformation, "T"), "Information");
    EXPECT_EQ(MsgDialogCaption(mtConfirmation, "T"), "Confirm");
    EXPECT_EQ(MsgDialogCaption(mtCustom, "物料需求計算"), "物料需求計算");
    EXPECT_EQ(MsgButtonInfoOf(mbNoToAll).caption, std::string("N&oToAll"));
    EXPECT_EQ(MsgButtonInfoOf(mbHelp).modalResult, 0);
    EXPECT_EQ(MsgButtonInfoOf(mbNo).modalResult, 7);
    EXPECT_EQ(MsgButtonCount(set({mbYes, mbNo, mbHelp}) | (1u << 20)), 3);  // bits past the eleven are not buttons
}

TEST(MessageLayout, Sizes) {
    EXPECT_EQ(MsgRowWidth(0), 0);
    EXPECT_EQ(MsgRowWidth(1), 60);
    EXPECT_EQ(MsgRowWidth(3), 200);
    // One OK button under a short text: the row wins; under a long one the text does.
    EXPECT_EQ(MsgClientSize(1, 28, 50 + 5, 14), QSize(100, 87));
    EXPECT_EQ(MsgClientSize(1, 28, 50 + 120, 14), QSize(210, 87));
    EXPECT_EQ(MsgClientSize(0, 25, 50 + 120, 14), QSize(210, 84));
    EXPECT_EQ(MsgClientSize(3, 25, 200, 14), QSize(240, 84));  // equal widths: the text edge
    EXPECT_EQ(MsgRowLeft(210, 1), 75);
    EXPECT_EQ(MsgRowTop(87, 28), 49);
}

}  // namespace
}  // namespace skinctrls
