#pragma once
// The requisition workflow of the main window, without a widget: the project code and
// name, the order list (the window's CDS_OrderItem) loaded by "確定", the material list
// (the window's ACDS) built by "物料展開" with its multi-level passes, and "轉請購單" (the
// day's number and the requisition write). The operations are named by what they do;
// the window's event handlers (bsSkinButton1Click, ...) call them. The main window binds
// its grids to orderList() and materialList(), follows the command states through a
// CommandStateObserver and shows the outcome that "轉請購單" returns; the command line
// drives the same engine and prints that outcome.
//
// Connections: the catalogue connection answers whether the work table exists; the
// reading connection runs the order, bill and product queries, and the work table lives
// on it; the writing connection reserves numbers and writes requisitions in its own
// transactions, with a page cache of its own size (kWritingPageCache), set here before
// it opens. The caller owns the three and keeps them alive while the engine lives.
//
// Commands run synchronously on the caller's thread. A failure of "確定", "物料展開" and
// "序展" throws (db::DbError, data::DataError, mrp::RuleError, mrp::QueryDumpError) and
// the work done before it stays, as the window's error report expects; "轉請購單" returns
// every outcome, failures too (RequisitionReport).

#include <QDateTime>
#include <QHash>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "data/MemTable.h"
#include "data/QueryTable.h"
#include "db/Connection.h"
#include "db/WorkTable.h"
#include "mrp/Expansion.h"
#include "mrp/OddLines.h"
#include "mrp/RequisitionWriter.h"

namespace mrp {

// A command entry point called while its command is disabled (the window's button would
// not have let it through).
class CommandNotAvailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Which of the three commands may be pressed. All start enabled.
struct CommandStates {
    bool confirm = true;      // "確定"
    bool expand = true;       // "物料展開"
    bool requisition = true;  // "轉請購單"
    bool operator==(const CommandStates&) const = default;
};

class CommandStateObserver {
public:
    virtual ~CommandStateObserver() = default;
    // Called after every change, with all three states.
    virtual void CommandStatesChanged(const CommandStates& states) = 0;
};

// The system's texts for the outcome of "轉請購單".
inline constexpr const char* kWriteSucceeded = "資料寫入成功..!";
inline constexpr const char* kWriteFailed = "資料寫入失敗..!";
// Shown instead of writing when the last expansion ended with an error: the list holds
// only part of the materials.
inline constexpr const char* kPartialListRefused = "物料展開未完成, 不能轉請購單..! 請重新按「確定」及「物料展開」";
// Shown instead of writing when another client has transferred the project's orders
// since they were listed: %1 the project, %2 the requisition that holds them.
inline constexpr const char* kAlreadyTransferred = "專案 %1 已轉請購單 (單號 %2), 本次未寫入..!";
// The same when no requisition names them.
inline constexpr const char* kAlreadyTransferredUnnumbered = "專案 %1 已轉請購單, 本次未寫入..!";
// Shown instead of writing when the project code edit no longer names the project whose
// orders were listed: the requisition would carry one project's lines under another's code.
inline constexpr const char* kProjectChangedRefused = "專案代號已變更, 請按「確定」重新載入訂單..!";
// Shown instead of writing when a listed order's lines changed between "物料展開" and
// the write: %1 the order.
inline constexpr const char* kOrderChanged = "訂單 %1 已變更，請重新展開";
// The same when a listed order is no longer the project's open, enabled order at the
// write (moved to another project, disabled): the order list must be loaded again.
inline constexpr const char* kOrderNoLongerListed = "訂單 %1 已變更，請重新載入";
// The text for a project whose orders are in `requisition` (empty when none was found).
QString AlreadyTransferredText(const QString& project, const QString& requisition);

enum class RequisitionOutcome {
    Written,  // kWriteSucceeded
    Failed,   // kWriteFailed; nothing of the requisition was kept
    Refused,  // kPartialListRefused; no number reserved, nothing written
    NothingWritten,  // the material list was empty: nothing written, nothing shown
    // kAlreadyTransferred: another client transferred the listed orders first; nothing
    // written, the reserved number used up
    AlreadyTransferred,
    // The clerk answered No to the lines nobody would buy from (ConfirmOddLines): no
    // number reserved, nothing written, nothing shown, the commands as they were
    Declined,
    // kOrderChanged: a listed order's lines changed since the expansion, or
    // kOrderNoLongerListed: a listed order is no longer the project's open, enabled
    // order; nothing written, the reserved number used up. "確定" and "物料展開" are offered again, and
    // "轉請購單" is refused as for a partial list until an expansion ends well.
    OrdersChanged,
    // The day's number could not be reserved (the database failed, or the program is
    // being ended): no number, nothing written. No text of its own: the failure is in
    // `error`, and is shown as any failed command's error is (the window words it by its
    // kind in an error dialog, the command line ends as on any error), not as kWriteFailed,
    // which says that a numbered requisition was not written.
    NotReserved,
};

// How an outcome is to be shown: as a warning or as plain information (the window
// chooses its dialog for each).
enum class MessageKind { Warning, Information };

struct RequisitionReport {
    RequisitionOutcome outcome = RequisitionOutcome::Failed;
    QString text;    // one of the texts above, to be shown with an OK button
    MessageKind kind = MessageKind::Warning;
    QString detail;  // for a failure, the error's own message (the window need not show it)
    std::exception_ptr error;  // NotReserved: the failure itself
    QString number;  // the requisition number, empty when none was reserved
    QString existing;  // AlreadyTransferred: the requisition holding the orders, when found
    QString order;     // OrdersChanged: the order that changed
    // Numbers the day's counter passed over because a requisition already held them, and
    // a number another write took while this one was writing (the next one is written).
    QStringList skipped;
    int lines = 0;   // lines written
};

// Whether the clerk is shown the outcome: not after an empty list (NothingWritten) nor
// after answering No (Declined).
bool IsShown(const RequisitionReport& report);

// The question "轉請購單" asks before a number is reserved when the material list holds
// lines nobody would buy from (each entry one line of text naming the material and why).
// True writes as usual; false writes nothing and reserves no number (outcome Declined).
using OddLinesQuestion = std::function<bool(const QStringList& lines)>;

struct EngineOptions {
    // The query dump file; empty: DefaultQueryDumpPath().
    QString queryDumpPath;
    // The local date and time; the current one when empty.
    std::function<QDateTime()> clock;
};

class RequisitionEngine {
public:
    RequisitionEngine(db::Connection& catalogue, db::Connection& reading, db::Connection& writing,
                      EngineOptions options = {});
    ~RequisitionEngine();
    RequisitionEngine(const RequisitionEngine&) = delete;
    RequisitionEngine& operator=(const RequisitionEngine&) = delete;

