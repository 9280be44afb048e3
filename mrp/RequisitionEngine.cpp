#include "mrp/RequisitionEngine.h"

#include <QSet>

#include "data/Error.h"
#include "db/Interrupt.h"
#include "mrp/Audit.h"
#include "mrp/BillLookup.h"
#include "mrp/CommandTransaction.h"
#include "mrp/Identifiers.h"
#include "mrp/Numbering.h"
#include "mrp/QueryDump.h"
#include "mrp/RequisitionWriter.h"
#include "mrp/Retry.h"
#include "mrp/Rules.h"
#include "mrp/Statements.h"

namespace mrp {

QString AlreadyTransferredText(const QString& project, const QString& requisition) {
    return requisition.isEmpty() ? QString::fromUtf8(kAlreadyTransferredUnnumbered).arg(project)
                                 : QString::fromUtf8(kAlreadyTransferred).arg(project, requisition);
}

const QStringList kMaterialFields = {"PROD_ID",   "PROD_NAME",    "QTY",       "DIV_C", "R_QTY",
                                     "UNITNAME",  "MASTERBILLID", "MAIN_PROD", "MITEM"};

namespace {

// ACDS field positions, in kMaterialFields' order.
enum MaterialField { kProdId, kProdName, kQty, kDivC, kRQty, kUnitName, kMasterBillId, kMainProd, kMItem };

void DefineOrderList(data::QueryTable& t) {
    struct Def {
        const char* name;
        data::FieldType type;
        int size;
        const char* title;
    };
    static const Def defs[] = {
        {"PROD_ID", data::FieldType::Text, 20, "商品編號"},    {"PROD_NAME", data::FieldType::Text, 50, "商品名稱"},
        {"QTY", data::FieldType::Float, 0, "數量"},            {"MASTERBILLID", data::FieldType::Text, 20, "訂單號碼"},
        {"BILL_DATE", data::FieldType::Text, 10, "訂單日期"},  {"CUST_ID", data::FieldType::Text, 10, "客戶代號"},
        {"CUST_NAME", data::FieldType::Text, 50, "客戶名稱"},  {"FR_DATE", data::FieldType::Text, 10, "出貨日期"},
        {"PROJ_ID", data::FieldType::Text, 20, ""},            {"DISABLE_FLAG", data::FieldType::Text, 5, ""},
    };
    for (const Def& d : defs) {
        data::FieldDef& f = t.fieldDefs().Add(d.name, d.type, d.size, QLatin1String(d.name) == "MASTERBILLID");
        f.displayLabel = QString::fromUtf8(d.title);
    }
}

// A float field of a list as the expansion takes it: null stays null.
std::optional<double> ListNumber(const data::Field* f) {
    if (f->IsNull()) return std::nullopt;
    return f->AsFloat();
}

}  // namespace

RequisitionEngine::RequisitionEngine(db::Connection& catalogue, db::Connection& reading, db::Connection& writing,
                                     EngineOptions options)
    : catalogue_(catalogue),
      reading_(reading),
      writing_(writing),
      options_(std::move(options)),
      tableCatalogue_(catalogue),
      orderItems_(&reading),
      subItems_(&reading) {
    // A requisition of many lines changes more pages than the engine's default cache holds,
    // which would write them out again and again before the commit.
    writing_.SetPageCache(kWritingPageCache);
    orderItems_.SetName("CDS_OrderItem");
    materials_.SetName("ACDS");
    subItems_.SetName("CDS_SubItem");
    DefineOrderList(orderItems_);
}

RequisitionEngine::~RequisitionEngine() = default;

// --- Start-up and close ----------------------------------------------------------------

namespace {

// Creating and dropping tables change the server's catalogue; two clients doing it at
// the same moment meet on its rows and one of them is told "deadlock". The step is
// simply tried again a little later (mrp/Retry.h). So is a step that met a cancel meant
// for the work of a run that is ending (it arrived after its statement had finished).
template <typename Step>
void RetryCatalogueStep(Step step) {
    RetryOnConflict(step, [](const db::DbError& e) { return e.isLockConflict() || e.isCancelled(); });
}

}  // namespace

void RequisitionEngine::CreateWorkTable() {
    // The name carries the reading attachment's number, which tells later runs whether
    // this one is still attached.
    workTable_ =
        std::make_unique<db::WorkTable>(reading_, db::MakeWorkTableName(QTime::currentTime(), reading_.AttachmentId()));
    // Tables of runs that were killed outright or lost their database: nothing else
    // ever removes them. A failure here does not keep this run from working; the next
    // run tries again.
    try {
        workTable_->RemoveEndedRuns(tableCatalogue_);
    } catch (const db::Interrupted&) {
        throw;
    } catch (const db::DbError&) {
    }
    RetryCatalogueStep([&] { workTable_->CreateIfMissing(tableCatalogue_); });
}

void RequisitionEngine::SetUser(const QString& userId, const QString& storeId) {
    userId_ = userId;
    storeId_ = storeId;
}

void RequisitionEngine::DropWorkTable() {
    if (!workTable_) return;
    // Runs to its end even while the program is being ended.
    db::UninterruptibleWork cleanup;
    // The query tables keep nothing prepared; the bill and product statements of a
    // command are gone with it, so the drop meets no statement in use.
    RetryCatalogueStep([&] { workTable_->DropIfExists(tableCatalogue_); });
}

const QString& RequisitionEngine::workTableName() const {
    static const QString none;
    return workTable_ ? workTable_->name() : none;
}

// --- Helpers ---------------------------------------------------------------------------

QDateTime RequisitionEngine::Now() const { return options_.clock ? options_.clock() : QDateTime::currentDateTime(); }

QString RequisitionEngine::DumpPath() const {
    return options_.queryDumpPath.isEmpty() ? DefaultQueryDumpPath() : options_.queryDumpPath;
}

void RequisitionEngine::SetStates(const CommandStates& states) {
    if (states == states_) return;
    states_ = states;
    if (observer_) observer_->CommandStatesChanged(states_);
}

void RequisitionEngine::Require(bool enabled, const char* command) const {
    if (!enabled)
        throw CommandNotAvailable(QString("「%1」 is not available now").arg(QString::fromUtf8(command)).toStdString());
}

// --- Project ---------------------------------------------------------------------------

QString RequisitionEngine::LookUpProjectName() {
    const QString code = projectCode_.trimmed();
    // A code that does not fit the column names no project.
    if (!IdentifierProblem(kProjectCodeLabel, code, kProjectCodeBytes, reading_.codePage()).isEmpty()) {
        projectName_.clear();
        return projectName_;
    }
    db::Query q(reading_);
    q.SetSQL(kProjectNameStatement);
    q.SetParam("PROJ_ID", code);
    q.Open();
    projectName_ = q.Fields(0).AsString();
    return projectName_;
}

// --- "確定" -----------------------------------------------------------------------------

namespace {

// The project's orders that the order list cannot show: disabled ones, and those whose
// TS is null (the list's TS <> 'Y' is not true for null).
const QStringList kUnlistableOrders = {
    "SELECT MASTERBILLID FROM ORDER_MASTER WHERE PROJ_ID = :PROJ_ID",
    " AND (TS IS NULL OR (TS <> 'Y' AND (DISABLE_FLAG IS NULL OR DISABLE_FLAG <> 'False')))"};

}  // namespace

void RequisitionEngine::LoadOrders() {
    Require(states_.confirm, "確定");
    const QString code = projectCode_.trimmed();
    if (const QString problem = IdentifierProblem(kProjectCodeLabel, code, kProjectCodeBytes, reading_.codePage());
        !problem.isEmpty())
        throw InputError(problem.toStdString());
    const ComposedQuery query = OrderQuery(code);
    WriteQueryDump(DumpPath(), query.dump, reading_.codePage());

    // The list and the orders it cannot show, read one after the other in one
    // transaction: an order entered after this is not the listed project's to close.
    QStringList unlistable;
    {
        CommandTransaction transaction(reading_);
        orderItems_.Close();
        orderItems_.SetCommandText(query.statement);
        orderItems_.SetParam("PROJ_ID", code);
        orderItems_.Open();
        db::Query q(reading_);
        q.SetSQL(kUnlistableOrders);
        q.SetParam("PROJ_ID", code);
        q.Open();
        for (; !q.Eof(); q.Next()) unlistable << q.Fields(0).AsString();
        transaction.Commit();
    }
    listedProject_ = code;
    unlistableOrders_ = unlistable;

    CommandStates s = states_;
    s.expand = s.requisition = orderItems_.RecordCount() > 0;
    SetStates(s);
}

// --- "物料展開" -------------------------------------------------------------------------

void RequisitionEngine::DefineMaterialList() {
    materials_.Close();
    materials_.fieldDefs().Clear();
    materials_.ClearIndexDefs();
    auto& defs = materials_.fieldDefs();
    defs.Add("PROD_ID", data::FieldType::Text, 20);
    defs.Add("PROD_NAME", data::FieldType::Text, 50);
    defs.Add("QTY", data::FieldType::Float);
    defs.Add("DIV_C", data::FieldType::Float);
    defs.Add("R_QTY", data::FieldType::Float);
    defs.Add("UNITNAME", data::FieldType::Text, 10);
    defs.Add("MASTERBILLID", data::FieldType::Text, 20);
    defs.Add("MAIN_PROD", data::FieldType::Text, 20);
    defs.Add("MITEM", data::FieldType::Text, 1);
    // Defined with the table but never the active order: rows stay as they were added.
    materials_.AddIndexDef("IntIndex", "PROD_ID");
    materials_.CreateDataSet();
}

void RequisitionEngine::FillMaterialList(Expansion& expansion) {
    data::QuietControls quiet(materials_);
    materials_.EmptyDataSet();
    // The expansion's rows move into the list as they lie.
    materials_.LoadRows(expansion.TakeRows());
}

std::vector<MaterialRow> RequisitionEngine::ReadMaterialList() {
    // Fails on a list that no expansion has created, as walking a closed table does.
    materials_.CheckBrowseMode();
    std::vector<MaterialRow> rows;
    rows.reserve(static_cast<size_t>(materials_.RecordCount()));
    std::vector<data::Field*> f;
    for (const QString& name : kMaterialFields) f.push_back(materials_.FieldByName(name));
    // The grid does not follow the walk; the current row is kept.
    data::ForEachRecord(materials_, [&] {
        MaterialRow r;
        r.prodId = f[kProdId]->AsString();
        r.prodName = f[kProdName]->AsString();
        r.qty = ListNumber(f[kQty]);
        r.divC = f[kDivC]->IsNull() ? 1 : f[kDivC]->AsFloat();
        r.rQty = f[kRQty]->AsFloat();
        r.unitName = f[kUnitName]->AsString();
        r.masterBillId = f[kMasterBillId]->AsString();
        r.mainProd = f[kMainProd]->AsString();
        r.mItem = f[kMItem]->AsString();
        if (!r.mainProd.isEmpty()) r.assemblies << r.mainProd;
        rows.push_back(std::move(r));
    });
    return rows;
}

std::vector<BomRow> RequisitionEngine::ReadBomRows() {
    std::vector<BomRow> rows;
    rows.reserve(static_cast<size_t>(subItems_.RecordCount()));
    data::Field* prodId = subItems_.FieldByName("PROD_ID");
    data::Field* masterBillId = subItems_.FieldByName("MASTERBILLID");
    data::Field* deProdId = subItems_.FieldByName("DE_PRODID");
    data::Field* tQty = subItems_.FieldByName("T_QTY");
    data::Field* divC = subItems_.FieldByName("DIV_C");
    for (subItems_.First(); !subItems_.Eof(); subItems_.Next())
        rows.push_back({prodId->AsString(), masterBillId->AsString(), deProdId->AsString(), ListNumber(tQty),
                        ListNumber(divC)});
    return rows;
}

void RequisitionEngine::ExpandMaterials() {
    Require(states_.expand, "物料展開");
    CommandStates s = states_;
    s.expand = false;
    SetStates(s);
    // Cleared only when the whole expansion has ended well.
    materialListPartial_ = true;
    passes_ = 0;
    expandedOrders_.clear();
    expandedLines_.clear();
    productsWithoutBill_.clear();
    CommandTransaction transaction(reading_);

    DefineMaterialList();
    if (!workTable_) throw RuleError("the work table was not created");
    workTable_->Empty();

    // Every listed order line, whatever row the clerk is on.
    if (!orderItems_.Active())
        throw data::DataError("CDS_OrderItem: Cannot perform this operation on a closed dataset");
    std::vector<std::pair<QString, QString>> orders;
    {
        orderItems_.CheckBrowseMode();
        const int current = orderItems_.RecNo();
        data::QuietControls quiet(orderItems_);
        data::Field* bill = orderItems_.FieldByName("MASTERBILLID");
        data::Field* project = orderItems_.FieldByName("PROJ_ID");
        for (orderItems_.First(); !orderItems_.Eof(); orderItems_.Next())
            orders.emplace_back(bill->AsString(), project->AsString());
        if (current > 0) orderItems_.SetRecNo(current);
    }
    workTable_->Fill(orders);
    for (const auto& order : orders) expandedOrders_ << order.first;
    expandedOrders_.removeDuplicates();
    // Each order's lines, before the bill query reads them: a line that changes from here
    // on differs at the write, whether or not the bill query saw it.
    std::vector<OrderedProduct> ordered;
    OrderLineReader lineReader(reading_);
    for (const QString& order : expandedOrders_) {
        std::vector<OrderLine> lines = lineReader.Read(order);
        for (const OrderLine& line : lines) ordered.push_back({order, line.prodId});
        expandedLines_.insert(order, std::move(lines));
    }

    // The listed project, whatever the code edit says by now.
    const QString code = listedProject_;
    const ComposedQuery query = BillOfMaterialsQuery(code, workTable_->name());
    WriteQueryDump(DumpPath(), query.dump, reading_.codePage());
    subItems_.Close();
    subItems_.SetCommandText(query.statement);
    subItems_.SetParam("PROJ_ID", code);
    subItems_.Open();
    std::vector<BomRow> bomRows = ReadBomRows();
    {
        QSet<QString> billed;
        for (const BomRow& b : bomRows) billed.insert(b.masterBillId + QChar(0x1F) + b.prodId);
        for (const OrderedProduct& p : ordered)
            if (!billed.contains(p.order + QChar(0x1F) + p.product)) productsWithoutBill_.push_back(p);
    }

    BillLookup lookup(reading_);
    Expansion expansion(lookup, kMaxBillDepth, true);
    try {
        expansion.FirstLevel(bomRows);
        std::vector<BomRow>().swap(bomRows);  // not needed by the passes
        expansion.Complete();
    } catch (...) {
        passes_ = expansion.passes();
        // The rows built before the error stay in the list, for the clerk to see.
        FillMaterialList(expansion);
        throw;
    }
    passes_ = expansion.passes();
    FillMaterialList(expansion);
    transaction.Commit();
    materialListPartial_ = false;
}

void RequisitionEngine::ExpandSubAssemblies() {
    const std::vector<MaterialRow> rows = ReadMaterialList();
    CommandTransaction transaction(reading_);
    BillLookup lookup(reading_);
    Expansion expansion(lookup, kMaxBillDepth, true);
    expansion.Start(rows);
    try {
        expansion.Complete();
    } catch (...) {
        materialListPartial_ = true;
        FillMaterialList(expansion);
        throw;
    }
    FillMaterialList(expansion);
}

// --- "轉請購單" -------------------------------------------------------------------------

QString RequisitionEngine::NextRequisitionNumber(const QString& tableName, const QString& dateText) {
    RequisitionCounter counter(writing_);
    const QString number = counter.NextRequisitionNumber(tableName, dateText);
    skippedNumbers_ = counter.skipped();
    return number;
}

QString RequisitionEngine::Refusal() const {
    if (materialListPartial_) return QString::fromUtf8(kPartialListRefused);
    // The requisition carries the listed project and closes its orders: an edit that
    // names another would put one project's lines under the other's code.
    if (!listedProject_.isEmpty() && projectCode_.trimmed() != listedProject_)
        return QString::fromUtf8(kProjectChangedRefused);
    const db::CodePage& page = writing_.codePage();
    for (const QString& problem : {IdentifierProblem(kUserIdLabel, userId_, kUserIdBytes, page),
                                   IdentifierProblem(kStoreIdLabel, storeId_, kStoreIdBytes, page)})
        if (!problem.isEmpty()) return problem;
    return {};
}

bool IsShown(const RequisitionReport& report) {
    return report.outcome != RequisitionOutcome::NothingWritten && report.outcome != RequisitionOutcome::Declined;
}

RequisitionEngine::ListToWrite RequisitionEngine::ReadListToWrite() {
    ListToWrite list;
    // A list that no expansion has created is read by the write, after the number is
    // taken, and fails there as walking a closed table does.
    if (!materials_.Active()) return list;
    list.rows = ReadMaterialList();
    list.products = RequisitionWriter(reading_, writing_).ReadProducts(list.rows);
    list.read = true;
    return list;
}

RequisitionReport RequisitionEngine::TransferToRequisition(const OddLinesQuestion& confirmOddLines) {
    Require(states_.requisition, "轉請購單");
    if (const QString refusal = Refusal(); !refusal.isEmpty()) {
        RequisitionReport r;
        r.outcome = RequisitionOutcome::Refused;
        r.text = refusal;
        r.kind = MessageKind::Warning;
        return r;
    }
    RequisitionReport report = Transfer(confirmOddLines);
    switch (report.outcome) {
    case RequisitionOutcome::Declined: break;  // the commands as they were
    case RequisitionOutcome::OrdersChanged:
        // The list misses what the order asks now: expanded again, it can be written.
        materialListPartial_ = true;
        SetStates({true, true, true});
        break;
    default:
        // A number was taken, or the write was tried: the run offers no command any more.
        SetStates({false, false, false});
    }
    return report;
}

RequisitionReport RequisitionEngine::Transfer(const OddLinesQuestion& confirmOddLines) {
    RequisitionReport failed;
    failed.outcome = RequisitionOutcome::Failed;
    failed.text = QString::fromUtf8(kWriteFailed);
    failed.kind = MessageKind::Warning;
    ListToWrite list;
    try {
        list = ReadListToWrite();
    } catch (const std::exception& e) {
        failed.detail = QString::fromStdString(e.what());
        return failed;
    }
    if (!list.rows.empty() && confirmOddLines) {
        const QStringList odd =
            OddLines(list.rows, [&list](size_t line) { return list.products[line].found; }, productsWithoutBill_) +
            ForeignOrderLines(list.rows, expandedOrders_);
        if (!odd.isEmpty() && !confirmOddLines(odd)) {
            RequisitionReport declined;
            declined.outcome = RequisitionOutcome::Declined;
            return declined;
        }
    }

    // One date for the whole command: a command that spans midnight numbers and dates
    // the requisition by the day it started.
    commandDate_ = DateText(Now().date());
    try {
        requisitionNumber_ = NextRequisitionNumber(kCounterTable, commandDate_);
    } catch (const std::exception& e) {
        RequisitionReport r;
        r.outcome = RequisitionOutcome::NotReserved;
        r.detail = QString::fromStdString(e.what());
        r.error = std::current_exception();
        return r;
    }
    return WriteRequisition(std::move(list));
}

RequisitionReport RequisitionEngine::WriteRequisition(ListToWrite list) {
    RequisitionReport report;
    report.number = requisitionNumber_;
    report.skipped = skippedNumbers_;
    try {
        if (!list.read) {
            list.rows = ReadMaterialList();
            list.products = RequisitionWriter(reading_, writing_).ReadProducts(list.rows);
        }
        const std::vector<MaterialRow>& rows = list.rows;
        if (rows.empty()) {
            report.outcome = RequisitionOutcome::NothingWritten;
            return report;
        }

        RequisitionHeader header;
        header.number = requisitionNumber_;
        header.dateText = commandDate_;
        header.userId = userId_;
        header.storeId = storeId_;
        // The listed project; the edit's text only when nothing was listed.
        header.projectCode = listedProject_.isEmpty() ? projectCode_.trimmed() : listedProject_;
        WriteOrders orders;
        orders.listed = expandedOrders_;
        orders.unlistable = unlistableOrders_;
        orders.lines = expandedLines_;
        RequisitionWriter writer(reading_, writing_);
        writer.SetClock([this] { return Now().time(); });
        // A number another write took meanwhile (a counter set back) is used up: the
        // requisition goes under the next one.
        for (int attempt = 1;; ++attempt) {
            try {
                writer.Write(header, rows, list.products, orders);
                break;
            } catch (const NumberTaken& e) {
                if (attempt >= kConflictAttempts) throw;
                report.skipped << e.number();
                requisitionNumber_ = NextRequisitionNumber(kCounterTable, commandDate_);
                report.skipped << skippedNumbers_;
                report.number = header.number = requisitionNumber_;
            }
        }

        report.outcome = RequisitionOutcome::Written;
        report.text = QString::fromUtf8(kWriteSucceeded);
        report.kind = MessageKind::Information;
        report.lines = static_cast<int>(rows.size());
    } catch (const OrdersAlreadyTransferred& e) {
        report.outcome = RequisitionOutcome::AlreadyTransferred;
        report.text = AlreadyTransferredText(listedProject_.isEmpty() ? projectCode_ : listedProject_, e.requisition());
        report.kind = MessageKind::Warning;
        report.detail = QString::fromStdString(e.what());
        report.existing = e.requisition();
    } catch (const OrderChanged& e) {
        report.outcome = RequisitionOutcome::OrdersChanged;
        report.text = QString::fromUtf8(e.reload() ? kOrderNoLongerListed : kOrderChanged).arg(e.order());
        report.kind = MessageKind::Warning;
        report.detail = QString::fromStdString(e.what());
        report.order = e.order();
    } catch (const std::exception& e) {
        report.outcome = RequisitionOutcome::Failed;
        report.text = QString::fromUtf8(kWriteFailed);
        report.kind = MessageKind::Warning;
        report.detail = QString::fromStdString(e.what());
    }
    return report;
}

}  // namespace mrp
