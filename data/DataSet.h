#pragma once
// A data set: rows held in memory, fields over its current record, navigation with
// beginning and end flags, and editing through one record buffer (edit, insert) that
// Post writes back and Cancel drops. The two tables of the program derive from it:
// MemTable (built from field definitions) and QueryTable (fed by a query).
//
// Data sources attach to a data set and pass its events on to their data links
// (DataSource.h): grids and navigation buttons follow the set that way.
//
// Not thread-safe; one thread uses a data set, its fields, sources and links.

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

#include "data/Error.h"
#include "data/Field.h"
#include "data/RowStore.h"

namespace data {

class DataSource;
class DataLink;
class DataSet;

// A value read where it lies, in the rows or in the edit or key buffer, without a copy:
// valid until the set next changes.
struct ValueRef {
    bool null = true;
    const QString* text = nullptr;  // a text field's text (never null for a text field's value)
    double number = 0;              // a number field's value
};

// How AppendRows(count, fill) hands a row to fill: each field written by its index, a
// field not written stays null. Values are converted and checked as Field::SetValue
// converts and checks them.
class RowWriter {
public:
    void SetText(int fieldIndex, const QString& text);
    void SetFloat(int fieldIndex, double value);
    void SetValue(int fieldIndex, const QVariant& value);
    void SetNull(int fieldIndex);

private:
    friend class DataSet;
    RowWriter(DataSet& set, size_t row) : set_(set), row_(row) {}
    Field* FieldAt(int fieldIndex) const;
    DataSet& set_;
    size_t row_;
};

// SetKey is key entry: fields write a search key that GotoKey looks for.
enum class DataSetState { Inactive, Browse, Edit, Insert, SetKey };

// True in the states in which fields take values (a navigation button's "editing").
inline bool IsEditState(DataSetState s) {
    return s == DataSetState::Edit || s == DataSetState::Insert || s == DataSetState::SetKey;
}

// What a data set tells its sources (and they their links).
enum class DataEvent {
    StateChanged,    // opened, closed, or entered / left edit, insert or key entry
    DataSetChanged,  // rows changed or the current row jumped
    Scrolled,        // the current row moved by MoveBy (Next, Prior)
    RecordChanged,   // a field of the current record took a value (field given)
    LayoutChanged,   // fields changed: label, visibility
    UpdateData,      // about to post: controls write their pending edits
};

class DataSet {
public:
    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    // The name error messages begin with (a component name such as "ACDS").
    const QString& name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }

    // --- Opening and state -------------------------------------------------------
    // Open builds the fields and rows (see the derived class); the current row is the
    // first. An error leaves the set closed. Close drops the rows, the fields and any
    // unposted edit.
    void Open();
    void Close();
    bool Active() const { return state_ != DataSetState::Inactive; }
    void SetActive(bool active) { active ? Open() : Close(); }
    DataSetState State() const { return state_; }
    // Open and not read-only.
    bool CanModify() const { return Active() && !readOnly_; }
    bool readOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // --- Fields ------------------------------------------------------------------
    // Definitions the fields are built from when the set opens (MemTable requires them;
    // a QueryTable with definitions binds them to the result's columns by name).
    FieldDefs& fieldDefs() { return fieldDefs_; }
    const FieldDefs& fieldDefs() const { return fieldDefs_; }
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    // Throws DataError "List index out of bounds (i)".
    Field* Fields(int index) const;
    // Names match without regard to case. FieldByName throws DataError
    // "Field 'NAME' not found"; FindField gives nullptr.
    Field* FieldByName(const QString& name) const;
    Field* FindField(const QString& name) const;

    // --- Navigation --------------------------------------------------------------
    // Beginning and end flags: both true on an empty or closed set. First sets Bof,
    // Last sets Eof; Prior on the first row (Next on the last) does not move and sets
    // Bof (Eof); any other move clears both.
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool IsEmpty() const { return !Active() || rows_.Empty(); }
    // Rows held (an unposted inserted row not counted). Throws on a closed set.
    int RecordCount() const;
    // The current row's number from 1; -1 on a closed or empty set.
    int RecNo() const;
    void SetRecNo(int recNo);  // clamped to the rows there are
    // Rows have numbers a grid's scroll bar can show (true for the in-memory tables).
    virtual bool IsSequenced() const { return true; }
    // Navigation first ends an edit: a modified record is posted, an untouched one
    // cancelled. All throw DataError on a closed set.
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves up to distance rows (negative: back) and returns the rows moved.
    int MoveBy(int distance);
    // Makes the first row whose field equals value exactly the current row and returns
    // true; returns false and stays when none does (or value cannot be a value of the
    // field). A null value finds a null. Throws when the field does not exist.
    bool Locate(const QString& fieldName, const QVariant& value);

