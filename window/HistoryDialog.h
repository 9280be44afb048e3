#pragma once
// "請購單查詢": the requisitions written, as the clerk looks them up from the main window.
// A skinned form (the main window's skin: frame, panels, edits, grid, buttons) listing the
// requisitions of a project code and a date range, newest first, with their state; for
// the selected one: "列印", "匯出 CSV", "彙總" (the purchase summary by supplier) and
// "作廢" (which asks for the reason and then takes the requisition back); for every open
// one the filter shows: "採購計畫" (the purchase plan, net of stock). What the main
// window already does (printing, asking where to write a file, its message dialog) the
// dialog asks it to do through HistoryActions.
//
// "作廢" asks in a skinned form of its own (TVoidReasonDialog): the requisition's number,
// what a void does, and the reason, required.

#include <QString>
#include <functional>
#include <optional>

#include "data/DataSource.h"
#include "data/MemTable.h"
#include "db/Connection.h"
#include "mrp/RequisitionHistory.h"
#include "report/Plan.h"
#include "platform/Form.h"
#include "skinctrls/MessageLayout.h"

namespace skin {
class TbsSkinData;
}
namespace frame {
class TbsSkinFrame;
}
namespace skinctrls {
class TbsSkinEdit;
class TbsSkinButton;
class TbsSkinDBGrid;
class TbsSkinStdLabel;
}  // namespace skinctrls

namespace window {

struct HistoryActions {
    std::function<void(const QString& number)> print;         // the requisition, as the window prints it
    std::function<void(const QString& number)> printSummary;  // its purchase summary
    std::function<void(skinctrls::TbsSkinDBGrid* grid)> exportCsv;
    // "採購計畫": the purchase plan over the open requisitions of the filter.
    std::function<void(const report::PlanFilter& filter)> showPlan;
    std::function<int(const QString& text, skinctrls::TMsgDlgType kind)> showMessage;
    // The void's reason for the requisition; nullopt when the clerk cancels.
    std::function<std::optional<QString>(const QString& number)> askReason;
};

class THistoryDialog : public platform::Form {
    Q_OBJECT

public:
    // Lists on `reading` and voids on `writing` (both must outlive the dialog), as the
    // clerk userId of storeId.
    THistoryDialog(skin::TbsSkinData* skinData, db::Connection& reading, db::Connection& writing, QString userId,
                   QString storeId, HistoryActions actions, QWidget* owner = nullptr);
    ~THistoryDialog() override;

    // The filter's edits; then Search lists what matches.
    void SetFilter(const QString& project, const QString& from = {}, const QString& to = {});
    // "查詢". A date that is not YYYY/MM/DD is shown and lists nothing new.
    void Search();
    // The selected requisition's number; empty when the list is empty.
    QString SelectedNumber() const;
    // Makes the requisition the selected one; false when it is not listed.
    bool Select(const QString& number);

    void PrintClick();    // "列印"
    void ExportClick();   // "匯出 CSV"
    void SummaryClick();  // "彙總"
    void VoidClick();     // "作廢"
    void PlanClick();     // "採購計畫": over the filter's open requisitions

    data::MemTable& list() { return list_; }
    skinctrls::TbsSkinDBGrid* grid() const { return grid_; }
    skinctrls::TbsSkinEdit* projectEdit() const { return project_; }
    skinctrls::TbsSkinButton* voidButton() const { return voidButton_; }

private:
    void BuildControls();
    // The filter as the edits give it; nullopt, after telling the clerk, when a date is
    // not YYYY/MM/DD.
    std::optional<mrp::HistoryFilter> EditedFilter();
    // Runs a handler; a failure is shown in the message dialog.
    void Guard(const std::function<void()>& handler);
    // The selected number, or a message that there is none.
    QString Selected();
    // The same for a command a voided requisition has nothing for: empty, and the clerk
    // told `voidedText` (%1 the number), when the selected one is voided.
    QString SelectedNotVoided(const QString& voidedText);
    int Show(const QString& text, skinctrls::TMsgDlgType kind);

    skin::TbsSkinData* skinData_;
    db::Connection& reading_;
    db::Connection& writing_;
    QString userId_, storeId_;
    HistoryActions actions_;
    data::MemTable list_;
    data::DataSource source_;
    frame::TbsSkinFrame* frame_ = nullptr;
    skinctrls::TbsSkinEdit* project_ = nullptr;
    skinctrls::TbsSkinEdit* from_ = nullptr;
    skinctrls::TbsSkinEdit* to_ = nullptr;
    skinctrls::TbsSkinDBGrid* grid_ = nullptr;
    skinctrls::TbsSkinButton* voidButton_ = nullptr;
};

// The reason for voiding a requisition, asked in a skinned form: "確定" with a reason
// given accepts, "取消" (or closing the form) cancels.
class TVoidReasonDialog : public platform::Form {
    Q_OBJECT

public:
    TVoidReasonDialog(skin::TbsSkinData* skinData, const QString& number, QWidget* owner = nullptr);
    // Shows the form modally; the reason, trimmed, or nullopt when cancelled.
    std::optional<QString> Ask();
    skinctrls::TbsSkinEdit* reasonEdit() const { return reason_; }

private:
    skinctrls::TbsSkinEdit* reason_ = nullptr;
};

}  // namespace window
