#include "preview/ControlsDemo.h"

#include <QPainter>

#include <memory>

#include "data/MemTable.h"
#include "skin/StoredSkin.h"
#include "skinctrls/SkinButton.h"
#include "preview/ControlPreview.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinLabel.h"
#include "skinctrls/SkinMessage.h"
#include "skinctrls/SkinPanel.h"
#include "skinctrls/SkinScrollBar.h"

namespace preview {

using namespace skinctrls;

namespace {

// A glyph strip of four 16 x 16 frames (up, disabled, down, hot) on a magenta ground.
QImage DemoGlyph() {
    QImage strip(64, 16, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 255));
    QPainter p(&strip);
    const QColor colours[4] = {QColor(40, 90, 160), QColor(150, 150, 150), QColor(20, 50, 110), QColor(230, 140, 30)};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colours[i]);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygon({QPoint(16 * i + 3, 2), QPoint(16 * i + 13, 8), QPoint(16 * i + 3, 14)}));
    }
    return strip;
}

// The grid's rows, kept by the demo panel.
struct DemoTable : QObject {
    using QObject::QObject;
    data::MemTable table;
    data::DataSource source{&table};
};

class DemoBuilder {
public:
    explicit DemoBuilder(const ControlsDemoOptions& o) : o_(o) {}

    template <class T>
    T* Make(QWidget* parent, int x, int y, int w, int h) {
        auto* c = new T(parent);
        if constexpr (requires { c->SetSkinData(o_.skinData); }) c->SetSkinData(o_.skinData);
        if constexpr (requires { c->SetBounds(x, y, w, h); })
            c->SetBounds(x, y, w, h);
        else
            c->setGeometry(x, y, w, h);
        return c;
    }

    TbsSkinStdLabel* Label(QWidget* parent, int x, int y, const QString& text) {
        auto* l = new TbsSkinStdLabel(parent);
        l->SetCaption(text);
        l->SetSkinData(o_.skinData);
        l->move(x, y);
        return l;
    }

    TbsSkinButton* Button(QWidget* parent, int x, int y, int w, const QString& caption) {
        auto* b = new TbsSkinButton(parent);
        b->SetCaption(caption);
        b->SetBounds(x, y, w, 25);
        b->SetSkinData(o_.skinData);
        return b;
    }

    TbsSkinEdit* Edit(QWidget* parent, int x, int y, int w, bool buttonMode, const QString& text) {
        auto* e = new TbsSkinEdit(parent);
        e->SetButtonMode(buttonMode);
        e->SetSkinDataName(buttonMode ? QStringLiteral("buttonedit") : QStringLiteral("edit"));
        e->SetBounds(x, y, w, 20);
        e->SetText(text);
        e->SetSkinData(o_.skinData);
        return e;
    }

    TbsSkinGroupBox* Group(QWidget* parent, int x, int y, int w, int h, const QString& caption) {
        auto* g = new TbsSkinGroupBox(parent);
        g->SetCaption(caption);
        g->SetBounds(x, y, w, h);
        g->SetSkinData(o_.skinData);
        return g;
    }

    const ControlsDemoOptions& o_;
};

}  // namespace

