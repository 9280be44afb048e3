#pragma once
// "採購計畫": the purchase plan over the open requisitions "請購單查詢" lists, as the
// purchasing office reads it: one row per supplier and material (need, stock on hand,
// quantity to buy, cost, amount, the requisitions that ask for it), each supplier's
// subtotal and the grand total, on the main window's skin. "列印" prints it (the print
// dialog with its preview, a page block per supplier), "匯出 CSV" writes its rows as the
// window exports any grid. A suggestion: nothing is written.

#include <functional>

#include "data/DataSource.h"
#include "data/MemTable.h"
#include "platform/Form.h"
#include "report/Plan.h"
#include "skinctrls/MessageLayout.h"

namespace skin {
class TbsSkinData;
}
namespace skinctrls {
class TbsSkinDBGrid;
class TbsSkinButton;
}  // namespace skinctrls

namespace window {

struct PlanActions {
    std::function<void(const report::PurchasePlan& plan)> print;
    std::function<void(skinctrls::TbsSkinDBGrid* grid)> exportCsv;
    std::function<int(const QString& text, skinctrls::TMsgDlgType kind)> showMessage;
};

class TPlanDialog : public platform::Form {
    Q_OBJECT

public:
    TPlanDialog(skin::TbsSkinData* skinData, report::PurchasePlan plan, PlanActions actions, QWidget* owner = nullptr);
    ~TPlanDialog() override;

    void PrintClick();   // "列印"
    void ExportClick();  // "匯出 CSV"

    const report::PurchasePlan& plan() const { return plan_; }
    data::MemTable& table() { return table_; }
    skinctrls::TbsSkinDBGrid* grid() const { return grid_; }

private:
    // Runs a handler; a failure is shown in the message dialog.
    void Guard(const std::function<void()>& handler);

    report::PurchasePlan plan_;
    PlanActions actions_;
    data::MemTable table_;
    data::DataSource source_;
    skinctrls::TbsSkinDBGrid* grid_ = nullptr;
};

}  // namespace window
