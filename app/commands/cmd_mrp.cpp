// The requisition workflow from the command line, on the database of the named
// connection entry:
//   marlith orders PROJECT       the order list as "確定" loads it
//   marlith expand PROJECT       "確定", then "物料展開" with every pass: the material list
//   marlith requisition PROJECT  the whole road: order list, expansion, number, write;
//                                status 1, with the outcome's text on stderr, when the
//                                write failed or was refused (the project transferred by
//                                another copy in the meantime, an order changed since the
//                                expansion, a partial list, an identifier too long for its
//                                column); the lines nobody would buy from, and numbers
//                                skipped because a requisition holds them, on stderr
//   marlith reserve-numbers      reserves numbers of the day's counter (tests, repairs)
// Lists go to stdout as CSV (default) or JSON, UTF-8, fields in the lists' own order.
// SIGTERM, SIGINT and SIGHUP stop a command part-way (app/Signals.h): what it had not
// committed is rolled back, its work table is dropped, and the program ends with 128 +
// the signal's number. A signal that arrives after the requisition is committed changes
// nothing: the run prints its number and ends with status 0.
//
// For the tests only: with MARLITH_TEST_PAUSE_AFTER_COMMIT set, "marlith requisition"
// stops right after its requisition is committed, says "paused after commit" on stderr
// and waits (at most that many seconds, 30 when the value is not a number) for a signal,
// so that a test can send one at exactly that moment.

#include <QDate>
#include <QThread>
#include <cstdio>
#include <memory>

#include "app/Command.h"
#include "app/Settings.h"
#include "app/Signals.h"
#include "data/DataSet.h"
#include "data/ListExport.h"
#include "db/Connection.h"
#include "db/Interrupt.h"
#include "mrp/CommandTransaction.h"
#include "mrp/Numbering.h"
#include "mrp/RequisitionEngine.h"
#include "mrp/Rules.h"

namespace {

enum class Format { Csv, Json };

struct Options {
    QString project;
    Format format = Format::Csv;
    bool byteOrderMark = false;  // --bom: CSV starts with the UTF-8 byte-order mark
    QString userId, storeId;
    // The settings file's warning, when what it lacks leaves the user (or store) id empty.
    QString settingsWarning;
};

Options ParseOptions(const QStringList& argsIn, bool listing) {
    QStringList args = argsIn;
    Options o;
    const app::Settings settings = app::Settings::Load(app::Settings::DefaultPath());
    o.userId = app::TakeOption(args, "--user", settings.userId);
    o.storeId = app::TakeOption(args, "--store", settings.storeId);
    if (settings.problem != app::Settings::Problem::None &&
        (o.userId.isEmpty() || (settings.problem == app::Settings::Problem::FileMissing && o.storeId.isEmpty())))
        o.settingsWarning = settings.Warning();
    if (listing) {
        const QString format = app::TakeOption(args, "--format", "csv");
        if (format == "csv") o.format = Format::Csv;
        else if (format == "json") o.format = Format::Json;
        else throw app::UsageError("--format takes csv or json, not '" + format.toStdString() + "'");
        o.byteOrderMark = app::TakeFlag(args, "--bom");
        if (o.byteOrderMark && o.format != Format::Csv) throw app::UsageError("--bom goes with --format csv");
    }
    app::RejectUnknownOptions(args);
    if (args.size() != 1) throw app::UsageError("expected one project code");
    // A blank code names no project: refused here rather than found to have no orders.
    // Spaces around a code are not part of it ("P2026-003 " is P2026-003).
    o.project = args.first().trimmed();
    if (o.project.isEmpty()) throw app::UsageError("the project code is empty");
    return o;
}

// Messages and numbers for reading; the lists go out as CSV or JSON (PrintDataSet).
void Out(FILE* f, const QString& text) { app::WriteText(f, text); }

// Every row of an open data set, from the first; numbers in the data layer's text form,
// null as an empty field (CSV) or null (JSON).
void PrintDataSet(data::DataSet& set, Format format, bool byteOrderMark) {
    // Written as it is made: the whole list is never held twice.
    const auto out = [](const char* bytes, qsizetype size) { std::fwrite(bytes, 1, static_cast<size_t>(size), stdout); };
    if (format == Format::Csv) {
        data::CsvOptions csv;
        csv.byteOrderMark = byteOrderMark;
        data::WriteDataSetAsCsv(set, csv, out);
        return;
    }
    // Objects written by hand: QJsonObject would sort the keys, and the numbers keep
    // the data layer's text form.
    data::WriteDataSetAsJson(set, out);
}

// The run's three attachments and the engine on them, the command's work interruptible
// by the watched signals. The work table, when made, is dropped when the session ends,
// whatever the command's outcome, after what is not committed has been rolled back.
class Session {
public:
    explicit Session(const Options& o, bool workTable) : engine_(catalogue_, reading_, writing_) {
        engine_.SetUser(o.userId, o.storeId);
        engine_.SetProjectCode(o.project);
        reading_.Open();
        if (workTable) engine_.CreateWorkTable();
    }
    ~Session() {
        db::UninterruptibleWork cleanup;
        // What is not committed goes; a connection that is gone has nothing left to roll back.
        for (db::Connection* c : {&writing_, &reading_, &catalogue_}) mrp::RollbackQuietly(*c);
        try {
            engine_.DropWorkTable();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "marlith: the work table %s was left behind: %s\n",
                         qPrintable(engine_.workTableName()), e.what());
        }
    }
    mrp::RequisitionEngine& engine() { return engine_; }

private:
    // Watching from before the first attachment to after the last statement.
    app::SignalWatch signalWatch_;
    db::InterruptibleWork work_;
    db::Connection catalogue_, reading_, writing_;
    mrp::RequisitionEngine engine_;
};

