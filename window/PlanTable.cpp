#include "window/PlanTable.h"

namespace window {

void FillPlanTable(data::MemTable& table, const report::PurchasePlan& plan, bool totals) {
    struct Column {
        const char* name;
        const char16_t* title;
        data::FieldType type;
        int width;  // characters the grid gives it
    };
    static const Column columns[] = {{"PROVIDER_ID", u"供應商", data::FieldType::Text, 6},
                                     {"PROVIDER_NAME", u"供應商名稱", data::FieldType::Text, 10},
                                     {"PROD_ID", u"品號", data::FieldType::Text, 10},
                                     {"PROD_NAME", u"品名", data::FieldType::Text, 14},
                                     {"UNITNAME", u"單位", data::FieldType::Text, 4},
                                     {"QTY", u"需求量", data::FieldType::Float, 6},
                                     {"NOW_QTY", u"庫存", data::FieldType::Float, 6},
                                     {"SUGGEST_QTY", u"建議量", data::FieldType::Float, 6},
                                     {"STD_COST", u"成本", data::FieldType::Float, 7},
                                     {"AMT", u"金額", data::FieldType::Float, 9},
                                     {"REQUISITIONS", u"請購單", data::FieldType::Text, 26}};
    if (table.fieldDefs().Count() == 0)
        for (const Column& c : columns)
            table.fieldDefs().Add(QLatin1String(c.name), c.type).displayLabel = QString::fromUtf16(c.title);
    if (!table.Active()) {
        table.CreateDataSet();
        for (const Column& c : columns) table.FieldByName(QLatin1String(c.name))->SetDisplayWidth(c.width);
    }
    data::QuietControls quiet(table);
    table.EmptyDataSet();
    std::vector<std::vector<QVariant>> rows;
    for (const report::PlanSupplier& s : plan.suppliers) {
        for (const report::PlanRow& r : s.rows)
            rows.push_back({s.id, s.name, r.code, r.name, r.unit, double(r.quantity), r.stock, double(r.suggested),
                            r.cost, double(r.amount), r.requisitions.join(QLatin1Char(' '))});
        if (totals)
            rows.push_back({s.id, s.name, QStringLiteral("小計"), {}, {}, {}, {}, {}, {}, double(s.Subtotal()), {}});
    }
    if (totals) rows.push_back({{}, {}, QStringLiteral("總計"), {}, {}, {}, {}, {}, {}, double(plan.Total()), {}});
    table.AppendRows(std::move(rows));
    if (!table.IsEmpty()) table.First();
}

}  // namespace window
