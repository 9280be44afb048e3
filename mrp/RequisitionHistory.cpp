#include "mrp/RequisitionHistory.h"

#include <QDate>
#include <QRegularExpression>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <stdexcept>

#include "mrp/Audit.h"

namespace mrp {

namespace {

// The project's name, and whether purchasing has taken up the header or any line: one
// grouped read of the headers joined to their lines (a sub-query per header and figure
// would read the lines three times over on a database of a million lines). Grouped by
// the header row itself, so two headers of one number, which older copies of the
// program could write, are still listed as two.
const QStringList kWritten = {
    "SELECT M.MASTERBILLID, M.BILL_DATE, M.PROJ_ID, M.EMPLOYEE_ID, M.EMPLOYEE_NAME, M.STORE_ID, M.CLOSED,",
    "  (SELECT FIRST 1 P.PROJ_NAME FROM PROJ_ITEM P WHERE P.PROJ_ID = M.PROJ_ID) AS PROJ_NAME,",
    "  COUNT(S.MASTERBILLID) AS LINE_COUNT, COALESCE(SUM(CAST(S.AMT AS BIGINT)), 0) AS TOTAL_AMT,",
    "  SUM(IIF(S.MASTERBILLID IS NOT NULL AND (S.CLOSED IS NULL OR S.CLOSED <> 'N'), 1, 0)) AS CLOSED_LINES",
    "FROM PETITION_MASTER M LEFT JOIN PETITION_SUB S ON S.MASTERBILLID = M.MASTERBILLID WHERE 1 = 1"};
const QStringList kWrittenGroups = {
    " GROUP BY M.RDB$DB_KEY, M.MASTERBILLID, M.BILL_DATE, M.PROJ_ID, M.EMPLOYEE_ID, M.EMPLOYEE_NAME, M.STORE_ID,",
    " M.CLOSED"};

const QStringList kVoided = {
    "SELECT A.MASTERBILLID, A.BILL_DATE, A.PROJ_ID, A.LINE_COUNT, A.TOTAL_AMT, A.REASON, A.CONTENT,",
    "  (SELECT FIRST 1 P.PROJ_NAME FROM PROJ_ITEM P WHERE P.PROJ_ID = A.PROJ_ID) AS PROJ_NAME",
    "FROM MARLITH_AUDIT A WHERE A.ACTION = 'VOID'"};

// The filter's conditions on a table whose columns are named BILL_DATE and PROJ_ID.
QStringList Conditions(const QString& alias, const HistoryFilter& f) {
    QStringList out;
    if (!f.project.trimmed().isEmpty()) out << " AND " + alias + ".PROJ_ID = :PROJ_ID";
    if (!f.from.isEmpty()) out << " AND " + alias + ".BILL_DATE >= :DATE_FROM";
    if (!f.to.isEmpty()) out << " AND " + alias + ".BILL_DATE <= :DATE_TO";
    return out;
}

void SetFilter(db::Query& q, const HistoryFilter& f) {
    if (!f.project.trimmed().isEmpty()) q.SetParam("PROJ_ID", f.project.trimmed());
    if (!f.from.isEmpty()) q.SetParam("DATE_FROM", f.from);
    if (!f.to.isEmpty()) q.SetParam("DATE_TO", f.to);
}

// Newer first: by date, then by the sequence number, which has more than four digits
// from 10000 on.
bool Newer(const RequisitionEntry& a, const RequisitionEntry& b) {
    if (a.date != b.date) return a.date > b.date;
    if (a.number.size() != b.number.size()) return a.number.size() > b.number.size();
    return a.number > b.number;
}

}  // namespace

QString StateText(RequisitionState state) {
    switch (state) {
    case RequisitionState::Open: return QStringLiteral("未結案");
    case RequisitionState::Closed: return QStringLiteral("已結案");
    case RequisitionState::Voided: return QStringLiteral("已作廢");
    }
    return {};
}

namespace {

// The columns the written and the voided requisitions' rows share.
RequisitionEntry EntryOf(db::Query& q) {
    RequisitionEntry e;
    e.number = q.FieldByName("MASTERBILLID").AsString();
    e.date = q.FieldByName("BILL_DATE").AsString();
    e.projectCode = q.FieldByName("PROJ_ID").AsString();
    e.projectName = q.FieldByName("PROJ_NAME").AsString();
    e.lines = q.FieldByName("LINE_COUNT").AsInteger();
    e.total = q.FieldByName("TOTAL_AMT").AsVariant().toLongLong();
    return e;
}

}  // namespace

std::vector<RequisitionEntry> ListRequisitions(db::Connection& connection, const HistoryFilter& filter) {
    for (const QString* bound : {&filter.from, &filter.to})
        if (!bound->isEmpty() && !IsDateText(*bound))
            throw std::invalid_argument(DateTextProblem(*bound).toStdString());

    std::vector<RequisitionEntry> out;
    // The written and the voided ones of one moment: a void committed between the two
    // statements would otherwise list its number twice, open and voided.
    const db::Snapshot snapshot(connection);
    db::Query written(connection);
    written.SetSQL(kWritten + Conditions("M", filter) + kWrittenGroups);
    SetFilter(written, filter);
    written.Open();
    for (; !written.Eof(); written.Next()) {
        const auto text = [&written](const char* column) { return written.FieldByName(column).AsString(); };
        RequisitionEntry e = EntryOf(written);
        e.clerkId = text("EMPLOYEE_ID");
        e.clerkName = text("EMPLOYEE_NAME");
        e.store = text("STORE_ID");
        const bool open = text("CLOSED") == QLatin1String("N") && written.FieldByName("CLOSED_LINES").AsInteger() == 0;
        e.state = open ? RequisitionState::Open : RequisitionState::Closed;
        out.push_back(std::move(e));
    }

    if (AuditTableExists(connection)) {
        db::Query voided(connection);
        voided.SetSQL(kVoided + Conditions("A", filter));
        SetFilter(voided, filter);
        voided.Open();
        for (; !voided.Eof(); voided.Next()) {
            const auto text = [&voided](const char* column) { return voided.FieldByName(column).AsString(); };
            RequisitionEntry e = EntryOf(voided);
            e.state = RequisitionState::Voided;
            e.reason = text("REASON");
            // The clerk who wrote it, from the copy of its header.
            const QJsonObject copy = QJsonDocument::fromJson(text("CONTENT").toUtf8()).object();
            const QJsonObject header = copy.value("PETITION_MASTER").toArray().first().toObject();
            e.clerkId = header.value("EMPLOYEE_ID").toString();
            e.clerkName = header.value("EMPLOYEE_NAME").toString();
            e.store = header.value("STORE_ID").toString();
            out.push_back(std::move(e));
        }
    }
    std::stable_sort(out.begin(), out.end(), Newer);
    return out;
}

void FillHistoryTable(data::MemTable& table, const std::vector<RequisitionEntry>& entries) {
    if (table.fieldDefs().Count() == 0) {
        auto& defs = table.fieldDefs();
        defs.Add("MASTERBILLID", data::FieldType::Text, 20).displayLabel = QStringLiteral("單號");
        defs.Add("BILL_DATE", data::FieldType::Text, 10).displayLabel = QStringLiteral("日期");
        defs.Add("PROJ_ID", data::FieldType::Text, 20).displayLabel = QStringLiteral("專案");
        defs.Add("PROJ_NAME", data::FieldType::Text, 100).displayLabel = QStringLiteral("專案名稱");
        defs.Add("EMPLOYEE_ID", data::FieldType::Text, 10).displayLabel = QStringLiteral("請購人");
        defs.Add("EMPLOYEE_NAME", data::FieldType::Text, 50).displayLabel = QStringLiteral("姓名");
        defs.Add("STORE_ID", data::FieldType::Text, 10).displayLabel = QStringLiteral("門市");
        defs.Add("LINE_COUNT", data::FieldType::Integer).displayLabel = QStringLiteral("筆數");
        defs.Add("TOTAL_AMT", data::FieldType::Float).displayLabel = QStringLiteral("金額");
        defs.Add("STATE", data::FieldType::Text, 10).displayLabel = QStringLiteral("狀態");
        defs.Add("REASON", data::FieldType::Text, kReasonLength).displayLabel = QStringLiteral("作廢原因");
    }
    if (!table.Active()) {
        table.CreateDataSet();
        // Columns as wide as their usual texts, so that the state shows without scrolling.
        const std::pair<const char*, int> widths[] = {{"MASTERBILLID", 13}, {"PROJ_ID", 10}, {"PROJ_NAME", 14}, {"EMPLOYEE_ID", 6},
                                                      {"EMPLOYEE_NAME", 8}, {"STORE_ID", 5}, {"LINE_COUNT", 4},
                                                      {"TOTAL_AMT", 10}, {"STATE", 6}, {"REASON", 20}};
        for (const auto& [name, width] : widths) table.FieldByName(QLatin1String(name))->SetDisplayWidth(width);
    }
    data::QuietControls quiet(table);
    table.EmptyDataSet();
    std::vector<std::vector<QVariant>> rows;
    rows.reserve(entries.size());
    for (const RequisitionEntry& e : entries)
        rows.push_back({e.number, e.date, e.projectCode, e.projectName, e.clerkId, e.clerkName, e.store, e.lines,
                        double(e.total), StateText(e.state), e.reason});
    table.AppendRows(std::move(rows));
    if (!table.IsEmpty()) table.First();
}

}  // namespace mrp
