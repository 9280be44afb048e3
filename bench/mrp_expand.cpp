// "確定" + "物料展開" on synthetic projects, three ways:
//   (a) the engine as the program runs it: statements prepared once per command, each
//       product and bill read once per command;
//   (b) the design's method, done here on the engine's order list and work table: the
//       work table filled a row at a time, no transaction around the command, and a
//       statement prepared for every question about a product or a bill
//       (StatementPerQuestion), nothing remembered;
//   (c) one recursive query on the server computing the same final material rows (the
//       floor: no work table, no round trip per row).
// Prints wall time and statements executed for each, and the ratios a/c and b/a. The
// results of (a) and (b) must be identical row for row, and those of (c) the same rows
// in another order; the benchmark stops with an error when they are not.
//
//   bench_mrp_expand [--scenarios=S,M,L] [google benchmark flags]

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench/common/SyntheticProject.h"
#include "data/DataSet.h"
#include "db/Connection.h"
#include "db/Convert.h"
#include "db/WorkTable.h"
#include "mrp/BillLookup.h"
#include "mrp/RequisitionEngine.h"
#include "mrp/RequisitionWriter.h"
#include "mrp/Statements.h"

namespace {

const bench::Scenario kScenarios[] = {
    {"S", 50, 2, 2, 40},
    {"M", 500, 4, 2, 40},
    {"L", 2000, 5, 2, 40},
};

struct Measure {
    double ms = 0;
    long statements = 0;
    long long rows = 0;
};

// A comparable form of one final material row.
using Key = std::string;
Key MakeKey(const QString& prodId, double qty, double divC, double rQty, const QString& bill, const QString& main) {
    return QString("%1|%2|%3|%4|%5|%6")
        .arg(prodId, db::FloatToText(qty), db::FloatToText(divC), db::FloatToText(rQty), bill, main)
        .toStdString();
}

class ScenarioDatabase {
public:
    explicit ScenarioDatabase(const bench::Scenario& s) {
        params_.database = QDir(dir_.path()).filePath("bench.fdb");
        bench::CreateSyntheticDatabase(params_, s);
    }
    const db::ConnectionParams& params() const { return params_; }
    QString dumpPath() const { return QDir(dir_.path()).filePath("query.txt"); }

private:
    QTemporaryDir dir_;
    db::ConnectionParams params_;
};

// The design's reading of products and bills: every question its own statement,
// prepared anew, and nothing remembered between questions.
class StatementPerQuestion : public mrp::BillSource {
public:
    explicit StatementPerQuestion(db::Connection& reading) : reading_(reading) {}

