#pragma once
// A product or order code's hash for the maps a command fills with thousands of codes.
// Qt's string hash is seeded per process (SipHash), which costs more than the rest of a
// lookup; the codes come from the program's own database, not from an adversary.

#include <QString>
#include <cstddef>
#include <functional>
#include <string_view>

namespace mrp {

struct CodeHash {
    size_t operator()(const QString& code) const noexcept {
        return std::hash<std::u16string_view>()(
            std::u16string_view(reinterpret_cast<const char16_t*>(code.constData()), size_t(code.size())));
    }
};

}  // namespace mrp
