#pragma once
// Readable failure messages for the geometry types of the control tests.

#include <QMargins>
#include <QRect>
#include <QSize>

#include "skin/skin_test_print.h"

inline void PrintTo(const QSize& s, std::ostream* os) { *os << s.width() << "x" << s.height(); }
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "(" << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << ")";
}
inline void PrintTo(const QMargins& m, std::ostream* os) {
    *os << "margins(" << m.left() << "," << m.top() << "," << m.right() << "," << m.bottom() << ")";
}
