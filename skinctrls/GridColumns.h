#pragma once
// The data grid's columns: a column (TbsColumn) shows a field of the grid's data set by
// name, with a title (TbsColumnTitle); attributes not set take their defaults from the
// field or the grid. TbsDBGridColumns holds them: while no persistent column is added it
// is in its default state and the grid rebuilds one column per field.

#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "data/DataSet.h"
#include "platform/Fonts.h"
#include "skin/SkinValues.h"

namespace skinctrls {

class TbsSkinCustomDBGrid;
class TbsColumn;

// A column's title. Attributes not set take their defaults: the field's display name,
// the column's alignment, the grid's fixed colour and TitleFont.
class TbsColumnTitle {
public:
    explicit TbsColumnTitle(TbsColumn* column) : column_(column) {}
    QString Caption() const;
    // On a default column this sets the field's display label instead.
    void SetCaption(const QString& c);
    skin::Alignment Alignment() const;
    void SetAlignment(skin::Alignment a);
    platform::TColor Color() const;
    void SetColor(platform::TColor c);
    platform::TFont Font() const;
    void SetFont(const platform::TFont& f);

private:
    TbsColumn* column_;
    std::optional<QString> caption_;
    std::optional<skin::Alignment> alignment_;
    std::optional<platform::TColor> color_;
    std::optional<platform::TFont> font_;
};

// A grid column: a field by name and how to show it.
class TbsColumn {
public:
    TbsColumn(TbsSkinCustomDBGrid* grid, bool isDefault);

    TbsSkinCustomDBGrid* Grid() const { return grid_; }
    QString FieldName() const { return fieldName_; }
    void SetFieldName(const QString& name);
    // The field of the grid's data set with that name (null when none or inactive).
    data::Field* Field() const;
    bool IsDefault() const { return default_; }

    skin::Alignment Alignment() const;
    void SetAlignment(skin::Alignment a);
    platform::TColor Color() const;
    void SetColor(platform::TColor c);
    platform::TFont Font() const;
    void SetFont(const platform::TFont& f);
    int Width() const;
    void SetWidth(int w);
    TbsColumnTitle& Title() { return title_; }
    const TbsColumnTitle& Title() const { return title_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool Visible() const;
    void SetVisible(bool v);

    // The default width for the field in the column font (64 without field or grid).
    int DefaultWidth() const;
    // True when a width was set (by the program or by dragging the column's edge).
    bool WidthSet() const { return width_.has_value(); }

private:
    friend class TbsDBGridColumns;
    friend class TbsSkinCustomDBGrid;  // sets the fitted width
    TbsSkinCustomDBGrid* grid_;
    bool default_;
    QString fieldName_;
    std::optional<skin::Alignment> alignment_;
    std::optional<platform::TColor> color_;
    std::optional<platform::TFont> font_;
    std::optional<int> width_;
    std::optional<int> fitted_;  // the grid's width for what the column shows, when it fits them
    TbsColumnTitle title_;
    bool readOnly_ = false;
    std::optional<bool> visible_;
};

// The grid's columns. Empty of persistent columns it is in its default state: the
// columns then follow the data set's fields.
class TbsDBGridColumns {
public:
    explicit TbsDBGridColumns(TbsSkinCustomDBGrid* grid) : grid_(grid) {}

    int Count() const { return int(items_.size()); }
    TbsColumn* Items(int i) const { return items_[size_t(i)].get(); }
    // Default state: no persistent column was added.
    bool DefaultState() const { return defaultState_; }
    // A persistent column (leaves the default state).
    TbsColumn* Add();
    // Back to default columns.
    void RestoreDefaults();
    void Clear();

private:
    friend class TbsSkinCustomDBGrid;
    void RebuildDefault(data::DataSet* ds);

    TbsSkinCustomDBGrid* grid_;
    bool defaultState_ = true;
    std::vector<std::unique_ptr<TbsColumn>> items_;
};

}  // namespace skinctrls
