#pragma once
// The requisitions written so far, as the clerk looks them up: one entry per requisition,
// newest first, with its project, clerk, store, line count, total and state. A voided
// requisition has left PETITION_MASTER and PETITION_SUB; it is listed from the audit
// table's copy, with the reason it was voided.

#include <QString>
#include <vector>

#include "data/MemTable.h"
#include "db/Connection.h"
#include "mrp/Rules.h"

namespace mrp {

enum class RequisitionState {
    Open,    // the header and every line CLOSED 'N': purchasing has not taken it up
    Closed,  // the header or a line holds anything else (purchasing has taken it up)
    Voided,  // taken back by a clerk
};

// "未結案", "已結案", "已作廢".
QString StateText(RequisitionState state);

struct HistoryFilter {
    QString project;  // PROJ_ID, compared whole after trimming; empty: every project
    QString from;     // BILL_DATE bounds, YYYY/MM/DD, inclusive; empty: unbounded
    QString to;
};

struct RequisitionEntry {
    QString number, date, projectCode, projectName, clerkId, clerkName, store;
    int lines = 0;
    long long total = 0;
    RequisitionState state = RequisitionState::Open;
    QString reason;  // a voided one's
};

// The requisitions that match, newest first (by date, then by number), as of one moment
// (db::Snapshot; the connection has no transaction open). Throws std::invalid_argument
// for a bound that is not a date text.
std::vector<RequisitionEntry> ListRequisitions(db::Connection& connection, const HistoryFilter& filter);

// An in-memory table of entries for the grid and the lists: MASTERBILLID, BILL_DATE,
// PROJ_ID, PROJ_NAME, EMPLOYEE_ID, EMPLOYEE_NAME, STORE_ID, LINE_COUNT, TOTAL_AMT, STATE
// (StateText), REASON, the column titles in Chinese.
void FillHistoryTable(data::MemTable& table, const std::vector<RequisitionEntry>& entries);

}  // namespace mrp
