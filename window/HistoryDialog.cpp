#include "window/HistoryDialog.h"

#include <QScreen>
#include <QShortcut>

#include "frame/SkinFrame.h"
#include "mrp/RequisitionHistory.h"
#include "mrp/VoidRequisition.h"
#include "platform/Colors.h"
#include "skinctrls/Accessible.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinLabel.h"
#include "skinctrls/SkinPanel.h"
#include "window/Controls.h"
#include "window/Messages.h"

namespace window {

namespace {

using skinctrls::TbsSkinPanel;
using skinctrls::TbsSkinStdLabel;

constexpr int kClientWidth = 760;
constexpr int kClientHeight = 400;

}  // namespace

THistoryDialog::THistoryDialog(skin::TbsSkinData* skinData, db::Connection& reading, db::Connection& writing,
                               QString userId, QString storeId, HistoryActions actions, QWidget* owner)
    : platform::Form(owner),
      skinData_(skinData),
      reading_(reading),
      writing_(writing),
      userId_(std::move(userId)),
      storeId_(std::move(storeId)),
      actions_(std::move(actions)) {
    setObjectName(QStringLiteral("FormHistory"));
    setWindowTitle(QStringLiteral("請購單查詢"));
    frame_ = new frame::TbsSkinFrame(this);
    frame_->SetSkinData(skinData_);
    mrp::FillHistoryTable(list_, {});
    source_.SetDataSet(&list_);
    BuildControls();
    SizeForClient(this, frame_, QSize(kClientWidth, kClientHeight));
}

THistoryDialog::~THistoryDialog() {
    // The controls go before the data source they show.
    delete Client();
}

void THistoryDialog::BuildControls() {
    platform::ClientArea* client = Client();
    client->setFont(kSansSerif11.ToQFont());
    skin::TbsSkinData* data = skinData_;
    auto* top = InitPanel(new TbsSkinPanel(client), data, platform::alTop, 32);
    auto* bottom = InitPanel(new TbsSkinPanel(client), data, platform::alBottom, 41);
    auto* body = InitPanel(new TbsSkinPanel(client), data, platform::alClient, 0);

    auto* projectLabel = MakeLabel(top, data, QStringLiteral("專案代號"), 8, 8);
    project_ = MakeEdit(top, data, false, 64, 5, 121);
    project_->setObjectName(QStringLiteral("HistoryProject"));
    skinctrls::SetLabelFor(projectLabel, project_);
    auto* fromLabel = MakeLabel(top, data, QStringLiteral("日期"), 196, 8);
    from_ = MakeEdit(top, data, false, 226, 5, 84);
    from_->setObjectName(QStringLiteral("HistoryFrom"));
    // Read as the range it starts and ends ("日期 … 至 …" reads as one phrase on screen).
    skinctrls::SetLabelFor(fromLabel, from_);
    skinctrls::SetAccessibleName(from_, QStringLiteral("日期起"));
    auto* toLabel = MakeLabel(top, data, QStringLiteral("至"), 316, 8);
    to_ = MakeEdit(top, data, false, 334, 5, 84);
    to_->setObjectName(QStringLiteral("HistoryTo"));
    skinctrls::SetLabelFor(toLabel, to_);
    skinctrls::SetAccessibleName(to_, QStringLiteral("日期至"));
    for (skinctrls::TbsSkinEdit* e : {from_, to_}) {
        e->SetMaxLength(10);
        e->setToolTip(QStringLiteral("YYYY/MM/DD，空白表示不限"));
    }
    auto* search = MakeButton(top, data, QStringLiteral("查詢"), 428, 3);
    search->SetDefault(true);
    search->OnClick = [this](QObject*) { Search(); };

    grid_ = MakeGrid(body, data, &source_);
    grid_->setObjectName(QStringLiteral("HistoryGrid"));
    grid_->setAccessibleName(QStringLiteral("請購單"));
    grid_->SetReadOnly(true);

    struct Command {
        const char16_t* caption;
        void (THistoryDialog::*handler)();
    };
    const Command commands[] = {{u"列印", &THistoryDialog::PrintClick},
                                {u"匯出 CSV", &THistoryDialog::ExportClick},
                                {u"彙總", &THistoryDialog::SummaryClick},
                                {u"作廢", &THistoryDialog::VoidClick},
                                {u"採購計畫", &THistoryDialog::PlanClick}};
    int x = 8;
    for (const Command& c : commands) {
        auto* b = MakeButton(bottom, data, QString::fromUtf16(c.caption), x, 8);
        b->OnClick = [this, handler = c.handler](QObject*) { (this->*handler)(); };
        if (c.handler == &THistoryDialog::VoidClick) voidButton_ = b;
        if (c.handler == &THistoryDialog::PlanClick) b->setObjectName(QStringLiteral("HistoryPlan"));
        x += 83;
    }
    auto* close = MakeButton(bottom, data, QStringLiteral("關閉"), kClientWidth - 85, 8);
    close->SetCancel(true);
    close->SetModalResult(platform::mrCancel);
    close->OnClick = [this](QObject*) { this->close(); };
}

void THistoryDialog::SetFilter(const QString& project, const QString& from, const QString& to) {
    project_->SetText(project.trimmed());
    from_->SetText(from);
    to_->SetText(to);
}

void THistoryDialog::Search() {
    Guard([this] {
        const std::optional<mrp::HistoryFilter> filter = EditedFilter();
        if (!filter) return;
        const QString selected = SelectedNumber();
        mrp::FillHistoryTable(list_, mrp::ListRequisitions(reading_, *filter));
        if (!selected.isEmpty()) Select(selected);
    });
}

std::optional<mrp::HistoryFilter> THistoryDialog::EditedFilter() {
    const mrp::HistoryFilter filter{project_->Text().trimmed(), from_->Text().trimmed(), to_->Text().trimmed()};
    for (const QString* bound : {&filter.from, &filter.to})
        if (!bound->isEmpty() && !mrp::IsDateText(*bound)) {
            Show(mrp::DateTextProblem(*bound), skinctrls::mtWarning);
            return std::nullopt;
        }
    return filter;
}

QString THistoryDialog::SelectedNumber() const {
    if (!list_.Active() || list_.IsEmpty()) return {};
    return list_.FieldByName(QStringLiteral("MASTERBILLID"))->AsString();
}

bool THistoryDialog::Select(const QString& number) {
    if (!list_.Active()) return false;
    data::Field* field = list_.FieldByName(QStringLiteral("MASTERBILLID"));
    for (int rec = 1; rec <= list_.RecordCount(); ++rec) {
        list_.SetRecNo(rec);
        if (field->AsString() == number) return true;
    }
    if (!list_.IsEmpty()) list_.First();
    return false;
}

QString THistoryDialog::Selected() {
    const QString number = SelectedNumber();
    if (number.isEmpty()) Show(QStringLiteral("請先查詢並選擇一張請購單。"), skinctrls::mtInformation);
    return number;
}

QString THistoryDialog::SelectedNotVoided(const QString& voidedText) {
    const QString number = Selected();
    if (number.isEmpty()) return number;
    if (list_.FieldByName(QStringLiteral("STATE"))->AsString() == mrp::StateText(mrp::RequisitionState::Voided)) {
        Show(voidedText.arg(number), skinctrls::mtWarning);
        return QString();
    }
    return number;
}

void THistoryDialog::PrintClick() {
    Guard([this] {
        const QString number = SelectedNotVoided(QStringLiteral("請購單 %1 已作廢，無法列印。"));
        if (!number.isEmpty() && actions_.print) actions_.print(number);
    });
}

void THistoryDialog::ExportClick() {
    Guard([this] {
        if (actions_.exportCsv) actions_.exportCsv(grid_);
    });
}

void THistoryDialog::SummaryClick() {
    Guard([this] {
        const QString number = SelectedNotVoided(QStringLiteral("請購單 %1 已作廢，沒有彙總。"));
        if (!number.isEmpty() && actions_.printSummary) actions_.printSummary(number);
    });
}

void THistoryDialog::VoidClick() {
    Guard([this] {
        const QString number = Selected();
        if (number.isEmpty() || !actions_.askReason) return;
        const std::optional<QString> reason = actions_.askReason(number);
        if (!reason) return;
        try {
            const mrp::VoidOutcome v = mrp::VoidRequisition(writing_, number, *reason, userId_, storeId_);
            QString text = QStringLiteral("請購單 %1 已作廢。").arg(v.number);
            if (!v.reopenedOrders.isEmpty())
                text += QStringLiteral("\n重新開放的訂單：%1").arg(v.reopenedOrders.join(QStringLiteral("、")));
            Show(text, skinctrls::mtInformation);
        } catch (const mrp::VoidRefused& e) {
            Show(QString::fromUtf8(e.what()), skinctrls::mtWarning);
        }
        // The list shows what the database holds now, voided or not.
        Search();
        Select(number);
    });
}

void THistoryDialog::PlanClick() {
    Guard([this] {
        const std::optional<mrp::HistoryFilter> filter = EditedFilter();
        if (filter && actions_.showPlan) actions_.showPlan({filter->from, filter->to, filter->project, {}});
    });
}

void THistoryDialog::Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        Show(ClerkMessage(e), skinctrls::mtError);
    }
}

