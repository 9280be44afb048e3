#include "mrp/Statements.h"

#include "mrp/Rules.h"

namespace mrp {

const QStringList kProjectNameStatement = {"SELECT PROJ_NAME FROM PROJ_ITEM WHERE PROJ_ID = :PROJ_ID"};

namespace {

ComposedQuery Compose(const QStringList& head, const QString& codeLinePrefix, const QStringList& tail,
                      const QString& projectCode) {
    ComposedQuery q;
    q.statement = head;
    q.statement << codeLinePrefix + ":PROJ_ID";
    q.statement << tail;
    q.dump = head;
    q.dump << codeLinePrefix + SqlLiteral(projectCode);
    q.dump << tail;
    return q;
}

}  // namespace

ComposedQuery OrderQuery(const QString& projectCode) {
    return Compose({"select b.prod_id,b.prod_name,b.qty, ",
                    "       a.masterbillid,a.bill_date,a.cust_id,a.cust_name,a.proj_id, ",
                    "       a.disable_flag,a.fr_date ",
                    "        from order_master a ",
                    "inner join order_sub b ",
                    "on a.masterbillid = b.masterbillid ",
                    " where a.disable_flag  = 'False' AND a.TS <> 'Y' "},
                   " and a.proj_id = ", {}, projectCode);
}

ComposedQuery BillOfMaterialsQuery(const QString& projectCode, const QString& workTable) {
    return Compose({"select b.prod_id,b.prod_name,b.qty, ",
                    "       a.masterbillid,a.bill_date,a.cust_id,a.cust_name,a.proj_id, ",
                    "       a.disable_flag,a.fr_date, ",
                    "       c.de_prodid,c.de_qty,b.qty*c.de_qty as t_qty ,c.div_c",
                    "        from order_master a ",
                    "inner join order_sub b ",
                    "on a.masterbillid = b.masterbillid ",
                    "inner join pd_bom c ",
                    "on c.prod_id = b.prod_id "},
                   "where a.proj_id = ",
                   {" AND a.masterbillid in (select masterbillid from " + workTable + ")"}, projectCode);
}

}  // namespace mrp
