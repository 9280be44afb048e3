#include "window/MainWindow.h"

#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QSaveFile>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <optional>
#include <utility>

#include "data/ListExport.h"
#include "db/Interrupt.h"
#include "frame/Accessible.h"
#include "frame/PopupMenu.h"
#include "frame/SkinFrame.h"
#include "lookup/Accessible.h"
#include "lookup/Getdata.h"
#include "mrp/Audit.h"
#include "mrp/Rules.h"
#include "platform/Colors.h"
#include "report/Requisition.h"
#include "report/RequisitionPdf.h"
#include "report/Summary.h"
#include "platform/Fonts.h"
#include "window/Messages.h"
#include "skin/SkinData.h"
#include "skin/StoredSkin.h"
#include "skinctrls/Accessible.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinLabel.h"
#include "skinctrls/SkinMessage.h"
#include "skinctrls/SkinPanel.h"
#include "skinctrls/SkinScrollBar.h"
#include "skins/Carried.h"
#include "window/Controls.h"
#include "window/HistoryDialog.h"
#include "window/PlanDialog.h"

namespace window {

namespace {

// The days 請購單查詢 lists when it opens without a project.
constexpr int kHistoryDefaultDays = 31;

using skinctrls::TbsSkinButton;
using skinctrls::TbsSkinEdit;
using skinctrls::TbsSkinGroupBox;
using skinctrls::TbsSkinPanel;
using skinctrls::TbsSkinScrollBar;
using skinctrls::TbsSkinStdLabel;

// The project list the lookup shows, with the dialog's titles.
void DefineProjectList(data::QueryTable& t) {
    struct Def {
        const char* name;
        int size;
        const char* title;
    };
    static const Def defs[] = {
        {"PROJ_ID", 20, "專案代號"},   {"PROJ_NAME", 100, "專案名稱"}, {"REMARK", 100, "備註"},
        {"CHG_DATE", 10, "異動日期"},  {"CHG_USER", 10, "異動人員"},
    };
    for (const Def& d : defs) {
        data::FieldDef& f = t.fieldDefs().Add(d.name, data::FieldType::Text, d.size, QLatin1String(d.name) == "PROJ_ID");
        f.displayLabel = QString::fromUtf8(d.title);
    }
    t.SetCommandText(QStringList{"SELECT * FROM PROJ_ITEM ORDER BY PROJ_ID"});
}

constexpr int kClientWidth = 734;
constexpr int kClientHeight = 480;

// The outcome as the clerk reads it: a requisition written also gives its number, on a
// line of its own, which the clerk needs to find the requisition later.
QString OutcomeText(const mrp::RequisitionReport& report) {
    if (report.outcome != mrp::RequisitionOutcome::Written || report.number.isEmpty()) return report.text;
    return report.text + QStringLiteral("\n請購單號：") + report.number;
}

// The lines nobody would buy from, as the confirmation before a write names them: the
// first kOddLinesShown of them and how many more there are, so that the dialog stays
// within the screen however long the material list is.
constexpr int kOddLinesShown = 20;

QString OddLinesQuestion(const QStringList& lines) {
    QStringList text{QStringLiteral("下列物料明細可能有誤：")};
    text << lines.mid(0, kOddLinesShown);
    if (lines.size() > kOddLinesShown) text << QStringLiteral("…另有 %1 筆").arg(lines.size() - kOddLinesShown);
    text << QStringLiteral("仍要轉請購單嗎?");
    return text.join(QLatin1Char('\n'));
}

// How the window shows a workflow outcome of each kind.
skinctrls::TMsgDlgType DialogType(mrp::MessageKind kind) {
    switch (kind) {
    case mrp::MessageKind::Information: return skinctrls::mtInformation;
    case mrp::MessageKind::Warning: break;
    }
    return skinctrls::mtWarning;
}

}  // namespace

// The window's controls take the skinned controls' own defaults (Arial 14 for their plain
// look, the entry names "panel", "button", "hscrollbar", "edit", raised panels without a
// caption, buttons without repeat or glyph); only what differs is set here.
const platform::TFont kSansSerif11{QStringLiteral("MS Sans Serif"), -11, {}, platform::clWindowText};

TbsSkinPanel* InitPanel(TbsSkinPanel* p, skin::TbsSkinData* data, platform::TAlign align, int height) {
    p->SetSkinData(data);
    // The align pass gives the width (and the height of a client-aligned panel).
    if (height > 0) p->SetBounds(0, 0, kClientWidth, height);
    p->SetAlign(align);
    return p;
}

TbsSkinButton* MakeButton(QWidget* parent, skin::TbsSkinData* data, const QString& caption, int x, int y) {
    auto* b = new TbsSkinButton(parent);
    b->SetCaption(caption);
    b->SetBounds(x, y, 75, 25);
    b->SetSkinData(data);
    return b;
}

// The stored range of the bars a grid drives; hidden until the grid shows them.
static void InitBar(TbsSkinScrollBar* bar, bool vertical) {
    bar->SetMin(vertical ? 1 : 0);
    bar->SetMax(0);
    bar->SetPosition(vertical ? 1 : 0);
    bar->SetPageSize(vertical ? 1 : 0);
    bar->SetSmallChange(vertical ? 21 : 127);
    bar->SetLargeChange(vertical ? 21 : 127);
    bar->setVisible(false);
}

// The grids keep no message component: a row's delete confirmation is the platform's box.
skinctrls::TbsSkinDBGrid* MakeGrid(QWidget* area, skin::TbsSkinData* data, data::DataSource* source) {
    const skinctrls::TbsGridWithBars g = skinctrls::CreateGridWithBars(area, data, source);
    InitBar(g.hbar, false);
    InitBar(g.vbar, true);
    g.grid->SetDefaultCellHeight(20);
    g.grid->SetGridLineColor(platform::clWindowText);
    g.grid->SetMouseWheelSupport(false);
    g.grid->SetPickListBoxSkinDataName(QStringLiteral("listbox"));
    g.grid->SetTitleFont(kSansSerif11);
    // Columns as wide as their titles and values (a value no wider than its field), so
    // the material list reads without scrolling at the window's default size.
    g.grid->SetFitColumnsToContent(true);
    return g.grid;
}

TbsSkinEdit* MakeEdit(QWidget* parent, skin::TbsSkinData* data, bool buttonMode, int x, int y, int w) {
    auto* e = new TbsSkinEdit(parent);
    e->SetButtonMode(buttonMode);
    if (buttonMode) e->SetSkinDataName(QStringLiteral("buttonedit"));
    e->SetBounds(x, y, w, 20);
    e->SetSkinData(data);
    return e;
}

TbsSkinStdLabel* MakeLabel(QWidget* parent, skin::TbsSkinData* data, const QString& caption, int x, int y) {
    auto* label = new TbsSkinStdLabel(parent);
    label->SetCaption(caption);
    label->SetDefaultFont(kSansSerif11);
    label->SetSkinData(data);
    label->move(x, y);
    return label;
}

void SizeForClient(platform::Form* form, frame::TbsSkinFrame* frame, QSize client) {
    form->resize(client + (client - frame->ClientRectFor(client).size()));
    if (QScreen* s = form->screen()) form->move(s->availableGeometry().center() - form->rect().center());
}

TFormMarlith::TFormMarlith(db::Connection& catalogue, MainWindowOptions options)
    : catalogue_(catalogue), options_(std::move(options)) {
    setObjectName(QStringLiteral("FormMarlith"));
    setWindowTitle(QStringLiteral("物料需求計算"));
    // A screen reader reads the skinned controls, menus and frames of every window of the
    // run (installed once).
    frame::InstallAccessibility();
    skinctrls::InstallAccessibility();
    lookup::InstallAccessibility();
    BuildSkin();
    if (options_.connection) {
        reading_.SetParams(*options_.connection);
        writing_.SetParams(*options_.connection);
    }
    // The reading connection opens while the window is built: without it there is no
    // window (the program reports the error and ends).
    reading_.Open();
    engine_ = std::make_unique<mrp::RequisitionEngine>(catalogue_, reading_, writing_, options_.engine);
    engine_->SetStateObserver(this);
    dsOrderItem_.SetDataSet(&engine_->orderList());
    dsSubItem_.SetDataSet(&engine_->materialList());
    cdsProj_.SetConnection(&reading_);
    DefineProjectList(cdsProj_);
    BuildControls();

    // Client area 734 x 480, centred on the desktop when first shown.
    // The frame's borders and caption keep their size, so the window is the client size
    // plus what the frame takes from a window of that size.
    const QSize clientSize(kClientWidth, kClientHeight);
    resize(clientSize + (clientSize - frame_->ClientRectFor(clientSize).size()));
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());

