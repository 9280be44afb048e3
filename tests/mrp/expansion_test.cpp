// "物料展開" and its passes on small bills in a fresh database.

#include <QFile>
#include <QRegularExpression>

#include "Fixture.h"
#include "data/Error.h"
#include "mrp/Rules.h"

using namespace mrptest;

using ExpansionTest = EngineTest;

TEST_F(ExpansionTest, WorkedExampleGivesDThenC) {
    // 10 of A; A = 2 B + 4 D (DIV_C null); B = 3 C (DIV_C 4); C and D have no bill.
    database.Run(Product("A", "Assembly A") + Product("B", "Sub B") + Product("C", "Part C", "kg") +
                 Product("D", "Part D") + Bom("A", "B", "2") + Bom("A", "D", "4") + Bom("B", "C", "3", "4") +
                 Order("SO1", "P1") + Line("SO1", "A", "10"));
    Expand("P1");
    EXPECT_EQ(Materials(), QStringList({"D 40 1 40 N A SO1", "C 60 4 15 N B SO1"}));
    EXPECT_EQ(engine->expansionPasses(), 1);
    EXPECT_FALSE(engine->materialListPartial());
    // Names and units come from PRODUCT; the grid's current row is the first.
    data::MemTable& acds = engine->materialList();
    EXPECT_EQ(acds.FieldByName("PROD_NAME")->AsString(), "Part D");
    acds.Next();
    EXPECT_EQ(acds.FieldByName("UNITNAME")->AsString(), "kg");
    // The nine fields in order; the index is defined but rows keep their order.
    QStringList names;
    for (int i = 0; i < acds.FieldCount(); ++i) names << acds.Fields(i)->fieldName();
    EXPECT_EQ(names, mrp::kMaterialFields);
    ASSERT_EQ(acds.indexDefs().size(), 1u);
    EXPECT_EQ(acds.indexDefs()[0].name, "IntIndex");
    EXPECT_EQ(acds.indexDefs()[0].fields, "PROD_ID");
}

TEST_F(ExpansionTest, RequisitionQuantityRoundingTable) {
    // One order line of 1 so that T_QTY is DE_QTY: QTY, DIV_C -> R_QTY.
    database.Run(Product("P", "Ordered") + Bom("P", "X1", "7", "2") + Bom("P", "X2", "5", "2") +
                 Bom("P", "X3", "3", "2") + Bom("P", "X4", "10", "4") + Bom("P", "X5", "9", "1") +
                 Bom("P", "X6", "0.4", "1") + Bom("P", "X7", "12") + Bom("P", "X8", "2.1", "1") +
                 Order("SO1", "P1") + Line("SO1", "P", "1"));
    Expand("P1");
    EXPECT_EQ(Materials(), QStringList({"X1 7 2 4 N P SO1", "X2 5 2 2 N P SO1", "X3 3 2 2 N P SO1",
                                        "X4 10 4 2 N P SO1", "X5 9 1 9 N P SO1", "X6 0.4 1 0 N P SO1",
                                        "X7 12 1 12 N P SO1", "X8 2.1 1 2 N P SO1"}));
    EXPECT_EQ(engine->expansionPasses(), 0);
}

TEST_F(ExpansionTest, SharedComponentsAndRepeatedProductsGiveOneRowEach) {
    // Two products share S; P1 is ordered on two lines; sub-assembly U is needed by two
    // orders and exploded separately for each.
    database.Run(Bom("P1", "S", "1") + Bom("P2", "S", "2") + Bom("P2", "U", "1") + Bom("U", "S", "5") +
                 Order("SO1", "PJ") + Order("SO2", "PJ") + Line("SO1", "P1", "1") + Line("SO1", "P2", "1") +
                 Line("SO1", "P1", "3") + Line("SO2", "P2", "10"));
    Expand("PJ");
    QStringList rows = Materials();
    EXPECT_EQ(rows.size(), 6);
    EXPECT_EQ(rows.filter(QRegularExpression("^S ")).size(), 6) << rows.join("\n").toStdString();
    EXPECT_TRUE(rows.contains("S 5 1 5 N U SO1"));
    EXPECT_TRUE(rows.contains("S 50 1 50 N U SO2"));
    // The same order in the work table once per line.
    EXPECT_EQ(Scalar("select count(*) from " + engine->workTableName()), "4");
}

