#pragma once
// The plain message box of the lookup layer: the dialog's own messages ("請選擇查詢條件!",
// "找不到該條件資料!") and the errors its handlers end with, which the event loop would
// otherwise report. Every message goes through one replaceable function, so a caller
// without a display (tests, scripted runs) can take them instead of a modal box.

#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace lookup {

using MessageFunction = std::function<void(QWidget* parent, const QString& text)>;

// Replaces the message function; an empty one restores the modal message box. Returns
// the previous one.
MessageFunction SetMessageFunction(MessageFunction f);

void ShowPlainMessage(QWidget* parent, const QString& text);
// The error's text as the event loop's error report shows it.
void ShowError(QWidget* parent, const std::exception& e);

}  // namespace lookup
