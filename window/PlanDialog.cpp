#include "window/PlanDialog.h"

#include <utility>

#include "frame/SkinFrame.h"
#include "report/RequisitionPdf.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinLabel.h"
#include "skinctrls/SkinPanel.h"
#include "window/Controls.h"
#include "window/Messages.h"
#include "window/PlanTable.h"

namespace window {

namespace {

using skinctrls::TbsSkinPanel;

constexpr int kClientWidth = 900;
constexpr int kClientHeight = 420;

}  // namespace

TPlanDialog::TPlanDialog(skin::TbsSkinData* skinData, report::PurchasePlan plan, PlanActions actions, QWidget* owner)
    : platform::Form(owner), plan_(std::move(plan)), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("FormPlan"));
    setWindowTitle(QStringLiteral("採購計畫"));
    auto* frame = new frame::TbsSkinFrame(this);
    frame->SetSkinData(skinData);
    FillPlanTable(table_, plan_, true);
    source_.SetDataSet(&table_);

    platform::ClientArea* client = Client();
    client->setFont(kSansSerif11.ToQFont());
    auto* top = InitPanel(new TbsSkinPanel(client), skinData, platform::alTop, 32);
    auto* bottom = InitPanel(new TbsSkinPanel(client), skinData, platform::alBottom, 41);
    auto* body = InitPanel(new TbsSkinPanel(client), skinData, platform::alClient, 0);

    const report::PlanFilter& f = plan_.filter;
    QString heading = QStringLiteral("請購期間：%1").arg(report::PlanRangeText(f));
    if (!f.project.trimmed().isEmpty()) heading += QStringLiteral("　專案：%1").arg(f.project.trimmed());
    heading += QStringLiteral("　　未結案明細合計，扣除現有庫存；僅供參考，不寫入資料。");
    MakeLabel(top, skinData, heading, 8, 8)->setObjectName(QStringLiteral("PlanHeading"));

    grid_ = MakeGrid(body, skinData, &source_);
    grid_->setObjectName(QStringLiteral("PlanGrid"));
    grid_->SetReadOnly(true);

    auto* print = MakeButton(bottom, skinData, QStringLiteral("列印"), 8, 8);
    print->setObjectName(QStringLiteral("PlanPrint"));
    print->OnClick = [this](QObject*) { PrintClick(); };
    auto* exportCsv = MakeButton(bottom, skinData, QStringLiteral("匯出 CSV"), 91, 8);
    exportCsv->setObjectName(QStringLiteral("PlanExport"));
    exportCsv->OnClick = [this](QObject*) { ExportClick(); };
    auto* close = MakeButton(bottom, skinData, QStringLiteral("關閉"), kClientWidth - 85, 8);
    close->setObjectName(QStringLiteral("PlanClose"));
    close->SetCancel(true);
    close->SetModalResult(platform::mrCancel);
    close->OnClick = [this](QObject*) { this->close(); };

    SizeForClient(this, frame, QSize(kClientWidth, kClientHeight));
}

TPlanDialog::~TPlanDialog() {
    // The controls go before the data source they show.
    delete Client();
}

void TPlanDialog::PrintClick() {
    Guard([this] {
        if (actions_.print) actions_.print(plan_);
    });
}

void TPlanDialog::ExportClick() {
    Guard([this] {
        if (actions_.exportCsv) actions_.exportCsv(grid_);
    });
}

void TPlanDialog::Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        if (actions_.showMessage) actions_.showMessage(ClerkMessage(e), skinctrls::mtError);
    }
}

}  // namespace window
