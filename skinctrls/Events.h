#pragma once
// Event handlers of the skinned controls. A handler is "assigned" when it holds a
// callable; controls that replace a default action with a handler (the scroll bar's
// buttons) test exactly that.

#include <functional>

class QObject;

namespace skinctrls {

// A notification with its sender, the control that fires it.
using TNotifyEvent = std::function<void(QObject* sender)>;

// Fires a handler when one is assigned.
inline void Fire(const TNotifyEvent& e, QObject* sender) {
    if (e) e(sender);
}

}  // namespace skinctrls
