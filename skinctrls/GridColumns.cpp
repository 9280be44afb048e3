#include "skinctrls/GridColumns.h"

#include "skinctrls/SkinGrid.h"

namespace skinctrls {

namespace {

skin::Alignment FromFieldAlignment(data::Alignment a) {
    return a == data::Alignment::Right ? skin::taRightJustify : skin::taLeftJustify;
}

}  // namespace

TbsColumn::TbsColumn(TbsSkinCustomDBGrid* grid, bool isDefault) : grid_(grid), default_(isDefault), title_(this) {}

void TbsColumn::SetFieldName(const QString& name) {
    fieldName_ = name;
    if (grid_) grid_->UpdateLayout(false);
}

data::Field* TbsColumn::Field() const {
    data::DataSet* ds = grid_ && grid_->DataLink().Active() ? grid_->DataSet() : nullptr;
    return ds ? ds->FindField(fieldName_) : nullptr;
}

skin::Alignment TbsColumn::Alignment() const {
    if (alignment_) return *alignment_;
    const data::Field* f = Field();
    return f ? FromFieldAlignment(f->alignment()) : skin::taLeftJustify;
}

void TbsColumn::SetAlignment(skin::Alignment a) {
    alignment_ = a;
    if (grid_) grid_->update();
}

platform::TColor TbsColumn::Color() const { return color_ ? *color_ : grid_ ? grid_->Color() : platform::clWindow; }

void TbsColumn::SetColor(platform::TColor c) {
    color_ = c;
    if (grid_) grid_->update();
}

platform::TFont TbsColumn::Font() const { return font_ ? *font_ : grid_ ? grid_->Font() : platform::TFont{}; }

void TbsColumn::SetFont(const platform::TFont& f) {
    font_ = f;
    if (grid_) grid_->update();
}

int TbsColumn::DefaultWidth() const {
    if (!grid_) return 64;
    const data::Field* f = Field();
    if (!f) return grid_->DefaultColWidth();
    const QFont cell = grid_->CellFont(this).ToQFont();
    const int titleWidth = platform::TextWidth(grid_->TitleFontOf(this).ToQFont(), title_.Caption());
    return DefaultColumnWidth(platform::TextWidth(cell, QStringLiteral("0")), 0, f->displayWidth(), titleWidth,
                              grid_->HasOption(dgTitles));
}

int TbsColumn::Width() const { return width_ ? *width_ : fitted_ ? *fitted_ : DefaultWidth(); }

void TbsColumn::SetWidth(int w) {
    width_ = std::max(0, w);
    if (grid_) grid_->UpdateLayout(false);
}

bool TbsColumn::Visible() const {
    if (visible_) return *visible_;
    const data::Field* f = Field();
    return !f || f->visible();
}

void TbsColumn::SetVisible(bool v) {
    visible_ = v;
    if (grid_) grid_->UpdateLayout(false);
}

QString TbsColumnTitle::Caption() const {
    if (caption_) return *caption_;
    if (const data::Field* f = column_->Field()) return f->displayName();
    return column_->FieldName();
}

void TbsColumnTitle::SetCaption(const QString& c) {
    data::Field* f = column_->Field();
    if (column_->IsDefault() && f) {
        f->SetDisplayLabel(c);  // the grid hears a layout change
        return;
    }
    caption_ = c;
    if (column_->Grid()) column_->Grid()->update();
}

skin::Alignment TbsColumnTitle::Alignment() const { return alignment_ ? *alignment_ : skin::taLeftJustify; }

void TbsColumnTitle::SetAlignment(skin::Alignment a) {
    alignment_ = a;
    if (column_->Grid()) column_->Grid()->update();
}

platform::TColor TbsColumnTitle::Color() const {
    return color_ ? *color_ : column_->Grid() ? column_->Grid()->FixedColor() : platform::clBtnFace;
}

void TbsColumnTitle::SetColor(platform::TColor c) {
    color_ = c;
    if (column_->Grid()) column_->Grid()->update();
}

platform::TFont TbsColumnTitle::Font() const {
    return font_ ? *font_ : column_->Grid() ? column_->Grid()->TitleFont() : platform::TFont{};
}

void TbsColumnTitle::SetFont(const platform::TFont& f) {
    font_ = f;
    if (column_->Grid()) column_->Grid()->UpdateLayout(false);
}

TbsColumn* TbsDBGridColumns::Add() {
    if (defaultState_) items_.clear();
    defaultState_ = false;
    items_.push_back(std::make_unique<TbsColumn>(grid_, false));
    grid_->UpdateLayout(false);
    return items_.back().get();
}

void TbsDBGridColumns::RestoreDefaults() {
    items_.clear();
    defaultState_ = true;
    grid_->UpdateLayout(true);
}

void TbsDBGridColumns::Clear() { RestoreDefaults(); }

void TbsDBGridColumns::RebuildDefault(data::DataSet* ds) {
    // Columns of fields that stay keep what the user did to them (a width dragged).
    std::vector<std::unique_ptr<TbsColumn>> old = std::move(items_);
    items_.clear();
    if (!ds) return;
    for (int i = 0; i < ds->FieldCount(); ++i) {
        const QString name = ds->Fields(i)->fieldName();
        auto it = std::find_if(old.begin(), old.end(), [&](const auto& c) {
            return c && c->FieldName().compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it != old.end()) {
            items_.push_back(std::move(*it));
        } else {
            auto c = std::make_unique<TbsColumn>(grid_, true);
            c->fieldName_ = name;
            items_.push_back(std::move(c));
        }
    }
}

}  // namespace skinctrls