int THistoryDialog::Show(const QString& text, skinctrls::TMsgDlgType kind) {
    return actions_.showMessage ? actions_.showMessage(text, kind) : platform::mrOk;
}

TVoidReasonDialog::TVoidReasonDialog(skin::TbsSkinData* skinData, const QString& number, QWidget* owner)
    : platform::Form(owner) {
    setObjectName(QStringLiteral("FormVoidReason"));
    setWindowTitle(QStringLiteral("作廢請購單"));
    auto* frame = new frame::TbsSkinFrame(this);
    frame->SetSkinData(skinData);
    platform::ClientArea* client = Client();
    client->setFont(kSansSerif11.ToQFont());
    auto* panel = InitPanel(new TbsSkinPanel(client), skinData, platform::alClient, 0);
    auto* text = MakeLabel(panel, skinData,
                       QStringLiteral("作廢請購單 %1：刪除其表頭與明細，其訂單重新開放。\n作廢後不能復原，單號不再使用。")
                           .arg(number),
                       12, 12);
    text->setObjectName(QStringLiteral("VoidText"));
    auto* reasonLabel = MakeLabel(panel, skinData, QStringLiteral("作廢原因"), 12, 58);
    reason_ = MakeEdit(panel, skinData, false, 72, 55, 300);
    reason_->setObjectName(QStringLiteral("VoidReason"));
    skinctrls::SetLabelFor(reasonLabel, reason_);
    reason_->SetMaxLength(200);
    auto* ok = MakeButton(panel, skinData, QStringLiteral("確定"), 216, 92);
    ok->SetDefault(true);
    ok->OnClick = [this](QObject*) {
        if (reason_->Text().trimmed().isEmpty()) {
            reason_->setFocus();
            return;
        }
        SetModalResult(platform::mrOk);
    };
    auto* cancel = MakeButton(panel, skinData, QStringLiteral("取消"), 297, 92);
    cancel->SetCancel(true);
    cancel->SetModalResult(platform::mrCancel);
    SizeForClient(this, frame, QSize(384, 128));
}

std::optional<QString> TVoidReasonDialog::Ask() {
    reason_->setFocus();
    if (ShowModal() != platform::mrOk) return std::nullopt;
    return reason_->Text().trimmed();
}

}  // namespace window
