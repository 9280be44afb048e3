#pragma once
// The small rules of the requisition workflow, free of database and widgets: how dates,
// key-in times and requisition numbers are written, how the requisition quantity is
// rounded, and how the material list's floats become the whole numbers of a requisition
// line.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <optional>
#include <stdexcept>

namespace mrp {

// A rule broken by the data (a divisor of 0, a quantity outside the range a requisition
// line can hold). The message names the products concerned.
class RuleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "YYYY/MM/DD": BILL_DATE of the day's counter row, BILL_DATE and CHG_DATE of a
// requisition.
QString DateText(const QDate& date);

// True for a date text of that form naming a real day ("2026/02/30" is none).
bool IsDateText(const QString& text);
// Empty for such a date text; otherwise the refusal for the clerk, naming the text:
// "日期「2026/13/45」不正確，請以 YYYY/MM/DD 輸入。".
QString DateTextProblem(const QString& text);

// Key-in time of a requisition line, "hh:nn:ss zz": hours 00-23, minutes and seconds of
// two digits, then a blank and the milliseconds with at least two digits (5 ms "05",
// 123 ms "123").
QString KeyInTime(const QTime& time);

// The day's digits YYYYMMDD taken from the date text (characters 1-4, 6-7 and 9-10,
// whatever the separators), then the sequence number with at least four digits:
// "2026/11/02", 7 -> "202611020007"; 10000 gives 13 characters. Throws RuleError for a
// date text shorter than ten characters or a sequence number below 0.
QString RequisitionNumber(const QString& dateText, int sequence);

// A float as it survives being handed over as text: the data layer writes floats with at
// most 15 significant digits, and the workflow reads most numbers back from that text.
double ThroughText(double value);

// A number "read as a float with a fallback": a null value gives the fallback, any other
// is taken as the data layer's text form of it.
double FloatOr(const std::optional<double>& value, double fallback);

// R_QTY: the quantity divided by the divisor, rounded to the nearest whole number with a
// tie going to the even neighbour (7/2 -> 4, 5/2 -> 2, 0.4/1 -> 0). A divisor of 0 and a
// quotient that is not a finite number throw RuleError naming the assembly and the
// component.
double RequisitionQuantity(double quantity, double divisor, const QString& assembly,
                           const QString& component);

// A float as a 32-bit whole number for a requisition line: rounded half to even (2.5 ->
// 2, 3.5 -> 4); whole values pass unchanged. A value outside the 32-bit range, or one
// that is not a finite number, throws RuleError with `what` in the message.
int WholeNumber(double value, const QString& what);
// The same, with `what` built only when the value is refused (a requisition's every line
// passes here).
int WholeNumber(double value, const std::function<QString()>& what);

// AMT of a requisition line: the whole-number quantity times the standard cost, rounded
// half to even to a whole number (12 x 30 -> 360; 3 x 2.5 -> 8); outside the 32-bit
// range it throws RuleError.
int Amount(int wholeQuantity, double standardCost, const QString& product);

// A value as it is shown in the query dump: between single quotes, a quote inside
// doubled ("O'Neil" -> 'O''Neil').
QString SqlLiteral(const QString& value);

}  // namespace mrp
