#pragma once
// Product and order codes as keys. The hash is for the maps a command fills with
// thousands of codes: Qt's string hash is seeded per process (SipHash), which costs more
// than the rest of a lookup; the codes come from the program's own database, not from an
// adversary.

#include <QString>
#include <cstddef>
#include <functional>
#include <string_view>

namespace mrp {

// A code as the database compares it: trailing blanks do not count ("M001" and "M001  "
// name one product, as a join or a lookup by the code finds), leading ones do. What keys
// rows by a code read from the database keys them by this, so that it agrees with the
// database.
inline QString CodeKey(const QString& code) {
    qsizetype end = code.size();
    while (end > 0 && code[end - 1] == QLatin1Char(' ')) --end;
    return code.left(end);
}

struct CodeHash {
    size_t operator()(const QString& code) const noexcept {
        return std::hash<std::u16string_view>()(
            std::u16string_view(reinterpret_cast<const char16_t*>(code.constData()), size_t(code.size())));
    }
};

}  // namespace mrp
