#include "bench/common/SyntheticProject.h"

#include <QVariant>

namespace bench {

long long Scenario::FinalRows() const {
    long long rows = orderLines;
    for (int i = 0; i < depth; ++i) rows *= fanOut;
    return rows;
}

namespace {

QString Item(int level, int n) { return QString("L%1-%2").arg(level).arg(n, 3, 10, QChar('0')); }

}  // namespace

void FillSyntheticProject(db::Connection& c, const Scenario& s, const QString& project) {
    c.StartTransaction();
    try {
        db::Query product(c);
        product.SetSQL({"INSERT INTO PRODUCT (PROD_ID, PROD_NAME, UNITNAME, STD_COST, SALE_PRICE, NOW_QTY) "
                        "VALUES (:ID, :NAME, :UNIT, :COST, :PRICE, :NOW)"});
        db::Query bom(c);
        bom.SetSQL({"INSERT INTO PD_BOM (PROD_ID, DE_PRODID, DE_QTY, DIV_C) VALUES (:A, :C, :Q, :D)"});
        for (int level = 0; level <= s.depth; ++level) {
            for (int n = 0; n < s.sharedItems; ++n) {
                product.SetParam("ID", Item(level, n));
                product.SetParam("NAME", QString("第%1層料件%2").arg(level).arg(n));
                product.SetParam("UNIT", level == s.depth ? QString("個") : QString("組"));
                product.SetParam("COST", 1.0 + n % 17);
                product.SetParam("PRICE", 2.0 + n % 23);
                product.SetParam("NOW", double(n));
                product.Execute();
                if (level == s.depth) continue;
                for (int j = 0; j < s.fanOut; ++j) {
                    // Components are shared: item n of the next level serves several
                    // assemblies of this one.
                    bom.SetParam("A", Item(level, n));
                    bom.SetParam("C", Item(level + 1, (n * s.fanOut + j) % s.sharedItems));
                    bom.SetParam("Q", double(1 + (n + j) % 3));
                    const int d = (n + j + level) % 4;
                    bom.SetParam("D", d == 0 ? QVariant() : QVariant(double(1 << (d - 1))));
                    bom.Execute();
                }
            }
        }
        db::Query order(c);
        order.SetSQL({"INSERT INTO ORDER_MASTER (MASTERBILLID, BILL_DATE, CUST_ID, CUST_NAME, PROJ_ID, "
                      "DISABLE_FLAG, FR_DATE, TS) VALUES (:B, '2026/11/02', 'C001', '客戶', :P, 'False', "
                      "'2026/12/31', 'N')"});
        db::Query line(c);
        line.SetSQL({"INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, PROD_NAME, QTY) VALUES (:B, :ID, :NAME, :Q)"});
        for (int k = 0; k < s.orderLines; ++k) {
            const QString bill = QString("SO%1").arg(k / s.linesPerOrder, 6, 10, QChar('0'));
            if (k % s.linesPerOrder == 0) {
                order.SetParam("B", bill);
                order.SetParam("P", project);
                order.Execute();
            }
            line.SetParam("B", bill);
            line.SetParam("ID", Item(0, k % s.sharedItems));
            line.SetParam("NAME", Item(0, k % s.sharedItems));
            line.SetParam("Q", 1.0 + k % 9 + (k % 4 == 0 ? 0.5 : 0.0));
            line.Execute();
        }
        c.Commit();
    } catch (...) {
        c.Rollback();
        throw;
    }
}

void CreateSyntheticDatabase(const db::ConnectionParams& params, const Scenario& scenario) {
    db::Connection::CreateDatabase(params);
    db::Connection c;
    c.SetParams(params);
    c.StartTransaction();
    for (const QString& stmt : db::SplitScript(db::SchemaScript())) {
        db::Query q(c);
        q.SetSQL(stmt.split('\n'));
        q.Execute();
    }
    c.Commit();
    FillSyntheticProject(c, scenario);
}

}  // namespace bench