    FormCreate();
}

TFormMarlith::~TFormMarlith() {
    // The controls go before the data sources they show and the engine that owns the
    // data sets.
    delete Client();
    engine_->SetStateObserver(nullptr);
}

void TFormMarlith::BuildSkin() {
    skinData_ = new skin::TbsSkinData(this);
    auto* storedSkin = new skin::TbsStoredSkin(this);
    auto* compressedSkin = new skin::TbsCompressedStoredSkin(this);
    if (options_.carriedSkin) {
        skins::FillCarriedStoredSkin(*storedSkin);
        skins::FillCarriedCompressedSkin(*compressedSkin);
        // The plain copy first, then the compressed one, which replaces it.
        skinData_->SetStoredSkin(storedSkin);
        skinData_->SetCompressedStoredSkin(compressedSkin);
    }

    // The frame and the message dialog keep their defaults (all caption buttons, no
    // icon, no fading, "button" and "stdlabel" entries, Arial 14 for the plain look).
    frame_ = new frame::TbsSkinFrame(this);
    frame_->SetSkinData(skinData_);

    message_ = new skinctrls::TbsSkinMessage(this);
    message_->SetSkinData(skinData_);
    message_->SetCtrlSkinData(skinData_);
    // The window's dialogs use "All" only as the outcome's print button.
    message_->SetButtonCaption(skinctrls::mbAll, QStringLiteral("列印(&P)"));

    // The grids' context menu, drawn by the frame from the skin like its system menu.
    gridMenu_ = new frame::TbsSkinPopupMenu(this);
    gridMenu_->SetForm(this);
    frame::TbsMenuItem exportItem;
    exportItem.Caption = QStringLiteral("匯出 CSV…");
    exportItem.OnClick = [this] {
        if (menuGrid_) Guard([this] { ExportGridCsv(menuGrid_); });
    };
    gridMenu_->Items.Items.push_back(exportItem);
    frame::TbsMenuItem historyItem;
    historyItem.Caption = QStringLiteral("請購單查詢…");
    historyItem.ShortCut = QStringLiteral("Ctrl+H");
    historyItem.OnClick = [this] { ShowHistory(); };
    gridMenu_->Items.Items.push_back(historyItem);
    auto* history = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    history->setContext(Qt::WindowShortcut);
    connect(history, &QShortcut::activated, this, [this] { ShowHistory(); });
}

