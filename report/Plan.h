#pragma once
// The purchase plan: what each supplier must deliver for every requisition still open,
// net of the stock on hand. Purchasing takes it up once a week instead of one requisition
// at a time. It is a suggestion: reading it writes nothing.
//
// One row per material (the code without trailing blanks), under the supplier the product
// has now (else the one its newest line was written with, else none): the open lines'
// quantity added up over the requisitions, the stock on hand now, the quantity to buy
// (the shortfall, whole units), the cost now and the requisitions that ask for it.

#include <QString>
#include <QStringList>
#include <vector>

#include "report/Summary.h"

namespace db {
class Connection;
}

namespace report {

// Which requisitions the plan takes: those whose header is open (CLOSED 'N'), with their
// open lines, dated within the bounds (YYYY/MM/DD, inclusive; empty: unbounded), of the
// project (empty: every one); then only the rows of the supplier (empty: every one).
struct PlanFilter {
    QString from, to;
    QString project;
    QString supplier;
};

// "2026/11/01 至 2026/11/30", "2026/11/01 起", "至 2026/11/30", "全部未結案".
QString PlanRangeText(const PlanFilter& filter);

struct PlanRow {
    QString code, name, unit;   // PROD_ID without trailing blanks; PRODUCT's name and unit, else the newest line's
    long long quantity = 0;     // QTY: the open lines' quantities added up
    double stock = 0;           // NOW_QTY now; 0 when the product is gone or holds none
    long long suggested = 0;    // SUGGEST_QTY: the quantity less the stock (a negative stock as 0), at least 0
    double cost = 0;            // STD_COST now, else the newest line's
    long long amount = 0;       // AMT: suggested x cost, rounded half to even
    QStringList requisitions;   // the numbers that ask for it, oldest first
};

using PlanSupplier = SupplierRows<PlanRow>;  // rows by material code

struct PurchasePlan {
    PlanFilter filter;
    std::vector<PlanSupplier> suppliers;  // by supplier id, the materials without one last
    long long Total() const;
};

// One open requisition's lines of one material, as the plan's statement groups them.
struct PlanLines {
    QString code;          // PROD_ID without trailing blanks
    QString number, date;  // MASTERBILLID, BILL_DATE
    long long quantity = 0;
    QString providerId, providerName, name, unit;  // as written with the lines
    double cost = 0;                               // STD_COST written
};

// What PRODUCT holds now for a material; absent is a product row that is gone.
struct PlanProduct {
    bool present = false;
    QString providerId, providerName, name, unit;
    bool hasStock = false, hasCost = false;
    double stock = 0, cost = 0;
};

// Folds the grouped lines into the plan's rows; `product` answers for each code.
PurchasePlan MakePlan(const PlanFilter& filter, const std::vector<std::pair<PlanLines, PlanProduct>>& lines);

// Reads the plan in one read-only snapshot: one grouped statement over the open
// requisitions and the products they ask for. Nothing is written.
PurchasePlan LoadPlan(db::Connection& connection, const PlanFilter& filter);

}  // namespace report
