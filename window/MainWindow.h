#pragma once
// The main window "物料需求計算" (FormMarlith): the clerk's only working window. It binds
// the requisition workflow (mrp::RequisitionEngine) to skinned controls: the project row
// (code edit with its lookup button, name edit, "確定", "離開"), the order grid, the
// "物料展開" band, the material grid and "轉請購單". Every control, the frame and the
// outcome dialog are drawn from the skin the window carries.
//
// The window owns the engine and its reading and writing connections; the catalogue
// connection belongs to the caller (the program's data module) and must outlive the
// window. A database error in a handler is shown in the skinned message dialog and the
// window stays as the handler left it. Closing always succeeds: the work table is
// dropped on the way, and a drop that fails is shown and does not keep the window open.
// Handlers run as interruptible work (db/Interrupt.h): when the program is told to end,
// the running one stops and its messages go to the standard error.

#include <QPointer>

class QPrintPreviewDialog;
class QPrinter;

#include <functional>
#include <memory>
#include <optional>

#include "data/DataSource.h"
#include "data/QueryTable.h"
#include "db/Connection.h"
#include "mrp/RequisitionEngine.h"
#include "platform/Form.h"
#include "skinctrls/MessageLayout.h"

namespace skin {
class TbsSkinData;
}  // namespace skin

namespace report {
struct PlanFilter;
struct PurchasePlan;
}  // namespace report

namespace frame {
class TbsSkinFrame;
class TbsSkinPopupMenu;
}  // namespace frame

namespace skinctrls {
class TbsSkinEdit;
class TbsSkinButton;
class TbsSkinMessage;
class TbsSkinDBGrid;
class TbsSkinStdLabel;
}  // namespace skinctrls

namespace window {

// The run's user and store identifiers as the settings file gives them.
struct RunIdentifiers {
    QString userId;
    QString storeId;
    // What is wrong with the file (it is missing, or names no user); shown as a warning
    // once the window is on the screen. Empty: nothing to say.
    QString warning = {};
};

struct MainWindowOptions {
    // The reading and writing connections' entry; none: the named entry "Kelmor".
    std::optional<db::ConnectionParams> connection;
    // Reads the settings file (FormCreate's last step); none: both identifiers empty.
    std::function<RunIdentifiers()> readIdentifiers;
    // The engine's options (query dump path, clock).
    mrp::EngineOptions engine;
    // False: the window keeps no skin and every part draws its plain look.
    bool carriedSkin = true;
    // Asks where a grid's rows are exported, offering suggested (a file name in the
    // clerk's home folder); an empty answer writes nothing. Default: the platform's file
    // dialog. Tests replace it to answer without a person.
    std::function<QString(const QString& suggested)> chooseExportFile;
    // Runs the print dialog of a requisition (its preview, with the system's print dialog
    // behind its print button) and returns how it ended (QDialog::Accepted: printed).
    // Default: the dialog's own modal run. Tests replace it to look at the preview and
    // answer without a person.
    std::function<int(QPrintPreviewDialog& dialog)> runPrintDialog;
    // Shows a message modally and returns the button pressed. Default: the window's
    // skinned message dialog. Tests replace it to answer without a person.
    std::function<int(const QString& text, skinctrls::TMsgDlgType kind)> showMessage;
    // Asks why a requisition is voided; nullopt: cancelled. Default: the skinned reason
    // form. Tests replace it to answer without a person.
    std::function<std::optional<QString>(const QString& number)> askVoidReason;
};

class THistoryDialog;
class TPlanDialog;

class TFormMarlith : public platform::Form, public mrp::CommandStateObserver {
    Q_OBJECT

public:
    // Builds the window: skin components, frame, controls, data sources; opens the
    // reading connection (a failure throws, and no window exists); then runs FormCreate,
    // whose errors are reported and leave the window open.
    TFormMarlith(db::Connection& catalogue, MainWindowOptions options = {});
    ~TFormMarlith() override;

    // --- Handlers, as the buttons and edits call them --------------------------------
    void bsSkinEdit1Exit();          // name lookup
    void bsSkinEdit1ButtonClick();   // project lookup
    void bsSkinButton1Click();       // "確定"
    void bsSkinButton2Click();       // "物料展開"
    void SpeedButton1Click();        // "序展" (never visible)
    void bsSkinButton3Click();       // "轉請購單"; its outcome shown once the command has returned
    void bsSkinButton4Click();       // "離開"

