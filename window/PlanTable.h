#pragma once
// The purchase plan as a table: the rows `marlith plan` lists as CSV and JSON, and the
// rows of the plan dialog's grid, which adds each supplier's subtotal and the grand total.

#include "data/MemTable.h"
#include "report/Plan.h"

namespace window {

// PROVIDER_ID, PROVIDER_NAME, PROD_ID, PROD_NAME, UNITNAME, QTY, NOW_QTY, SUGGEST_QTY,
// STD_COST, AMT, REQUISITIONS (space-separated, oldest first), titled in Chinese; one row
// per supplier and material. With `totals`, a row after each supplier's ("小計" in the
// code column, its AMT) and one at the end ("總計").
void FillPlanTable(data::MemTable& table, const report::PurchasePlan& plan, bool totals);

}  // namespace window
