#pragma once
// Failures of the database layer. Every operation that talks to Firebird throws DbError
// with the server's own message; callers that need to tell a lock conflict from other
// failures (the day's counter retries them) ask isLockConflict().

#include <stdexcept>
#include <string>
#include <vector>

namespace db {

class DbError : public std::runtime_error {
public:
    explicit DbError(const std::string& message, long sqlCode = 0, std::vector<long> gdsCodes = {})
        : std::runtime_error(message), sqlCode_(sqlCode), gdsCodes_(std::move(gdsCodes)) {}

    long sqlCode() const { return sqlCode_; }
    // Every error code of the server's status, the main one first.
    const std::vector<long>& gdsCodes() const { return gdsCodes_; }
    bool hasCode(long gdsCode) const;
    // An update conflict, deadlock or lock time-out: another client held the row.
    bool isLockConflict() const;
    // A unique or primary key already holds the value.
    bool isUniqueViolation() const;
    // A statement that gives one row (a singleton select, UPDATE ... RETURNING) met
    // several.
    bool isMultipleRows() const;
    // The statement was cancelled (see db/Interrupt.h).
    bool isCancelled() const;

private:
    long sqlCode_;
    std::vector<long> gdsCodes_;
};

}  // namespace db
