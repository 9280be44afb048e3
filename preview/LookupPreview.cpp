#include "preview/LookupPreview.h"

#include <QComboBox>
#include <QLineEdit>

#include "data/DataSource.h"
#include "lookup/DBGrid.h"
#include "lookup/Getdata.h"

namespace preview {

using namespace lookup;

std::unique_ptr<data::MemTable> DemoProjectList(int rows) {
    auto t = std::make_unique<data::MemTable>();
    t->SetName(QStringLiteral("CDS_Proj"));
    data::FieldDefs& d = t->fieldDefs();
    d.Add(QStringLiteral("PROJ_ID"), data::FieldType::Text, 20, true).displayLabel = QStringLiteral("專案代號");
    d.Add(QStringLiteral("PROJ_NAME"), data::FieldType::Text, 100).displayLabel = QStringLiteral("專案名稱");
    d.Add(QStringLiteral("REMARK"), data::FieldType::Text, 100).displayLabel = QStringLiteral("備註");
    d.Add(QStringLiteral("CHG_DATE"), data::FieldType::Text, 10).displayLabel = QStringLiteral("異動日期");
    d.Add(QStringLiteral("CHG_USER"), data::FieldType::Text, 10).displayLabel = QStringLiteral("異動人員");
    t->CreateDataSet();
    static const char16_t* const kNames[] = {u"台北門市改裝", u"新竹倉儲擴建", u"台中展示中心", u"高雄物流站",
                                             u"桃園門市開幕", u"春節促銷備貨", u"年中盤點", u"中秋禮盒",
                                             u"員工制服採購", u"收銀設備汰換", u"冷藏櫃更新", u"招牌翻新"};
    for (int i = 0; i < rows; ++i) {
        t->Append();
        t->FieldByName("PROJ_ID")->SetAsString(QStringLiteral("P%1").arg(i + 1, 4, 10, QChar(u'0')));
        t->FieldByName("PROJ_NAME")->SetAsString(QString::fromUtf16(kNames[i % 12]));
        t->FieldByName("REMARK")->SetAsString(i % 3 == 0 ? QStringLiteral("急件") : QString());
        t->FieldByName("CHG_DATE")->SetAsString(QStringLiteral("2026/%1/%2").arg(1 + i % 12, 2, 10, QChar(u'0')).arg(1 + (i * 7) % 28, 2, 10, QChar(u'0')));
        t->FieldByName("CHG_USER")->SetAsString(QStringLiteral("U%1").arg(100 + i));
        t->Post();
    }
    t->First();
    return t;
}

QImage RenderLookupPreview(const LookupPreviewOptions& o) {
    auto list = DemoProjectList(o.rows);
    data::DataSource source;
    TFrmgetdata* dlg = NewLookup(nullptr);
    dlg->SearchSource = &source;
    dlg->SearchTable = QStringLiteral("PROJ_ITEM");
    dlg->SearchDataSet = list.get();
    dlg->setAttribute(Qt::WA_DontShowOnScreen);
    dlg->show();  // runs the activation
    if (o.fieldIndex >= 0) dlg->SetSearchField(o.fieldIndex);
    dlg->SetSearchValue(o.value);
    if (o.currentRow > 1) list->SetRecNo(o.currentRow);
    dlg->SetGridPaintFocused(o.gridFocused);
    const QImage img = dlg->grab().toImage();
    delete dlg;
    return img;
}

}  // namespace preview