TEST_F(ExpansionTest, ComponentMissingFromProductKeepsItsRowWithEmptyNameAndUnit) {
    database.Run(Product("P", "Ordered") + Bom("P", "GHOST", "2") + Order("SO1", "P1") + Line("SO1", "P", "3"));
    Expand("P1");
    EXPECT_EQ(Materials(), QStringList({"GHOST 6 1 6 N P SO1"}));
    EXPECT_EQ(engine->materialList().FieldByName("PROD_NAME")->AsString(), "");
    EXPECT_EQ(engine->materialList().FieldByName("UNITNAME")->AsString(), "");
}

TEST_F(ExpansionTest, NullQuantitiesFallBackAsEachLevelSays) {
    // A null order quantity leaves the first level's QTY null (R_QTY 0); the pass counts
    // the sub-assembly's null QTY as 1 and a null DE_QTY as 1.
    database.Run(Bom("A", "B", "2") + Bom("B", "C", "3") + Bom("B", "D", "NULL") + Order("SO1", "P1") +
                 Line("SO1", "A", "NULL"));
    Expand("P1");
    EXPECT_EQ(Materials(), QStringList({"C 3 1 3 N B SO1", "D 1 1 1 N B SO1"}));

    database.Run(Order("SO2", "P2") + Line("SO2", "A", "NULL") + Bom("A", "E", "5"));
    Expand("P2");
    EXPECT_EQ(Materials(), QStringList({"E null 1 0 N A SO2", "C 3 1 3 N B SO2", "D 1 1 1 N B SO2"}));
}

TEST_F(ExpansionTest, ConsecutiveSubAssembliesAreExplodedInOnePassInCollectedOrder) {
    database.Run(Bom("A", "B", "1") + Bom("A", "E", "2") + Bom("A", "L", "1") + Bom("B", "B1", "1") +
                 Bom("B", "B2", "1") + Bom("E", "E1", "1") + Order("SO1", "P1") + Line("SO1", "A", "1"));
    Expand("P1");
    EXPECT_EQ(Materials(), QStringList({"L 1 1 1 N A SO1", "B1 1 1 1 N B SO1", "B2 1 1 1 N B SO1",
                                        "E1 2 1 2 N E SO1"}));
    EXPECT_EQ(engine->expansionPasses(), 1);
}

TEST_F(ExpansionTest, DeepBillsRunOnePassPerLevel) {
    // A -> L1 -> L2 -> L3 -> leaf, 2 of each: 1 x 2^4.
    database.Run(Bom("A", "L1", "2") + Bom("L1", "L2", "2") + Bom("L2", "L3", "2") + Bom("L3", "LEAF", "2") +
                 Order("SO1", "P1") + Line("SO1", "A", "1"));
    Expand("P1");
    EXPECT_EQ(Materials(), QStringList({"LEAF 16 1 16 N L3 SO1"}));
    EXPECT_EQ(engine->expansionPasses(), 3);
}

TEST_F(ExpansionTest, NoBillAtAllLeavesTheListEmptyAndRunsNoPass) {
    database.Run(Product("P", "Plain") + Order("SO1", "P1") + Line("SO1", "P", "3"));
    Expand("P1");
    EXPECT_TRUE(engine->materialList().Active());
    EXPECT_EQ(engine->materialList().RecordCount(), 0);
    EXPECT_EQ(engine->expansionPasses(), 0);
    EXPECT_FALSE(engine->materialListPartial());
}

