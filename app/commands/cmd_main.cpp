// The main job. Until the window exists it prints the projects of the configured
// database with their open order lines, read back through the data layer.

#include <cstdio>

#include "app/Command.h"
#include "db/Connection.h"

namespace {

int Main(const QStringList& args) {
    app::RejectUnknownOptions(args);
    db::Connection reading;
    reading.Open();
    db::Query projects(reading);
    projects.SetSQL({"SELECT PROJ_ID, PROJ_NAME FROM PROJ_ITEM ORDER BY PROJ_ID"});
    projects.Open();
    db::Query orders(reading);
    orders.SetSQL({"select b.prod_id,b.prod_name,b.qty, ",
                   "       a.masterbillid,a.bill_date,a.cust_name ",
                   "        from order_master a ",
                   "inner join order_sub b ",
                   "on a.masterbillid = b.masterbillid ",
                   " where a.disable_flag  = 'False' AND a.TS <> 'Y' ",
                   " and a.proj_id = :PROJ_ID"});
    for (; !projects.Eof(); projects.Next()) {
        const QString id = projects.FieldByName("PROJ_ID").AsString();
        std::printf("%s  %s\n", qPrintable(id), qPrintable(projects.FieldByName("PROJ_NAME").AsString()));
        orders.SetParam("PROJ_ID", id);
        orders.Open();
        if (orders.Eof()) std::printf("    (沒有未轉請購的訂單)\n");
        for (; !orders.Eof(); orders.Next())
            std::printf("    %s  %s  %-6s %-12s %s  %s\n", qPrintable(orders.FieldByName("MASTERBILLID").AsString()),
                        qPrintable(orders.FieldByName("BILL_DATE").AsString()),
                        qPrintable(orders.FieldByName("PROD_ID").AsString()),
                        qPrintable(orders.FieldByName("PROD_NAME").AsString()),
                        qPrintable(orders.FieldByName("QTY").AsString()),
                        qPrintable(orders.FieldByName("CUST_NAME").AsString()));
    }
    return 0;
}

const app::CommandRegistrar kMain({
    "main",
    "",
    "the main job (run when no command is given)",
    app::Needs::Core,
    &Main,
});

}  // namespace
