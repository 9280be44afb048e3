// marlith print NUMBER [--summary] -o FILE.pdf
// marlith print --plan [--from YYYY/MM/DD] [--to YYYY/MM/DD] [--project CODE] [--supplier ID] -o FILE.pdf
//
// The requisition NUMBER, read from the database of the connection entry, as an A4 PDF:
// the header, one line per material, the total and page numbers. An unknown number is
// an error (exit 1) and no file is written; an existing FILE is replaced only by a
// complete PDF. With --summary: the purchase summary instead, one block per supplier.
// With --plan: the purchase plan over the open requisitions, one block per supplier.

#include <cstdio>

#include "app/Command.h"
#include "app/commands/PlanOptions.h"
#include "db/Connection.h"
#include "mrp/Identifiers.h"
#include "report/Requisition.h"
#include "report/RequisitionPdf.h"
#include "report/Summary.h"

namespace {

int Print(const QStringList& argsIn) {
    QStringList args = argsIn;
    const QString out = app::TakeOption(args, "-o");
    const bool summary = app::TakeFlag(args, "--summary");
    if (app::TakeFlag(args, "--plan")) {
        if (summary) throw app::UsageError("--plan and --summary do not go together");
        const report::PlanFilter filter = app::TakePlanFilter(args);
        app::RejectUnknownOptions(args);
        if (!args.isEmpty()) throw app::UsageError("--plan takes no requisition number");
        if (out.isEmpty()) throw app::UsageError("-o FILE.pdf is needed");
        db::Connection connection;
        connection.Open();
        const report::PurchasePlan plan = report::LoadPlan(connection, filter);
        report::SavePlanPdf(plan, out);
        std::printf("%s: purchase plan %s, %d suppliers, total %s\n", qPrintable(out),
                    qPrintable(report::PlanRangeText(filter)), int(plan.suppliers.size()),
                    qPrintable(report::WholeNumberText(plan.Total())));
        return 0;
    }
    app::RejectUnknownOptions(args);
    if (args.size() != 1 || args.first().trimmed().isEmpty()) throw app::UsageError("expected one requisition number");
    if (out.isEmpty()) throw app::UsageError("-o FILE.pdf is needed");
    db::Connection connection;
    connection.Open();
    mrp::RequireFits(mrp::kRequisitionNumberLabel, args.first().trimmed(), mrp::kRequisitionNumberBytes,
                     connection.codePage());
    if (summary) {
        const report::PurchaseSummary s = report::LoadSummary(connection, args.first().trimmed());
        report::SaveSummaryPdf(s, out);
        std::printf("%s: summary of requisition %s, %d suppliers, total %s\n", qPrintable(out),
                    qPrintable(s.requisition.number), int(s.suppliers.size()), qPrintable(report::WholeNumberText(s.Total())));
        return 0;
    }
    const report::Requisition requisition = report::LoadRequisition(connection, args.first().trimmed());
    report::SaveRequisitionPdf(requisition, out);
    std::printf("%s: requisition %s, %d lines, total %s\n", qPrintable(out), qPrintable(requisition.number),
                int(requisition.lines.size()), qPrintable(report::WholeNumberText(requisition.Total())));
    return 0;
}

const app::CommandRegistrar kPrint({
    "print",
    "NUMBER [--summary] -o FILE.pdf | --plan [--from YYYY/MM/DD] [--to YYYY/MM/DD] [--project CODE] [--supplier ID] -o FILE.pdf",
    "the requisition NUMBER as an A4 PDF (header, lines, total, page numbers); --summary: by supplier; "
    "--plan: the purchase plan, a page block per supplier",
    app::Needs::Gui,
    &Print,
});

}  // namespace
