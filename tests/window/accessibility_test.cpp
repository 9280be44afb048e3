// What a screen reader reads of the skinned windows, asked as the accessibility bridge asks
// (Qt's accessibility interfaces, in this process): each control's role, name, actions and
// states, the grids as tables of the text they show, the message dialog as an alert, the
// grids' context menu as a menu. The same over a real AT-SPI bus: atspi_road_test.sh.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLineEdit>
#include <QTest>

#include "app/DemoData.h"
#include "frame/Accessible.h"
#include "frame/PopupMenu.h"
#include "lookup/Accessible.h"
#include "lookup/DBGrid.h"
#include "lookup/Getdata.h"
#include "skinctrls/Accessible.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinLabel.h"
#include "skinctrls/SkinMessage.h"
#include "support/QtTestApp.h"
#include "support/QtWidgetTest.h"
#include "support/TestDatabase.h"
#include "window/MainWindow.h"

namespace {

QAccessibleInterface* Iface(QObject* o) { return o ? QAccessible::queryAccessibleInterface(o) : nullptr; }

// The child of parent a screen reader finds by role and name, or null.
QAccessibleInterface* ChildNamed(QAccessibleInterface* parent, QAccessible::Role role, const QString& name) {
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        QAccessibleInterface* c = parent->child(i);
        if (c && c->role() == role && c->text(QAccessible::Name) == name) return c;
    }
    return nullptr;
}

QStringList Actions(QAccessibleInterface* i) {
    return i && i->actionInterface() ? i->actionInterface()->actionNames() : QStringList{};
}

class AccessibilityTest : public ::testing::Test {
protected:
    AccessibilityTest() {
        // As the window's start does; a test that shows a dialog without the window needs
        // them too.
        frame::InstallAccessibility();
        skinctrls::InstallAccessibility();
        lookup::InstallAccessibility();
        database.Run(app::DemoDataScript());
        catalogue.SetParams(database.params());
    }

    std::unique_ptr<window::TFormMarlith> Open(bool skin = true) {
        window::MainWindowOptions o;
        o.connection = database.params();
        o.carriedSkin = skin;
        o.readIdentifiers = [] { return window::RunIdentifiers{"A001", "S01"}; };
        o.showMessage = [this](const QString& text, int) {
            shown << text;
            return 1;
        };
        o.chooseExportFile = [this](const QString& suggested) {
            offered << suggested;
            return QString();
        };
        auto w = std::make_unique<window::TFormMarlith>(catalogue, o);
        testsupport::ShowOffscreen(w.get());
        return w;
    }

    testsupport::TestDatabase database;
    db::Connection catalogue;
    QStringList shown;
    QStringList offered;  // the files an export offered to write
};