    // --- Start-up and close --------------------------------------------------------
    // The work table step of the window's FormCreate: first drops the work tables of
    // runs that have ended (db::WorkTable::RemoveEndedRuns), then makes this run's, named
    // for the time and the reading attachment, unless it exists. The run's user and
    // store identifiers (from the settings file).
    void CreateWorkTable();
    void SetUser(const QString& userId, const QString& storeId);
    // FormClose: drops the work table if it exists. Runs to its end even while the
    // program is being ended (db::UninterruptibleWork).
    void DropWorkTable();
    const QString& workTableName() const;
    const QString& userId() const { return userId_; }
    const QString& storeId() const { return storeId_; }

    // --- Project -----------------------------------------------------------------
    // The project code edit's text. Commands use it without the spaces around it; "確定"
    // takes it as the listed project, and the later commands work on that project.
    void SetProjectCode(const QString& code) { projectCode_ = code; }
    const QString& projectCode() const { return projectCode_; }
    // Leaving the code edit: looks the project's name up (empty when none, also for a
    // code no project can have) and returns it.
    QString LookUpProjectName();
    const QString& projectName() const { return projectName_; }
    // The project whose orders "確定" listed last (the code without spaces around it);
    // empty before any.
    const QString& listedProject() const { return listedProject_; }

    // --- Commands ----------------------------------------------------------------
    // Each of the three throws CommandNotAvailable while its command is disabled.
    // "確定": refuses a project code that no project can have (too long for its column,
    // or holding a character code page 950 cannot hold: RuleError naming the limit, the
    // list and the states unchanged); writes the order query to the query dump (a failure
    // ends the command before the query runs, with the list and the states unchanged),
    // loads the order list and notes the project's orders the list cannot show
    // (disabled, or TS null), and enables "物料展開" and "轉請購單" when it has rows,
    // disables both when not.
    void LoadOrders();
    // "物料展開": disables itself, recreates the material list, fills the work table from
    // every row of the order list, reads the lines of each listed order (the write checks
    // them again), writes the bill query to the dump, reads the bill rows, builds the
    // first level and runs the passes. It expands the listed project's orders whatever
    // the code edit says by now. A failure leaves the rows built so far in the material
    // list and marks the list as partial (see TransferToRequisition). Pressed before any
    // "確定" it fails on the closed order list.
    void ExpandMaterials();
    // The hidden "序展" button: passes over the material list until no row is marked
    // "Y". The expansion runs its passes itself; this is for rows marked by hand.
    void ExpandSubAssemblies();
    // "轉請購單", returning its outcome; every failure is an outcome too (only a call
    // while the command is disabled throws, as for every command). Refused, with no
    // number reserved, nothing written and the states as they were (outcome Refused):
    // after an expansion that failed (kPartialListRefused); when the code edit no longer
    // names the listed project (kProjectChangedRefused); for a user or store id that does
    // not fit its column (the text names the limit). Then, when the material list holds
    // lines nobody would buy from (OddLines.h), confirmOddLines is asked (none: written
    // without asking); No ends the command as outcome Declined, with nothing reserved or
    // written and the states as they were. Otherwise reserves the day's number (a failure
    // there: NotReserved) and writes the requisition under it; the three commands are
    // then disabled for the rest of the run, except after OrdersChanged. The command has
    // returned before anything is shown: a Written outcome is committed by then. The
    // requisition carries the listed project; the orders marked as transferred are those
    // of the last expansion and the listed project's unlistable ones (see
    // RequisitionWriter).
    RequisitionReport TransferToRequisition(const OddLinesQuestion& confirmOddLines = {});

