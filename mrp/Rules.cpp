#include "mrp/Rules.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

#include "db/Convert.h"

namespace mrp {

QString DateText(const QDate& date) {
    return QString::asprintf("%04d/%02d/%02d", date.year(), date.month(), date.day());
}

bool IsDateText(const QString& text) {
    static const QRegularExpression form("^\\d{4}/\\d{2}/\\d{2}$");
    return form.match(text).hasMatch() && QDate::fromString(text, QStringLiteral("yyyy/MM/dd")).isValid();
}

QString DateTextProblem(const QString& text) {
    if (IsDateText(text)) return {};
    return QStringLiteral("日期「%1」不正確，請以 YYYY/MM/DD 輸入。").arg(text);
}

QString KeyInTime(const QTime& time) {
    return QString::asprintf("%02d:%02d:%02d %02d", time.hour(), time.minute(), time.second(), time.msec());
}

QString RequisitionNumber(const QString& dateText, int sequence) {
    if (dateText.size() < 10)
        throw RuleError(QString("'%1' is not a date of the form YYYY/MM/DD").arg(dateText).toStdString());
    if (sequence < 0) throw RuleError("a requisition sequence number cannot be negative");
    return dateText.mid(0, 4) + dateText.mid(5, 2) + dateText.mid(8, 2) + QString::asprintf("%.4d", sequence);
}

double ThroughText(double value) { return db::ThroughFifteenDigits(value); }

double FloatOr(const std::optional<double>& value, double fallback) {
    return value ? ThroughText(*value) : fallback;
}

double RequisitionQuantity(double quantity, double divisor, const QString& assembly,
                           const QString& component) {
    if (divisor == 0)
        throw RuleError(QString("the bill of materials of %1 gives component %2 the divisor DIV_C 0: "
                                "its requisition quantity cannot be computed")
                            .arg(assembly, component)
                            .toStdString());
    const double quotient = quantity / divisor;
    if (!std::isfinite(quotient))
        throw RuleError(QString("the requisition quantity of component %2 in the bill of materials of %1 "
                                "is out of range")
                            .arg(assembly, component)
                            .toStdString());
    return db::RoundHalfEven(quotient);
}

namespace {

bool InIntRange(double v) {
    return std::isfinite(v) && v >= double(std::numeric_limits<int>::min()) &&
           v <= double(std::numeric_limits<int>::max());
}

}  // namespace

int WholeNumber(double value, const std::function<QString()>& what) {
    const double r = db::RoundHalfEven(value);
    if (!InIntRange(r))
        throw RuleError(QString("%1 is %2, outside the whole numbers a requisition line can hold")
                            .arg(what(), db::FloatToText(value))
                            .toStdString());
    return static_cast<int>(r);
}

int WholeNumber(double value, const QString& what) {
    return WholeNumber(value, [&what] { return what; });
}

int Amount(int wholeQuantity, double standardCost, const QString& product) {
    return WholeNumber(static_cast<double>(wholeQuantity) * standardCost,
                       [&product] { return "the amount (AMT) of " + product; });
}

QString SqlLiteral(const QString& value) {
    QString doubled = value;
    doubled.replace('\'', "''");
    return '\'' + doubled + '\'';
}

}  // namespace mrp