// Every control of the main window by role, name and Press; a press clicks the control
// once the call has been answered (a command may open a modal dialog).
TEST_F(AccessibilityTest, EachControlOfTheMainWindowHasItsRoleNameAndActions) {
    auto w = Open();
    struct Case {
        const char* object;
        QAccessible::Role role;
        const char* name;
        bool press;
    } cases[] = {
        {"bsSkinButton1", QAccessible::Button, "確定", true},
        {"bsSkinButton4", QAccessible::Button, "離開", true},
        {"bsSkinButton2", QAccessible::Button, "物料展開", true},
        {"bsSkinButton3", QAccessible::Button, "轉請購單", true},
        {"HistoryButton", QAccessible::Button, "請購單查詢", true},
        {"bsSkinGroupBox1", QAccessible::Grouping, "訂購商品統計", false},
        {"bsSkinDBGrid1", QAccessible::Table, "訂購商品", false},
        {"bsSkinDBGrid2", QAccessible::Table, "物料需求", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.object);
        QAccessibleInterface* i = Iface(w->findChild<QWidget*>(c.object));
        ASSERT_TRUE(i);
        EXPECT_EQ(i->role(), c.role);
        EXPECT_EQ(i->text(QAccessible::Name), QString::fromUtf8(c.name));
        EXPECT_EQ(Actions(i).contains(QAccessibleActionInterface::pressAction()), c.press);
    }

    // The window by its title. The carried skin draws no caption buttons (the caption
    // alone); the plain frame's buttons are read by what they do and pressed as clicked.
    QAccessibleInterface* window = Iface(w.get());
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("物料需求計算"));
    EXPECT_EQ(window->childCount(), 1);  // the client area
    {
        auto plain = Open(false);
        QAccessibleInterface* plainWindow = Iface(plain.get());
        for (const char* button : {"關閉", "最大化", "最小化"}) {
            QAccessibleInterface* b = ChildNamed(plainWindow, QAccessible::Button, QString::fromUtf8(button));
            ASSERT_TRUE(b) << button;
            EXPECT_TRUE(Actions(b).contains(QAccessibleActionInterface::pressAction()));
            EXPECT_TRUE(plainWindow->rect().contains(b->rect())) << button;
            EXPECT_EQ(plainWindow->child(plainWindow->indexOfChild(b)), b) << button;
        }
        QAccessibleInterface* maximize = ChildNamed(plainWindow, QAccessible::Button, QStringLiteral("最大化"));
        maximize->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCoreApplication::processEvents();
        EXPECT_TRUE(ChildNamed(plainWindow, QAccessible::Button, QStringLiteral("還原")));
    }

    // The project row: the label names the code's text box, which reads and takes text;
    // the name edit is named for what it holds; "…" is a button that opens the lookup.
    skinctrls::TbsSkinStdLabel* label = nullptr;
    for (auto* l : w->findChildren<skinctrls::TbsSkinStdLabel*>())
        if (l->Caption() == QStringLiteral("專案代號")) label = l;
    ASSERT_TRUE(label);
    QAccessibleInterface* labelIface = Iface(label);
    EXPECT_EQ(labelIface->role(), QAccessible::StaticText);
    EXPECT_EQ(labelIface->text(QAccessible::Name), QStringLiteral("專案代號"));
    QAccessibleInterface* code = Iface(w->bsSkinEdit1()->LineEdit());
    const auto labelled = labelIface->relations(QAccessible::Labelled);
    ASSERT_EQ(labelled.size(), 1);
    EXPECT_EQ(labelled[0].first, code);
    EXPECT_EQ(code->role(), QAccessible::EditableText);
    EXPECT_EQ(code->text(QAccessible::Name), QStringLiteral("專案代號"));
    ASSERT_TRUE(code->editableTextInterface());
    code->editableTextInterface()->replaceText(0, code->textInterface()->characterCount(), QStringLiteral("P2026-001"));
    EXPECT_EQ(w->bsSkinEdit1()->Text(), QStringLiteral("P2026-001"));
    EXPECT_EQ(code->textInterface()->text(0, 9), QStringLiteral("P2026-001"));
    EXPECT_EQ(Iface(w->bsSkinEdit2()->LineEdit())->text(QAccessible::Name), QStringLiteral("專案名稱"));
    QAccessibleInterface* lookupButton = ChildNamed(Iface(w->bsSkinEdit1()), QAccessible::Button, QStringLiteral("查詢專案"));
    ASSERT_TRUE(lookupButton);
    EXPECT_EQ(lookupButton->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    EXPECT_FALSE(lookupButton->rect().isEmpty());
    EXPECT_EQ(Iface(w->bsSkinEdit1())->indexOfChild(lookupButton), Iface(w->bsSkinEdit1())->childCount() - 1);

    // Press on "確定": nothing until the call is answered, then the orders are listed.
    QAccessibleInterface* confirm = Iface(w->bsSkinButton1());
    EXPECT_TRUE(confirm->state().focusable);
    EXPECT_FALSE(confirm->state().disabled);
    confirm->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(w->engine().orderList().Active() && w->engine().orderList().RecordCount() > 0);
    QCoreApplication::processEvents();
    EXPECT_GT(w->engine().orderList().RecordCount(), 0);
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
}

