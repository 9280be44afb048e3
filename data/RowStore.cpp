#include "data/RowStore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <string_view>
#include <utility>

namespace data {

namespace {

const QString kEmpty;
constexpr double kNullNumber = std::numeric_limits<double>::quiet_NaN();

}  // namespace

ByteBlock::ByteBlock(ByteBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

ByteBlock& ByteBlock::operator=(ByteBlock&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

ByteBlock::~ByteBlock() { std::free(data_); }

void ByteBlock::reserve(size_t bytes) {
    if (bytes <= capacity_) return;
    void* grown = std::realloc(data_, bytes);
    if (!grown) throw std::bad_alloc();
    data_ = static_cast<unsigned char*>(grown);
    capacity_ = bytes;
}

void ByteBlock::resize(size_t bytes) {
    if (bytes > capacity_) reserve(std::max(bytes, capacity_ + capacity_ / 2));
    size_ = bytes;
}

void ByteBlock::insert(size_t at, size_t bytes) {
    const size_t old = size_;
    resize(size_ + bytes);
    std::memmove(data_ + at + bytes, data_ + at, old - at);
}

void ByteBlock::erase(size_t at, size_t bytes) {
    std::memmove(data_ + at, data_ + at + bytes, size_ - at - bytes);
    size_ -= bytes;
}

size_t RowStore::TextHash::operator()(const QString& text) const noexcept {
    // The texts come from the program's own database and its own lists.
    return std::hash<std::u16string_view>()(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.constData()), size_t(text.size())));
}

void RowStore::SetColumns(const std::vector<FieldType>& types) {
    textColumn_.clear();
    offset_.clear();
    // Numbers first, 8-byte aligned, then the 4-byte text references.
    size_t at = 0;
    offset_.resize(types.size());
    for (size_t i = 0; i < types.size(); ++i) {
        textColumn_.push_back(types[i] == FieldType::Text);
        if (!textColumn_[i]) {
            offset_[i] = at;
            at += sizeof(double);
        }
    }
    for (size_t i = 0; i < types.size(); ++i) {
        if (textColumn_[i]) {
            offset_[i] = at;
            at += sizeof(uint32_t);
        }
    }
    stride_ = (at + 7) / 8 * 8;
    count_ = 0;
    bytes_.clear();
    texts_.clear();
    ids_.clear();
    recent_.fill(kNoText);
}

void RowStore::Reserve(size_t rows) { bytes_.reserve(rows * stride_); }

void RowStore::Clear() {
    count_ = 0;
    bytes_.clear();
    texts_.clear();
    ids_.clear();
    recent_.fill(kNoText);
}

void RowStore::Truncate(size_t count) {
    if (count >= count_) return;
    count_ = count;
    bytes_.resize(count * stride_);
}

uint32_t RowStore::TextId(size_t row, int column) const {
    uint32_t id;
    std::memcpy(&id, Cell(row, column), sizeof id);
    return id;
}

const QString& RowStore::TextById(uint32_t id) const { return id == kNoText ? kEmpty : texts_[id]; }

void RowStore::SetTextId(size_t row, int column, uint32_t id) { std::memcpy(Cell(row, column), &id, sizeof id); }

void RowStore::CopyRow(size_t from, size_t to) {
    if (from != to) std::memcpy(bytes_.data() + to * stride_, bytes_.data() + from * stride_, stride_);
}

bool RowStore::IsNull(size_t row, int column) const {
    if (textColumn_[size_t(column)]) return TextId(row, column) == kNoText;
    return std::isnan(Number(row, column));
}

const QString& RowStore::Text(size_t row, int column) const {
    const uint32_t id = TextId(row, column);
    return id == kNoText ? kEmpty : texts_[id];
}

double RowStore::Number(size_t row, int column) const {
    double v;
    std::memcpy(&v, Cell(row, column), sizeof v);
    return v;
}

QVariant RowStore::Value(size_t row, int column, FieldType type) const {
    if (IsNull(row, column)) return {};
    switch (type) {
    case FieldType::Text: return Text(row, column);
    case FieldType::Integer: return static_cast<int>(Number(row, column));
    case FieldType::Float: return Number(row, column);
    }
    return {};
}

std::vector<QVariant> RowStore::Record(size_t row, const std::vector<FieldType>& types) const {
    std::vector<QVariant> record(types.size());
    for (size_t c = 0; c < types.size(); ++c) record[c] = Value(row, int(c), types[c]);
    return record;
}

uint32_t RowStore::Intern(const QString& text) {
    const size_t slot = (reinterpret_cast<uintptr_t>(text.constData()) >> 4) % recent_.size();
    const uint32_t seen = recent_[slot];
    // The table holds a copy of the text it found here, sharing its characters: the same
    // pointer is the same text.
    if (seen != kNoText && texts_[seen].constData() == text.constData() && texts_[seen].size() == text.size())
        return seen;
    const auto [it, added] = ids_.try_emplace(text, static_cast<uint32_t>(texts_.size()));
    if (added) texts_.push_back(text);
    recent_[slot] = it->second;
    return it->second;
}

void RowStore::SetText(size_t row, int column, const QString& text) {
    const uint32_t id = Intern(text);
    std::memcpy(Cell(row, column), &id, sizeof id);
}

void RowStore::SetNumber(size_t row, int column, double value) { std::memcpy(Cell(row, column), &value, sizeof value); }

void RowStore::SetNull(size_t row, int column) {
    if (textColumn_[size_t(column)]) {
        const uint32_t none = kNoText;
        std::memcpy(Cell(row, column), &none, sizeof none);
    } else {
        SetNumber(row, column, kNullNumber);
    }
}

void RowStore::SetVariant(size_t row, int column, const QVariant& value) {
    if (!value.isValid()) {
        SetNull(row, column);
    } else if (textColumn_[size_t(column)]) {
        if (value.typeId() == QMetaType::QString)
            SetText(row, column, *static_cast<const QString*>(value.constData()));
        else
            SetText(row, column, value.toString());
    } else {
        SetNumber(row, column, value.toDouble());
    }
}

size_t RowStore::AppendNullRow() {
    bytes_.resize(bytes_.size() + stride_);
    const size_t row = count_++;
    for (int c = 0; c < ColumnCount(); ++c) SetNull(row, c);
    return row;
}

void RowStore::Write(size_t row, const std::vector<QVariant>& record) {
    for (int c = 0; c < ColumnCount(); ++c)
        SetVariant(row, c, size_t(c) < record.size() ? record[size_t(c)] : QVariant());
}

void RowStore::Append(const std::vector<QVariant>& record) { Write(AppendNullRow(), record); }

void RowStore::Insert(size_t at, const std::vector<QVariant>& record) {
    if (at >= count_) {
        Append(record);
        return;
    }
    bytes_.insert(at * stride_, stride_);
    ++count_;
    Write(at, record);
}

void RowStore::Assign(size_t row, const std::vector<QVariant>& record) { Write(row, record); }

void RowStore::Erase(size_t row) {
    bytes_.erase(row * stride_, stride_);
    --count_;
}

}  // namespace data
