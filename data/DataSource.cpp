#include "data/DataSource.h"

#include <algorithm>

namespace data {

// --- DataSource ----------------------------------------------------------------------

DataSource::DataSource(DataSet* dataSet) { SetDataSet(dataSet); }

DataSource::~DataSource() {
    if (dataSet_) {
        auto& s = dataSet_->sources_;
        s.erase(std::remove(s.begin(), s.end(), this), s.end());
        dataSet_ = nullptr;
    }
    // Each link hears that it is inactive, then forgets this source.
    while (!links_.empty()) links_.front()->SetDataSource(nullptr);
}

void DataSource::SetDataSet(DataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_) {
        auto& s = dataSet_->sources_;
        s.erase(std::remove(s.begin(), s.end(), this), s.end());
        dataSet_ = nullptr;
        UpdateLinkStates();
    }
    // A link may have pointed this source elsewhere while it was told.
    if (dataSet_) return;
    dataSet_ = dataSet;
    if (dataSet_) {
        dataSet_->sources_.push_back(this);
        UpdateLinkStates();
    }
}

void DataSource::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateLinkStates();
}

DataSetState DataSource::State() const {
    if (!dataSet_ || !enabled_) return DataSetState::Inactive;
    return dataSet_->State();
}

bool DataSource::HasLink(const DataLink* link) const {
    return std::find(links_.begin(), links_.end(), link) != links_.end();
}

void DataSource::UpdateLinkStates() {
    const auto links = links_;
    for (DataLink* l : links)
        if (HasLink(l)) l->UpdateState();
}

void DataSource::Dispatch(DataEvent event, Field* field) {
    if (!enabled_) return;
    const auto links = links_;
    for (DataLink* l : links)
        if (HasLink(l)) l->HandleEvent(event, field);
}

void DataSource::Resume(bool layout) {
    if (!enabled_) return;
    const auto links = links_;
    for (DataLink* l : links)
        if (HasLink(l)) l->Resume(layout);
}

// --- DataLink ------------------------------------------------------------------------

DataLink::~DataLink() {
    if (source_) {
        auto& l = source_->links_;
        l.erase(std::remove(l.begin(), l.end(), this), l.end());
    }
}

void DataLink::SetDataSource(DataSource* source) {
    if (source == source_) return;
    if (source_) {
        auto& l = source_->links_;
        l.erase(std::remove(l.begin(), l.end(), this), l.end());
        source_ = nullptr;
        UpdateState();
    }
    if (source_) return;  // re-pointed while told
    source_ = source;
    if (source_) {
        source_->links_.push_back(this);
        UpdateState();
    }
}

void DataLink::UpdateState() {
    const DataSetState state = source_ ? source_->State() : DataSetState::Inactive;
    const bool active = state != DataSetState::Inactive;
    if (active != active_) {
        active_ = active;
        first_ = 0;
        UpdateRange();
        ActiveChanged();
    }
    const bool editing = active_ && IsEditState(state);
    if (editing != editing_) {
        editing_ = editing;
        EditingChanged();
    }
}

void DataLink::HandleEvent(DataEvent event, Field* field) {
    if (event == DataEvent::StateChanged) {
        UpdateState();
        return;
    }
    if (!active_) return;
    switch (event) {
    case DataEvent::RecordChanged: RecordChanged(field); break;
    case DataEvent::DataSetChanged:
        UpdateRange();
        DataSetChanged();
        break;
    case DataEvent::Scrolled: DataSetScrolled(UpdateRange()); break;
    case DataEvent::LayoutChanged:
        UpdateRange();
        LayoutChanged();
        break;
    case DataEvent::UpdateData: UpdateData(); break;
    case DataEvent::StateChanged: break;
    }
}

void DataLink::Resume(bool layout) {
    const bool wasActive = active_;
    UpdateState();
    if (!active_ || !wasActive) return;
    UpdateRange();
    if (layout)
        LayoutChanged();
    else
        DataSetChanged();
}

void DataLink::SetBufferCount(int count) {
    bufferCount_ = std::max(1, count);
    UpdateRange();
}

int DataLink::UpdateRange() {
    const DataSet* ds = active_ ? dataSet() : nullptr;
    if (!ds) {
        first_ = 0;
        return 0;
    }
    const int old = first_;
    const int n = ds->ViewCount();
    const int cur = ds->CurrentView();
    int first = first_;
    if (cur < first) first = cur;
    if (cur >= first + bufferCount_) first = cur - bufferCount_ + 1;
    first = std::max(0, std::min(first, n - bufferCount_));
    first_ = first;
    return first_ - old;
}

int DataLink::RecordCount() const {
    const DataSet* ds = active_ ? dataSet() : nullptr;
    if (!ds) return 0;
    return std::clamp(ds->ViewCount() - first_, 0, bufferCount_);
}

int DataLink::ActiveRecord() const {
    const DataSet* ds = active_ ? dataSet() : nullptr;
    if (!ds) return 0;
    return (ds->readRow_ >= 0 ? ds->readRow_ : ds->CurrentView()) - first_;
}

void DataLink::SetActiveRecord(int slot) {
    DataSet* ds = active_ ? dataSet() : nullptr;
    if (!ds) return;
    if (slot < 0 || slot >= RecordCount())
        throw DataError(QStringLiteral("Record %1 is outside the link's %2 buffered records").arg(slot).arg(RecordCount()));
    const int row = first_ + slot;
    ds->readRow_ = row == ds->CurrentView() ? -1 : row;
}

namespace {

QVariant VariantOf(const ValueRef& v, FieldType type) {
    if (v.null) return {};
    switch (type) {
    case FieldType::Text: return v.text ? *v.text : QString();
    case FieldType::Integer: return static_cast<int>(v.number);
    case FieldType::Float: return v.number;
    }
    return {};
}

}  // namespace

QVariant DataLink::FieldValue(int slot, const Field& field) const {
    const DataSet* ds = active_ ? dataSet() : nullptr;
    if (!ds || field.dataSet() != ds || slot < 0 || slot >= RecordCount()) return {};
    return VariantOf(ds->ReadRowValue(first_ + slot, field.index()), field.type());
}

QString DataLink::DisplayText(int slot, const Field& field) const {
    const DataSet* ds = active_ ? dataSet() : nullptr;
    if (!ds || field.dataSet() != ds || slot < 0 || slot >= RecordCount()) return {};
    return field.DisplayText(ds->ReadRowValue(first_ + slot, field.index()));
}

QVariant DataLink::RowValue(int row, const Field& field) const {
    const DataSet* ds = active_ ? dataSet() : nullptr;
    if (!ds || field.dataSet() != ds || row < 0 || row >= ds->RecordCount()) return {};
    return VariantOf(ds->ReadRowValue(row, field.index()), field.type());
}

QString DataLink::RowDisplayText(int row, const Field& field) const {
    const DataSet* ds = active_ ? dataSet() : nullptr;
    if (!ds || field.dataSet() != ds || row < 0 || row >= ds->RecordCount()) return {};
    return field.DisplayText(ds->ReadRowValue(row, field.index()));
}

}  // namespace data