int Orders(const QStringList& args) {
    const Options o = ParseOptions(args, true);
    Session s(o, false);
    s.engine().LoadOrders();
    PrintDataSet(s.engine().orderList(), o.format, o.byteOrderMark);
    return 0;
}

int Expand(const QStringList& args) {
    const Options o = ParseOptions(args, true);
    Session s(o, true);
    mrp::RequisitionEngine& e = s.engine();
    e.LoadOrders();
    // Without order lines "物料展開" is not offered: the material list is empty.
    if (e.commandStates().expand) e.ExpandMaterials();
    else e.DefineMaterialList();
    PrintDataSet(e.materialList(), o.format, o.byteOrderMark);
    return 0;
}

// The test hook described at the top: waits for a signal right after the commit.
void PauseAfterCommitForTests() {
    const QByteArray value = qgetenv("MARLITH_TEST_PAUSE_AFTER_COMMIT");
    if (value.isNull()) return;
    bool ok = false;
    const int seconds = value.toInt(&ok);
    std::fputs("paused after commit\n", stderr);
    std::fflush(stderr);
    for (int waited = 0; waited < (ok ? seconds : 30) * 100 && !app::SignalWatch::Received(); ++waited)
        QThread::msleep(10);
}

// The outcome of "marlith requisition", once the engine has returned it; the run's
// status.
int PrintOutcome(const mrp::RequisitionReport& r) {
    switch (r.outcome) {
    case mrp::RequisitionOutcome::Written:
        // Committed: from here on a signal does not undo the outcome.
        app::SignalWatch::OutcomeCommitted();
        PauseAfterCommitForTests();
        Out(stdout, r.number + '\n' + r.text + QString(" (%1 lines)\n").arg(r.lines));
        break;
    case mrp::RequisitionOutcome::NotReserved:
        // Ends the run as any failed command does.
        std::rethrow_exception(r.error);
    case mrp::RequisitionOutcome::Failed:
        Out(stderr, r.text + (r.detail.isEmpty() ? QString() : ' ' + r.detail) + '\n');
        break;
    case mrp::RequisitionOutcome::Refused:
    case mrp::RequisitionOutcome::AlreadyTransferred:
    case mrp::RequisitionOutcome::OrdersChanged: Out(stderr, r.text + '\n'); break;
    case mrp::RequisitionOutcome::NothingWritten:
    case mrp::RequisitionOutcome::Declined: break;
    }
    for (const QString& number : r.skipped)
        Out(stderr, "marlith: number " + number + " is already used by a requisition: skipped\n");
    switch (r.outcome) {
    case mrp::RequisitionOutcome::Written: return 0;
    case mrp::RequisitionOutcome::NothingWritten:
        Out(stderr, "the material list is empty: nothing was written; number " + r.number + " is used up\n");
        return 0;
    case mrp::RequisitionOutcome::Failed:
    case mrp::RequisitionOutcome::Refused:
    case mrp::RequisitionOutcome::AlreadyTransferred:
    case mrp::RequisitionOutcome::OrdersChanged:
    case mrp::RequisitionOutcome::NotReserved:
    case mrp::RequisitionOutcome::Declined: break;
    }
    return 1;
}