    // Defines the material list's nine fields and its index "IntIndex" (not active) and
    // creates it empty.
    void DefineMaterialList();
    // Reserves the day's next number (see RequisitionCounter); the numbers it passed over
    // go into the next report (RequisitionReport::skipped).
    QString NextRequisitionNumber(const QString& tableName, const QString& dateText);

    // --- State -------------------------------------------------------------------
    const CommandStates& commandStates() const { return states_; }
    void SetStateObserver(CommandStateObserver* observer) { observer_ = observer; }
    // The requisition number of this run (empty until reserved).
    const QString& requisitionNumber() const { return requisitionNumber_; }
    // True after an expansion that ended with an error, until one ends well.
    bool materialListPartial() const { return materialListPartial_; }
    // Passes of the last expansion.
    int expansionPasses() const { return passes_; }
    // The order numbers the last expansion put in the work table, each once: the orders
    // its material list was built from, which the requisition marks as transferred.
    const QStringList& expandedOrders() const { return expandedOrders_; }
    // The project's orders that the order list could not show when "確定" listed it
    // (disabled, or TS null): the requisition closes them with the listed ones.
    const QStringList& unlistableOrders() const { return unlistableOrders_; }
    // The ordered products of the last expansion that have no bill of materials.
    const std::vector<OrderedProduct>& productsWithoutBill() const { return productsWithoutBill_; }

    // --- Data sets ---------------------------------------------------------------
    data::QueryTable& orderList() { return orderItems_; }
    data::MemTable& materialList() { return materials_; }
    data::QueryTable& billList() { return subItems_; }

    // The material list's rows as the requisition write reads them.
    std::vector<MaterialRow> ReadMaterialList();

    const EngineOptions& options() const { return options_; }

private:
    QDateTime Now() const;
    QString DumpPath() const;
    void SetStates(const CommandStates& states);
    void Require(bool enabled, const char* command) const;
    void FillMaterialList(Expansion& expansion);
    std::vector<BomRow> ReadBomRows();
    // Why "轉請購單" is refused before anything is read; empty when it is not.
    QString Refusal() const;
    // The material list's rows and their products, or none for a list no expansion made.
    struct ListToWrite {
        bool read = false;
        std::vector<MaterialRow> rows;
        LineProducts products;
    };
    ListToWrite ReadListToWrite();
    // "轉請購單" after its refusals: the question, the number, the write.
    RequisitionReport Transfer(const OddLinesQuestion& confirmOddLines);
    // Writes the list under the reserved number; every error of its own work is the
    // outcome Failed (or one of the outcomes of a write that another client's work stopped).
    RequisitionReport WriteRequisition(ListToWrite list);

    db::Connection& catalogue_;
    db::Connection& reading_;
    db::Connection& writing_;
    EngineOptions options_;
    db::TableCatalogue tableCatalogue_;
    std::unique_ptr<db::WorkTable> workTable_;

    QString userId_, storeId_;
    QString projectCode_, projectName_;
    QString listedProject_;
    QString requisitionNumber_;
    QStringList skippedNumbers_;  // passed over when requisitionNumber_ was reserved
    QString commandDate_;  // the date of the running "轉請購單", formed once
    CommandStates states_;
    CommandStateObserver* observer_ = nullptr;
    bool materialListPartial_ = false;
    int passes_ = 0;
    QStringList expandedOrders_;
    QStringList unlistableOrders_;
    // The lines of each expanded order as the expansion read them.
    QHash<QString, std::vector<OrderLine>> expandedLines_;
    std::vector<OrderedProduct> productsWithoutBill_;

    data::QueryTable orderItems_;
    data::MemTable materials_;
    data::QueryTable subItems_;
};

// The page cache the engine gives its writing connection (16 MB with 8 KB pages); the
// reading ones keep the engine's default.
inline constexpr int kWritingPageCache = 2048;

// The field names of the material list (the window's ACDS) in their order.
extern const QStringList kMaterialFields;

}  // namespace mrp
