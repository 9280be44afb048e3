#include "report/Requisition.h"

#include "db/Connection.h"
#include "mrp/Audit.h"

namespace report {

namespace {

const QStringList kHeader = {
    "SELECT M.MASTERBILLID, M.BILL_DATE, M.EMPLOYEE_ID, M.EMPLOYEE_NAME, M.STORE_ID, M.PROJ_ID,",
    "  (SELECT FIRST 1 P.PROJ_NAME FROM PROJ_ITEM P WHERE P.PROJ_ID = M.PROJ_ID) AS PROJ_NAME",
    "FROM PETITION_MASTER M WHERE M.MASTERBILLID = :MASTERBILLID"};

// In the order the write inserted them: the requisition has no line number, and the
// rows come back in their stored order, which is the order of their inserts (read
// through the index on MASTERBILLID, the engine visits the rows by record number).
// Not "ORDER BY RDB$DB_KEY": the keys sort as bytes, which scrambles rows beyond the
// first few hundred.
const QStringList kLines = {
    "SELECT PROD_ID, PROD_NAME, UNITNAME, QTY, STD_COST, AMT, PROVIDER_ID, PROVIDER_NAME FROM PETITION_SUB",
    "WHERE MASTERBILLID = :MASTERBILLID"};

}  // namespace

long long Requisition::Total() const {
    long long total = 0;
    for (const RequisitionLine& l : lines) total += l.amount;
    return total;
}

RequisitionNotFound::RequisitionNotFound(const QString& number)
    : std::runtime_error(QStringLiteral("請購單 %1 不存在").arg(number).toStdString()) {}

RequisitionVoided::RequisitionVoided(const QString& number)
    : std::runtime_error(QStringLiteral("請購單 %1 已作廢").arg(number).toStdString()) {}

Requisition LoadRequisition(db::Connection& connection, const QString& number) {
    const db::Snapshot snapshot(connection);
    return ReadRequisition(connection, number);
}

Requisition ReadRequisition(db::Connection& connection, const QString& number) {
    // The writer commits the header and its lines together, and a void deletes them
    // together: in one snapshot a header seen here has all its lines with it.
    db::Query header(connection);
    header.SetSQL(kHeader);
    header.SetParam("MASTERBILLID", number);
    header.Open();
    if (header.Eof()) {
        if (mrp::NumberVoided(connection, number)) throw RequisitionVoided(number);
        throw RequisitionNotFound(number);
    }
    Requisition r;
    const auto text = [&header](const char* column) { return header.FieldByName(column).AsString(); };
    r = {text("MASTERBILLID"), text("BILL_DATE"), text("EMPLOYEE_ID"), text("EMPLOYEE_NAME"),
         text("STORE_ID"),     text("PROJ_ID"),   text("PROJ_NAME"),   {}};

    db::Query lines(connection);
    lines.SetSQL(kLines);
    lines.SetParam("MASTERBILLID", number);
    lines.Open();
    const db::Field& code = lines.FieldByName("PROD_ID");
    const db::Field& name = lines.FieldByName("PROD_NAME");
    const db::Field& unit = lines.FieldByName("UNITNAME");
    const db::Field& quantity = lines.FieldByName("QTY");
    const db::Field& cost = lines.FieldByName("STD_COST");
    const db::Field& amount = lines.FieldByName("AMT");
    const db::Field& providerId = lines.FieldByName("PROVIDER_ID");
    const db::Field& providerName = lines.FieldByName("PROVIDER_NAME");
    for (; !lines.Eof(); lines.Next())
        r.lines.push_back({code.AsString(), name.AsString(), unit.AsString(), quantity.AsInteger(), cost.AsFloat(),
                           amount.AsInteger(), providerId.AsString(), providerName.AsString()});
    return r;
}

}  // namespace report