skinctrls::TbsSkinDBGrid* TFormMarlith::AddGridMenu(skinctrls::TbsSkinDBGrid* grid) {
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint& at) {
        menuGrid_ = grid;
        const QPoint global = grid->mapToGlobal(at);
        gridMenu_->Popup(global.x(), global.y());
    });
    return grid;
}

bool TFormMarlith::ExportGridCsv(skinctrls::TbsSkinDBGrid* grid) {
    data::DataSet* set = grid && grid->DataSource() ? grid->DataSource()->dataSet() : nullptr;
    if (!set) return false;
    // Named for the project and the list, in the clerk's home folder.
    const QString list = grid->objectName() == QLatin1String("bsSkinDBGrid1")  ? QStringLiteral("訂購商品")
                         : grid->objectName() == QLatin1String("HistoryGrid") ? QStringLiteral("請購單查詢")
                         : grid->objectName() == QLatin1String("PlanGrid")    ? QStringLiteral("採購計畫")
                                                                               : QStringLiteral("物料需求");
    const QString project = engine_->projectCode().trimmed();
    const QString path = AskForFile(QStringLiteral("匯出 CSV"),
                                    (project.isEmpty() ? list : project + QLatin1Char('-') + list) + QStringLiteral(".csv"),
                                    QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty()) return false;
    data::CsvOptions csv;
    csv.displayNames = true;
    csv.visibleOnly = true;
    csv.byteOrderMark = true;
    const QByteArray bytes = data::DataSetAsCsv(*set, csv);
    // Written whole or not at all: an existing file is replaced only by a complete one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw ClerkError(QStringLiteral("無法寫入檔案，請改選其他資料夾或檔名。"),
                         QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return true;
}

