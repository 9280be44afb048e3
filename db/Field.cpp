// A column of the current result, read with the program's null rules.

#include <cmath>
#include <cstdint>
#include <string>

#include "db/Connection.h"
#include "db/Convert.h"

namespace db {

bool Field::IsNull() const { return !value_ || value_->isNull(); }

QString Field::AsString() const {
    if (IsNull()) return {};
    if (type_ == FieldType::Float) return FloatToText(value_->toDouble());
    return value_->toString();
}

int Field::AsInteger() const {
    if (IsNull()) return 0;
    switch (type_) {
    case FieldType::Integer: {
        const qint64 v = value_->toLongLong();
        if (v < INT32_MIN || v > INT32_MAX)
            throw DbError("value " + std::to_string(v) + " of field " + name_.toStdString() + " is out of range");
        return static_cast<int>(v);
    }
    case FieldType::Float: {
        const double r = RoundHalfEven(value_->toDouble());
        if (!(r >= INT32_MIN && r <= INT32_MAX))
            throw DbError("value " + FloatToText(value_->toDouble()).toStdString() + " of field " +
                          name_.toStdString() + " is out of range");
        return static_cast<int>(r);
    }
    default: {
        const auto v = StrToInt(value_->toString());
        if (!v)
            throw DbError("'" + value_->toString().toStdString() + "' is not a valid integer value");
        return *v;
    }
    }
}

double Field::AsFloat() const {
    if (IsNull()) return 0;
    if (type_ == FieldType::Integer || type_ == FieldType::Float) return value_->toDouble();
    const double nan = std::nan("");
    const double v = StrToFloatDef(value_->toString(), nan);
    if (std::isnan(v))
        throw DbError("'" + value_->toString().toStdString() + "' is not a valid floating point value");
    return v;
}

QVariant Field::AsVariant() const { return IsNull() ? QVariant() : *value_; }

}  // namespace db
