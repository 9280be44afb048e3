#pragma once
// The material expansion without database or widgets: the first level turns the rows of
// the bill-of-materials query into material rows, and each multi-level pass replaces the
// rows marked as sub-assemblies by their components. Products and bills come from a
// BillSource, so the same code runs on the database (BillLookup.h) and on small tables
// in tests.
//
// The rows keep the order the workflow gives them: new rows at the end, a pass removes
// every marked row first and then appends the components of each, in the order they were
// collected, bill lines in the order the source returns them. Rows are never merged.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "data/RowStore.h"
#include "mrp/CodeHash.h"

namespace mrp {

// One row of the material list ACDS as the program reads it back. The nine fields are the
// table's; `assemblies` is the chain of products whose bills led to this row (the ordered
// product first, MAIN_PROD last), known here only as far as MAIN_PROD.
struct MaterialRow {
    QString prodId;
    QString prodName;
    std::optional<double> qty;  // null when the order line or the bill line had none
    double divC = 1;
    double rQty = 0;
    QString unitName;
    QString masterBillId;
    QString mainProd;
    QString mItem;  // "Y": a sub-assembly still to be exploded; "N" otherwise

    QStringList assemblies;
};

// One row of the bill-of-materials query (CDS_SubItem) as the first level uses it.
struct BomRow {
    QString prodId;        // the ordered product
    QString masterBillId;  // its customer order
    QString deProdId;      // the component
    std::optional<double> tQty;  // ordered quantity x DE_QTY, computed by the server
    std::optional<double> divC;
};

struct ProductRef {
    QString prodName;  // empty when no product has the code
    QString unitName;
};

struct BillLine {
    QString deProdId;
    std::optional<double> deQty;
    std::optional<double> divC;
};

// Where the expansion reads products and bills: the database (BillLookup.h, which reads
// each product and bill once per command), or small tables in tests.
class BillSource {
public:
    virtual ~BillSource() = default;
    virtual ProductRef Product(const QString& prodId) = 0;
    // True when the product has bill lines of its own.
    virtual bool HasBill(const QString& prodId) = 0;
    // The bill lines of an assembly, in the order the database returns them.
    virtual std::vector<BillLine> Bill(const QString& prodId) = 0;
};

// Levels of assemblies above a material that the expansion follows before it gives up;
// a bill that deep is taken as damaged. A bill that contains itself is recognised long
// before (see Expansion::Complete).
inline constexpr int kMaxBillDepth = 100;

class Expansion {
public:
    // rows, when given, are where the expansion starts (a list read back, for the passes
    // still to run); the expansion holds its rows itself, compactly, and the caller reads
    // them with RowCount and Row: after an error they hold what was done before it.
    // reuseBills: a source that gives the same bill, product and "has a bill" answer for
    // a code every time (one that reads each once per command) is asked once per code,
    // and the lines of a bill met again are built from what it said the first time.
    Expansion(BillSource& source, int maxDepth = kMaxBillDepth, bool reuseBills = false);
    void Start(const std::vector<MaterialRow>& rows);

    // First level: appends one material row per bill-query row. QTY is the server's T_QTY
    // (null stays null), DIV_C the bill line's divisor (1 when null), R_QTY the rounded
    // quotient of QTY (0 when null) and DIV_C, MAIN_PROD the ordered product.
    // Here and in Pass, a bill line without a component code (DE_PRODID null or empty)
    // throws RuleError naming the assembly, as a divisor of 0 does; the rows before it stay.
    void FirstLevel(const std::vector<BomRow>& bomRows);

    bool HasSubAssembly() const;

    // One pass (the hidden "序展" button's action): removes every row marked "Y", then
    // for each removed row appends the components of its bill with QTY = the row's QTY
    // (1 when null) x DE_QTY (1 when null) and MAIN_PROD = the sub-assembly.
    void Pass();

    // Passes until no row is marked "Y". Throws RuleError naming the chain (A → B → C → A)
    // when a sub-assembly would appear among its own assemblies, and when the chain grows
    // beyond the depth limit; the row that would close the cycle is not added.
    void Complete();

    int passes() const { return passes_; }

    // The rows as they stand, in the material list's columns (PROD_ID, PROD_NAME, QTY,
    // DIV_C, R_QTY, UNITNAME, MASTERBILLID, MAIN_PROD, MITEM): the list takes them as
    // they lie. The expansion is done with after this.
    size_t RowCount() const { return rows_.Count(); }
    data::RowStore TakeRows();

private:
    enum Column { kProdId, kProdName, kQty, kDivC, kRQty, kUnitName, kMasterBillId, kMainProd, kMItem };
    // A text of the rows' table: each product code, name, unit and order number is held
    // once, however many rows name it.
    using Code = uint32_t;
    // A chain of assemblies: the product last added and the chain before it (0: none).
    struct ChainLink {
        Code product;
        uint32_t before;
        int length;
    };
    // A material row about to be appended. chain: the assemblies above a row still to be
    // exploded (0 on the others).
    struct Material {
        double qty;
        double divC;
        double rQty;
        Code prodId, prodName, unitName, masterBillId, mainProd, mItem;
        uint32_t chain;
        bool hasQty;
    };

    Code Intern(const QString& text) { return rows_.Intern(text); }
    const QString& Text(Code code) const { return rows_.TextById(code); }
    bool ChainHolds(uint32_t chain, Code product) const;
    uint32_t Extend(uint32_t chain, Code product);
    QStringList ChainTexts(uint32_t chain) const;

    // Checks and appends one row; a rule error leaves the row out.
    void Append(const Material& row);
    // Appends one row as it stands.
    void Put(const Material& row);

    // A bill line with what the source says of its component and its numbers as handed
    // over (through text).
    struct ResolvedLine {
        Code deProdId = 0;
        bool hasComponent = false;  // DE_PRODID not null and not empty
        Code prodName = 0, unitName = 0;
        bool hasBill = false;
        double deQty = 1;  // 1 when null
        double divC = 1;   // 1 when null
    };
    // The lines of prodId's bill, resolved in the order the rows are built: for each line
    // its product, then whether it has a bill of its own. A line without a component is
    // not looked up (building its row throws).
    const std::vector<ResolvedLine>& ResolvedBill(Code prodId);

    BillSource& source_;
    int maxDepth_;
    bool reuseBills_;
    int passes_ = 0;
    // The rows, and beside each the chain of assemblies above it; a pass closes both up
    // in place, so the next level reuses their memory.
    data::RowStore rows_;
    std::vector<uint32_t> rowChains_;
    Code yes_, no_;
    std::vector<ChainLink> chains_;
    // Each chain made once: the rows of thousands of order lines share a few hundred.
    std::unordered_map<uint64_t, uint32_t> chainIds_;
    // A pass's rows to explode; kept from pass to pass with its memory.
    struct Entry {
        Code prodId;
        double qty;  // the row's QTY read as text, 1 when null
        Code masterBillId;
        uint32_t chain;
    };
    std::vector<Entry> entries_;
    // reuseBills: each bill met so far (a pass looks up every sub-assembly row).
    std::unordered_map<Code, std::vector<ResolvedLine>> bills_;
    std::vector<ResolvedLine> scratch_;  // otherwise: the bill being built
};

}  // namespace mrp
