#pragma once
// The rows of a data set as they lie in memory: one block of fixed-size rows, a number
// (float or whole) as an 8-byte double, a text as a 4-byte reference into the set's
// table of texts, where each distinct text is held once. A list of 64,000 materials
// naming 240 products holds 240 product names, not 64,000; no cell is a value object of
// its own, and emptying the rows keeps their memory for the next fill.
//
// A null number is a NaN (a field never holds a number that is not finite); a null text
// is a reference to no text. Whole numbers are within 32 bits, which a double holds
// exactly.

#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "data/Field.h"

namespace data {

// Bytes grown with realloc, which hands a large block more pages where it lies rather
// than copying it into a new one: a list that grows level by level keeps one block.
class ByteBlock {
public:
    ByteBlock() = default;
    ByteBlock(ByteBlock&& other) noexcept;
    ByteBlock& operator=(ByteBlock&& other) noexcept;
    ByteBlock(const ByteBlock&) = delete;
    ByteBlock& operator=(const ByteBlock&) = delete;
    ~ByteBlock();

    unsigned char* data() { return data_; }
    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }
    void reserve(size_t bytes);  // throws std::bad_alloc
    // New bytes are not set: the caller writes them.
    void resize(size_t bytes);
    void clear() { size_ = 0; }
    void insert(size_t at, size_t bytes);
    void erase(size_t at, size_t bytes);

private:
    unsigned char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

class RowStore {
public:
    // Columns of these types; drops every row and text.
    void SetColumns(const std::vector<FieldType>& types);
    int ColumnCount() const { return static_cast<int>(textColumn_.size()); }
    size_t Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    // Room for rows in all, so that a fill of a known number of rows allocates once.
    void Reserve(size_t rows);
    // Drops every row and text; the memory stays for the next fill.
    void Clear();
    // Drops the rows from count on (texts stay).
    void Truncate(size_t count);

    // --- Reading (row and column in range) -----------------------------------------
    bool IsNull(size_t row, int column) const;
    // A text column's text (empty for null), valid until the store next changes.
    const QString& Text(size_t row, int column) const;
    // A number column's value (NaN for null).
    double Number(size_t row, int column) const;
    // The cell as a field holds it: QString, int for a whole number, double, or null.
    QVariant Value(size_t row, int column, FieldType type) const;
    std::vector<QVariant> Record(size_t row, const std::vector<FieldType>& types) const;

    // --- Writing -----------------------------------------------------------------------
    // Values as the fields convert them: QString for a text column, a number for a number
    // column, or null.
    void Append(const std::vector<QVariant>& record);
    void Insert(size_t at, const std::vector<QVariant>& record);
    void Assign(size_t row, const std::vector<QVariant>& record);
    void Erase(size_t row);
    // A row of nulls at the end; returns its number.
    size_t AppendNullRow();
    void SetText(size_t row, int column, const QString& text);
    void SetNumber(size_t row, int column, double value);  // NaN: null
    void SetNull(size_t row, int column);
    void SetVariant(size_t row, int column, const QVariant& value);

    // Texts by their number in the table, for a fill that names the same texts again
    // and again: Intern gives a text's number (adding it once), SetTextId puts it in a
    // cell, TextId reads a cell's (kNoText for null).
    static constexpr uint32_t kNoText = 0xFFFFFFFFu;
    uint32_t Intern(const QString& text);
    const QString& TextById(uint32_t id) const;
    void SetTextId(size_t row, int column, uint32_t id);
    uint32_t TextId(size_t row, int column) const;
    // Copies row from over row to (the rows between are the caller's to close up).
    void CopyRow(size_t from, size_t to);
    bool IsTextColumn(int column) const { return textColumn_[size_t(column)]; }

    // Bytes of one row (texts apart).
    size_t RowBytes() const { return stride_; }

private:
    struct TextHash {
        size_t operator()(const QString& text) const noexcept;
    };

    unsigned char* Cell(size_t row, int column) { return bytes_.data() + row * stride_ + offset_[size_t(column)]; }
    const unsigned char* Cell(size_t row, int column) const {
        return bytes_.data() + row * stride_ + offset_[size_t(column)];
    }
    void Write(size_t row, const std::vector<QVariant>& record);

    std::vector<bool> textColumn_;
    std::vector<size_t> offset_;
    size_t stride_ = 0;
    size_t count_ = 0;
    ByteBlock bytes_;
    std::vector<QString> texts_;
    std::unordered_map<QString, uint32_t, TextHash> ids_;
    // The text last interned for a string's data pointer: the copies of one string that a
    // fill hands over again and again are found without hashing their characters.
    std::array<uint32_t, 64> recent_{};
};

}  // namespace data