TbsSkinPanel* CreateControlsDemo(QWidget* parent, const ControlsDemoOptions& o) {
    DemoBuilder d(o);
    auto* root = new TbsSkinPanel(parent);
    root->SetBorderStyle(bvNone);
    root->SetSkinData(o.skinData);
    root->setMinimumSize(820, 616);
    root->SetBounds(0, 0, 820, 616);

    TbsSkinStdLabel* status = d.Label(root, 12, 592, QStringLiteral("試試看：滑鼠移過、按下、拖曳；Tab、空白鍵、Enter、Esc、Alt+字母。"));
    auto say = [status](const QString& s) { status->SetCaption(s); };

    // --- buttons -----------------------------------------------------------------------
    TbsSkinGroupBox* buttons = d.Group(root, 8, 8, 400, 150, QStringLiteral("按鈕 Buttons"));
    TbsSkinButton* ok = d.Button(buttons, 10, 24, 80, QStringLiteral("確定 &OK"));
    ok->SetDefault(true);
    ok->OnClick = [say](QObject*) { say(QStringLiteral("確定：按下 (Enter 也會按下預設按鈕)")); };
    TbsSkinButton* leave = d.Button(buttons, 98, 24, 80, QStringLiteral("離開 E&xit"));
    leave->SetCancel(true);
    leave->OnClick = [say](QObject*) { say(QStringLiteral("離開：按下 (Esc 也會按下取消按鈕)")); };
    TbsSkinButton* off = d.Button(buttons, 186, 24, 80, QStringLiteral("停用 Disabled"));
    off->setEnabled(false);
    TbsSkinButton* repeat = d.Button(buttons, 274, 24, 110, QStringLiteral("按住重複 +1"));
    repeat->SetRepeatMode(true);
    auto count = std::make_shared<int>(0);
    repeat->OnClick = [say, count](QObject*) { say(QStringLiteral("重複計數 %1").arg(++*count)); };

    const QStringList group1{"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        TbsSkinButton* g = d.Button(buttons, 10 + i * 36, 62, 34, group1[i]);
        g->SetGroupIndex(1);
        g->SetDown(i == 0);
        g->OnClick = [say, name = group1[i]](QObject*) { say(QStringLiteral("群組 1：%1 按下").arg(name)); };
    }
    const QStringList group2{"X", "Y"};
    for (int i = 0; i < 2; ++i) {
        TbsSkinButton* g = d.Button(buttons, 130 + i * 36, 62, 34, group2[i]);
        g->SetGroupIndex(2);
        g->SetAllowAllUp(true);
        g->OnClick = [say, g](QObject*) {
            say(QStringLiteral("群組 2 (可全部彈起)：%1 %2").arg(g->Caption(), g->Down() ? "按下" : "彈起"));
        };
    }
    const QImage glyph = DemoGlyph();
    const TbsButtonLayout layouts[] = {blGlyphLeft, blGlyphRight};
    for (int i = 0; i < 2; ++i) {
        TbsSkinButton* g = d.Button(buttons, 220 + i * 84, 62, 80, i == 0 ? QStringLiteral("圖示左") : QStringLiteral("圖示右"));
        g->SetGlyph(glyph);
        g->SetNumGlyphs(4);
        g->SetLayout(layouts[i]);
        g->OnClick = [say](QObject*) { say(QStringLiteral("圖示按鈕")); };
    }
    TbsSkinButton* glyphOff = d.Button(buttons, 10, 100, 80, QStringLiteral("停用圖示"));
    glyphOff->SetGlyph(glyph);
    glyphOff->SetNumGlyphs(4);
    glyphOff->setEnabled(false);
    TbsSkinButton* noFocus = d.Button(buttons, 98, 100, 120, QStringLiteral("不取得焦點"));
    noFocus->SetCanFocused(false);
    noFocus->OnClick = [say](QObject*) { say(QStringLiteral("這個按鈕不取得焦點")); };

    // --- edits -------------------------------------------------------------------------
    TbsSkinGroupBox* edits = d.Group(root, 416, 8, 396, 150, QStringLiteral("編輯 Edits"));
    d.Label(edits, 10, 26, QStringLiteral("專案代號"));
    TbsSkinEdit* code = d.Edit(edits, 80, 24, 121, true, QStringLiteral("P0001"));
    code->OnButtonClick = [say, code](QObject*) { say(QStringLiteral("查詢按鈕：%1").arg(code->Text())); };
    code->OnExit = [say, code](QObject*) { say(QStringLiteral("離開代號欄：%1").arg(code->Text())); };
    TbsSkinEdit* name = d.Edit(edits, 210, 24, 176, false, QStringLiteral("物料需求計算"));
    name->OnChange = [say, name](QObject*) { say(QStringLiteral("名稱：%1").arg(name->Text())); };
    d.Label(edits, 10, 56, QStringLiteral("唯讀"));
    TbsSkinEdit* ro = d.Edit(edits, 80, 54, 121, false, QStringLiteral("可選取、可複製"));
    ro->SetReadOnly(true);
    d.Label(edits, 210, 56, QStringLiteral("密碼"));
    TbsSkinEdit* pw = d.Edit(edits, 250, 54, 136, false, QStringLiteral("secret"));
    pw->SetEditPasswordChar(QLatin1Char('*'));
    d.Label(edits, 10, 86, QStringLiteral("停用"));
    TbsSkinEdit* dis = d.Edit(edits, 80, 84, 121, true, QStringLiteral("停用的文字"));
    dis->setEnabled(false);
    TbsSkinEdit* dispw = d.Edit(edits, 250, 84, 136, false, QStringLiteral("secret"));
    dispw->SetEditPasswordChar(QLatin1Char('*'));
    dispw->setEnabled(false);
    TbsSkinEdit* right = d.Edit(edits, 80, 114, 121, false, QStringLiteral("12,345.00"));
    right->SetAlignment(skin::taRightJustify);
    d.Label(edits, 10, 116, QStringLiteral("靠右"));

    // --- scroll bars -------------------------------------------------------------------
    TbsSkinGroupBox* bars = d.Group(root, 8, 166, 400, 170, QStringLiteral("捲軸 Scroll bars"));
    TbsSkinStdLabel* barInfo = d.Label(bars, 10, 146, QStringLiteral("位置"));
    auto show = [barInfo](const QString& what, TbsSkinScrollBar* b) {
        barInfo->SetCaption(QStringLiteral("%1：%2 (%3..%4)").arg(what).arg(b->Position()).arg(b->Min()).arg(b->Max()));
    };
    auto* paged = d.Make<TbsSkinScrollBar>(bars, 10, 24, 250, 20);
    paged->SetBarRange(0, 99, 20, 0);
    paged->SetLargeChange(20);
    paged->OnChange = [show, paged](QObject*) { show(QStringLiteral("分頁"), paged); };
    auto* focusable = d.Make<TbsSkinScrollBar>(bars, 10, 52, 250, 20);
    focusable->SetCanFocused(true);
    focusable->SetLargeChange(10);
    focusable->OnChange = [show, focusable](QObject*) { show(QStringLiteral("可取得焦點 (方向鍵、滾輪)"), focusable); };
    auto* disabledBar = d.Make<TbsSkinScrollBar>(bars, 10, 80, 250, 20);
    disabledBar->setEnabled(false);
    // A pair sharing a corner, as beside a grid.
    auto* vbar = new TbsSkinScrollBar(bars);
    vbar->SetKind(sbVertical);
    vbar->SetSkinDataName(QStringLiteral("vscrollbar"));
    vbar->SetBounds(366, 24, 20, 83);
    vbar->SetSkinData(o.skinData);
    vbar->SetBarRange(1, 50, 10, 1);
    vbar->OnChange = [show, vbar](QObject*) { show(QStringLiteral("垂直"), vbar); };
    auto* hboth = d.Make<TbsSkinScrollBar>(bars, 270, 107, 96 + 17, 20);
    hboth->SetBothMarkerWidth(17);
    hboth->SetBoth(true);
    hboth->OnChange = [show, hboth](QObject*) { show(QStringLiteral("共用角落"), hboth); };
    hboth->OnLastChange = [say](QObject*) { say(QStringLiteral("OnLastChange：放開滑鼠")); };

    // --- panels and labels -----------------------------------------------------------------
    TbsSkinGroupBox* panels = d.Group(root, 416, 166, 396, 170, QStringLiteral("面板 Panels"));
    auto* checkPanel = new TbsSkinPanel(panels);
    checkPanel->SetSkinDataName(QStringLiteral("checkgroupbox"));
    checkPanel->SetBounds(10, 22, 180, 100);
    checkPanel->SetSkinData(o.skinData);
    checkPanel->SetCaption(QStringLiteral("勾選啟用"));
    checkPanel->SetCaptionMode(true);
    checkPanel->SetCheckedMode(true);
    checkPanel->SetChecked(true);
    checkPanel->OnChecked = [say, checkPanel](QObject*) {
        say(checkPanel->Checked() ? QStringLiteral("面板已勾選：子控制項啟用") : QStringLiteral("面板未勾選：子控制項停用"));
    };
    d.Button(checkPanel, 10, 30, 80, QStringLiteral("子按鈕"));
    d.Edit(checkPanel, 10, 62, 150, false, QStringLiteral("子編輯"));
    auto* rollPanel = new TbsSkinPanel(panels);
    rollPanel->SetSkinDataName(QStringLiteral("rollpanel"));
    rollPanel->SetBounds(200, 22, 186, 100);
    rollPanel->SetSkinData(o.skinData);
    rollPanel->SetCaption(QStringLiteral("捲起 Roll up"));
    rollPanel->SetCaptionMode(true);
    rollPanel->SetRollUpMode(true);
    d.Label(rollPanel, 10, 30, QStringLiteral("按標題列捲起／展開"));
    d.Button(rollPanel, 10, 56, 80, QStringLiteral("內容"));
    d.Label(panels, 10, 132, QStringLiteral("標籤 Label"));
    TbsSkinStdLabel* disabledLabel = d.Label(panels, 120, 132, QStringLiteral("停用的標籤"));
    disabledLabel->setEnabled(false);

    // --- data grid -----------------------------------------------------------------------------
    auto* rows = new DemoTable(root);
    FillSampleOrderLines(rows->table, 24);
    TbsSkinGroupBox* gridBox = d.Group(root, 8, 344, 804, 190, QStringLiteral("資料表格 Grid"));
    auto* gridArea = new TbsSkinPanel(gridBox);
    gridArea->SetBorderStyle(bvNone);
    gridArea->SetSkinData(o.skinData);
    gridArea->SetAlign(platform::alClient);
    TbsSkinDBGrid* grid = CreateGridWithBars(gridArea, o.skinData, &rows->source).grid;
    auto* gridMessage = new TbsSkinMessage(root);
    gridMessage->SetSkinData(o.skinData);
    gridMessage->SetCtrlSkinData(o.skinData);
    grid->SetSkinMessage(gridMessage);
    grid->OnCellClick = [say, rows](QObject*, TbsColumn* c) {
        say(QStringLiteral("第 %1 列，%2：%3 (F2 或打字編輯、Insert 新增、Ctrl+Delete 刪除)")
                .arg(rows->table.RecNo())
                .arg(c->Title().Caption(), c->Field() ? c->Field()->DisplayText() : QString()));
    };

    // --- messages and skin changes ---------------------------------------------------------
    TbsSkinGroupBox* messages = d.Group(root, 8, 542, 804, 46, QStringLiteral("訊息與外觀 Messages and skin"));
    auto* message = new TbsSkinMessage(root);
    message->SetSkinData(o.skinData);
    message->SetCtrlSkinData(o.skinData);
    struct MessageCase {
        const char* caption;
        const char16_t* text;
        TMsgDlgType kind;
        TMsgDlgButtons buttons;
    };
    static const MessageCase cases[] = {
        {"資訊", u"資料寫入成功..!", mtInformation, MsgButton(mbOK)},
        {"警告", u"資料寫入失敗..!", mtWarning, MsgButton(mbOK)},
        {"確認", u"要轉成請購單嗎?", mtConfirmation, MsgButton(mbYes) | MsgButton(mbNo)},
        {"錯誤", u"無法連線到資料庫。", mtError, MsgButton(mbAbort) | MsgButton(mbRetry) | MsgButton(mbIgnore) | MsgButton(mbHelp)},
        {"自訂", u"沒有圖示的訊息", mtCustom, MsgButton(mbYes) | MsgButton(mbNo) | MsgButton(mbCancel)},
    };
    int x = 10;
    for (const MessageCase& c : cases) {
        TbsSkinButton* b = d.Button(messages, x, 16, 70, QString::fromUtf8(c.caption));
        b->OnClick = [say, message, &c](QObject*) {
            const int result = message->ShowSkinMessage(QString::fromUtf16(c.text), c.kind, c.buttons, 0);
            say(QStringLiteral("對話框傳回 %1").arg(result));
        };
        x += 76;
    }
    TbsSkinButton* noSkin = d.Button(messages, 600, 16, 90, QStringLiteral("無外觀"));
    skin::TbsSkinData* data = o.skinData;
    noSkin->OnClick = [data, say](QObject*) {
        if (!data) return;
        skin::TbsStoredSkin empty;  // no definition: the skin data ends up empty
        data->LoadFromStoredSkin(empty);
        say(QStringLiteral("外觀已移除：預設外觀"));
    };
    TbsSkinButton* reload = d.Button(messages, 698, 16, 96, QStringLiteral("重新載入外觀"));
    auto reloadSkin = o.reloadSkin;
    reload->OnClick = [reloadSkin, say](QObject*) {
        if (reloadSkin) reloadSkin();
        say(QStringLiteral("外觀已重新載入"));
    };
    return root;
}

}  // namespace preview
