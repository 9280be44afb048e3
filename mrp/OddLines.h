#pragma once
// Lines of a material list that nobody would buy from as they stand, named for the clerk
// before a requisition number is taken: the window asks whether to write them all the
// same, the command line prints them and writes. Pure: the caller says which materials
// PRODUCT holds and which ordered products had no bill.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "mrp/Expansion.h"

namespace mrp {

// An order line whose product has no bill of materials: the expansion gives it no
// material, and the requisition closes its order all the same.
struct OrderedProduct {
    QString order;
    QString product;
    bool operator==(const OrderedProduct&) const = default;
};

// One Traditional Chinese text per odd line, in the list's order, then one per ordered
// product without a bill; each names the material (or product) and its order and says
// why. Odd lines are those
// - whose requisition quantity (R_QTY) rounds to 0 while QTY is above 0,
// - whose QTY is empty or below 0,
// - whose material has no PRODUCT row (`known` answers false; no name, unit or cost),
//   named once per material.
// An ordered product is named once per order.
QStringList OddLines(const std::vector<MaterialRow>& rows, const std::function<bool(size_t line)>& known,
                     const std::vector<OrderedProduct>& withoutBill);

// One text per line whose order (ORDER_ID, typed into the editable material list) is not
// one of the listed orders: the requisition names that order on the line but neither
// closes it nor, voided, reopens it. Lines without an order are not named here.
QStringList ForeignOrderLines(const std::vector<MaterialRow>& rows, const QStringList& listedOrders);

}  // namespace mrp