    // --- Editing -----------------------------------------------------------------
    // Append and Insert start a new empty record at the end / before the current row;
    // Edit copies the current row into the buffer (on an empty set it appends). Post
    // writes the buffer (the new row becomes current) after checking required fields;
    // Cancel drops it, and after an insert the row current before it is current again.
    // Throw DataError on a closed or read-only set.
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    // Deletes the current row: the next row becomes current, or the previous one when
    // the last row was deleted. Deleting an unposted inserted row cancels it. Throws on
    // an empty set.
    void Delete();
    // Appends rows at the end, each a value per field in field order, as Append, setting
    // every field and Post would one row after another: values converted as the fields
    // convert them, required fields checked. But in one step: a row refused appends none
    // of them, and links hear one data-set-changed notification. The last row appended
    // becomes current. A list of thousands of rows is filled this way.
    void AppendRows(std::vector<std::vector<QVariant>> rows);
    // The same for count rows written in place by fill(i, writer), i from 0: no value
    // object per cell on the way. fill may throw; then no row is appended.
    template <class Fill>
    void AppendRows(size_t count, Fill fill) {
        const size_t from = BeginAppendRows(count);
        try {
            for (size_t i = 0; i < count; ++i) {
                RowWriter writer(*this, rows_.AppendNullRow());
                fill(i, writer);
            }
            CheckRequired(from);
        } catch (...) {
            rows_.Truncate(from);
            throw;
        }
        EndAppendRows(from);
    }
    bool Modified() const { return modified_; }
    // Posts a modified record, cancels an untouched one, leaves key entry.
    void CheckBrowseMode();
    // Key entry: SetKey empties the key buffer and enters the SetKey state; fields then
    // write the key. GotoKey makes the first row equal to every non-null key value
    // current, returns whether one was found, and goes back to browsing.
    void SetKey();
    bool GotoKey();
    // Reloads the rows where the set has a source (QueryTable); the current row keeps
    // its number where it can. Links get a data-set-changed notification.
    virtual void Refresh();

    // --- Control updates ---------------------------------------------------------
    // While disabled (calls nest), links hear nothing; when the last EnableControls
    // comes, each link gets its active / editing changes and then one data-set-changed
    // notification (a layout change instead when the fields changed or the set was
    // closed meanwhile). Extra EnableControls calls are ignored.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

protected:
    DataSet() = default;

    // Builds the fields (AddField) and fills rows_ for Open; throws to refuse.
    virtual void OpenData() = 0;

    Field* AddField(const FieldDef& def);
    // After the derived class replaced rows_ of an open set: keeps the current row
    // number where it can, resets the flags and tells the links.
    void RowsReplaced();
    [[noreturn]] void Fail(const QString& message) const;
    void CheckActive() const;

    // Sets the rows' columns to the fields' types (dropping any rows).
    void PrepareRows();
    // Replaces the rows of the open set by rows made elsewhere in the fields' types,
    // checked as AppendRows checks its values (a refusal leaves the rows as they were);
    // links hear one data-set-changed notification, and the first row is current.
    void ReplaceRows(RowStore rows);
    std::vector<FieldType> FieldTypes() const;

    RowStore rows_;

private:
    friend class Field;
    friend class RowWriter;
    friend class DataSource;
    friend class DataLink;

    void CheckCanModify() const;
    void StartInsert(bool append);
    // Fails naming the first required field that record leaves null.
    void CheckRequired(const std::vector<QVariant>& record) const;
    // The same for every row from row `from` on.
    void CheckRequired(size_t from) const;
    size_t BeginAppendRows(size_t count);
    void EndAppendRows(size_t from);
    void WriteBuffer();  // Post after the links wrote their edits
    void Notify(DataEvent event, Field* field = nullptr);
    // Reading and writing through fields. ReadRowValue reads the field as it reads in
    // row (a link's row) without pointing the fields there.
    // The values are references into the set, valid until it next changes.
    ValueRef ReadValue(int fieldIndex) const;
    ValueRef ReadRowValue(int row, int fieldIndex) const;
    void WriteValue(Field* field, const QVariant& value);
    // Rows as links see them: the unposted inserted row takes its place among them.
    int ViewCount() const;
    int CurrentView() const { return cur_; }
    ValueRef ViewValue(int row, int fieldIndex) const;
    // Whether stored row i holds value (converted for the field) in column.
    bool RowHolds(size_t row, int column, const QVariant& value) const;

    QString name_;
    FieldDefs fieldDefs_;
    std::vector<std::unique_ptr<Field>> fields_;
    DataSetState state_ = DataSetState::Inactive;
    bool readOnly_ = false;
    int cur_ = 0;  // current row (the inserted row's place while inserting)
    bool bof_ = true;
    bool eof_ = true;
    std::vector<QVariant> buffer_;  // edit, insert or key buffer
    bool modified_ = false;
    // Position before an insert, restored by Cancel.
    int savedCur_ = 0;
    bool savedBof_ = true;
    bool savedEof_ = true;
    int readRow_ = -1;  // row a data link points the fields at; -1: the current row
    int disableCount_ = 0;
    bool pendingLayout_ = false;
    std::vector<DataSource*> sources_;
};

// Keeps a data set's controls from following a walk, however the walk ends.
class QuietControls {
public:
    explicit QuietControls(DataSet& set) : set_(set) { set_.DisableControls(); }
    ~QuietControls() { set_.EnableControls(); }
    QuietControls(const QuietControls&) = delete;
    QuietControls& operator=(const QuietControls&) = delete;

private:
    DataSet& set_;
};

// Calls row() with the set on each record from the first, its links hearing nothing
// meanwhile; the current record is the same afterwards (unless row() throws).
template <class Row>
void ForEachRecord(DataSet& set, Row row) {
    if (!set.Active() || set.IsEmpty()) return;
    const int keep = set.RecNo();
    QuietControls quiet(set);
    for (set.First(); !set.Eof(); set.Next()) row();
    if (keep > 0) set.SetRecNo(keep);
}

}  // namespace data
