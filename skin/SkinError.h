#pragma once
// The one failure type of the skin engine's readers and loaders: a malformed bitmap, a
// truncated container, a missing picture file. The message says what was wrong and,
// where there is one, which file.

#include <stdexcept>
#include <string>

#include <QString>

namespace skin {

class SkinError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    explicit SkinError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

}  // namespace skin
