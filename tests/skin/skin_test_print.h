#pragma once
// Readable failure messages for the Qt and skin value types used in the skin tests.

#include <QPoint>
#include <QString>

#include <optional>
#include <ostream>

#include "skin/SkinValues.h"

inline std::ostream& operator<<(std::ostream& os, const QString& s) { return os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QString& s, std::ostream* os) { *os << s; }
inline void PrintTo(const QPoint& p, std::ostream* os) { *os << "(" << p.x() << "," << p.y() << ")"; }

namespace skin {
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "[" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "]";
}
}  // namespace skin
