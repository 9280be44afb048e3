#include "data/Field.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "data/DataSet.h"
#include "data/Error.h"
#include "db/Convert.h"

namespace data {

namespace {

[[noreturn]] void NotFloat(const QString& text) {
    throw DataError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}
[[noreturn]] void NotInteger(const QString& text) {
    throw DataError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

int WholeFromDouble(double v) {
    if (!std::isfinite(v)) NotInteger(db::FloatToText(v));
    const double r = db::RoundHalfEven(v);
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        NotInteger(db::FloatToText(v));
    return static_cast<int>(r);
}

}  // namespace

QVariant ConvertValue(FieldType type, const QVariant& value) {
    if (!value.isValid() || value.isNull()) return {};
    const int id = value.typeId();
    const bool isText = id == QMetaType::QString || id == QMetaType::QByteArray || id == QMetaType::QChar;
    const bool isFloat = id == QMetaType::Double || id == QMetaType::Float;
    const bool isWhole = id == QMetaType::Int || id == QMetaType::UInt || id == QMetaType::LongLong ||
                         id == QMetaType::ULongLong || id == QMetaType::Short || id == QMetaType::UShort ||
                         id == QMetaType::Long || id == QMetaType::ULong;
    if (!isText && !isFloat && !isWhole)
        throw DataError(QStringLiteral("A value of type %1 cannot be held by a field").arg(value.typeName()));

    switch (type) {
    case FieldType::Text:
        if (isFloat) return db::FloatToText(value.toDouble());
        return value.toString();
    case FieldType::Float: {
        if (isText) {
            const QString text = value.toString();
            if (text.isEmpty()) return {};
            const double v = db::StrToFloatDef(text, std::numeric_limits<double>::quiet_NaN());
            if (std::isnan(v)) NotFloat(text);
            return v;
        }
        const double v = value.toDouble();
        if (!std::isfinite(v)) NotFloat(db::FloatToText(v));
        return v;
    }
    case FieldType::Integer: {
        if (isText) {
            const QString text = value.toString();
            if (text.isEmpty()) return {};
            const auto v = db::StrToInt(text);
            if (!v) NotInteger(text);
            return *v;
        }
        if (isFloat) return WholeFromDouble(value.toDouble());
        if (id == QMetaType::ULongLong || id == QMetaType::ULong || id == QMetaType::UInt) {
            const qulonglong u = value.toULongLong();
            if (u > qulonglong(std::numeric_limits<int>::max())) NotInteger(value.toString());
            return static_cast<int>(u);
        }
        const qlonglong v = value.toLongLong();
        if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
            NotInteger(value.toString());
        return static_cast<int>(v);
    }
    }
    return {};
}

// --- FieldDefs -------------------------------------------------------------------

FieldDef& FieldDefs::Add(const QString& name, FieldType type, int size, bool required) {
    if (name.trimmed().isEmpty()) throw DataError(QStringLiteral("A field needs a name"));
    if (Find(name)) throw DataError(QStringLiteral("Duplicate field name '%1'").arg(name));
    if (size < 0) throw DataError(QStringLiteral("Invalid size %1 for field '%2'").arg(size).arg(name));
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = type == FieldType::Text ? size : 0;
    def.required = required;
    defs_.push_back(def);
    return defs_.back();
}

const FieldDef& FieldDefs::operator[](int index) const {
    if (index < 0 || index >= Count()) throw DataError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return defs_[static_cast<size_t>(index)];
}

FieldDef* FieldDefs::Find(const QString& name) {
    for (FieldDef& d : defs_)
        if (d.name.compare(name, Qt::CaseInsensitive) == 0) return &d;
    return nullptr;
}

const FieldDef* FieldDefs::Find(const QString& name) const {
    return const_cast<FieldDefs*>(this)->Find(name);
}

// --- Field -----------------------------------------------------------------------

Field::Field(DataSet* dataSet, int index, const FieldDef& def) : dataSet_(dataSet), index_(index), def_(def) {
    if (def_.type != FieldType::Text) def_.size = 0;
}

void Field::SetDisplayLabel(const QString& label) {
    if (label == def_.displayLabel) return;
    def_.displayLabel = label;
    if (dataSet_->Active()) dataSet_->Notify(DataEvent::LayoutChanged);
}

void Field::SetVisible(bool visible) {
    if (visible == def_.visible) return;
    def_.visible = visible;
    if (dataSet_->Active()) dataSet_->Notify(DataEvent::LayoutChanged);
}

int Field::displayWidth() const {
    if (displayWidth_ > 0) return displayWidth_;
    switch (def_.type) {
    case FieldType::Text: return def_.size > 0 ? def_.size : 1;
    case FieldType::Float: return 10;
    case FieldType::Integer: return 11;
    }
    return 10;
}

void Field::SetDisplayWidth(int width) {
    if (width == displayWidth_) return;
    displayWidth_ = width < 0 ? 0 : width;
    if (dataSet_->Active()) dataSet_->Notify(DataEvent::LayoutChanged);
}

QVariant Field::Value() const {
    const ValueRef v = dataSet_->ReadValue(index_);
    if (v.null) return {};
    switch (def_.type) {
    case FieldType::Text: return v.text ? *v.text : QString();
    case FieldType::Integer: return static_cast<int>(v.number);
    case FieldType::Float: return v.number;
    }
    return {};
}

bool Field::IsNull() const { return dataSet_->ReadValue(index_).null; }

QString Field::AsString() const { return DisplayText(dataSet_->ReadValue(index_)); }

QString Field::DisplayText(const ValueRef& v) const {
    if (v.null) return {};
    switch (def_.type) {
    case FieldType::Text: return v.text ? *v.text : QString();
    case FieldType::Float: return db::FloatToText(v.number);
    case FieldType::Integer: return QString::number(static_cast<int>(v.number));
    }
    return {};
}

QString Field::DisplayText(const QVariant& v) const {
    if (!v.isValid()) return {};
    switch (def_.type) {
    case FieldType::Text:
        // A text field holds text (Convert sees to it): a copy of it, not a conversion.
        if (v.typeId() == QMetaType::QString) return *static_cast<const QString*>(v.constData());
        return v.toString();
    case FieldType::Float: return db::FloatToText(v.toDouble());
    case FieldType::Integer: return QString::number(v.toInt());
    }
    return {};
}

void Field::AppendDisplayText(QString& out) const {
    const ValueRef v = dataSet_->ReadValue(index_);
    if (v.null) return;
    if (def_.type == FieldType::Text) {
        if (v.text) out += *v.text;
        return;
    }
    char buf[db::kFloatTextMax];
    const int n = def_.type == FieldType::Float
                      ? db::FloatToChars(v.number, buf)
                      : static_cast<int>(std::to_chars(buf, buf + sizeof buf, static_cast<int>(v.number)).ptr - buf);
    out += QLatin1StringView(buf, n);
}

double Field::AsFloat() const {
    const ValueRef v = dataSet_->ReadValue(index_);
    if (v.null) return 0;
    if (def_.type == FieldType::Text) {
        const QVariant f = ConvertValue(FieldType::Float, v.text ? *v.text : QString());
        return f.isValid() ? f.toDouble() : 0;
    }
    return v.number;
}

int Field::AsInteger() const {
    const ValueRef v = dataSet_->ReadValue(index_);
    if (v.null) return 0;
    switch (def_.type) {
    case FieldType::Integer: return static_cast<int>(v.number);
    case FieldType::Float: return WholeFromDouble(v.number);
    case FieldType::Text: {
        const QVariant i = ConvertValue(FieldType::Integer, v.text ? *v.text : QString());
        return i.isValid() ? i.toInt() : 0;
    }
    }
    return 0;
}

void Field::CheckLength(const QString& text) const {
    if (def_.size > 0 && text.size() > def_.size)
        throw DataError(QStringLiteral("Value too long for field '%1' (at most %2 characters)")
                            .arg(def_.name)
                            .arg(def_.size));
}

QVariant Field::Convert(const QVariant& value) const {
    // Text for a text field, most of what a list is filled with, is checked where it lies.
    if (def_.type == FieldType::Text && value.typeId() == QMetaType::QString) {
        CheckLength(*static_cast<const QString*>(value.constData()));
        return value;
    }
    QVariant v = ConvertValue(def_.type, value);
    if (def_.type == FieldType::Text && v.isValid()) CheckLength(v.toString());
    return v;
}

void Field::SetValue(const QVariant& value) { dataSet_->WriteValue(this, Convert(value)); }
void Field::SetAsString(const QString& text) { SetValue(text); }
void Field::SetAsFloat(double value) { SetValue(value); }
void Field::SetAsInteger(int value) { SetValue(value); }

}  // namespace data