TEST_F(ExpansionTest, BillCycleEndsWithTheChainAndKeepsTheRowsBuilt) {
    database.Run(Bom("A", "B", "1") + Bom("A", "K", "1") + Bom("B", "C", "1") + Bom("C", "A", "1") +
                 Order("SO1", "P1") + Line("SO1", "A", "1"));
    engine->SetProjectCode("P1");
    engine->LoadOrders();
    try {
        engine->ExpandMaterials();
        FAIL() << "a bill that contains itself did not stop the expansion";
    } catch (const mrp::RuleError& e) {
        EXPECT_NE(std::string(e.what()).find("A → B → C → A"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(engine->materialListPartial());
    // K from the first level, nothing of the cycle.
    EXPECT_EQ(Materials(), QStringList({"K 1 1 1 N A SO1"}));

    // A product whose bill names itself.
    database.Run(Bom("SELF", "SELF", "1") + Order("SO2", "P2") + Line("SO2", "SELF", "1"));
    engine->SetProjectCode("P2");
    engine->LoadOrders();
    try {
        engine->ExpandMaterials();
        FAIL() << "no error for a product in its own bill";
    } catch (const mrp::RuleError& e) {
        EXPECT_NE(std::string(e.what()).find("SELF → SELF"), std::string::npos) << e.what();
    }
}

TEST_F(ExpansionTest, DivisorZeroNamesAssemblyAndComponentAndPostsNothingOfTheRow) {
    // First level: X1 is built, X2 fails, X3 is never reached.
    database.Run(Bom("P", "X1", "1") + Bom("P", "X2", "1", "0") + Bom("P", "X3", "1") + Order("SO1", "P1") +
                 Line("SO1", "P", "4"));
    engine->SetProjectCode("P1");
    engine->LoadOrders();
    try {
        engine->ExpandMaterials();
        FAIL() << "DIV_C 0 did not end the expansion";
    } catch (const mrp::RuleError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("of P gives component X2"), std::string::npos) << m;
    }
    EXPECT_EQ(Materials(), QStringList({"X1 4 1 4 N P SO1"}));
    EXPECT_TRUE(engine->materialListPartial());

    // In a pass: the sub-assembly's row is already gone, its first component stays.
    database.Run(Bom("Q", "SUB", "2") + Bom("SUB", "Y1", "1") + Bom("SUB", "Y2", "1", "0") + Order("SO2", "P2") +
                 Line("SO2", "Q", "1"));
    engine->SetProjectCode("P2");
    engine->LoadOrders();
    EXPECT_THROW(engine->ExpandMaterials(), mrp::RuleError);
    EXPECT_EQ(Materials(), QStringList({"Y1 2 1 2 N SUB SO2"}));
}

// A customer's PD_BOM may lack the constraint this schema has: a line without a component
// would become a requisition line without a product. It ends the expansion like a divisor
// of 0, naming the assembly; the rows before it stay and the list cannot be written.
TEST_F(ExpansionTest, ABillLineWithoutComponentEndsTheExpansionNamingTheAssembly) {
    database.Run("ALTER TABLE PD_BOM ALTER DE_PRODID DROP NOT NULL;");
    const auto lineWithout = [](const QString& assembly, const QString& component) {
        return QString("INSERT INTO PD_BOM (PROD_ID, DE_PRODID, DE_QTY) VALUES ('%1', %2, 1);\n").arg(assembly, component);
    };
    int n = 0;
    for (const QString component : {"NULL", "''"}) {
        SCOPED_TRACE(component.toStdString());
        const QString i = QString::number(++n);
        // First level: X1 is built, the line without component ends it, X3 is never reached.
        // In a pass: the sub-assembly's row is gone, its first component stays.
        database.Run(Bom("FA" + i, "X1", "1") + lineWithout("FA" + i, component) + Bom("FA" + i, "X3", "1") +
                     Order("SO" + i, "P" + i) + Line("SO" + i, "FA" + i, "4") + Bom("Q" + i, "SUB" + i, "2") +
                     Bom("SUB" + i, "Y1", "1") + lineWithout("SUB" + i, component) + Order("SQ" + i, "Q" + i) +
                     Line("SQ" + i, "Q" + i, "1"));
        struct Case {
            QString project, assembly;
            QStringList kept;
        };
        for (const Case& c : {Case{"P" + i, "FA" + i, {"X1 4 1 4 N FA" + i + " SO" + i}},
                              Case{"Q" + i, "SUB" + i, {"Y1 2 1 2 N SUB" + i + " SQ" + i}}}) {
            engine->SetProjectCode(c.project);
            engine->LoadOrders();
            try {
                engine->ExpandMaterials();
                ADD_FAILURE() << "a line without component did not end the expansion of " << c.project.toStdString();
            } catch (const mrp::RuleError& e) {
                EXPECT_NE(std::string(e.what()).find(("the bill of materials of " + c.assembly).toStdString() +
                                                     " has a line without a component"),
                          std::string::npos)
                    << e.what();
            }
            EXPECT_EQ(Materials(), c.kept);
            EXPECT_TRUE(engine->materialListPartial());
        }
    }
    Transfer();
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].outcome, mrp::RequisitionOutcome::Refused);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "0");
}

