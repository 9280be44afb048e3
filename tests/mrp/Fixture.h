#pragma once
// A fresh embedded database with an engine on its three connections, a fixed clock, the
// query dump in the database's temporary folder, and recorders for the command states
// and for what "轉請購單" asks and shows. Small bills and orders are written as SQL.

#include <gtest/gtest.h>

#include <QDir>
#include <functional>
#include <memory>
#include <ostream>
#include <utility>

#include "db/Convert.h"
#include "mrp/RequisitionEngine.h"
#include "mrp/RequisitionWriter.h"
#include "mrp/Rules.h"
#include "support/TestDatabase.h"

// Texts in failure messages as text, not as code units.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace mrptest {

class StateRecorder : public mrp::CommandStateObserver {
public:
    void CommandStatesChanged(const mrp::CommandStates& s) override { changes.push_back(s); }
    std::vector<mrp::CommandStates> changes;
};

// "轉請購單" as the window runs it: the odd lines' question answered, the outcomes a clerk
// would be shown kept.
class ReportRecorder {
public:
    mrp::RequisitionReport Transfer(mrp::RequisitionEngine& engine) {
        mrp::RequisitionReport r = engine.TransferToRequisition([this](const QStringList& lines) {
            asked.push_back(lines);
            return confirm;
        });
        if (mrp::IsShown(r)) reports.push_back(r);
        return r;
    }
    std::vector<mrp::RequisitionReport> reports;  // the outcomes shown
    bool confirm = true;                // the answer to the odd lines' question
    std::vector<QStringList> asked;     // what the question named, each time
};

// INSERT statements for the fixtures. Numbers and NULL are given as SQL text.
inline QString Product(const QString& id, const QString& name, const QString& unit = "pcs",
                       const QString& stdCost = "NULL", const QString& salePrice = "NULL") {
    return QString("INSERT INTO PRODUCT (PROD_ID, PROD_NAME, UNITNAME, STD_COST, SALE_PRICE) VALUES "
                   "('%1', '%2', '%3', %4, %5);\n")
        .arg(id, name, unit, stdCost, salePrice);
}
inline QString Bom(const QString& assembly, const QString& component, const QString& deQty,
                   const QString& divC = "NULL") {
    return QString("INSERT INTO PD_BOM (PROD_ID, DE_PRODID, DE_QTY, DIV_C) VALUES ('%1', '%2', %3, %4);\n")
        .arg(assembly, component, deQty, divC);
}
inline QString Order(const QString& bill, const QString& project, const QString& disable = "'False'",
                     const QString& ts = "'N'") {
    return QString("INSERT INTO ORDER_MASTER (MASTERBILLID, BILL_DATE, CUST_ID, CUST_NAME, PROJ_ID, "
                   "DISABLE_FLAG, FR_DATE, TS) VALUES ('%1', '2026/11/01', 'C1', 'Customer', '%2', %3, "
                   "'2026/12/01', %4);\n")
        .arg(bill, project, disable, ts);
}
inline QString Line(const QString& bill, const QString& product, const QString& qty) {
    return QString("INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, PROD_NAME, QTY) VALUES ('%1', '%2', '%2', %3);\n")
        .arg(bill, product, qty);
}

// A material line of `qty` of `prod` for `order`, written as the list hands it over.
inline mrp::MaterialRow Row(const QString& prod, double qty, const QString& order) {
    mrp::MaterialRow r;
    r.prodId = prod;
    r.prodName = prod;
    r.qty = qty;
    r.rQty = qty;
    r.unitName = "u";
    r.masterBillId = order;
    r.mItem = "N";
    return r;
}

// Writes a requisition through the program's writer, marking `listed` as transferred.
inline void WriteThroughWriter(db::Connection& reading, db::Connection& writing, const mrp::RequisitionHeader& header,
                               const std::vector<mrp::MaterialRow>& rows, const QStringList& listed) {
    mrp::RequisitionWriter writer(reading, writing);
    mrp::WriteOrders orders;
    orders.listed = listed;
    writer.Write(header, rows, writer.ReadProducts(rows), orders);
}

// Runs `between` once, right after the first statement of `reader` whose text names
// `table`: another client's commit lands there, between the reader's statements.
inline void BetweenStatements(db::Connection& reader, const QString& table, std::function<void()> between) {
    auto pending = std::make_shared<std::function<void()>>(std::move(between));
    reader.SetAfterStatementForTests([pending, table](const QString& statement) {
        if (!*pending || !statement.contains(table)) return;
        const std::function<void()> run = std::exchange(*pending, nullptr);
        run();
    });
}

// A column of a stored row and its value as text.
struct Stored {
    QString column;
    QString value;
    bool operator==(const Stored&) const = default;
};
inline void PrintTo(const Stored& s, std::ostream* os) {
    *os << s.column.toStdString() << '=' << '"' << s.value.toStdString() << '"';
}

class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        for (db::Connection* c : {&catalogue, &reading, &writing}) c->SetParams(database.params());
        mrp::EngineOptions options;
        options.queryDumpPath = DumpPath();
        options.clock = [this] { return now; };
        engine = std::make_unique<mrp::RequisitionEngine>(catalogue, reading, writing, options);
        engine->SetStateObserver(&states);
        engine->CreateWorkTable();
        engine->SetUser("A001", "S01");
    }
    ~EngineTest() override {
        engine.reset();
        for (db::Connection* c : {&catalogue, &reading, &writing}) c->Close();
    }

    QString DumpPath() const { return QDir(database.dir()).filePath("cache/query.txt"); }

    // "轉請購單", its outcome in lastReport.
    void Transfer() { lastReport = reporter.Transfer(*engine); }

    // "確定" then "物料展開" for the project.
    void Expand(const QString& project) {
        engine->SetProjectCode(project);
        engine->LoadOrders();
        engine->ExpandMaterials();
    }

    // The material list, one line per row: PROD_ID QTY DIV_C R_QTY MITEM MAIN_PROD
    // MASTERBILLID, null QTY as "null".
    QStringList Materials() {
        QStringList out;
        for (const mrp::MaterialRow& r : engine->ReadMaterialList())
            out << QString("%1 %2 %3 %4 %5 %6 %7")
                       .arg(r.prodId, r.qty ? db::FloatToText(*r.qty) : QString("null"), db::FloatToText(r.divC),
                            db::FloatToText(r.rQty), r.mItem, r.mainProd, r.masterBillId);
        return out;
    }

    QString Scalar(const QString& select) const { return database.Scalar(select); }

    // The one row `from` selects, in the columns of `shape` and their order, each as
    // text beside its name (to compare with the row expected).
    std::vector<Stored> StoredRow(const std::vector<Stored>& shape, const QString& from) const {
        QStringList columns;
        for (const Stored& s : shape) columns << s.column;
        const QStringList values = Scalar("SELECT " + columns.join("||'|'||") + ' ' + from).split('|');
        std::vector<Stored> row;
        for (qsizetype i = 0; i < columns.size(); ++i) row.push_back({columns[i], values.value(i)});
        return row;
    }

    testsupport::TestDatabase database;
    db::Connection catalogue, reading, writing;
    QDateTime now{QDate(2026, 11, 2), QTime(9, 30, 0, 5)};
    StateRecorder states;
    ReportRecorder reporter;
    mrp::RequisitionReport lastReport;  // of the last Transfer
    std::unique_ptr<mrp::RequisitionEngine> engine;
};

}  // namespace mrptest