int Requisition(const QStringList& args) {
    const Options o = ParseOptions(args, false);
    // The requisition is written all the same, stamped with what there is.
    if (!o.settingsWarning.isEmpty()) Out(stderr, "marlith: " + o.settingsWarning + '\n');
    Session s(o, true);
    mrp::RequisitionEngine& e = s.engine();
    e.LoadOrders();
    if (!e.commandStates().requisition) {
        Out(stderr, "no open order lines for project " + o.project + ": nothing to write\n");
        return 0;
    }
    e.ExpandMaterials();
    // The clerk at a terminal reads the lines nobody would buy from; the requisition is
    // written all the same.
    return PrintOutcome(e.TransferToRequisition([](const QStringList& lines) {
        for (const QString& line : lines) Out(stderr, "marlith: " + line + '\n');
        return true;
    }));
}

int ReserveNumbers(const QStringList& argsIn) {
    QStringList args = argsIn;
    bool ok = false;
    const int count = app::TakeOption(args, "--count", "1").toInt(&ok);
    if (!ok || count < 1) throw app::UsageError("--count takes a positive whole number");
    const QString date = app::TakeOption(args, "--date", mrp::DateText(QDate::currentDate()));
    if (const QString problem = mrp::DateTextProblem(date); !problem.isEmpty()) throw app::UsageError(problem.toStdString());
    app::RejectUnknownOptions(args);
    if (!args.isEmpty()) throw app::UsageError("no arguments expected");
    app::SignalWatch signalWatch;
    db::InterruptibleWork work;
    db::Connection writing;
    mrp::RequisitionCounter counter(writing);
    for (int i = 0; i < count; ++i) Out(stdout, counter.NextRequisitionNumber(mrp::kCounterTable, date) + '\n');
    std::fflush(stdout);
    for (const QString& number : counter.skipped())
        Out(stderr, "number " + number + " is already used by a requisition: skipped\n");
    if (counter.conflicts() > 0) std::fprintf(stderr, "%d lock conflicts retried\n", counter.conflicts());
    return 0;
}

const app::CommandRegistrar kOrders({"orders", "PROJECT [--format csv|json] [--bom] [--user ID] [--store ID]",
                                     "list the project's open order lines, as 確定 loads them", app::Needs::Core,
                                     &Orders});
const app::CommandRegistrar kExpand({"expand", "PROJECT [--format csv|json] [--bom] [--user ID] [--store ID]",
                                     "load the order lines and expand their materials through every bill level",
                                     app::Needs::Core, &Expand});
const app::CommandRegistrar kRequisition({"requisition", "PROJECT [--user ID] [--store ID]",
                                          "expand the project's materials and write them as the day's next "
                                          "purchase requisition; prints its number",
                                          app::Needs::Core, &Requisition});
const app::CommandRegistrar kReserve({"reserve-numbers", "[--count N] [--date YYYY/MM/DD]",
                                      "reserve requisition numbers of the day's counter and print them",
                                      app::Needs::Core, &ReserveNumbers});

}  // namespace
