#pragma once
// A colour as the product stores it, in skin definitions and in every control's
// properties: blue, green and red in one number (0x00BBGGRR), with clNone for "no
// colour". Defined here, in the lowest of the picture layers; the window layers
// (platform/Colors.h) add the plain and system colours on top of it.

namespace skin {

using TColor = int;
inline constexpr TColor clNone = 0x1FFFFFFF;

}  // namespace skin