// A grid reads as a table of every row, the titles the clerk sees and the text each cell
// shows (not only the rows in view); the current cell is the focused child and follows
// the data set; the table shrinks to nothing when the list is emptied.
TEST_F(AccessibilityTest, AGridIsATableOfTheTextItShows) {
    auto w = Open();
    w->bsSkinEdit1()->SetText("P2026-001");
    w->bsSkinButton1Click();
    w->bsSkinButton2Click();
    for (const char* name : {"bsSkinDBGrid1", "bsSkinDBGrid2"}) {
        SCOPED_TRACE(name);
        auto* grid = w->findChild<skinctrls::TbsSkinDBGrid*>(name);
        QAccessibleInterface* i = Iface(grid);
        QAccessibleTableInterface* table = i->tableInterface();
        ASSERT_TRUE(table);
        data::DataSet* set = grid->DataSet();
        ASSERT_EQ(table->rowCount(), set->RecordCount());
        ASSERT_EQ(table->columnCount(), grid->ColCount() - grid->IndicatorOffset());
        ASSERT_GT(table->rowCount(), 0);
        for (int c = 0; c < table->columnCount(); ++c) {
            const skinctrls::TbsColumn* column = grid->ColumnAt(c + grid->IndicatorOffset());
            EXPECT_EQ(table->columnDescription(c), column->Title().Caption());
            QAccessibleInterface* header = table->cellAt(0, c)->tableCellInterface()->columnHeaderCells().value(0);
            ASSERT_TRUE(header);
            EXPECT_EQ(header->role(), QAccessible::ColumnHeader);
            EXPECT_EQ(header->text(QAccessible::Name), column->Title().Caption());
            // Every row, the last one too, reads as the grid shows it.
            for (int r : {0, table->rowCount() - 1}) {
                set->SetRecNo(r + 1);
                QCoreApplication::processEvents();
                const QString shownText = column->Field()->DisplayText();
                QAccessibleInterface* cell = table->cellAt(r, c);
                EXPECT_EQ(cell->role(), QAccessible::Cell);
                EXPECT_EQ(cell->text(QAccessible::Name), shownText) << r << "," << c;
                EXPECT_EQ(i->indexOfChild(cell), (r + 1) * table->columnCount() + c);
                EXPECT_EQ(i->child(i->indexOfChild(cell)), cell);
            }
        }
        // The current cell is the focused, selected child, wherever the data set moves.
        set->SetRecNo(table->rowCount());
        grid->SetSelectedIndex(1);
        QAccessibleInterface* current = i->focusChild();
        ASSERT_TRUE(current);
        EXPECT_EQ(current->tableCellInterface()->rowIndex(), table->rowCount() - 1);
        EXPECT_EQ(current->tableCellInterface()->columnIndex(), 1);
        EXPECT_TRUE(current->state().selected);
        EXPECT_TRUE(table->isRowSelected(table->rowCount() - 1));
        // A screen reader choosing a row moves the data set there.
        EXPECT_TRUE(table->selectRow(0));
        EXPECT_EQ(set->RecNo(), 1);
    }
    // The list emptied: no rows, no cells.
    auto* orders = w->findChild<skinctrls::TbsSkinDBGrid*>("bsSkinDBGrid1");
    w->engine().orderList().Close();
    EXPECT_EQ(Iface(orders)->tableInterface()->rowCount(), 0);
    EXPECT_EQ(Iface(orders)->tableInterface()->cellAt(0, 0), nullptr);
}

