#pragma once
// Data sources and data links: how controls follow a data set. A data source points at
// one data set (or none) and carries its events to the data links attached to it; a
// grid or a navigation button owns a link and overrides the notifications it needs.
//
// References are cleared when their target goes: destroying a data set leaves its
// sources without a data set (their links become inactive), destroying a source leaves
// its links without a source, and a link detaches itself when destroyed.

#include <vector>

#include "data/DataSet.h"

namespace data {

class DataLink;

class DataSource {
public:
    explicit DataSource(DataSet* dataSet = nullptr);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    DataSet* dataSet() const { return dataSet_; }
    // Pointing the source at another data set makes its links inactive and then, when
    // the new set is open, active again: each hears two active-changed notifications.
    void SetDataSet(DataSet* dataSet);

    // A disabled source shows its links an inactive data set.
    bool enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The data set's state; Inactive without a data set or while disabled.
    DataSetState State() const;

    int LinkCount() const { return static_cast<int>(links_.size()); }

private:
    friend class DataSet;
    friend class DataLink;

    void Dispatch(DataEvent event, Field* field);
    void Resume(bool layout);
    void UpdateLinkStates();
    bool HasLink(const DataLink* link) const;

    DataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    std::vector<DataLink*> links_;
};

// A control's view of a data source. Besides the notifications it keeps a window of
// rows, bufferCount() rows long, that holds the current row, as a grid's visible rows
// do: the window moves as little as it must to keep the current row inside and is kept
// full where there are rows enough.
class DataLink {
public:
    DataLink() = default;
    virtual ~DataLink();
    DataLink(const DataLink&) = delete;
    DataLink& operator=(const DataLink&) = delete;

    DataSource* dataSource() const { return source_; }
    // Attaching tells the link whether it is active (ActiveChanged when that changes).
    void SetDataSource(DataSource* source);
    DataSet* dataSet() const { return source_ ? source_->dataSet() : nullptr; }

    // Active: a source whose state is not Inactive. Editing: active and the state is
    // edit, insert or key entry. Both as last notified.
    bool Active() const { return active_; }
    bool Editing() const { return editing_; }

    // The window: bufferCount() >= 1 rows (values below 1 count as 1).
    int bufferCount() const { return bufferCount_; }
    void SetBufferCount(int count);
    // Rows in the window (0 when inactive), and the current row's place in it.
    int RecordCount() const;
    // While SetActiveRecord points the fields elsewhere, the row they read.
    int ActiveRecord() const;
    // Points the data set's fields at the row in window slot i, so a grid can read each
    // visible row's display text; pointing back at the current row's slot, or any
    // event of the data set, restores them. Throws DataError outside the window.
    void SetActiveRecord(int slot);
    // The row number (from 0) of window slot 0.
    int FirstRecord() const { return first_; }
    // The value field (of this link's data set) holds in the row in window slot i, read
    // without pointing the fields there: the current row and what the fields read stay
    // as they are. Null when inactive, for another data set's field or outside the window.
    QVariant FieldValue(int slot, const Field& field) const;
    // The value field holds in the data set's row (from 0), read the same way: for a
    // control that measures every row, not only the window's. Null when inactive, for
    // another data set's field or outside the rows held.
    QVariant RowValue(int row, const Field& field) const;
    // Its display text, read where it lies.
    QString RowDisplayText(int row, const Field& field) const;
    // The display text of that value, read where it lies ("" where FieldValue is null).
    QString DisplayText(int slot, const Field& field) const;

protected:
    // Notifications. Scrolling and layout changes reach DataSetChanged unless
    // overridden, so a link that overrides only DataSetChanged hears every move.
    virtual void ActiveChanged() {}
    virtual void EditingChanged() {}
    virtual void DataSetChanged() {}
    // The window moved by distance rows (positive: towards the end; 0: the current
    // row moved within it, or Next / Prior found no row and set a flag).
    virtual void DataSetScrolled(int distance) {
        (void)distance;
        DataSetChanged();
    }
    virtual void LayoutChanged() { DataSetChanged(); }
    // field: the field that took a value; nullptr: the whole record (Edit began).
    virtual void RecordChanged(Field* field) { (void)field; }
    // Before a post: write what the control holds into the fields.
    virtual void UpdateData() {}

private:
    friend class DataSource;

    void HandleEvent(DataEvent event, Field* field);
    void Resume(bool layout);
    void UpdateState();
    int UpdateRange();  // returns how far the window moved

    DataSource* source_ = nullptr;
    bool active_ = false;
    bool editing_ = false;
    int bufferCount_ = 1;
    int first_ = 0;
};

}  // namespace data
