#include "mrp/OddLines.h"

#include <QSet>
#include <cmath>

#include "db/Convert.h"

namespace mrp {

namespace {

QString Material(const MaterialRow& r) {
    return r.masterBillId.isEmpty() ? QString("物料 %1").arg(r.prodId)
                                    : QString("物料 %1（訂單 %2）").arg(r.prodId, r.masterBillId);
}

}  // namespace

QStringList OddLines(const std::vector<MaterialRow>& rows, const std::function<bool(size_t line)>& known,
                     const std::vector<OrderedProduct>& withoutBill) {
    QStringList out;
    QSet<QString> unknownNamed;
    for (size_t i = 0; i < rows.size(); ++i) {
        const MaterialRow& r = rows[i];
        if (!r.qty) {
            out << Material(r) + "：數量空白";
        } else if (*r.qty < 0) {
            out << Material(r) + QString("：數量為負數 (%1)").arg(db::FloatToText(*r.qty));
        } else if (*r.qty > 0 && std::nearbyint(r.rQty) == 0) {
            // Rounded half to even, as the requisition quantity is.
            out << Material(r) + QString("：請購量取整後為 0（數量 %1，除數 %2）")
                                     .arg(db::FloatToText(*r.qty), db::FloatToText(r.divC));
        }
        if (!known(i) && !unknownNamed.contains(r.prodId)) {
            unknownNamed.insert(r.prodId);
            out << QString("物料 %1：商品資料沒有此編號（沒有名稱、單位、成本）").arg(r.prodId);
        }
    }
    QSet<QString> productsNamed;
    for (const OrderedProduct& p : withoutBill) {
        if (productsNamed.contains(p.order + QChar(0x1F) + p.product)) continue;
        productsNamed.insert(p.order + QChar(0x1F) + p.product);
        out << QString("訂單 %1 的商品 %2 沒有物料清單，不會請購任何物料，訂單仍會結案").arg(p.order, p.product);
    }
    return out;
}

QStringList ForeignOrderLines(const std::vector<MaterialRow>& rows, const QStringList& listedOrders) {
    const QSet<QString> listed(listedOrders.begin(), listedOrders.end());
    QStringList out;
    for (const MaterialRow& r : rows)
        if (!r.masterBillId.isEmpty() && !listed.contains(r.masterBillId))
            out << Material(r) + QString("：訂單 %1 不是本次列出的訂單，不會因此結案").arg(r.masterBillId);
    return out;
}

}  // namespace mrp
