#include "report/RequisitionPdf.h"

#include <QDate>
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
#include <functional>
#include <cmath>
#include <stdexcept>

#include "userchars/UserChars.h"

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
const std::vector<Column> kColumns = {
    {"品號", 30, false}, {"品名", 62, false}, {"單位", 16, false},
    {"數量", 22, true},  {"成本", 24, true},  {"金額", 26, true},
};
// The summary adds the stock on hand; the same 180 mm.
const std::vector<Column> kSummaryColumns = {
    {"品號", 28, false}, {"品名", 50, false}, {"單位", 14, false}, {"數量", 20, true},
    {"成本", 22, true},  {"金額", 24, true},  {"庫存", 22, true},
};
// The purchase plan: the need, the stock and what to buy; the same 180 mm.
const std::vector<Column> kPlanColumns = {
    {"品號", 26, false}, {"品名", 44, false}, {"單位", 12, false}, {"需求量", 18, true},
    {"庫存", 18, true},  {"建議量", 20, true}, {"成本", 20, true},  {"金額", 22, true},
};
constexpr double kRowMm = 7;

QFont Font(double points, bool bold = false) {
    QFont f(QString::fromLatin1(kFamily));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// One table with its heading: the printed requisition is one, the summary one per
// supplier. Every section starts on a page of its own; its total rows end it.
struct Section {
    QString title;                                    // the first page's title
    std::vector<std::pair<QString, QString>> fields;  // label, value; two to a row
    QString continued;                                // the heading of its later pages
    const std::vector<Column>* columns = &kColumns;
    std::vector<QStringList> rows;
    std::vector<std::pair<QString, QString>> totals;  // label, amount; at least one
    int amountColumn = 5;                             // where a total's amount goes
};

// Heights in millimetres: the page is cut into rows by its size, never by its pixels, so
// that every device (a printer's resolution is its own) gives the same pages.
constexpr double kTitleMm = 12, kFieldMm = 6, kContinuedMm = 10, kPageNumberBandMm = 12;

int FieldRows(const Section& s) { return int(s.fields.size() + 1) / 2; }
double FirstTableTopMm(const Section& s) { return kTitleMm + kFieldMm * FieldRows(s) + kFieldMm; }

// Rows of the table that fit under the section's heading (its first page) or the short
// heading of its later pages, on a page of pageHeightMm.
int TableRows(const Section& s, double pageHeightMm, bool firstPage) {
    const double top = firstPage ? FirstTableTopMm(s) : kContinuedMm;
    const double bottom = pageHeightMm - kPageNumberBandMm;
    return std::max(1, int((bottom - top) / kRowMm) - 1);  // less the titles row
}

// The section's pages: its rows, then its total rows, the last of which is the page
// slice's total (the ones before it take rows' places).
std::vector<PageSlice> Paginate(const Section& s, double pageHeightMm) {
    return PaginateLines(int(s.rows.size() + s.totals.size()) - 1, TableRows(s, pageHeightMm, true),
                         TableRows(s, pageHeightMm, false));
}

class Layout {
public:
    Layout(QPainter& p, int width, int height, int dpi) : p_(p), width_(width), height_(height), dpi_(dpi) {}

    void Page(const Section& s, const PageSlice& slice, bool first, int index, int count) {
        double y;
        if (first) {
            y = Heading(s);
        } else {
            p_.setFont(Font(10));
            Text(QRectF(0, 0, width_, Mm(8)), Qt::AlignLeft | Qt::AlignVCenter, s.continued);
            y = Mm(kContinuedMm);
        }
        y = TitlesRow(s, y);
        const int lines = int(s.rows.size());
        for (int i = slice.first; i < slice.first + slice.count; ++i)
            y = i < lines ? LineRow(s, s.rows[size_t(i)], y) : TotalRow(s, s.totals[size_t(i - lines)], i == lines, y);
        if (slice.total) TotalRow(s, s.totals.back(), s.totals.size() == 1, y);
        p_.setFont(Font(9));
        Text(QRectF(0, height_ - Mm(8), width_, Mm(8)), Qt::AlignHCenter | Qt::AlignVCenter,
                    QStringLiteral("第 %1 頁，共 %2 頁").arg(index + 1).arg(count));
    }

private:
    double Mm(double mm) const { return mm * dpi_ / 25.4; }

    // Text in the painter's font, its user-defined characters in theirs.
    void Text(const QRectF& r, int flags, const QString& text) {
        const userchars::TextFont udc(p_, text);
        p_.drawText(r, flags, text);
    }

    double Heading(const Section& s) {
        p_.setFont(Font(18, true));
        Text(QRectF(0, 0, width_, Mm(kTitleMm)), Qt::AlignHCenter | Qt::AlignVCenter, s.title);
        p_.setFont(Font(10));
        const double half = width_ / 2.0;
        for (size_t i = 0; i < s.fields.size(); ++i) {
            const double x = i % 2 ? half : 0;
            const double y = Mm(kTitleMm + kFieldMm * double(i / 2));
            Text(QRectF(x, y, half, Mm(kFieldMm)), Qt::AlignLeft | Qt::AlignVCenter,
                        s.fields[i].first + QStringLiteral("：") + s.fields[i].second);
        }
        return Mm(FirstTableTopMm(s));
    }

    // The cells of one row, each text fitted to its column (measured on the device).
    void Cells(const Section& s, double y, const QStringList& texts) {
        double x = 0;
        for (size_t i = 0; i < s.columns->size(); ++i) {
            const Column& c = (*s.columns)[i];
            const QRectF cell(x + Mm(1), y, Mm(c.widthMm) - Mm(2), Mm(kRowMm));
            const QString whole = texts.value(int(i));
            const QFontMetrics m(userchars::FontFor(p_.font(), whole), p_.device());
            const QString text = m.elidedText(whole, Qt::ElideRight, int(cell.width()));
            Text(cell, (c.right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
            x += Mm(c.widthMm);
        }
    }

    double TitlesRow(const Section& s, double y) {
        p_.setFont(Font(10, true));
        QStringList titles;
        for (const Column& c : *s.columns) titles << QString::fromUtf8(c.title);
        Cells(s, y, titles);
        p_.drawLine(QPointF(0, y + Mm(kRowMm)), QPointF(width_, y + Mm(kRowMm)));
        return y + Mm(kRowMm);
    }

    double LineRow(const Section& s, const QStringList& cells, double y) {
        p_.setFont(Font(10));
        Cells(s, y, cells);
        return y + Mm(kRowMm);
    }

    // A total row: its label first, its amount in the amount column; the first of a
    // section's has the rule above it.
    double TotalRow(const Section& s, const std::pair<QString, QString>& total, bool rule, double y) {
        if (rule) p_.drawLine(QPointF(0, y), QPointF(width_, y));
        p_.setFont(Font(10, true));
        QStringList cells(qsizetype(s.columns->size()));
        cells[0] = total.first;
        cells[s.amountColumn] = total.second;
        Cells(s, y, cells);
        return y + Mm(kRowMm);
    }

    QPainter& p_;
    int width_, height_, dpi_;
};

QString Joined(const QString& a, const QString& b) { return b.isEmpty() ? a : a + QLatin1Char(' ') + b; }

Section RequisitionSection(const Requisition& r) {
    Section s;
    s.title = QStringLiteral("請購單");
    s.fields = {{QStringLiteral("單號"), r.number},
                {QStringLiteral("日期"), r.date},
                {QStringLiteral("請購人"), Joined(r.clerkId, r.clerkName)},
                {QStringLiteral("門市"), r.store},
                {QStringLiteral("專案"), Joined(r.project, r.projectName)}};
    s.continued = QStringLiteral("請購單 %1（續）").arg(r.number);
    for (const RequisitionLine& l : r.lines)
        s.rows.push_back({l.code, l.name, l.unit, WholeNumberText(l.quantity), CostText(l.cost), WholeNumberText(l.amount)});
    s.totals = {{QStringLiteral("合計"), WholeNumberText(r.Total())}};
    return s;
}

QString Stock(double stock) { return QLocale(QLocale::English).toString(stock, 'g', 15); }

// One section per supplier block (a summary's or a plan's: id, name, rows, subtotal), made
// by `section` for the supplier's name (empty for a document without suppliers), its rows
// by `cells`; the last ends with the grand total.
template <class Block, class SectionFor, class CellsOf>
std::vector<Section> SupplierSections(const std::vector<Block>& blocks, long long total, const SectionFor& section,
                                      const CellsOf& cells) {
    std::vector<Section> out;
    for (const Block& b : blocks) {
        Section s = section(b.id.isEmpty() ? b.name : Joined(b.id, b.name));
        for (const auto& row : b.rows) s.rows.push_back(cells(row));
        s.totals = {{QStringLiteral("小計"), WholeNumberText(b.Subtotal())}};
        out.push_back(std::move(s));
    }
    if (out.empty()) out.push_back(section(QString()));
    out.back().totals.push_back({QStringLiteral("總計"), WholeNumberText(total)});
    return out;
}

// Each supplier's section headed by the requisition's number, date and project and the
// supplier.
std::vector<Section> SummarySections(const PurchaseSummary& summary) {
    const Requisition& r = summary.requisition;
    const auto section = [&r](const QString& supplier) {
        Section s;
        s.title = QStringLiteral("請購彙總");
        s.fields = {{QStringLiteral("單號"), r.number},
                    {QStringLiteral("日期"), r.date},
                    {QStringLiteral("專案"), Joined(r.project, r.projectName)}};
        if (!supplier.isEmpty()) s.fields.push_back({QStringLiteral("供應商"), supplier});
        s.continued = QStringLiteral("請購彙總 %1 %2（續）").arg(r.number, supplier);
        s.columns = &kSummaryColumns;
        return s;
    };
    return SupplierSections(summary.suppliers, summary.Total(), section, [](const SummaryRow& row) {
        return QStringList{row.code, row.name, row.unit, WholeNumberText(row.quantity), CostText(row.cost),
                           WholeNumberText(row.amount), Stock(row.stock)};
    });
}

// Each supplier's section, a request for quotation: the supplier first, the requisitions'
// dates taken, the day it is printed, the project when the plan is of one.
std::vector<Section> PlanSections(const PurchasePlan& plan, const QDate& printed) {
    const PlanFilter& f = plan.filter;
    const auto section = [&f, &printed](const QString& supplier) {
        Section s;
        s.title = QStringLiteral("採購計畫");
        if (!supplier.isEmpty()) s.fields.push_back({QStringLiteral("供應商"), supplier});
        s.fields.push_back({QStringLiteral("請購期間"), PlanRangeText(f)});
        s.fields.push_back({QStringLiteral("列印日期"), printed.toString(QStringLiteral("yyyy/MM/dd"))});
        if (!f.project.trimmed().isEmpty()) s.fields.push_back({QStringLiteral("專案"), f.project.trimmed()});
        s.continued = QStringLiteral("採購計畫 %1（續）").arg(supplier);
        s.columns = &kPlanColumns;
        s.amountColumn = 7;
        return s;
    };
    return SupplierSections(plan.suppliers, plan.Total(), section, [](const PlanRow& row) {
        return QStringList{row.code, row.name, row.unit, WholeNumberText(row.quantity), Stock(row.stock),
                           WholeNumberText(row.suggested), CostText(row.cost), WholeNumberText(row.amount)};
    });
}

// The one way a document is painted: its sections, page after page, on any paged device.
int PaintSections(const std::vector<Section>& sections, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) throw std::runtime_error("the requisition cannot be painted on this device");
    const double pageHeightMm = device.pageLayout().paintRect(QPageLayout::Millimeter).height();
    Layout layout(painter, device.width(), device.height(), device.logicalDpiY());
    std::vector<std::vector<PageSlice>> pages;
    int count = 0;
    for (const Section& s : sections) {
        pages.push_back(Paginate(s, pageHeightMm));
        count += int(pages.back().size());
    }
    int index = 0;
    for (size_t s = 0; s < sections.size(); ++s)
        for (size_t i = 0; i < pages[s].size(); ++i) {
            if (index > 0 && !device.newPage()) throw std::runtime_error("the device could not start a new page");
            layout.Page(sections[s], pages[s][i], i == 0, index++, count);
        }
    if (!painter.end()) throw std::runtime_error("the requisition could not be finished on this device");
    return count;
}

void WritePdf(const QString& title, QIODevice* device, const std::function<void(QPagedPaintDevice&)>& paint) {
    QPdfWriter writer(device);
    writer.setResolution(kPdfDpi);
    writer.setPageLayout(RequisitionPageLayout());
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("物料需求計算"));
    paint(writer);
}

void SaveWhole(const QString& path, const std::function<void(QIODevice*)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(QStringLiteral("無法寫入 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString())
                                     .toStdString());
    write(&file);
    if (!file.commit())
        throw std::runtime_error(QStringLiteral("無法寫入 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString())
                                     .toStdString());
}

}  // namespace

QPageLayout RequisitionPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

int PaintRequisition(const Requisition& r, QPagedPaintDevice& device) {
    return PaintSections({RequisitionSection(r)}, device);
}

int PaintSummary(const PurchaseSummary& summary, QPagedPaintDevice& device) {
    return PaintSections(SummarySections(summary), device);
}

void WriteRequisitionPdf(const Requisition& r, QIODevice* device) {
    WritePdf(QStringLiteral("請購單 %1").arg(r.number), device,
             [&r](QPagedPaintDevice& writer) { PaintRequisition(r, writer); });
}

void SaveRequisitionPdf(const Requisition& r, const QString& path) {
    SaveWhole(path, [&r](QIODevice* device) { WriteRequisitionPdf(r, device); });
}

int PaintPlan(const PurchasePlan& plan, QPagedPaintDevice& device) {
    return PaintSections(PlanSections(plan, QDate::currentDate()), device);
}

void SavePlanPdf(const PurchasePlan& plan, const QString& path) {
    SaveWhole(path, [&plan](QIODevice* device) {
        WritePdf(QStringLiteral("採購計畫 %1").arg(PlanRangeText(plan.filter)), device,
                 [&plan](QPagedPaintDevice& writer) { PaintPlan(plan, writer); });
    });
}

void WriteSummaryPdf(const PurchaseSummary& summary, QIODevice* device) {
    WritePdf(QStringLiteral("請購彙總 %1").arg(summary.requisition.number), device,
             [&summary](QPagedPaintDevice& writer) { PaintSummary(summary, writer); });
}

void SaveSummaryPdf(const PurchaseSummary& summary, const QString& path) {
    SaveWhole(path, [&summary](QIODevice* device) { WriteSummaryPdf(summary, device); });
}

}  // namespace report
