#include "mrp/RequisitionWriter.h"

#include <QHash>
#include <QVariant>
#include <memory>

#include "mrp/BillLookup.h"
#include "mrp/CommandTransaction.h"
#include "mrp/Rules.h"

namespace mrp {

namespace {

// What a requisition line takes from PRODUCT: empty text and 0 when there is no row.
struct ProductLine {
    QString prodScale, providerId, providerName, pdItemId, prodBarcode;
    double stdCost = 0, salePrice = 0, nowQty = 0;
};

const QStringList kProductRow = {"select * from product where prod_id = :PROD_ID"};
const QStringList kEmployeeName = {"SELECT EMPLOYEE_NAME FROM EMPLOYEE WHERE EMPLOYEE_ID = :EMPLOYEE_ID"};

const QStringList kMasterInsert = {
    "INSERT INTO PETITION_MASTER (MASTERBILLID,BILL_DATE,EMPLOYEE_ID,EMPLOYEE_NAME,",
    "STORE_ID,TRAN_CODE,CLOSED,CHG_DATE,CHG_USER,PROJ_ID) VALUES ",
    "(:MASTERBILLID,:BILL_DATE,:EMPLOYEE_ID,:EMPLOYEE_NAME,",
    ":STORE_ID,:TRAN_CODE,:CLOSED,:CHG_DATE,:CHG_USER,:PROJ_ID)"};

const QStringList kSubInsert = {
    "INSERT INTO PETITION_SUB(MASTERBILLID,KEYINTIME,PROD_ID,PROD_NAME,PROD_SCALE,",
    "V_QTY,V_PRICE,QTY,UNITNAME,SALE_PRICE,STD_COST,AMT,TEMPPRODID,PROVIDER_ID,",
    "PROVIDER_NAME,PD_ITEMID,PROD_BARCODE,PACK_QTY,BILL_DATE,EMPLOYEE_ID,",
    "EMPLOYEE_NAME,STORE_ID,TRAN_CODE,CLOSED,CHG_DATE,CHG_USER,now_qty,ORDER_ID) VALUES ",
    "(:MASTERBILLID,:KEYINTIME,:PROD_ID,:PROD_NAME,:PROD_SCALE,",
    ":V_QTY,:V_PRICE,:QTY,:UNITNAME,:SALE_PRICE,:STD_COST,:AMT,:TEMPPRODID,:PROVIDER_ID,",
    ":PROVIDER_NAME,:PD_ITEMID,:PROD_BARCODE,:PACK_QTY,:BILL_DATE,:EMPLOYEE_ID,",
    ":EMPLOYEE_NAME,:STORE_ID,:TRAN_CODE,:CLOSED,:CHG_DATE,:CHG_USER,:now_qty,:ORDER_ID)"};

ProductLine ReadProduct(db::Query& q, const QString& prodId) {
    q.SetParam("PROD_ID", prodId);
    q.Open();
    ProductLine p;
    p.prodScale = q.FieldByName("PROD_SCALE").AsString();
    p.providerId = q.FieldByName("PROVIDER_ID").AsString();
    p.providerName = q.FieldByName("PROVIDER_NAME").AsString();
    p.pdItemId = q.FieldByName("PD_ITEMID").AsString();
    p.prodBarcode = q.FieldByName("PROD_BARCODE").AsString();
    p.stdCost = FloatOr(OptionalFloat(q.FieldByName("STD_COST")), 0);
    p.salePrice = FloatOr(OptionalFloat(q.FieldByName("SALE_PRICE")), 0);
    p.nowQty = FloatOr(OptionalFloat(q.FieldByName("NOW_QTY")), 0);
    q.Close();
    return p;
}

QString ReadEmployeeName(db::Query& q, const QString& userId) {
    q.SetParam("EMPLOYEE_ID", userId);
    q.Open();
    QString name = q.Fields(0).AsString();
    q.Close();
    return name;
}

}  // namespace

void RequisitionWriter::Write(const RequisitionHeader& h, const std::vector<MaterialRow>& rows) {
    if (rows.empty()) return;

    // Products first, on the reading connection: the transaction below then holds its
    // locks only for the writing itself.
    std::vector<ProductLine> products;
    products.reserve(rows.size());
    {
        CommandTransaction transaction(reading_, cache_);
        db::Query product(reading_);
        product.SetSQL(kProductRow);
        QHash<QString, qsizetype> seen;
        for (const MaterialRow& r : rows) {
            if (cache_) {
                if (auto it = seen.constFind(r.prodId); it != seen.cend()) {
                    products.push_back(products[static_cast<size_t>(*it)]);
                    continue;
                }
                seen.insert(r.prodId, static_cast<qsizetype>(products.size()));
            } else {
                product.Unprepare();
            }
            products.push_back(ReadProduct(product, r.prodId));
        }
    }

    writing_.StartTransaction();
    try {
        db::Query employee(writing_);
        employee.SetSQL(kEmployeeName);
        const QString employeeName = ReadEmployeeName(employee, h.userId);

        for (const char* table : {"PETITION_SUB", "PETITION_MASTER"}) {
            db::Query remove(writing_);
            remove.SetSQL({QString("DELETE FROM %1 WHERE MASTERBILLID = :MASTERBILLID").arg(table)});
            remove.SetParam("MASTERBILLID", h.number);
            remove.Execute();
        }

        db::Query master(writing_);
        master.SetSQL(kMasterInsert);
        master.SetParam("MASTERBILLID", h.number);
        master.SetParam("BILL_DATE", h.dateText);
        master.SetParam("EMPLOYEE_ID", h.userId);
        master.SetParam("EMPLOYEE_NAME", employeeName);
        master.SetParam("STORE_ID", h.storeId);
        master.SetParam("TRAN_CODE", QStringLiteral("N"));
        master.SetParam("CLOSED", QStringLiteral("N"));
        master.SetParam("CHG_DATE", h.dateText);
        master.SetParam("CHG_USER", h.userId);
        master.SetParam("PROJ_ID", h.projectCode);
        master.Execute();

        db::Query sub(writing_);
        sub.SetSQL(kSubInsert);
        // The same for every line.
        sub.SetParam("MASTERBILLID", h.number);
        sub.SetParam("PACK_QTY", 1);
        sub.SetParam("BILL_DATE", h.dateText);
        sub.SetParam("EMPLOYEE_ID", h.userId);
        sub.SetParam("STORE_ID", h.storeId);
        sub.SetParam("TRAN_CODE", QStringLiteral("N"));
        sub.SetParam("CLOSED", QStringLiteral("N"));
        sub.SetParam("CHG_DATE", h.dateText);
        sub.SetParam("CHG_USER", h.userId);
        for (size_t i = 0; i < rows.size(); ++i) {
            const MaterialRow& r = rows[i];
            const ProductLine& p = products[i];
            // QTY as the list hands it over, as text: 45 x 0.7 is 31.5 there, not the
            // 31.499999999999996 the multiplication leaves in binary.
            const int qty = WholeNumber(FloatOr(r.qty, 0), "the quantity (QTY) of " + r.prodId);
            const int amount = Amount(qty, p.stdCost, r.prodId);
            if (!cache_) sub.Unprepare();
            sub.SetParam("KEYINTIME", KeyInTime(clock_ ? clock_() : QTime::currentTime()));
            sub.SetParam("PROD_ID", r.prodId);
            sub.SetParam("PROD_NAME", r.prodName);
            sub.SetParam("PROD_SCALE", p.prodScale);
            sub.SetParam("V_QTY", qty);
            sub.SetParam("V_PRICE", p.stdCost);
            sub.SetParam("QTY", qty);
            sub.SetParam("UNITNAME", r.unitName);
            sub.SetParam("SALE_PRICE", p.salePrice);
            sub.SetParam("STD_COST", p.stdCost);
            sub.SetParam("AMT", amount);
            sub.SetParam("TEMPPRODID", r.prodId);
            sub.SetParam("PROVIDER_ID", p.providerId);
            sub.SetParam("PROVIDER_NAME", p.providerName);
            sub.SetParam("PD_ITEMID", p.pdItemId);
            sub.SetParam("PROD_BARCODE", p.prodBarcode);
            sub.SetParam("EMPLOYEE_NAME", cache_ ? employeeName : ReadEmployeeName(employee, h.userId));
            sub.SetParam("now_qty", p.nowQty);
            sub.SetParam("ORDER_ID", r.masterBillId);
            sub.Execute();
        }

        db::Query mark(writing_);
        mark.SetSQL({"UPDATE ORDER_MASTER SET TS = 'Y' WHERE PROJ_ID = :PROJ_ID"});
        mark.SetParam("PROJ_ID", h.projectCode);
        mark.Execute();

        writing_.Commit();
    } catch (...) {
        try {
            writing_.Rollback();
        } catch (...) {
            // A lost attachment ends its transaction by itself; the first error says why.
        }
        throw;
    }
}

}  // namespace mrp