void TFormMarlith::BuildControls() {
    platform::ClientArea* client = Client();
    client->setFont(kSansSerif11.ToQFont());
    skin::TbsSkinData* data = skinData_;

    // Creation order is the align order: top band, bottom band, then the body.
    InitPanel(new TbsSkinPanel(client), data, platform::alTop, 25)->setObjectName("bsSkinPanel1");
    auto* bottom = InitPanel(new TbsSkinPanel(client), data, platform::alBottom, 41);
    bottom->setObjectName("bsSkinPanel3");
    auto* body = InitPanel(new TbsSkinPanel(client), data, platform::alClient, 0);
    body->setObjectName("bsSkinPanel2");

    // Project row.
    auto* row = InitPanel(new TbsSkinPanel(body), data, platform::alTop, 32);
    row->setObjectName("bsSkinPanel4");
    auto* label = new TbsSkinStdLabel(row);
    label->SetCaption(QStringLiteral("專案代號"));
    label->SetDefaultFont(kSansSerif11);
    label->SetSkinData(data);
    label->move(8, 8);
    edit1_ = MakeEdit(row, data, true, 64, 5, 121);
    edit1_->setObjectName("bsSkinEdit1");
    edit1_->OnExit = [this](QObject*) { bsSkinEdit1Exit(); };
    edit1_->OnButtonClick = [this](QObject*) { bsSkinEdit1ButtonClick(); };
    // Enter in the code edit: the name, as leaving the edit looks it up, and "確定".
    connect(edit1_->LineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (!button1_->isEnabled()) return;
        bsSkinEdit1Exit();
        bsSkinButton1Click();
    });
    edit2_ = MakeEdit(row, data, false, 184, 5, 225);
    edit2_->setObjectName("bsSkinEdit2");
    // The project row as a screen reader reads it: the code by its label, the name edit
    // (no label on screen) by what it holds, the "…" button by what it does.
    skinctrls::SetLabelFor(label, edit1_);
    skinctrls::SetEditButtonName(edit1_, QStringLiteral("查詢專案"));
    skinctrls::SetAccessibleName(edit2_, QStringLiteral("專案名稱"));
    button1_ = MakeButton(row, data, QStringLiteral("確定"), 413, 3);
    button1_->setObjectName("bsSkinButton1");
    button1_->OnClick = [this](QObject*) { bsSkinButton1Click(); };
    button4_ = MakeButton(row, data, QStringLiteral("離開"), 645, 3);
    button4_->setObjectName("bsSkinButton4");
    button4_->OnClick = [this](QObject*) { bsSkinButton4Click(); };
    QWidget::setTabOrder(edit1_, edit2_);
    QWidget::setTabOrder(edit2_, button1_);
    QWidget::setTabOrder(button1_, button4_);
    // A command that disables itself while it runs leaves the keyboard with the code
    // edit, never with an editable grid where stray typing would be written.
    SetFocusHome(edit1_);

    // Order area: a group box holding the order grid and its two bars.
    auto* orders = InitPanel(new TbsSkinPanel(body), data, platform::alTop, 128);
    orders->setObjectName("bsSkinPanel5");
    auto* group = new TbsSkinGroupBox(orders);
    InitPanel(group, data, platform::alClient, 0);
    group->SetCaption(QStringLiteral("訂購商品統計"));
    group->setObjectName("bsSkinGroupBox1");
    auto* orderGrid = AddGridMenu(MakeGrid(group, data, &dsOrderItem_));
    orderGrid->setObjectName("bsSkinDBGrid1");
    orderGrid->setAccessibleName(QStringLiteral("訂購商品"));

    // Command band, with the hidden "序展" button that runs one pass.
    auto* commands = InitPanel(new TbsSkinPanel(body), data, platform::alTop, 44);
    commands->setObjectName("bsSkinPanel6");
    auto* speedButton1 = new QPushButton(QStringLiteral("序展"), commands);
    speedButton1->setObjectName("SpeedButton1");
    speedButton1->setGeometry(472, 8, 89, 22);
    speedButton1->setVisible(false);
    connect(speedButton1, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
    button2_ = MakeButton(commands, data, QStringLiteral("物料展開"), 648, 8);
    button2_->setObjectName("bsSkinButton2");
    button2_->OnClick = [this](QObject*) { bsSkinButton2Click(); };

    // Material area.
    auto* materials = InitPanel(new TbsSkinPanel(body), data, platform::alClient, 0);
    materials->setObjectName("bsSkinPanel7");
    auto* materialGrid = AddGridMenu(MakeGrid(materials, data, &dsSubItem_));
    materialGrid->setObjectName("bsSkinDBGrid2");
    materialGrid->setAccessibleName(QStringLiteral("物料需求"));

    button3_ = MakeButton(bottom, data, QStringLiteral("轉請購單"), 650, 8);
    button3_->setObjectName("bsSkinButton3");
    button3_->OnClick = [this](QObject*) { bsSkinButton3Click(); };
    // The hint line, left of "轉請購單": why the last text typed into the code was refused.
    hint_ = new TbsSkinStdLabel(bottom);
    hint_->setObjectName("HintLabel");
    hint_->SetUseSkinFont(false);
    hint_->SetDefaultFont({kSansSerif11.name, -12, {}, platform::clMaroon});
    hint_->SetSkinData(data);
    hint_->move(8, 14);
    LimitProjectCode();
    // The requisitions written so far, one click away, left of "轉請購單" (the hint line
    // keeps the band's left end).
    auto* history = MakeButton(bottom, data, QStringLiteral("請購單查詢"), 567, 8);
    history->setObjectName("HistoryButton");
    history->OnClick = [this](QObject*) { ShowHistory(); };

    // Tab goes on in reading order below the project row (Ctrl+Tab leaves a grid).
    QWidget::setTabOrder(button4_, orderGrid);
    QWidget::setTabOrder(orderGrid, button2_);
    QWidget::setTabOrder(button2_, materialGrid);
    QWidget::setTabOrder(materialGrid, history);
    QWidget::setTabOrder(history, button3_);

    CommandStatesChanged(engine_->commandStates());
}

