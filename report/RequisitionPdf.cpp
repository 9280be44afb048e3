#include "report/RequisitionPdf.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QIODevice>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace report {

std::vector<PageSlice> PaginateLines(int lineCount, int firstPageRows, int otherPageRows) {
    firstPageRows = std::max(1, firstPageRows);
    otherPageRows = std::max(1, otherPageRows);
    std::vector<PageSlice> pages;
    int next = 0;
    int room = firstPageRows;
    for (;;) {
        PageSlice page;
        page.first = next;
        page.count = std::min(room, lineCount - next);
        next += page.count;
        if (next == lineCount && page.count < room) {
            page.total = true;
            pages.push_back(page);
            return pages;
        }
        pages.push_back(page);
        room = otherPageRows;
    }
}

QString WholeNumberText(long long value) {
    QLocale english(QLocale::English);
    return english.toString(value);
}

QString CostText(double value) {
    QLocale english(QLocale::English);
    return english.toString(value, 'f', 2);
}

namespace {

// The Ming face the window's 新細明體 maps to: it holds every Big5 character, and the
// PDF writer embeds the glyphs used.
const char* kFamily = "AR PL UMing TW";

// The PDF's resolution; a printer paints at its own.
constexpr int kPdfDpi = 300;

struct Column {
    const char* title;
    double widthMm;
    bool right;
};
const Column kColumns[] = {
    {"品號", 30, false}, {"品名", 62, false}, {"單位", 16, false},
    {"數量", 22, true},  {"成本", 24, true},  {"金額", 26, true},
};
constexpr double kRowMm = 7;

QFont Font(double points, bool bold = false) {
    QFont f(QString::fromLatin1(kFamily));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// Heights in millimetres: the page is cut into rows by its size, never by its pixels, so
// that every device (a printer's resolution is its own) gives the same pages.
constexpr double kTitleMm = 12, kFieldMm = 6, kContinuedMm = 10, kPageNumberBandMm = 12;
constexpr double kFirstTableTopMm = kTitleMm + kFieldMm * 3 + kFieldMm;

// Rows of the table that fit under the header (page one) or the short heading of a
// page of pageHeightMm.
int TableRows(double pageHeightMm, bool firstPage) {
    const double top = firstPage ? kFirstTableTopMm : kContinuedMm;
    const double bottom = pageHeightMm - kPageNumberBandMm;
    return std::max(1, int((bottom - top) / kRowMm) - 1);  // less the titles row
}

class Layout {
public:
    Layout(QPainter& p, const Requisition& r, int width, int height, int dpi)
        : p_(p), r_(r), width_(width), height_(height), dpi_(dpi) {}

    void Page(const PageSlice& slice, int index, int count) {
        double y;
        if (index == 0) {
            y = Header();
        } else {
            p_.setFont(Font(10));
            p_.drawText(QRectF(0, 0, width_, Mm(8)), Qt::AlignLeft | Qt::AlignVCenter,
                        QStringLiteral("請購單 %1（續）").arg(r_.number));
            y = OtherTableTop();
        }
        y = TitlesRow(y);
        for (int i = slice.first; i < slice.first + slice.count; ++i) y = LineRow(r_.lines[size_t(i)], y);
        if (slice.total) TotalRow(y);
        p_.setFont(Font(9));
        p_.drawText(QRectF(0, height_ - Mm(8), width_, Mm(8)), Qt::AlignHCenter | Qt::AlignVCenter,
                    QStringLiteral("第 %1 頁，共 %2 頁").arg(index + 1).arg(count));
    }

private:
    double Mm(double mm) const { return mm * dpi_ / 25.4; }
    double FirstTableTop() const { return Mm(kFirstTableTopMm); }
    double OtherTableTop() const { return Mm(kContinuedMm); }

    double Header() {
        p_.setFont(Font(18, true));
        p_.drawText(QRectF(0, 0, width_, Mm(kTitleMm)), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("請購單"));
        p_.setFont(Font(10));
        const double half = width_ / 2.0;
        auto field = [&](double x, double y, const QString& label, const QString& value) {
            p_.drawText(QRectF(x, y, half, Mm(kFieldMm)), Qt::AlignLeft | Qt::AlignVCenter, label + QStringLiteral("：") + value);
        };
        auto joined = [](const QString& a, const QString& b) { return b.isEmpty() ? a : a + QLatin1Char(' ') + b; };
        double y = Mm(kTitleMm);
        field(0, y, QStringLiteral("單號"), r_.number);
        field(half, y, QStringLiteral("日期"), r_.date);
        y += Mm(kFieldMm);
        field(0, y, QStringLiteral("請購人"), joined(r_.clerkId, r_.clerkName));
        field(half, y, QStringLiteral("門市"), r_.store);
        y += Mm(kFieldMm);
        field(0, y, QStringLiteral("專案"), joined(r_.project, r_.projectName));
        return FirstTableTop();
    }

    // The cells of one row, each text fitted to its column (measured on the device).
    void Cells(double y, const QStringList& texts) {
        double x = 0;
        const QFontMetrics m = p_.fontMetrics();
        for (size_t i = 0; i < std::size(kColumns); ++i) {
            const Column& c = kColumns[i];
            const QRectF cell(x + Mm(1), y, Mm(c.widthMm) - Mm(2), Mm(kRowMm));
            const QString text = m.elidedText(texts.value(int(i)), Qt::ElideRight, int(cell.width()));
            p_.drawText(cell, (c.right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
            x += Mm(c.widthMm);
        }
    }

    double TitlesRow(double y) {
        p_.setFont(Font(10, true));
        QStringList titles;
        for (const Column& c : kColumns) titles << QString::fromUtf8(c.title);
        Cells(y, titles);
        p_.drawLine(QPointF(0, y + Mm(kRowMm)), QPointF(width_, y + Mm(kRowMm)));
        return y + Mm(kRowMm);
    }

    double LineRow(const RequisitionLine& l, double y) {
        p_.setFont(Font(10));
        Cells(y, {l.code, l.name, l.unit, WholeNumberText(l.quantity), CostText(l.cost), WholeNumberText(l.amount)});
        return y + Mm(kRowMm);
    }

    void TotalRow(double y) {
        p_.drawLine(QPointF(0, y), QPointF(width_, y));
        p_.setFont(Font(10, true));
        Cells(y, {QStringLiteral("合計"), QString(), QString(), QString(), QString(), WholeNumberText(r_.Total())});
    }

    QPainter& p_;
    const Requisition& r_;
    int width_, height_, dpi_;
};

}  // namespace

QPageLayout RequisitionPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

int PaintRequisition(const Requisition& r, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) throw std::runtime_error("the requisition cannot be painted on this device");
    const double pageHeightMm = device.pageLayout().paintRect(QPageLayout::Millimeter).height();
    Layout layout(painter, r, device.width(), device.height(), device.logicalDpiY());
    const std::vector<PageSlice> pages =
        PaginateLines(int(r.lines.size()), TableRows(pageHeightMm, true), TableRows(pageHeightMm, false));
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) throw std::runtime_error("the device could not start a new page");
        layout.Page(pages[i], int(i), int(pages.size()));
    }
    if (!painter.end()) throw std::runtime_error("the requisition could not be finished on this device");
    return int(pages.size());
}

void WriteRequisitionPdf(const Requisition& r, QIODevice* device) {
    QPdfWriter writer(device);
    writer.setResolution(kPdfDpi);
    writer.setPageLayout(RequisitionPageLayout());
    writer.setTitle(QStringLiteral("請購單 %1").arg(r.number));
    writer.setCreator(QStringLiteral("物料需求計算"));
    PaintRequisition(r, writer);
}

void SaveRequisitionPdf(const Requisition& r, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("無法寫入 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString())
                                     .toStdString());
    WriteRequisitionPdf(r, &file);
    if (!file.commit())
        throw std::runtime_error(QStringLiteral("無法寫入 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString())
                                     .toStdString());
}

}  // namespace report