TEST_F(ExpansionTest, ExpandingBeforeConfirmFailsOnTheClosedOrderList) {
    database.Run(Bom("A", "B", "1") + Order("SO1", "P1") + Line("SO1", "A", "1"));
    database.Run("insert into " + engine->workTableName() + " values ('OLD', 'P0');");
    engine->SetProjectCode("P1");
    try {
        engine->ExpandMaterials();
        FAIL() << "expanded without an order list";
    } catch (const data::DataError& e) {
        EXPECT_NE(std::string(e.what()).find("closed dataset"), std::string::npos) << e.what();
    }
    // The material list is defined and empty, the work table empty, the command disabled.
    EXPECT_TRUE(engine->materialList().Active());
    EXPECT_EQ(engine->materialList().RecordCount(), 0);
    EXPECT_EQ(Scalar("select count(*) from " + engine->workTableName()), "0");
    EXPECT_FALSE(engine->commandStates().expand);
    EXPECT_THROW(engine->ExpandMaterials(), mrp::CommandNotAvailable);  // until "確定" again
    engine->LoadOrders();
    engine->ExpandMaterials();
    EXPECT_EQ(Materials(), QStringList({"B 1 1 1 N A SO1"}));
}

TEST_F(ExpansionTest, SecondExpansionStartsFromAnEmptyListAndTheNewOrders) {
    database.Run(Bom("A", "B", "1") + Bom("Z", "Y", "1") + Order("SO1", "P1") + Line("SO1", "A", "1") +
                 Order("SO2", "P2") + Line("SO2", "Z", "2"));
    Expand("P1");
    Expand("P2");
    EXPECT_EQ(Materials(), QStringList({"Y 2 1 2 N Z SO2"}));
    EXPECT_EQ(Scalar("select list(masterbillid) from " + engine->workTableName()), "SO2");
}

TEST_F(ExpansionTest, BillQueryIsDumpedAfterTheWorkTableAndAFailedDumpEndsTheCommand) {
    database.Run(Bom("A", "B", "1") + Order("SO1", "P1") + Line("SO1", "A", "1"));
    Expand("P1");
    QFile dump(DumpPath());
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    const QByteArray text = dump.readAll();
    dump.close();
    EXPECT_TRUE(text.startsWith("select b.prod_id,b.prod_name,b.qty, \r\n"));
    EXPECT_TRUE(text.contains("where a.proj_id = 'P1'\r\n AND a.masterbillid in (select masterbillid from " +
                              engine->workTableName().toLatin1() + ")\r\n"));
    EXPECT_EQ(text.count("\r\n"), 11);

    // The dump cannot be written: the work table is filled, the list stays empty.
    engine->LoadOrders();
    ASSERT_TRUE(QFile::remove(DumpPath()));
    ASSERT_TRUE(QDir().mkpath(DumpPath()));  // a folder where the file should be
    try {
        engine->ExpandMaterials();
        FAIL() << "the failed dump did not end the command";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("query file"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Scalar("select count(*) from " + engine->workTableName()), "1");
    EXPECT_EQ(engine->materialList().RecordCount(), 0);
    EXPECT_TRUE(engine->materialListPartial());
}


// --- The expansion's rules through its BillSource, without a database -----------------

namespace {

// Bills and products held in memory; every question the expansion asks is counted.
class MemoryBills : public mrp::BillSource {
public:
    MemoryBills(std::initializer_list<std::pair<QString, mrp::BillLine>> lines,
                std::initializer_list<std::pair<QString, mrp::ProductRef>> products = {}) {
        for (const auto& [assembly, line] : lines) bills_[assembly].push_back(line);
        for (const auto& [code, product] : products) products_.insert(code, product);
    }
    mrp::ProductRef Product(const QString& prodId) override {
        ++questions;
        return products_.value(prodId);
    }
    bool HasBill(const QString& prodId) override {
        ++questions;
        return bills_.contains(prodId);
    }
    std::vector<mrp::BillLine> Bill(const QString& prodId) override {
        ++questions;
        return bills_.value(prodId);
    }
    int questions = 0;

private:
    QHash<QString, std::vector<mrp::BillLine>> bills_;
    QHash<QString, mrp::ProductRef> products_;
};

// The expansion's rows as EngineTest::Materials writes them: PROD_ID QTY DIV_C R_QTY
// MITEM MAIN_PROD MASTERBILLID, null QTY as "null".
QStringList Rows(mrp::Expansion& expansion) {
    const data::RowStore rows = expansion.TakeRows();
    QStringList out;
    for (size_t r = 0; r < rows.Count(); ++r)
        out << QString("%1 %2 %3 %4 %5 %6 %7")
                   .arg(rows.Text(r, 0), rows.IsNull(r, 2) ? QString("null") : db::FloatToText(rows.Number(r, 2)),
                        db::FloatToText(rows.Number(r, 3)), db::FloatToText(rows.Number(r, 4)), rows.Text(r, 8),
                        rows.Text(r, 7), rows.Text(r, 6));
    return out;
}

const std::nullopt_t null = std::nullopt;

}  // namespace

// Each case: the bills, the bill query's rows for the ordered products, and the material
// list the first level and the passes make of them.
TEST(ExpansionRules, LevelsAndPassesMakeTheMaterialList) {
    struct Case {
        const char* rule;
        MemoryBills bills;
        std::vector<mrp::BomRow> ordered;
        QStringList rows;
        int passes;
    };
    Case cases[] = {
        {"10 of A = 2 B + 4 D; B = 3 C, divisor 4: a pass puts C after D",
         MemoryBills({{"B", {"C", 3, 4}}}),
         {{"A", "SO1", "B", 20, null}, {"A", "SO1", "D", 40, null}},
         {"D 40 1 40 N A SO1", "C 60 4 15 N B SO1"},
         1},
        {"a null ordered quantity stays null at the first level, and counts as 1 in the pass, as a null DE_QTY does",
         MemoryBills({{"B", {"C", 3, null}}, {"B", {"D", null, null}}}),
         {{"A", "SO1", "B", null, null}},
         {"C 3 1 3 N B SO1", "D 1 1 1 N B SO1"},
         1},
        {"one pass a level", MemoryBills({{"L1", {"L2", 2, null}}, {"L2", {"L3", 2, null}}, {"L3", {"LEAF", 2, null}}}),
         {{"P", "SO1", "L1", 2, null}},
         {"LEAF 16 1 16 N L3 SO1"},
         3},
        {"the same sub-assembly in two orders is exploded for each, never merged",
         MemoryBills({{"U", {"S", 5, null}}}),
         {{"P", "SO1", "U", 1, null}, {"P", "SO2", "U", 10, null}, {"P", "SO1", "S", 2, null}},
         {"S 2 1 2 N P SO1", "S 5 1 5 N U SO1", "S 50 1 50 N U SO2"},
         1},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.rule);
        mrp::Expansion expansion(c.bills);
        expansion.FirstLevel(c.ordered);
        expansion.Complete();
        EXPECT_EQ(expansion.passes(), c.passes);
        EXPECT_EQ(Rows(expansion), c.rows);
    }
}