    // --- Parts, for the program and its tests ----------------------------------------
    mrp::RequisitionEngine& engine() { return *engine_; }
    skin::TbsSkinData* bsSkinData1() const { return skinData_; }
    skinctrls::TbsSkinEdit* bsSkinEdit1() const { return edit1_; }
    skinctrls::TbsSkinEdit* bsSkinEdit2() const { return edit2_; }
    skinctrls::TbsSkinButton* bsSkinButton1() const { return button1_; }
    skinctrls::TbsSkinButton* bsSkinButton2() const { return button2_; }
    skinctrls::TbsSkinButton* bsSkinButton3() const { return button3_; }
    skinctrls::TbsSkinButton* bsSkinButton4() const { return button4_; }
    // Why the last text typed into the code edit was refused (empty: nothing to say).
    skinctrls::TbsSkinStdLabel* HintLabel() const { return hint_; }
    // "匯出 CSV…" of a grid's context menu: its visible columns (titles as the header)
    // and rows as CSV in UTF-8 with a byte-order mark, so that a spreadsheet reads the
    // Chinese text; written whole or not at all. False when nothing was written.
    bool ExportGridCsv(skinctrls::TbsSkinDBGrid* grid);
    // The requisition on paper (the outcome dialog's "列印" button): the print preview,
    // laid out as `marlith print` lays out its PDF, and the system's print dialog from
    // there. False when nothing was printed (cancelled); throws when the requisition
    // cannot be read or printed.
    bool PrintRequisition(const QString& number);
    // The requisition's purchase summary by supplier on paper, through the same print
    // dialog and preview as PrintRequisition.
    bool PrintSummary(const QString& number);
    // "請購單查詢" (the bottom band's button, Ctrl+H, the grids' context menu): the
    // requisitions of the project in the code edit, shown modally.
    void ShowHistory();
    // The dialog ShowHistory shows, listed and not shown; it frees itself with the window.
    THistoryDialog* NewHistory();
    // "採購計畫" of "請購單查詢": the purchase plan over the open requisitions of the
    // filter, shown modally; a message instead when they hold no open line.
    void ShowPlan(const report::PlanFilter& filter);
    // The dialog ShowPlan shows, read and not shown; nullptr (and the message) when there
    // is nothing to plan. It frees itself with the window.
    TPlanDialog* NewPlan(const report::PlanFilter& filter);
    // The plan on paper, a page block per supplier, through the same print dialog and
    // preview as PrintRequisition.
    bool PrintPlan(const report::PurchasePlan& plan);
    // The project list of the lookup, read at the first lookup of the run.
    data::QueryTable& CDS_Proj() { return cdsProj_; }

    // CommandStateObserver
    void CommandStatesChanged(const mrp::CommandStates& states) override;
    // The question "轉請購單" asks before a number is taken: names the lines nobody would
    // buy from in a confirmation (Yes, the default, writes; No writes nothing); a long
    // list shows its first lines and how many more there are.
    bool ConfirmOddLines(const QStringList& lines);

signals:
    // The window has closed through its close handling (the work table is dropped).
    void FormClosed();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    // The print preview of `document` painted by paint, and the system's print dialog from
    // there; false when nothing was printed.
    bool PrintPages(const QString& document, const std::function<void(QPrinter&)>& paint);
    void BuildSkin();
    void BuildControls();
    // Opens the grids' context menu on a right click (or the menu key) on grid.
    skinctrls::TbsSkinDBGrid* AddGridMenu(skinctrls::TbsSkinDBGrid* grid);
    void FormCreate();
    // FormClose: drops the work table; a failure is shown and the window closes anyway.
    void FormClose();
    // Runs a handler; a failure is shown in the message dialog.
    bool Guard(const std::function<void()>& handler);
    // One of the engine's commands on the project code as the edit holds it now.
    void RunCommand(void (mrp::RequisitionEngine::*command)());
    // The outcome of "轉請購單": a dialog with "列印" for a requisition written; a number
    // that could not be reserved as any failed command's error; nothing when there is
    // nothing to show (mrp::IsShown).
    void ShowOutcome(const mrp::RequisitionReport& report);
    // The name lookup on the code edit's text, without the error report.
    void LookUpName();
    // The code edit takes what the project code column holds: its length, and only
    // characters of the database's code page; a refusal is said in the hint line.
    void LimitProjectCode();
    // Where to write a file: fileName in the clerk's home folder offered in the file
    // dialog (or to the options' chooser); empty when nothing is to be written.
    QString AskForFile(const QString& title, const QString& fileName, const QString& filter);
    int ShowMessage(const QString& text, skinctrls::TMsgDlgType kind,
                    skinctrls::TMsgDlgButtons buttons = skinctrls::MsgButton(skinctrls::mbOK));

    db::Connection& catalogue_;
    db::Connection reading_;
    db::Connection writing_;
    MainWindowOptions options_;
    std::unique_ptr<mrp::RequisitionEngine> engine_;
    data::DataSource dsOrderItem_;  // DS_OrderItem: the order grid's
    data::DataSource dsSubItem_;    // DS_SubItem: the material grid's
    data::QueryTable cdsProj_;
    data::DataSource dsSearch_;     // DS_Search: carries the project list to the lookup
    // The settings' warning, until the window is first shown.
    QString settingsWarning_;
    bool formClosed_ = false;  // FormClose has run

    // Skin components (children of the window).
    skin::TbsSkinData* skinData_ = nullptr;
    frame::TbsSkinFrame* frame_ = nullptr;
    skinctrls::TbsSkinMessage* message_ = nullptr;
    // The grids' context menu, and the grid it was last opened on.
    frame::TbsSkinPopupMenu* gridMenu_ = nullptr;
    QPointer<skinctrls::TbsSkinDBGrid> menuGrid_;

    // Controls (children of the client area; freed with it).
    skinctrls::TbsSkinEdit* edit1_ = nullptr;
    skinctrls::TbsSkinEdit* edit2_ = nullptr;
    skinctrls::TbsSkinButton* button1_ = nullptr;
    skinctrls::TbsSkinButton* button2_ = nullptr;
    skinctrls::TbsSkinButton* button3_ = nullptr;
    skinctrls::TbsSkinButton* button4_ = nullptr;
    skinctrls::TbsSkinStdLabel* hint_ = nullptr;
};

}  // namespace window
