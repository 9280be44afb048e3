#pragma once
// How the lookup result grid lays its background: a picture filling the grid, copies
// of it tinted for alternating rows, the current record, the indicator column and the
// title row. The copies are prepared once per grid size and copied cell by cell, each
// cell taking the rectangle of the copy it covers, so the picture stays in place
// behind the cells.
//
// The picture arithmetic is plain functions (tested exactly); TwwGridPaintOptions holds
// the settings and the prepared copies of one grid and marks them stale on every change.

#include <QImage>
#include <QSize>

#include "platform/Colors.h"

namespace lookup {

class TwwDBGrid;

enum TwwBackgroundDrawStyle { bdsTile = 0, bdsStretch = 1, bdsTopLeft = 2, bdsCenter = 3 };

// Where alternating rows are tinted (a set: or the values).
enum TwwAlternatingRowRegion { arrFixedColumns = 1, arrDataColumns = 2, arrActiveDataColumn = 4 };
inline constexpr int kAllAlternatingRowRegions = arrFixedColumns | arrDataColumns | arrActiveDataColumn;

// Which areas use the picture and which tinted copies are prepared (a set).
enum TwwBackgroundOption {
    coFillDataCells = 1,
    coBlendFixedRow = 2,
    coBlendFixedColumn = 4,
    coBlendActiveRecord = 8,
    coBlendAlternatingRow = 16,
};

// One channel tinted by a colour channel: c + k div 2 - 128, clamped to 0..255.
int TintChannel(int c, int k);
// Tints every pixel of the image (converted to 32-bit RGB) with the colour.
void TintImage(QImage& image, platform::TColor color);

// The paint bitmap: W x H, white, with the picture drawn in the style (nothing for an
// empty picture).
QImage DrawBackground(const QImage& picture, TwwBackgroundDrawStyle style, QSize size);
// Where bdsCenter puts the picture's top-left corner.
QPoint CenteredOrigin(QSize grid, QSize picture);

// The settings the preparation reads, and the pictures it prepares (null when absent).
struct GridPictureSettings {
    QImage background;
    TwwBackgroundDrawStyle drawStyle = bdsTile;
    int alternatingRowRegions = kAllAlternatingRowRegions;
    platform::TColor alternatingRowColor = platform::clNone;
    platform::TColor activeRecordColor = platform::clNone;
    int backgroundOptions = 0;
    platform::TColor titleRowColor = platform::clBtnFace;
    platform::TColor fixedColumnColor = platform::clBtnFace;
    platform::TColor gridFixedColor = platform::clBtnFace;  // the grid's fixed colour; clNone: leave untinted
};

struct GridPictures {
    QImage paint;  // the paint bitmap, W x H
    QImage base;
    QImage alternating;
    QImage activeRecord;
    QImage fixedColumn;
    QImage titleRow;  // W x title row height
};

// Prepares the pictures for a grid of the outer size. On a display of 8 bits per pixel
// or fewer (lowColor) only the paint bitmap is made and previous holds the copies kept.
GridPictures PrepareGridPictures(const GridPictureSettings& s, QSize outer, int titleRowHeight, bool lowColor,
                                 const GridPictures& previous = {});

class TwwGridPaintOptions {
public:
    explicit TwwGridPaintOptions(TwwDBGrid* grid) : grid_(grid) {}

    const QImage& BackgroundBitmap() const { return s_.background; }
    void SetBackgroundBitmap(const QImage& picture);
    TwwBackgroundDrawStyle BackgroundDrawStyle() const { return s_.drawStyle; }
    void SetBackgroundDrawStyle(TwwBackgroundDrawStyle style);
    int AlternatingRowRegions() const { return s_.alternatingRowRegions; }
    // Only repaints: the prepared copies do not depend on the regions.
    void SetAlternatingRowRegions(int regions);
    bool FastRecordScrolling() const { return fastRecordScrolling_; }
    void SetFastRecordScrolling(bool on);
    platform::TColor AlternatingRowColor() const { return s_.alternatingRowColor; }
    void SetAlternatingRowColor(platform::TColor c);
    platform::TColor ActiveRecordColor() const { return s_.activeRecordColor; }
    void SetActiveRecordColor(platform::TColor c);
    int BackgroundOptions() const { return s_.backgroundOptions; }
    void SetBackgroundOptions(int options);

    // Internal state the grid drives.
    bool Stale() const { return stale_; }
    void MarkStale() { stale_ = true; }
    // The fixed-column and title-row colours follow the grid's title colour at every
    // layout change.
    void SetFixedColors(platform::TColor titleColor, platform::TColor gridFixedColor);
    // Rebuilds the copies when stale and the picture has a width.
    void PrepareIfStale(QSize outer, int titleRowHeight, bool lowColor);
    const GridPictures& Pictures() const { return pictures_; }

private:
    void Changed();

    TwwDBGrid* grid_;
    GridPictureSettings s_;
    bool fastRecordScrolling_ = true;
    bool stale_ = false;
    GridPictures pictures_;
};

}  // namespace lookup