// A bill that contains itself ends the expansion with the cycle named; the rows built
// before it stay.
TEST(ExpansionRules, ACycleIsNamedAndTheRowsBuiltStay) {
    MemoryBills bills({{"A", {"K", 1, null}}, {"A", {"B", 1, null}}, {"B", {"C", 1, null}}, {"C", {"A", 1, null}}});
    mrp::Expansion expansion(bills);
    expansion.FirstLevel({{"P", "SO1", "A", 1, null}});
    try {
        expansion.Complete();
        ADD_FAILURE() << "the cycle was not found";
    } catch (const mrp::RuleError& e) {
        EXPECT_NE(std::string(e.what()).find("A → B → C → A"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(Rows(expansion).contains("K 1 1 1 N A SO1"));
}

// A source that answers the same for a code every time (as the database's does within a
// command) is asked once per code: the list is the same as when it is asked every time.
TEST(ExpansionRules, BillsMetAgainAreBuiltFromTheFirstAnswers) {
    const std::vector<mrp::BomRow> ordered = {{"P2", "SO1", "S", 2, null}, {"P2", "SO1", "U", 1, null},
                                              {"P2", "SO2", "S", 20, null}, {"P2", "SO2", "U", 10, null},
                                              {"P1", "SO2", "U", 3, 2}};
    std::vector<QStringList> lists;
    std::vector<int> questions;
    for (const bool reuse : {false, true}) {
        MemoryBills bills({{"U", {"S", 5, null}}, {"U", {"V", 1.5, null}}, {"V", {"S", 2, 4}}},
                          {{"S", {"Screw", "pcs"}}});
        mrp::Expansion expansion(bills, mrp::kMaxBillDepth, reuse);
        expansion.FirstLevel(ordered);
        expansion.Complete();
        lists.push_back(Rows(expansion));
        questions.push_back(bills.questions);
    }
    EXPECT_EQ(lists[0].size(), 8);
    EXPECT_EQ(lists[1], lists[0]);
    EXPECT_LT(questions[1], questions[0]);
}