// --- Start-up and close --------------------------------------------------------------

void TFormMarlith::FormCreate() {
    // An error skips the remaining steps; the window opens all the same.
    Guard([this] {
        engine_->CreateWorkTable();
        // The audit table, where the clerk's account may make it; a database without it
        // still takes requisitions. Made by the window's start and by init-db, not by every
        // command-line run: several runs starting at once on a database without it made
        // the server's catalogue fail another run's work table ("table id … is not defined").
        // On the catalogue connection, whose job tables are: the writing connection opens
        // only when a requisition is written or voided.
        mrp::EnsureAuditTable(catalogue_);
        const RunIdentifiers ids = options_.readIdentifiers ? options_.readIdentifiers() : RunIdentifiers{};
        engine_->SetUser(ids.userId, ids.storeId);
        settingsWarning_ = ids.warning;
    });
}

void TFormMarlith::showEvent(QShowEvent* e) {
    platform::Form::showEvent(e);
    // The settings' warning, once, over the window the clerk already sees (a requisition
    // would be stamped without a user); the window works on whatever is answered.
    if (!settingsWarning_.isEmpty())
        QTimer::singleShot(0, this, [this, text = std::exchange(settingsWarning_, {})] {
            ShowMessage(text, skinctrls::mtWarning);
        });
}

