#pragma once
// The identifiers a clerk gives the workflow (the project code, the user and store ids)
// must fit the columns that hold them: the text columns carry code-page bytes, so the
// limit is in bytes of code page 950 (a Chinese character takes two), and a character the
// page cannot hold cannot be stored at all. An identifier that does not fit is refused
// before anything is read or a number is taken, with a text that names the limit.

#include <QString>

#include "db/CodePage.h"
#include "mrp/Rules.h"

namespace mrp {

// The columns' sizes in db/schema.sql.
inline constexpr int kProjectCodeBytes = 20;  // PROJ_ID of ORDER_MASTER, PROJ_ITEM, PETITION_MASTER
inline constexpr int kUserIdBytes = 10;       // EMPLOYEE_ID and CHG_USER of the requisition, EMPLOYEE
inline constexpr int kStoreIdBytes = 10;      // STORE_ID of the requisition
inline constexpr int kRequisitionNumberBytes = 20;  // MASTERBILLID of PETITION_MASTER, PETITION_SUB, MARLITH_AUDIT

// The clerk's names of the identifiers, as the texts below use them.
inline constexpr const char* kProjectCodeLabel = "專案代號";
inline constexpr const char* kUserIdLabel = "使用者代號";
inline constexpr const char* kStoreIdLabel = "門市代號";
inline constexpr const char* kRequisitionNumberLabel = "請購單號";

// An identifier the clerk gave that its column cannot hold; the text is the refusal,
// written for the clerk.
class InputError : public RuleError {
public:
    using RuleError::RuleError;
};

// The first character of `text` that the page cannot hold on its own; empty when each
// can (a text may still be refused for a stray byte that would join its neighbour).
QString FirstUnstorable(const QString& text, const db::CodePage& page);

// Empty when `text` fits a column of `columnBytes` bytes in `page`; otherwise the text
// of the refusal, e.g. "專案代號最多 20 個字元（一個中文字佔 2 個）".
QString IdentifierProblem(const char* label, const QString& text, int columnBytes, const db::CodePage& page);
// Throws InputError with that text when there is one.
void RequireFits(const char* label, const QString& text, int columnBytes, const db::CodePage& page);

}  // namespace mrp
