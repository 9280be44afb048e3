#pragma once
// Timer intervals of the product's owner-drawn parts, in milliseconds. Every timer runs
// on the user-interface thread and is owned by the part it serves.

namespace platform {

inline constexpr int kFrameTrackingInterval = 50;  // window frame: objects under the mouse
inline constexpr int kFrameMorphInterval = 20;     // window frame: morph step of its objects
inline constexpr int kFadeInDelay = 1;             // window frame: fade-in starts after showing
inline constexpr int kMenuMorphInterval = 20;      // popup menu level: morph step
inline constexpr int kMenuScrollInterval = 100;    // popup menu level: scrolling by a marker
inline constexpr int kMenuOpenDelay = 500;         // popup menu: sub-level opens on hover
inline constexpr int kButtonMorphInterval = 20;    // skinned button: morph step
inline constexpr int kScrollRepeatDelay = 500;     // scroll bar: first repeat
inline constexpr int kScrollRepeatInterval = 50;   // scroll bar: further repeats
inline constexpr int kNavRepeatDelay = 400;        // navigation button: first repeat
inline constexpr int kNavRepeatInterval = 100;     // navigation button: further repeats

}  // namespace platform