void TFormMarlith::FormClose() {
    // The clerk can always leave: a drop that fails (the database has gone away) is shown
    // once and the window closes all the same. The table left behind is removed by a
    // later run, which sees that this run's attachment has ended.
    try {
        engine_->DropWorkTable();
    } catch (const std::exception& e) {
        ShowMessage(WithDetail(QStringLiteral("無法清除這次的暫存資料，視窗仍會關閉；下次開啟時會自動清除。"),
                               QString::fromUtf8(e.what())),
                    skinctrls::mtError);
    }
}

void TFormMarlith::closeEvent(QCloseEvent* e) {
    // The close handling runs once, however many times the window is asked to close.
    if (!formClosed_) {
        formClosed_ = true;
        FormClose();
    }
    platform::Form::closeEvent(e);
    if (e->isAccepted()) emit FormClosed();
}

// --- Handlers ----------------------------------------------------------------------------

void TFormMarlith::LimitProjectCode() {
    // As long as the order list's project code, the column the code is looked up in.
    if (const data::FieldDef* code = engine_->orderList().fieldDefs().Find(QStringLiteral("PROJ_ID")))
        edit1_->SetMaxLength(code->size);
    edit1_->SetTextCheck([this](const QString& text) { return UnstorableText(reading_.codePage(), text); });
    edit1_->OnRefused = [this](QObject*, const QString& reason) {
        hint_->SetCaption(reason.isEmpty() ? QStringLiteral("專案代號最多 %1 個字，多的字沒有放進去。").arg(edit1_->MaxLength())
                                           : reason);
    };
    // A change clears the hint, unless the code was just cut at its full length.
    edit1_->OnChange = [this](QObject*) {
        if (edit1_->Text().size() < edit1_->MaxLength()) hint_->SetCaption(QString());
    };
}

void TFormMarlith::bsSkinEdit1Exit() { Guard([this] { LookUpName(); }); }

void TFormMarlith::LookUpName() {
    engine_->SetProjectCode(edit1_->Text());
    edit2_->SetText(engine_->LookUpProjectName());
}

void TFormMarlith::bsSkinEdit1ButtonClick() {
    Guard([this] {
        // The full list is the one read at the first lookup of the run; searches in the
        // dialog read the table afresh.
        if (!cdsProj_.Active()) cdsProj_.Open();
        dsSearch_.SetDataSet(&cdsProj_);
        QPointer<lookup::TFrmgetdata> dlg = lookup::NewLookup(&reading_, this);
        dlg->SearchSource = &dsSearch_;
        dlg->SearchTable = QStringLiteral("PROJ_ITEM");
        dlg->SearchDataSet = &cdsProj_;
        if (!dlg->ShowLookup()) return;
        // The search result is closed whatever happens to the name lookup.
        struct CloseResult {
            QPointer<lookup::TFrmgetdata> dlg;
            ~CloseResult() {
                if (dlg) dlg->CloseSearchResult();
            }
        } closeResult{dlg};
        data::DataSet* shown = dsSearch_.dataSet();
        if (!shown || shown->IsEmpty()) return;
        edit1_->SetText(shown->FieldByName(QStringLiteral("PROJ_ID"))->AsString());
        LookUpName();
    });
}

void TFormMarlith::RunCommand(void (mrp::RequisitionEngine::*command)()) {
    Guard([&] {
        const platform::HourglassCursor wait;
        engine_->SetProjectCode(edit1_->Text());
        ((*engine_).*command)();
    });
}

void TFormMarlith::bsSkinButton1Click() { RunCommand(&mrp::RequisitionEngine::LoadOrders); }

void TFormMarlith::bsSkinButton2Click() { RunCommand(&mrp::RequisitionEngine::ExpandMaterials); }

void TFormMarlith::SpeedButton1Click() { RunCommand(&mrp::RequisitionEngine::ExpandSubAssemblies); }

