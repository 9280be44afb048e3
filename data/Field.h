#pragma once
// A field: one column of a data set, read and written through the data set's current
// record. Values follow the program's null rules: a null reads as empty text and as 0;
// a float reads as text in its shortest general form of at most 15 significant digits.
//
// Fields are owned by their data set and live while it is open (a table built from
// field definitions recreates them each time it opens).

#include <QString>
#include <QVariant>
#include <vector>

namespace data {

class DataSet;
struct ValueRef;

enum class FieldType { Text, Integer, Float };

// How grids place a field's text in its cells: numbers to the right.
enum class Alignment { Left, Right };

// A field as defined before the data set opens.
struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;           // maximum characters of a text field; 0: no limit
    bool required = false;  // a posted record must hold a value
    QString displayLabel;   // column title; empty: the name
    bool visible = true;    // shown as a grid column
};

// The field definitions of a data set, in field order. Names are unique without regard
// to case.
class FieldDefs {
public:
    // Throws DataError for an empty or duplicate name or a negative size.
    FieldDef& Add(const QString& name, FieldType type, int size = 0, bool required = false);
    void Clear() { defs_.clear(); }
    int Count() const { return static_cast<int>(defs_.size()); }
    const FieldDef& operator[](int index) const;  // throws DataError out of range
    FieldDef* Find(const QString& name);          // nullptr when absent
    const FieldDef* Find(const QString& name) const;

    std::vector<FieldDef>::const_iterator begin() const { return defs_.begin(); }
    std::vector<FieldDef>::const_iterator end() const { return defs_.end(); }

private:
    std::vector<FieldDef> defs_;
};

// value as a field of the type stores it: text as QString, whole number as int, float
// as double; null (or an empty text for a number) gives null. Throws DataError for text
// that is not a number of the type, a whole number out of the 32-bit range, a float that
// is not finite, or a value of another kind.
QVariant ConvertValue(FieldType type, const QVariant& value);

class Field {
public:
    Field(DataSet* dataSet, int index, const FieldDef& def);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    DataSet* dataSet() const { return dataSet_; }
    int index() const { return index_; }  // position in the data set's field list

    const QString& fieldName() const { return def_.name; }
    // Fields here are never parts of an object field, so the full name is the name.
    const QString& fullName() const { return def_.name; }
    FieldType type() const { return def_.type; }
    int size() const { return def_.size; }
    bool required() const { return def_.required; }
    void SetRequired(bool required) { def_.required = required; }

    // The label as set (empty unless set); the display name is the label, else the name.
    const QString& displayLabel() const { return def_.displayLabel; }
    QString displayName() const { return def_.displayLabel.isEmpty() ? def_.name : def_.displayLabel; }
    // Both tell the data set's links that the layout changed (grids retitle, re-column).
    void SetDisplayLabel(const QString& label);
    bool visible() const { return def_.visible; }
    void SetVisible(bool visible);

    // Characters a grid column makes room for: the size of a text field (at least 1),
    // 10 for a float and 11 for a whole number unless set.
    int displayWidth() const;
    void SetDisplayWidth(int width);
    Alignment alignment() const { return def_.type == FieldType::Text ? Alignment::Left : Alignment::Right; }

    // Reading: the current record (the edit buffer while editing or inserting; the key
    // buffer in key entry; the record a data link points at while it does). A closed or
    // empty data set reads as null.
    QVariant Value() const;  // null is a null QVariant
    bool IsNull() const;
    QString AsString() const;  // null: ""
    double AsFloat() const;    // null: 0; text that is not a number throws DataError
    int AsInteger() const;     // null: 0; floats round half to even; throws out of range
    // What a grid cell shows: the text form of the value.
    QString DisplayText() const { return AsString(); }
    // The same for a value of this field read elsewhere (another row through a link).
    QString DisplayText(const QVariant& value) const;
    // Appends the display text to out, as AsString would give it, without making it.
    void AppendDisplayText(QString& out) const;

    // Writing needs the data set in edit, insert or key entry state. Empty text written
    // to a number field makes it null. Throws DataError for a value the field cannot
    // hold (text that is not a number, text longer than the size, a number out of range).
    void SetValue(const QVariant& value);
    void SetAsString(const QString& text);
    void SetAsFloat(double value);
    void SetAsInteger(int value);
    void Clear() { SetValue(QVariant()); }

    // ConvertValue for this field's type, and text no longer than the field's size.
    QVariant Convert(const QVariant& value) const;
    // Throws DataError for text longer than the field's size.
    void CheckLength(const QString& text) const;

private:
    friend class DataLink;
    QString DisplayText(const ValueRef& value) const;

    DataSet* dataSet_;
    int index_;
    FieldDef def_;
    int displayWidth_ = 0;  // 0: the type's default
};

}  // namespace data
