#include "report/Plan.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

#include "db/Connection.h"

namespace report {

namespace {

// The open lines of the open requisitions, one row per requisition and material (code
// without trailing blanks) and the supplier written with the lines, and what PRODUCT
// holds for the material now. The requisitions are found through the index on
// (CLOSED, BILL_DATE), their lines through the index on MASTERBILLID, the products by
// their key: a month's plan reads that month's requisitions, however old the database.
// A voided requisition has no rows left, so it is simply absent.
const QStringList kGrouped = {
    "SELECT G.PROD_ID, G.MASTERBILLID, G.BILL_DATE, G.QTY, G.LINE_PROVIDER_ID, G.LINE_PROVIDER_NAME,",
    "  G.LINE_PROD_NAME, G.LINE_UNITNAME, G.LINE_STD_COST, P.PROD_ID AS PRODUCT_ID, P.PROVIDER_ID,",
    "  P.PROVIDER_NAME, P.PROD_NAME, P.UNITNAME, P.NOW_QTY, P.STD_COST",
    "FROM (SELECT TRIM(TRAILING FROM COALESCE(S.PROD_ID, '')) AS PROD_ID, M.MASTERBILLID, M.BILL_DATE,",
    "    TRIM(COALESCE(S.PROVIDER_ID, '')) AS LINE_PROVIDER_ID, SUM(S.QTY) AS QTY,",
    "    MAX(S.PROVIDER_NAME) AS LINE_PROVIDER_NAME, MAX(S.PROD_NAME) AS LINE_PROD_NAME,",
    "    MAX(S.UNITNAME) AS LINE_UNITNAME, MAX(S.STD_COST) AS LINE_STD_COST",
    "  FROM PETITION_MASTER M JOIN PETITION_SUB S ON S.MASTERBILLID = M.MASTERBILLID",
    "  WHERE M.CLOSED = 'N' AND S.CLOSED = 'N'"};
const QStringList kGroupedEnd = {
    "  GROUP BY TRIM(TRAILING FROM COALESCE(S.PROD_ID, '')), M.MASTERBILLID, M.BILL_DATE,",
    "    TRIM(COALESCE(S.PROVIDER_ID, ''))) G",
    "LEFT JOIN PRODUCT P ON P.PROD_ID = G.PROD_ID"};

// Older first: by date, then by the day's sequence, which has more than four digits
// from 10000 on.
using Age = std::tuple<QString, qsizetype, QString>;
Age AgeOf(const PlanLines& l) { return {l.date, l.number.size(), l.number}; }

// A row being added up: its quantities and requisitions, and the newest lines' texts.
struct Accumulated {
    PlanProduct product;
    long long quantity = 0;
    std::vector<Age> requisitions;
    Age newest;
    PlanLines newestLines;
    bool any = false;
};

}  // namespace

QString PlanRangeText(const PlanFilter& f) {
    if (!f.from.isEmpty() && !f.to.isEmpty()) return QStringLiteral("%1 至 %2").arg(f.from, f.to);
    if (!f.from.isEmpty()) return QStringLiteral("%1 起").arg(f.from);
    if (!f.to.isEmpty()) return QStringLiteral("至 %1").arg(f.to);
    return QStringLiteral("全部未結案");
}

long long PurchasePlan::Total() const {
    return std::accumulate(suppliers.begin(), suppliers.end(), 0LL,
                           [](long long total, const PlanSupplier& s) { return total + s.Subtotal(); });
}

PurchasePlan MakePlan(const PlanFilter& filter, const std::vector<std::pair<PlanLines, PlanProduct>>& lines) {
    // Each material once: its lines added up, its newest line kept.
    std::map<QString, Accumulated> materials;
    for (const auto& [l, product] : lines) {
        Accumulated& a = materials[l.code];
        a.product = product;
        a.quantity += l.quantity;
        const Age age = AgeOf(l);
        a.requisitions.push_back(age);
        if (!a.any || a.newest < age) {
            a.newest = age;
            a.newestLines = l;
            a.any = true;
        }
    }

    // Keyed by (has no supplier, supplier id): the materials without one come last.
    using SupplierKey = std::pair<bool, QString>;
    std::map<SupplierKey, std::vector<PlanRow>> blocks;
    // A supplier's name: a product's now, else the newest line's.
    struct Name {
        bool now = false;
        Age age;
        QString text;
    };
    std::map<SupplierKey, Name> names;
    const QString wanted = filter.supplier.trimmed();
    for (auto& [code, a] : materials) {
        const PlanProduct& p = a.product;
        const PlanLines& newest = a.newestLines;
        // The supplier the product has now; a product without one, or gone, goes wholly to
        // the supplier of its newest line: one row per material, its stock counted once.
        const bool now = p.present && !p.providerId.trimmed().isEmpty();
        const QString id = now ? p.providerId.trimmed() : newest.providerId;
        if (!wanted.isEmpty() && id != wanted) continue;
        const SupplierKey key{id.isEmpty(), id};
        Name& name = names[key];
        if (now && !name.now)
            name = {true, a.newest, p.providerName};
        else if (!name.now && (name.text.isEmpty() || name.age <= a.newest))
            name = {false, a.newest, newest.providerName};

        PlanRow row;
        row.code = code;
        row.name = p.present && !p.name.isEmpty() ? p.name : newest.name;
        row.unit = p.present && !p.unit.isEmpty() ? p.unit : newest.unit;
        row.quantity = a.quantity;
        row.stock = p.hasStock ? p.stock : 0;
        row.cost = p.hasCost ? p.cost : newest.cost;
        // Requisitions ask whole units: a shortfall of 4.5 is bought as 5 (a stock one
        // binary fraction short of a whole number does not make a unit more). What is on
        // the shelf can only cover the need, never add to it.
        const double shortfall = double(a.quantity) - std::max(row.stock, 0.0);
        row.suggested = shortfall > 1e-9 ? static_cast<long long>(std::ceil(shortfall - 1e-9)) : 0;
        // Rounded as a requisition line's AMT is: half to even.
        row.amount = static_cast<long long>(std::nearbyint(double(row.suggested) * row.cost));
        std::sort(a.requisitions.begin(), a.requisitions.end());
        a.requisitions.erase(std::unique(a.requisitions.begin(), a.requisitions.end()), a.requisitions.end());
        for (const Age& r : a.requisitions) row.requisitions << std::get<2>(r);
        blocks[key].push_back(std::move(row));  // materials come in code order
    }

    PurchasePlan plan;
    plan.filter = filter;
    for (auto& [key, rows] : blocks)
        plan.suppliers.push_back({key.second, key.first ? QString::fromUtf8(kNoSupplier) : names[key].text, std::move(rows)});
    return plan;
}

PurchasePlan LoadPlan(db::Connection& connection, const PlanFilter& filter) {
    QStringList sql = kGrouped;
    if (!filter.from.isEmpty()) sql << "  AND M.BILL_DATE >= :DATE_FROM";
    if (!filter.to.isEmpty()) sql << "  AND M.BILL_DATE <= :DATE_TO";
    if (!filter.project.trimmed().isEmpty()) sql << "  AND M.PROJ_ID = :PROJ_ID";
    sql << kGroupedEnd;

    std::vector<std::pair<PlanLines, PlanProduct>> lines;
    {
        const db::Snapshot snapshot(connection);
        db::Query q(connection);
        q.SetSQL(sql);
        if (!filter.from.isEmpty()) q.SetParam("DATE_FROM", filter.from);
        if (!filter.to.isEmpty()) q.SetParam("DATE_TO", filter.to);
        if (!filter.project.trimmed().isEmpty()) q.SetParam("PROJ_ID", filter.project.trimmed());
        q.Open();
        const auto text = [&q](const char* column) { return q.FieldByName(column).AsString(); };
        for (; !q.Eof(); q.Next()) {
            PlanLines l{text("PROD_ID"), text("MASTERBILLID"), text("BILL_DATE"),
                        q.FieldByName("QTY").AsVariant().toLongLong(), text("LINE_PROVIDER_ID"),
                        text("LINE_PROVIDER_NAME"), text("LINE_PROD_NAME"), text("LINE_UNITNAME"),
                        q.FieldByName("LINE_STD_COST").AsFloat()};
            PlanProduct p;
            p.present = !q.FieldByName("PRODUCT_ID").IsNull();
            p.providerId = text("PROVIDER_ID");
            p.providerName = text("PROVIDER_NAME");
            p.name = text("PROD_NAME");
            p.unit = text("UNITNAME");
            p.hasStock = !q.FieldByName("NOW_QTY").IsNull();
            p.stock = q.FieldByName("NOW_QTY").AsFloat();
            p.hasCost = !q.FieldByName("STD_COST").IsNull();
            p.cost = q.FieldByName("STD_COST").AsFloat();
            lines.emplace_back(std::move(l), std::move(p));
        }
    }
    return MakePlan(filter, lines);
}

}  // namespace report