void TFormMarlith::bsSkinButton3Click() {
    mrp::RequisitionReport report;
    const bool returned = Guard([&] {
        engine_->SetProjectCode(edit1_->Text());
        // The hourglass while the list is read, the number taken and the requisition
        // written; the clerk answers the question without it.
        std::optional<platform::HourglassCursor> wait(std::in_place);
        report = engine_->TransferToRequisition([&](const QStringList& lines) {
            wait.reset();
            const bool yes = ConfirmOddLines(lines);
            wait.emplace();
            return yes;
        });
    });
    // Shown once the command has returned: the requisition is committed and the
    // commands are in their new states by then.
    if (returned) ShowOutcome(report);
}

void TFormMarlith::bsSkinButton4Click() {
    // Leaving goes through the close handling, so the run's work table is dropped as
    // when the window is closed.
    close();
}

// --- Engine callbacks --------------------------------------------------------------------

void TFormMarlith::CommandStatesChanged(const mrp::CommandStates& states) {
    if (button1_) button1_->setEnabled(states.confirm);
    if (button2_) button2_->setEnabled(states.expand);
    if (button3_) button3_->setEnabled(states.requisition);
}

bool TFormMarlith::ConfirmOddLines(const QStringList& lines) {
    return ShowMessage(OddLinesQuestion(lines), skinctrls::mtConfirmation,
                       skinctrls::MsgButton(skinctrls::mbYes) | skinctrls::MsgButton(skinctrls::mbNo)) == platform::mrYes;
}

void TFormMarlith::ShowOutcome(const mrp::RequisitionReport& report) {
    if (report.outcome == mrp::RequisitionOutcome::NotReserved) {
        Guard([&] { std::rethrow_exception(report.error); });
        return;
    }
    if (!mrp::IsShown(report)) return;
    const bool written = report.outcome == mrp::RequisitionOutcome::Written && !report.number.isEmpty();
    // A requisition written can be printed from its outcome at once.
    const skinctrls::TMsgDlgButtons buttons =
        skinctrls::MsgButton(skinctrls::mbOK) | (written ? skinctrls::MsgButton(skinctrls::mbAll) : 0u);
    if (ShowMessage(OutcomeText(report), DialogType(report.kind), buttons) == platform::mrAll)
        Guard([this, number = report.number] { PrintRequisition(number); });
}

QString TFormMarlith::AskForFile(const QString& title, const QString& fileName, const QString& filter) {
    const QString suggested = QDir::home().filePath(fileName);
    if (options_.chooseExportFile) return options_.chooseExportFile(suggested);
    const platform::FocusReturn focusBack;
    return QFileDialog::getSaveFileName(this, title, suggested, filter);
}

bool TFormMarlith::PrintRequisition(const QString& number) {
    const report::Requisition requisition = report::LoadRequisition(reading_, number);
    return PrintPages(QStringLiteral("請購單 %1").arg(number),
                      [&requisition](QPrinter& target) { report::PaintRequisition(requisition, target); });
}

bool TFormMarlith::PrintSummary(const QString& number) {
    const report::PurchaseSummary summary = report::LoadSummary(reading_, number);
    return PrintPages(QStringLiteral("請購彙總 %1").arg(number),
                      [&summary](QPrinter& target) { report::PaintSummary(summary, target); });
}

bool TFormMarlith::PrintPages(const QString& document, const std::function<void(QPrinter&)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(report::RequisitionPageLayout());
    printer.setDocName(document);
    printer.setCreator(QStringLiteral("物料需求計算"));
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("列印") + document);
    // The preview asks for the pages whenever it shows them, and the print button once
    // more for the printer; a failure there is kept and reported once the dialog is gone.
    QString failure;
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        try {
            paint(*target);
        } catch (const std::exception& e) {
            failure = QString::fromUtf8(e.what());
        }
    });
    int result = QDialog::Rejected;
    {
        const platform::FocusReturn focusBack;  // the keyboard back where it was once the dialog is gone
        result = options_.runPrintDialog ? options_.runPrintDialog(dialog) : dialog.exec();
    }
    if (!failure.isEmpty()) throw ClerkError(QStringLiteral("無法列印請購單，請檢查印表機後再試。"), failure);
    return result == QDialog::Accepted;
}

