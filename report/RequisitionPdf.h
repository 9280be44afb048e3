#pragma once
// The printed requisition: one layout painted on any paged device, an A4 PDF through
// Qt's own PDF writer (the Chinese text in an embedded font) or a printer and its
// preview. Page one carries the title and the header (number, date, clerk, store,
// project and its name); every page the table's titles, its share of the lines (code,
// name, unit, quantity, cost, amount) and "第 i 頁，共 n 頁"; the last page ends with the
// total.

#include <QPageLayout>
#include <QString>

#include <vector>

#include "report/Plan.h"
#include "report/Requisition.h"
#include "report/Summary.h"

class QIODevice;
class QPagedPaintDevice;

namespace report {

// The table rows of one page: lines [first, first + count), and the total row after them
// on the last page.
struct PageSlice {
    int first = 0;
    int count = 0;
    bool total = false;
};

// Splits lineCount lines over pages that hold firstPageRows rows (page one, under the
// header) and otherPageRows rows; the total takes one row of its own at the end, on a
// page of its own when the last page is full. At least one page, even without lines.
std::vector<PageSlice> PaginateLines(int lineCount, int firstPageRows, int otherPageRows);

// Numbers as the requisition prints them: whole numbers with thousands separators
// (1,234), costs with two decimals (1,234.50).
QString WholeNumberText(long long value);
QString CostText(double value);

// The page the requisition is laid out for: A4 portrait with margins of 15 mm.
QPageLayout RequisitionPageLayout();

// Paints the requisition on the device's pages, from the page it is on, laid out for the
// device's page (give it RequisitionPageLayout) and resolution: the same pages on a PDF
// writer, a printer and a print preview. Returns the number of pages; throws
// std::runtime_error when the device cannot be painted on.
int PaintRequisition(const Requisition& requisition, QPagedPaintDevice& device);

// Writes the PDF to an open device; throws std::runtime_error when the writer fails.
void WriteRequisitionPdf(const Requisition& requisition, QIODevice* device);
// Writes the PDF to path whole or not at all (an existing file is replaced only by a
// complete one); throws std::runtime_error naming the file.
void SaveRequisitionPdf(const Requisition& requisition, const QString& path);

// The purchase summary in the same layout: each supplier's block starts a page of its own
// under the requisition's number, date and project and the supplier, with its subtotal;
// the last ends with the grand total. Painted and written like the requisition.
int PaintSummary(const PurchaseSummary& summary, QPagedPaintDevice& device);
void WriteSummaryPdf(const PurchaseSummary& summary, QIODevice* device);
void SaveSummaryPdf(const PurchaseSummary& summary, const QString& path);

// The purchase plan in the same layout, a request for quotation per supplier: each
// supplier's block starts a page of its own headed by the supplier, the requisitions'
// period and the day it is printed; the last ends with the grand total. The requisition
// numbers are left to the plan's lists (they are the office's, not the supplier's).
int PaintPlan(const PurchasePlan& plan, QPagedPaintDevice& device);
void SavePlanPdf(const PurchasePlan& plan, const QString& path);

}  // namespace report
