// The requisitions already written, from the command line, on the database of the named
// connection entry:
//   marlith requisitions [--project CODE] [--from YYYY/MM/DD] [--to YYYY/MM/DD]
//                        [--format text|csv|json]      newest first, voided ones too
//   marlith summary NUMBER [--format text|csv|json]    the purchase summary by supplier
//   marlith plan [--from YYYY/MM/DD] [--to YYYY/MM/DD] [--project CODE] [--supplier ID]
//                [--format text|csv|json] [--bom]      the purchase plan over the open
//                                                      requisitions, net of stock on hand
//   marlith void NUMBER --reason TEXT [--user ID] [--store ID]
//                                                      takes a requisition back; status 1,
//                                                      the reason on stderr, when refused
// CSV and JSON are UTF-8 with the field names; text is for reading, columns aligned.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>

#include "app/Command.h"
#include "app/commands/PlanOptions.h"
#include "app/Settings.h"
#include "app/Signals.h"
#include "data/ListExport.h"
#include "data/MemTable.h"
#include "db/Connection.h"
#include "db/Interrupt.h"
#include "mrp/Identifiers.h"
#include "mrp/RequisitionHistory.h"
#include "mrp/VoidRequisition.h"
#include "report/RequisitionPdf.h"
#include "report/Summary.h"
#include "window/PlanTable.h"

namespace {

enum class Format { Text, Csv, Json };

Format TakeFormat(QStringList& args) {
    const QString format = app::TakeOption(args, "--format", "text");
    if (format == "text") return Format::Text;
    if (format == "csv") return Format::Csv;
    if (format == "json") return Format::Json;
    throw app::UsageError("--format takes text, csv or json, not '" + format.toStdString() + "'");
}

// CSV and JSON as their formats have them; text for reading through app::WriteText.
void Out(FILE* f, const QByteArray& bytes) { std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f); }
void Out(FILE* f, const QString& text) { app::WriteText(f, text); }

// Columns a terminal gives a text: two for the wide (CJK) characters.
int Width(const QString& text) {
    int w = 0;
    for (const QChar c : text) {
        const char32_t u = c.unicode();
        w += (u >= 0x1100 && (u <= 0x115F || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3) ||
                              (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                              (u >= 0xFFE0 && u <= 0xFFE6)))
                 ? 2
                 : 1;
    }
    return w;
}

// Rows under a title row, each column as wide as its widest text; `right` columns are
// aligned to the right. A cell's line breaks and other control characters are shown
// escaped: one row stays one line.
QString TextTable(std::vector<QStringList> rows, const std::vector<bool>& right) {
    for (QStringList& r : rows)
        for (QString& cell : r) cell = app::TerminalText(cell);
    std::vector<int> widths;
    for (const QStringList& r : rows)
        for (int i = 0; i < r.size(); ++i) {
            if (size_t(i) >= widths.size()) widths.resize(size_t(i) + 1, 0);
            widths[size_t(i)] = std::max(widths[size_t(i)], Width(r[i]));
        }
    QString out;
    for (const QStringList& r : rows) {
        QString line;
        for (int i = 0; i < r.size(); ++i) {
            const QString pad(widths[size_t(i)] - Width(r[i]), QLatin1Char(' '));
            const bool alignRight = size_t(i) < right.size() && right[size_t(i)];
            line += (i ? QStringLiteral("  ") : QString()) + (alignRight ? pad + r[i] : r[i] + pad);
        }
        out += line.trimmed().isEmpty() ? QString() : line.replace(QRegularExpression("\\s+$"), QString());
        out += QLatin1Char('\n');
    }
    return out;
}

QString Number(long long n) { return QLocale(QLocale::English).toString(n); }
QString Float(double x) { return QLocale(QLocale::English).toString(x, 'g', 15); }

int Requisitions(const QStringList& argsIn) {
    QStringList args = argsIn;
    mrp::HistoryFilter filter;
    filter.project = app::TakeOption(args, "--project").trimmed();
    filter.from = app::TakeOption(args, "--from");
    filter.to = app::TakeOption(args, "--to");
    const Format format = TakeFormat(args);
    app::RejectUnknownOptions(args);
    if (!args.isEmpty()) throw app::UsageError("no arguments expected");
    for (const QString* bound : {&filter.from, &filter.to})
        if (!bound->isEmpty() && !mrp::IsDateText(*bound)) throw app::UsageError(mrp::DateTextProblem(*bound).toStdString());

    db::Connection connection;
    connection.Open();
    mrp::RequireFits(mrp::kProjectCodeLabel, filter.project, mrp::kProjectCodeBytes, connection.codePage());
    const std::vector<mrp::RequisitionEntry> entries = mrp::ListRequisitions(connection, filter);
    if (format == Format::Text) {
        std::vector<QStringList> rows{{"單號", "日期", "專案", "專案名稱", "請購人", "門市", "筆數", "金額", "狀態", "作廢原因"}};
        for (const mrp::RequisitionEntry& e : entries)
            rows.push_back({e.number, e.date, e.projectCode, e.projectName,
                            e.clerkName.isEmpty() ? e.clerkId : e.clerkId + ' ' + e.clerkName, e.store,
                            QString::number(e.lines), Number(e.total), mrp::StateText(e.state), e.reason});
        Out(stdout, TextTable(rows, {false, false, false, false, false, false, true, true, false, false}));
        return 0;
    }
    data::MemTable table;
    mrp::FillHistoryTable(table, entries);
    Out(stdout, format == Format::Csv ? data::DataSetAsCsv(table) : data::DataSetAsJson(table));
    return 0;
}

