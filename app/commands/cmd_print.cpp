// marlith print NUMBER -o FILE.pdf
//
// The requisition NUMBER, read from the database of the connection entry, as an A4 PDF:
// the header, one line per material, the total and page numbers. An unknown number is
// an error (exit 1) and no file is written; an existing FILE is replaced only by a
// complete PDF.

#include <cstdio>

#include "app/Command.h"
#include "db/Connection.h"
#include "report/Requisition.h"
#include "report/RequisitionPdf.h"

namespace {

int Print(const QStringList& argsIn) {
    QStringList args = argsIn;
    const QString out = app::TakeOption(args, "-o");
    app::RejectUnknownOptions(args);
    if (args.size() != 1 || args.first().trimmed().isEmpty()) throw app::UsageError("expected one requisition number");
    if (out.isEmpty()) throw app::UsageError("-o FILE.pdf is needed");
    db::Connection connection;
    connection.Open();
    const report::Requisition requisition = report::LoadRequisition(connection, args.first().trimmed());
    report::SaveRequisitionPdf(requisition, out);
    std::printf("%s: requisition %s, %d lines, total %s\n", qPrintable(out), qPrintable(requisition.number),
                int(requisition.lines.size()), qPrintable(report::WholeNumberText(requisition.Total())));
    return 0;
}

const app::CommandRegistrar kPrint({
    "print",
    "NUMBER -o FILE.pdf",
    "the requisition NUMBER as an A4 PDF (header, lines, total, page numbers)",
    app::Needs::Gui,
    &Print,
});

}  // namespace
