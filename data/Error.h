#pragma once
// Failures of the data-set framework: an operation the data set's state does not allow,
// a missing field, a value a field cannot hold. The message names the data set or the
// field and is meant to be shown to the clerk as it stands.

#include <QString>
#include <stdexcept>

namespace data {

class DataError : public std::runtime_error {
public:
    explicit DataError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

}  // namespace data