int Summary(const QStringList& argsIn) {
    QStringList args = argsIn;
    const Format format = TakeFormat(args);
    app::RejectUnknownOptions(args);
    if (args.size() != 1 || args.first().trimmed().isEmpty()) throw app::UsageError("expected one requisition number");
    db::Connection connection;
    connection.Open();
    mrp::RequireFits(mrp::kRequisitionNumberLabel, args.first().trimmed(), mrp::kRequisitionNumberBytes,
                     connection.codePage());
    const report::PurchaseSummary s = report::LoadSummary(connection, args.first().trimmed());
    const report::Requisition& r = s.requisition;

    if (format == Format::Json) {
        QJsonArray suppliers;
        for (const report::SupplierBlock& b : s.suppliers) {
            QJsonArray rows;
            for (const report::SummaryRow& row : b.rows)
                rows.append(QJsonObject{{"PROD_ID", row.code}, {"PROD_NAME", row.name}, {"UNITNAME", row.unit},
                                        {"QTY", row.quantity}, {"STD_COST", row.cost}, {"AMT", row.amount},
                                        {"NOW_QTY", row.stock}});
            suppliers.append(QJsonObject{{"PROVIDER_ID", b.id}, {"PROVIDER_NAME", b.name}, {"SUBTOTAL", b.Subtotal()},
                                         {"LINES", rows}});
        }
        const QJsonObject o{{"MASTERBILLID", r.number}, {"BILL_DATE", r.date}, {"PROJ_ID", r.project},
                            {"PROJ_NAME", r.projectName}, {"SUPPLIERS", suppliers}, {"TOTAL", s.Total()}};
        Out(stdout, QJsonDocument(o).toJson(QJsonDocument::Indented));
        return 0;
    }
    if (format == Format::Csv) {
        // One row per supplier and material, the supplier's columns repeated.
        data::MemTable table;
        auto& defs = table.fieldDefs();
        for (const char* f : {"PROVIDER_ID", "PROVIDER_NAME", "PROD_ID", "PROD_NAME", "UNITNAME"})
            defs.Add(f, data::FieldType::Text, 100);
        for (const char* f : {"QTY", "STD_COST", "AMT", "NOW_QTY"}) defs.Add(f, data::FieldType::Float);
        table.CreateDataSet();
        std::vector<std::vector<QVariant>> rows;
        for (const report::SupplierBlock& b : s.suppliers)
            for (const report::SummaryRow& row : b.rows)
                rows.push_back({b.id, b.name, row.code, row.name, row.unit, double(row.quantity), row.cost,
                                double(row.amount), row.stock});
        table.AppendRows(std::move(rows));
        Out(stdout, data::DataSetAsCsv(table));
        return 0;
    }
    QString text = QStringLiteral("請購彙總 %1  日期 %2  專案 %3 %4\n").arg(r.number, r.date, r.project, r.projectName);
    for (const report::SupplierBlock& b : s.suppliers) {
        text += QStringLiteral("\n供應商 %1\n").arg(b.id.isEmpty() ? b.name : b.id + ' ' + b.name);
        std::vector<QStringList> rows{{"品號", "品名", "單位", "數量", "成本", "金額", "庫存"}};
        for (const report::SummaryRow& row : b.rows)
            rows.push_back({row.code, row.name, row.unit, Number(row.quantity), report::CostText(row.cost),
                            Number(row.amount), Float(row.stock)});
        rows.push_back({"小計", "", "", "", "", Number(b.Subtotal()), ""});
        text += TextTable(rows, {false, false, false, true, true, true, true});
    }
    text += QStringLiteral("\n總計 %1\n").arg(Number(s.Total()));
    Out(stdout, text);
    return 0;
}