THistoryDialog* TFormMarlith::NewHistory() {
    HistoryActions actions;
    actions.print = [this](const QString& number) { PrintRequisition(number); };
    actions.printSummary = [this](const QString& number) { PrintSummary(number); };
    actions.exportCsv = [this](skinctrls::TbsSkinDBGrid* grid) { ExportGridCsv(grid); };
    actions.showMessage = [this](const QString& text, skinctrls::TMsgDlgType kind) { return ShowMessage(text, kind); };
    actions.showPlan = [this](const report::PlanFilter& filter) { ShowPlan(filter); };
    actions.askReason = options_.askVoidReason ? options_.askVoidReason : [this](const QString& number) {
        TVoidReasonDialog ask(skinData_, number, this);
        return ask.Ask();
    };
    auto* dialog = new THistoryDialog(skinData_, reading_, writing_, engine_->userId(), engine_->storeId(),
                                      std::move(actions), this);
    // A project's requisitions are all listed; without one the list opens on the last 31
    // days, shown in the date fields for the clerk to widen: twenty years of requisitions
    // are not read to show a screenful.
    const QString project = edit1_->Text().trimmed();
    if (project.isEmpty()) {
        const QDate today = QDate::currentDate();
        dialog->SetFilter(QString(), mrp::DateText(today.addDays(-(kHistoryDefaultDays - 1))), mrp::DateText(today));
    } else {
        dialog->SetFilter(project);
    }
    dialog->Search();
    return dialog;
}

void TFormMarlith::ShowHistory() {
    Guard([this] {
        THistoryDialog* dialog = NewHistory();
        dialog->ShowModal();
        dialog->Release();
    });
}

TPlanDialog* TFormMarlith::NewPlan(const report::PlanFilter& filter) {
    report::PurchasePlan plan = report::LoadPlan(reading_, filter);
    if (plan.suppliers.empty()) {
        ShowMessage(QStringLiteral("請購期間 %1 沒有未結案的請購明細。").arg(report::PlanRangeText(filter)),
                    skinctrls::mtInformation);
        return nullptr;
    }
    PlanActions actions;
    actions.print = [this](const report::PurchasePlan& p) { PrintPlan(p); };
    actions.exportCsv = [this](skinctrls::TbsSkinDBGrid* grid) { ExportGridCsv(grid); };
    actions.showMessage = [this](const QString& text, skinctrls::TMsgDlgType kind) { return ShowMessage(text, kind); };
    return new TPlanDialog(skinData_, std::move(plan), std::move(actions), this);
}

void TFormMarlith::ShowPlan(const report::PlanFilter& filter) {
    if (TPlanDialog* dialog = NewPlan(filter)) {
        dialog->ShowModal();
        dialog->Release();
    }
}

bool TFormMarlith::PrintPlan(const report::PurchasePlan& plan) {
    return PrintPages(QStringLiteral("採購計畫 %1").arg(report::PlanRangeText(plan.filter)),
                      [&plan](QPrinter& target) { report::PaintPlan(plan, target); });
}

// --- Messages ----------------------------------------------------------------------------

bool TFormMarlith::Guard(const std::function<void()>& handler) {
    // A handler is cut short when the program is told to end (db/Interrupt.h); the
    // window is then closed from the event loop.
    db::InterruptibleWork work;
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        ShowMessage(ClerkMessage(e), skinctrls::mtError);
        return false;
    }
}

int TFormMarlith::ShowMessage(const QString& text, skinctrls::TMsgDlgType kind, skinctrls::TMsgDlgButtons buttons) {
    // While the program is being ended nobody may be there to answer a dialog, and one
    // would hold the ending up: the message goes to the standard error instead.
    if (db::InterruptRequested()) {
        std::fprintf(stderr, "marlith: %s\n", text.toUtf8().constData());
        return platform::mrOk;
    }
    if (options_.showMessage) return options_.showMessage(text, kind);
    return message_->ShowSkinMessage(text, kind, buttons, 0);
}

}  // namespace window
