#pragma once
// One composition job, as the skin workshop command `marlith skin compose` reads it: a
// JSON object naming a routine, a picture file and the element's geometry, run on that
// picture with the results written as 24-bit BMP files.
//
//   {"routine": "skin" | "horizontal" | "vertical" | "frame" | "maskregion",
//    "picture": "in.bmp", "S": [l,t,r,b], "LT": [x,y], "RT": [x,y], "LB": [x,y],
//    "RB": [x,y], "C": [l,t,r,b], "W": n, "H": n, "fill": bool,
//    "left": n, "right": n, "top": n, "bottom": n, "out": "out.bmp"}
//
// Rectangles are left, top, right, bottom (right and bottom excluded). S defaults to the
// whole picture, the points and C to zeros, "left"/"right" to LT.x and S width - RT.x,
// "top"/"bottom" to LT.y and S height - LB.y (what the skinned controls pass).
//   - "skin", "horizontal", "vertical" write the element image to "out".
//   - "frame" writes OUT-top.bmp, OUT-bottom.bmp, OUT-left.bmp, OUT-right.bmp (OUT being
//     "out" without ".bmp"), leaving out the images the routine does not build.
//   - "maskregion" takes the picture as the element's mask and returns the region's
//     rectangles as JSON [[l,t,r,b], ...] sorted by top, then left (the region's own
//     bands: rows with the same runs are one rectangle): with "W" and "H" the shape of
//     the element resized to W by H, otherwise the mask's own shape; "null" for no region.

#include <QByteArray>
#include <QString>

namespace skin {

// Runs the job; returns the text to print (the region for "maskregion", else empty).
// Throws SkinError for a malformed job (not JSON, a missing or mistyped key, numbers out
// of range, an unknown routine), an unreadable picture, an empty result image or a file
// that cannot be written.
QString RunComposeJob(const QByteArray& json);

}  // namespace skin