    mrp::ProductRef Product(const QString& prodId) override {
        db::Query q(reading_);
        q.SetSQL(mrp::kProductStatement);
        q.SetParam("PROD_ID", prodId);
        q.Open();
        return {q.FieldByName("PROD_NAME").AsString(), q.FieldByName("UNITNAME").AsString()};
    }
    bool HasBill(const QString& prodId) override {
        // The column prod_id of the first row is null when there is no bill.
        db::Query q(reading_);
        q.SetSQL(mrp::kBillStatement);
        q.SetParam("PROD_ID", prodId);
        q.Open();
        return !q.FieldByName("PROD_ID").IsNull();
    }
    std::vector<mrp::BillLine> Bill(const QString& prodId) override {
        db::Query q(reading_);
        q.SetSQL(mrp::kBillStatement);
        return mrp::ReadBillLines(q, prodId);
    }

private:
    db::Connection& reading_;
};

std::optional<double> Nullable(const data::Field* f) {
    if (f->IsNull()) return std::nullopt;
    return f->AsFloat();
}

// "物料展開" the design's way, on the engine's order list and work table (see (b) above).
void ExpandStatementPerQuestion(mrp::RequisitionEngine& engine, db::Connection& reading) {
    std::vector<std::pair<QString, QString>> orders;
    data::QueryTable& list = engine.orderList();
    data::ForEachRecord(list, [&] {
        orders.emplace_back(list.FieldByName("MASTERBILLID")->AsString(), list.FieldByName("PROJ_ID")->AsString());
    });
    db::WorkTable table(reading, engine.workTableName());
    table.Empty();
    QStringList listed;
    for (const auto& order : orders) {
        table.Fill({order});
        listed << order.first;
    }
    listed.removeDuplicates();
    for (const QString& order : listed) mrp::OrderLineReader(reading).Read(order);  // a statement each

    const mrp::ComposedQuery query = mrp::BillOfMaterialsQuery(bench::kBenchProject, table.name());
    data::QueryTable& bills = engine.billList();
    bills.Close();
    bills.SetCommandText(query.statement);
    bills.SetParam("PROJ_ID", QString(bench::kBenchProject));
    bills.Open();
    std::vector<mrp::BomRow> bomRows;
    for (bills.First(); !bills.Eof(); bills.Next())
        bomRows.push_back({bills.FieldByName("PROD_ID")->AsString(), bills.FieldByName("MASTERBILLID")->AsString(),
                           bills.FieldByName("DE_PRODID")->AsString(), Nullable(bills.FieldByName("T_QTY")),
                           Nullable(bills.FieldByName("DIV_C"))});

    StatementPerQuestion source(reading);
    mrp::Expansion expansion(source, mrp::kMaxBillDepth, false);
    expansion.FirstLevel(bomRows);
    expansion.Complete();
    engine.DefineMaterialList();
    engine.materialList().LoadRows(expansion.TakeRows());
}

// Mode 'a' (the engine) or 'b' (the design's method).
Measure RunEngine(const ScenarioDatabase& database, char mode, std::vector<Key>& rows) {
    db::Connection catalogue, reading, writing;
    for (db::Connection* c : {&catalogue, &reading, &writing}) c->SetParams(database.params());
    mrp::EngineOptions options;
    options.queryDumpPath = database.dumpPath();
    mrp::RequisitionEngine engine(catalogue, reading, writing, options);
    engine.CreateWorkTable();
    engine.SetProjectCode(bench::kBenchProject);
    const auto executed = [&] {
        return catalogue.statementsExecuted() + reading.statementsExecuted() + writing.statementsExecuted();
    };
    const long before = executed();
    QElapsedTimer timer;
    timer.start();
    engine.LoadOrders();
    if (mode == 'a') engine.ExpandMaterials();
    else ExpandStatementPerQuestion(engine, reading);
    Measure m;
    m.ms = timer.nsecsElapsed() / 1e6;
    m.statements = executed() - before;
    m.rows = engine.materialList().RecordCount();
    rows.clear();
    for (const mrp::MaterialRow& r : engine.ReadMaterialList()) {
        if (r.mItem != "N") throw std::runtime_error("a sub-assembly is left in the material list");
        rows.push_back(MakeKey(r.prodId, r.qty.value_or(0), r.divC, r.rQty, r.masterBillId, r.mainProd));
    }
    engine.DropWorkTable();
    return m;
}

const QStringList kRecursiveQuery = {
    "WITH RECURSIVE M (PROD_ID, QTY, DIV_C, MASTERBILLID, MAIN_PROD) AS (",
    "  SELECT C.DE_PRODID, B.QTY * C.DE_QTY, C.DIV_C, A.MASTERBILLID, B.PROD_ID",
    "    FROM ORDER_MASTER A",
    "    JOIN ORDER_SUB B ON A.MASTERBILLID = B.MASTERBILLID",
    "    JOIN PD_BOM C ON C.PROD_ID = B.PROD_ID",
    "   WHERE A.PROJ_ID = :PROJ_ID AND A.DISABLE_FLAG = 'False' AND A.TS <> 'Y'",
    "  UNION ALL",
    "  SELECT C.DE_PRODID, COALESCE(M.QTY, 1) * COALESCE(C.DE_QTY, 1), C.DIV_C, M.MASTERBILLID, M.PROD_ID",
    "    FROM M JOIN PD_BOM C ON C.PROD_ID = M.PROD_ID",
    ")",
    "SELECT M.PROD_ID, P.PROD_NAME, M.QTY, COALESCE(M.DIV_C, 1) AS DIV_C, P.UNITNAME, M.MASTERBILLID, M.MAIN_PROD",
    "  FROM M LEFT JOIN PRODUCT P ON P.PROD_ID = M.PROD_ID",
    " WHERE NOT EXISTS (SELECT 1 FROM PD_BOM X WHERE X.PROD_ID = M.PROD_ID)",
};

Measure RunRecursiveQuery(const ScenarioDatabase& database, std::vector<Key>& rows) {
    db::Connection reading;
    reading.SetParams(database.params());
    reading.Open();
    const long before = reading.statementsExecuted();
    QElapsedTimer timer;
    timer.start();
    db::Query q(reading);
    q.SetSQL(kRecursiveQuery);
    q.SetParam("PROJ_ID", QString(bench::kBenchProject));
    q.Open();
    rows.clear();
    rows.reserve(static_cast<size_t>(q.RecordCount()));
    const db::Field& prodId = q.FieldByName("PROD_ID");
    const db::Field& qty = q.FieldByName("QTY");
    const db::Field& divC = q.FieldByName("DIV_C");
    const db::Field& bill = q.FieldByName("MASTERBILLID");
    const db::Field& main = q.FieldByName("MAIN_PROD");
    for (; !q.Eof(); q.Next()) {
        const double d = divC.AsFloat();
        const double rQty = db::RoundHalfEven(qty.AsFloat() / d);
        rows.push_back(MakeKey(prodId.AsString(), qty.AsFloat(), d, rQty, bill.AsString(), main.AsString()));
    }
    Measure m;
    m.ms = timer.nsecsElapsed() / 1e6;
    m.statements = reading.statementsExecuted() - before;
    m.rows = static_cast<long long>(rows.size());
    return m;
}

struct ScenarioResults {
    const bench::Scenario* scenario = nullptr;
    std::unique_ptr<ScenarioDatabase> database;
    std::map<char, Measure> measures;
    std::map<char, std::vector<Key>> rows;
};

std::map<std::string, ScenarioResults> gResults;

void Check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
}

