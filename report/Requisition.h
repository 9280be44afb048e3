#pragma once
// A written requisition as it is printed: its header, the project's name and one line
// per material, read back from PETITION_MASTER, PETITION_SUB and PROJ_ITEM.

#include <QString>

#include <stdexcept>
#include <vector>

namespace db {
class Connection;
}

namespace report {

struct RequisitionLine {
    QString code;   // PROD_ID
    QString name;   // PROD_NAME
    QString unit;   // UNITNAME
    long long quantity = 0;  // QTY
    double cost = 0;         // STD_COST (null: 0)
    long long amount = 0;    // AMT
    QString providerId;      // PROVIDER_ID, as written with the line
    QString providerName;    // PROVIDER_NAME
};

struct Requisition {
    QString number;       // MASTERBILLID
    QString date;         // BILL_DATE, yyyy/mm/dd as written
    QString clerkId;      // EMPLOYEE_ID
    QString clerkName;    // EMPLOYEE_NAME
    QString store;        // STORE_ID
    QString project;      // PROJ_ID
    QString projectName;  // PROJ_ITEM.PROJ_NAME, empty when the project is gone
    std::vector<RequisitionLine> lines;  // in the order they were written

    long long Total() const;
};

// No requisition has that number, and none had it.
class RequisitionNotFound : public std::runtime_error {
public:
    explicit RequisitionNotFound(const QString& number);
};

// The requisition of that number was voided: its rows are gone, its number stays used.
class RequisitionVoided : public std::runtime_error {
public:
    explicit RequisitionVoided(const QString& number);
};

// Reads the requisition in one read-only snapshot (db::Snapshot; the connection has no
// transaction open), so that a requisition another clerk writes or voids meanwhile is
// seen whole or not at all. Throws RequisitionVoided or RequisitionNotFound.
Requisition LoadRequisition(db::Connection& connection, const QString& number);

// The same, within the connection's open transaction (a snapshot the caller holds for
// more statements about the requisition).
Requisition ReadRequisition(db::Connection& connection, const QString& number);

}  // namespace report
