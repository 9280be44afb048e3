#pragma once
// Failures of the database layer. Every operation that talks to Firebird throws DbError
// with the server's own message; callers that need to tell a lock conflict from other
// failures (the day's counter retries them) ask isLockConflict().

#include <stdexcept>
#include <string>

namespace db {

class DbError : public std::runtime_error {
public:
    explicit DbError(const std::string& message, long sqlCode = 0, long gdsCode = 0)
        : std::runtime_error(message), sqlCode_(sqlCode), gdsCode_(gdsCode) {}

    long sqlCode() const { return sqlCode_; }
    long gdsCode() const { return gdsCode_; }
    // An update conflict, deadlock or lock time-out: another client held the row.
    bool isLockConflict() const;

private:
    long sqlCode_;
    long gdsCode_;
};

}  // namespace db