void RunMode(benchmark::State& state, ScenarioResults& r, char mode) {
    for (auto _ : state) {
        std::vector<Key> rows;
        Measure m = mode == 'c' ? RunRecursiveQuery(*r.database, rows) : RunEngine(*r.database, mode, rows);
        state.SetIterationTime(m.ms / 1000.0);
        r.measures[mode] = m;
        r.rows[mode] = std::move(rows);
    }
    const Measure& m = r.measures[mode];
    state.counters["statements"] = static_cast<double>(m.statements);
    state.counters["rows"] = static_cast<double>(m.rows);
}

void PrintTable() {
    std::printf("\n%-3s %7s | %10s %9s | %10s %9s | %10s %5s | %7s %7s\n", "", "rows", "(a) ms", "stmts",
                "(b) ms", "stmts", "(c) ms", "stmts", "a/c", "b/a");
    for (const auto& s : kScenarios) {
        auto it = gResults.find(s.name);
        if (it == gResults.end() || it->second.measures.size() < 3) continue;
        auto& m = it->second.measures;
        std::printf("%-3s %7lld | %10.1f %9ld | %10.1f %9ld | %10.1f %5ld | %7.1f %7.1f\n", s.name, m['a'].rows,
                    m['a'].ms, m['a'].statements, m['b'].ms, m['b'].statements, m['c'].ms, m['c'].statements,
                    m['a'].ms / m['c'].ms, m['b'].ms / m['a'].ms);
    }
}

void Verify(const ScenarioResults& r) {
    const auto& a = r.rows.at('a');
    Check(static_cast<long long>(a.size()) == r.scenario->FinalRows(),
          std::string("scenario ") + r.scenario->name + ": the engine gave " + std::to_string(a.size()) +
              " rows, expected " + std::to_string(r.scenario->FinalRows()));
    Check(a == r.rows.at('b'), std::string("scenario ") + r.scenario->name + ": the design's method gives another material list");
    std::vector<Key> sortedA = a, sortedC = r.rows.at('c');
    std::sort(sortedA.begin(), sortedA.end());
    std::sort(sortedC.begin(), sortedC.end());
    Check(sortedA == sortedC, std::string("scenario ") + r.scenario->name + ": the recursive query disagrees");
}

}  // namespace

int main(int argc, char** argv) {
    QStringList wanted = {"S", "M", "L"};
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--scenarios=", 0) == 0) wanted = QString::fromStdString(arg.substr(12)).split(',');
        else rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());

    try {
        for (const auto& s : kScenarios) {
            if (!wanted.contains(s.name)) continue;
            ScenarioResults& r = gResults[s.name];
            r.scenario = &s;
            std::fprintf(stderr, "preparing scenario %s: %d order lines, depth %d, fan-out %d, %d shared items\n",
                         s.name, s.orderLines, s.depth, s.fanOut, s.sharedItems);
            r.database = std::make_unique<ScenarioDatabase>(s);
            for (char mode : {'a', 'b', 'c'}) {
                const std::string name = std::string("expand/") + s.name + "/" +
                                         (mode == 'a' ? "engine" : mode == 'b' ? "no-cache" : "recursive-query");
                benchmark::RegisterBenchmark(name.c_str(), [&r, mode](benchmark::State& st) { RunMode(st, r, mode); })
                    ->Iterations(1)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
            }
        }
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        for (const auto& [name, r] : gResults)
            if (r.measures.size() == 3) Verify(r);
        PrintTable();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_mrp_expand: %s\n", e.what());
        return 1;
    }
    return 0;
}
