#pragma once
// The first start's question in the program's own skinned dialog: no connection entry
// names a database yet, so the window cannot open; the clerk may have the demo database
// created for a first look.

#include <QString>

namespace window {

// Shows the question with "Yes" and "No" (Yes is the default, Escape answers No) in the
// skinned message dialog, with the carried skin unless carriedSkin is false; true for
// Yes.
bool AskFirstStart(const QString& question, bool carriedSkin = true);

}  // namespace window