int Plan(const QStringList& argsIn) {
    QStringList args = argsIn;
    const report::PlanFilter filter = app::TakePlanFilter(args);
    const Format format = TakeFormat(args);
    const bool byteOrderMark = app::TakeFlag(args, "--bom");
    if (byteOrderMark && format != Format::Csv) throw app::UsageError("--bom goes with --format csv");
    app::RejectUnknownOptions(args);
    if (!args.isEmpty()) throw app::UsageError("no arguments expected");
    db::Connection connection;
    connection.Open();
    const report::PurchasePlan plan = report::LoadPlan(connection, filter);

    if (format != Format::Text) {
        data::MemTable table;
        window::FillPlanTable(table, plan, false);
        data::CsvOptions csv;
        csv.byteOrderMark = byteOrderMark;
        Out(stdout, format == Format::Csv ? data::DataSetAsCsv(table, csv) : data::DataSetAsJson(table));
        return 0;
    }
    QString text = QStringLiteral("採購計畫  請購期間 %1").arg(report::PlanRangeText(filter));
    if (!filter.project.trimmed().isEmpty()) text += QStringLiteral("  專案 %1").arg(filter.project.trimmed());
    text += QLatin1Char('\n');
    for (const report::PlanSupplier& s : plan.suppliers) {
        text += QStringLiteral("\n供應商 %1\n").arg(s.id.isEmpty() ? s.name : s.id + ' ' + s.name);
        std::vector<QStringList> rows{{"品號", "品名", "單位", "需求量", "庫存", "建議量", "成本", "金額", "請購單"}};
        for (const report::PlanRow& r : s.rows)
            rows.push_back({r.code, r.name, r.unit, Number(r.quantity), Float(r.stock), Number(r.suggested),
                            report::CostText(r.cost), Number(r.amount), r.requisitions.join(' ')});
        rows.push_back({"小計", "", "", "", "", "", "", Number(s.Subtotal()), ""});
        text += TextTable(rows, {false, false, false, true, true, true, true, true, false});
    }
    text += plan.suppliers.empty() ? QStringLiteral("\n沒有未結案的請購明細。\n")
                                   : QStringLiteral("\n總計 %1\n").arg(Number(plan.Total()));
    Out(stdout, text);
    return 0;
}

int Void(const QStringList& argsIn) {
    QStringList args = argsIn;
    const app::Settings settings = app::Settings::Load(app::Settings::DefaultPath());
    const QString user = app::TakeOption(args, "--user", settings.userId);
    const QString store = app::TakeOption(args, "--store", settings.storeId);
    if (!app::HasOption(args, "--reason")) throw app::UsageError("--reason TEXT is needed");
    const QString reason = app::TakeOption(args, "--reason");
    app::RejectUnknownOptions(args);
    if (args.size() != 1 || args.first().trimmed().isEmpty()) throw app::UsageError("expected one requisition number");
    app::SignalWatch signalWatch;
    db::InterruptibleWork work;
    db::Connection writing;
    writing.Open();
    // What the audit row and the requisition's columns cannot hold is named with its limit.
    const db::CodePage& page = writing.codePage();
    mrp::RequireFits(mrp::kRequisitionNumberLabel, args.first().trimmed(), mrp::kRequisitionNumberBytes, page);
    mrp::RequireFits(mrp::kUserIdLabel, user, mrp::kUserIdBytes, page);
    mrp::RequireFits(mrp::kStoreIdLabel, store, mrp::kStoreIdBytes, page);
    try {
        const mrp::VoidOutcome v = mrp::VoidRequisition(writing, args.first(), reason, user, store);
        Out(stdout, QStringLiteral("請購單 %1 已作廢 (%2 lines, total %3)%4\n")
                        .arg(v.number)
                        .arg(v.lines)
                        .arg(Number(v.total))
                        .arg(v.reopenedOrders.isEmpty() ? QString() : "; orders reopened: " + v.reopenedOrders.join(' ')));
        return 0;
    } catch (const mrp::VoidRefused& e) {
        Out(stderr, QString::fromUtf8(e.what()) + '\n');
        return 1;
    }
}

const app::CommandRegistrar kRequisitions({"requisitions",
                                           "[--project CODE] [--from YYYY/MM/DD] [--to YYYY/MM/DD] [--format text|csv|json]",
                                           "list the requisitions written, newest first, with their state (voided ones too)",
                                           app::Needs::Core, &Requisitions});
const app::CommandRegistrar kSummary({"summary", "NUMBER [--format text|csv|json]",
                                      "the requisition's materials consolidated and grouped by supplier, with subtotals",
                                      app::Needs::Core, &Summary});
const app::CommandRegistrar kPlan({"plan",
                                   "[--from YYYY/MM/DD] [--to YYYY/MM/DD] [--project CODE] [--supplier ID] "
                                   "[--format text|csv|json] [--bom]",
                                   "the purchase plan: the open requisitions' lines per supplier and material, "
                                   "net of stock on hand (writes nothing)",
                                   app::Needs::Core, &Plan});
const app::CommandRegistrar kVoid({"void", "NUMBER --reason TEXT [--user ID] [--store ID]",
                                   "take back a requisition still open: its orders reopen, a copy goes to the audit table",
                                   app::Needs::Core, &Void});

}  // namespace

report::PlanFilter app::TakePlanFilter(QStringList& args) {
    report::PlanFilter filter;
    filter.from = app::TakeOption(args, "--from").trimmed();
    filter.to = app::TakeOption(args, "--to").trimmed();
    filter.project = app::TakeOption(args, "--project").trimmed();
    filter.supplier = app::TakeOption(args, "--supplier").trimmed();
    for (const QString* bound : {&filter.from, &filter.to})
        if (!bound->isEmpty() && !mrp::IsDateText(*bound))
            throw app::UsageError("a date is YYYY/MM/DD, not '" + bound->toStdString() + "'");
    return filter;
}