// The message dialog is an alert that reads its message; its buttons are named without
// the accelerator mark, the default one marked, each with Press.
TEST_F(AccessibilityTest, TheMessageDialogIsAnAlertThatReadsItsMessage) {
    skinctrls::TbsSkinMessage message;
    message.SetButtonCaption(skinctrls::mbAll, QStringLiteral("列印(&P)"));
    const QString text = QStringLiteral("請購單已產生。\n請購單號：R20261102001");
    auto form = message.CreateMessageForm(
        text, skinctrls::mtConfirmation,
        skinctrls::MsgButton(skinctrls::mbYes) | skinctrls::MsgButton(skinctrls::mbNo) | skinctrls::MsgButton(skinctrls::mbAll));
    testsupport::ShowOffscreen(form.get());
    QAccessibleInterface* alert = Iface(form.get());
    EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
    EXPECT_EQ(alert->text(QAccessible::Description), text);
    EXPECT_EQ(Iface(form->Message())->text(QAccessible::Name), text);
    struct Case {
        skinctrls::TMsgDlgBtn kind;
        const char* name;
        bool isDefault;
    } cases[] = {{skinctrls::mbYes, "Yes", true}, {skinctrls::mbNo, "No", false}, {skinctrls::mbAll, "列印(P)", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QAccessibleInterface* b = Iface(form->Button(c.kind));
        ASSERT_TRUE(b);
        EXPECT_EQ(b->role(), QAccessible::Button);
        EXPECT_EQ(b->text(QAccessible::Name), QString::fromUtf8(c.name));
        EXPECT_EQ(b->state().defaultButton, c.isDefault);
        EXPECT_TRUE(Actions(b).contains(QAccessibleActionInterface::pressAction()));
    }
    EXPECT_EQ(Iface(form->Button(skinctrls::mbAll))->text(QAccessible::Accelerator), QStringLiteral("Alt+P"));
}

// The grids' context menu reads as a menu of items named by their captions, the hot one
// focused; Press on an item chooses it.
TEST_F(AccessibilityTest, TheGridsContextMenuIsAMenuOfItsItems) {
    auto w = Open();
    auto* grid = w->findChild<skinctrls::TbsSkinDBGrid*>("bsSkinDBGrid1");
    emit grid->customContextMenuRequested(QPoint(20, 20));
    QCoreApplication::processEvents();
    frame::TbsSkinPopupWindow* level = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* l = qobject_cast<frame::TbsSkinPopupWindow*>(top); l && l->isVisible()) level = l;
    ASSERT_TRUE(level);
    QAccessibleInterface* menu = Iface(level);
    EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
    ASSERT_EQ(menu->childCount(), 2);
    QAccessibleInterface* exportItem = menu->child(0);
    QAccessibleInterface* historyItem = menu->child(1);
    EXPECT_EQ(exportItem->role(), QAccessible::MenuItem);
    EXPECT_EQ(exportItem->text(QAccessible::Name), QStringLiteral("匯出 CSV…"));
    EXPECT_EQ(historyItem->text(QAccessible::Name), QStringLiteral("請購單查詢…"));
    EXPECT_EQ(historyItem->text(QAccessible::Accelerator), QStringLiteral("Ctrl+H"));
    EXPECT_EQ(menu->focusChild(), exportItem);
    EXPECT_TRUE(exportItem->state().focused);
    EXPECT_EQ(menu->indexOfChild(historyItem), 1);
    EXPECT_FALSE(exportItem->rect().isEmpty());
    // Down makes the next item hot, and the focused one.
    QTest::keyClick(level, Qt::Key_Down);
    EXPECT_EQ(menu->focusChild(), historyItem);
    // Pressing an item closes the menu and runs it (the export is asked where to write,
    // and writes nothing when given no file).
    QPointer<frame::TbsSkinPopupWindow> alive(level);
    exportItem->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_TRUE(!alive || !alive->isVisible());
    EXPECT_EQ(offered.size(), 1);
}

// The lookup's result grid reads as a table of the projects with the titles shown.
TEST_F(AccessibilityTest, TheLookupsResultGridIsATable) {
    auto w = Open();
    w->CDS_Proj().Open();
    data::DataSource source;
    source.SetDataSet(&w->CDS_Proj());
    lookup::TwwDBGrid grid;
    grid.resize(600, 300);
    grid.SetDataSource(&source);
    testsupport::ShowOffscreen(&grid);
    QAccessibleTableInterface* table = Iface(&grid)->tableInterface();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->rowCount(), w->CDS_Proj().RecordCount());
    ASSERT_GE(table->columnCount(), 2);
    EXPECT_EQ(table->columnDescription(0), QStringLiteral("專案代號"));
    EXPECT_EQ(table->columnDescription(1), QStringLiteral("專案名稱"));
    EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("P2026-001"));
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("台北信義辦公室裝修"));
    w->CDS_Proj().Last();
    EXPECT_EQ(Iface(&grid)->focusChild()->tableCellInterface()->rowIndex(), table->rowCount() - 1);
}

}  // namespace
