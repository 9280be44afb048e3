#include "lookup/Getdata.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>

#include "data/Error.h"
#include "lookup/DBGrid.h"
#include "lookup/DBSpeedButton.h"
#include "lookup/Glyphs.h"
#include "lookup/Messages.h"
#include "platform/Fonts.h"
#include "skinctrls/Paint.h"

namespace lookup {

QPointer<TFrmgetdata> Frmgetdata;
bool LookupAccepted = false;

namespace {

const QString kDialogFont = QStringLiteral("新細明體");
constexpr int kWidth = 735;
constexpr int kHeight = 415;

// A band of the dialog: a plain panel without bevel in one colour.
platform::Control* Band(QWidget* parent, platform::TAlign align, int size, platform::TColor color) {
    auto* p = new platform::Control(parent);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Window, platform::ToQColor(color));
    p->setPalette(pal);
    p->setAutoFillBackground(true);
    if (align == platform::alTop || align == platform::alBottom)
        p->SetBounds(0, 0, kWidth, size);
    else
        p->SetBounds(0, 0, size, kHeight);
    p->SetAlign(align);
    return p;
}

// The match-mode group: an etched frame on white with its items in three columns.
class RadioGroupFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        skinctrls::FillRect(p, rect(), platform::clWhite);
        const QSize s(width() - 1, height() - 1);
        skinctrls::FrameRect(p, QRect(QPoint(0, 0), s), platform::clBtnShadow);
        skinctrls::FrameRect(p, QRect(QPoint(1, 1), s), platform::clBtnHighlight);
    }
};

void SetWhite(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Window, Qt::white);
    w->setPalette(pal);
}

}  // namespace

TFrmgetdata::TFrmgetdata(db::Connection* readingConnection, QWidget* owner)
    : platform::Form(owner), CDS_Query(std::make_unique<data::QueryTable>(readingConnection)) {
    CDS_Query->SetName(QStringLiteral("CDS_Query"));
    setWindowTitle(QStringLiteral("資料查詢擷取"));
    setFont(platform::MakeFont(kDialogFont, 12));
    SetBorderStyle(platform::bsSizeable);
    SetColor(platform::clBtnFace);
    BuildControls();
    resize(kWidth, kHeight);
}

TFrmgetdata::~TFrmgetdata() {
    // The controls are freed after this body; nothing may reach the dialog's handlers
    // while they go.
    disconnect(focusWatch_);
    for (QObject* o : {static_cast<QObject*>(ComboBox1), static_cast<QObject*>(ComboBox1->lineEdit()), static_cast<QObject*>(Edit1)})
        o->removeEventFilter(this);
    DBGrid1->OnKeyDown = nullptr;
    // The caller's source outlives the dialog: the dialog's controls leave it first.
    DBGrid1->SetDataSource(nullptr);
    for (TDBSpeedButton* b : {dbSBtnFirst, dbSBtnLast, dbSBtnPrior, dbSBtnNext}) b->SetDataSource(nullptr);
}

void TFrmgetdata::BuildControls() {
    QWidget* client = Client();
    auto* panel1 = Band(client, platform::alTop, 90, platform::clWhite);
    auto* panel2 = Band(client, platform::alBottom, 41, platform::clWhite);
    Band(client, platform::alLeft, 17, platform::clWhite);
    Band(client, platform::alRight, 20, platform::clWhite);
    auto* panel5 = new platform::Control(client);
    panel5->SetAlign(platform::alClient);

    const QFont bandFont = platform::MakeFont(kDialogFont, 13);
    const platform::TFont bandTFont{kDialogFont, 13, {}, platform::clBtnText};

    auto* label1 = new QLabel(QStringLiteral("搜尋欄位選擇"), panel1);
    label1->setFont(bandFont);
    label1->setStyleSheet(QStringLiteral("color: #0000ff"));
    label1->setGeometry(26, 4, 78, 13);
    label1->adjustSize();  // the caption is never cut

    ComboBox1 = new QComboBox(panel1);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setFont(bandFont);
    ComboBox1->setGeometry(24, 19, 129, 21);
    ComboBox1->installEventFilter(this);
    ComboBox1->lineEdit()->installEventFilter(this);

    auto* radioFrame = new RadioGroupFrame(panel1);
    radioFrame->setGeometry(158, 8, 211, 34);
    RadioGroup1 = new QButtonGroup(this);
    const QString items[] = {QStringLiteral("完全"), QStringLiteral("字首"), QStringLiteral("其中有")};
    const int columnWidth = (211 - 16) / 3;
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(items[i], radioFrame);
        b->setFont(bandFont);
        SetWhite(b);
        b->setGeometry(8 + i * columnWidth, 8, columnWidth, 20);
        RadioGroup1->addButton(b, i);
    }

    Edit1 = new QLineEdit(panel1);
    platform::SetTextBoxFont(Edit1, bandFont);
    SetWhite(Edit1);
    Edit1->setGeometry(372, 17, 128, 21);
    Edit1->installEventFilter(this);

    struct Nav {
        TDBSpeedButton** button;
        TDBSpeedButtonType type;
        int left;
        const char16_t* caption;
        const char16_t* hint;
    };
    const Nav navs[] = {
        {&dbSBtnFirst, nbFirst, 23, u"首筆", u"首筆記錄"},
        {&dbSBtnPrior, nbPrior, 68, u"前筆", u"前筆記錄"},
        {&dbSBtnNext, nbNext, 113, u"次筆", u"次筆記錄"},
        {&dbSBtnLast, nbLast, 159, u"末筆", u"末筆記錄"},
    };
    for (const Nav& n : navs) {
        auto* b = new TDBSpeedButton(panel1);
        b->SetDataButtonType(n.type);
        b->setText(QString::fromUtf16(n.caption));
        b->setToolTip(QString::fromUtf16(n.hint));
        b->SetFlat(true);
        b->SetLayout(blGlyphTop);
        b->SetColor(platform::clWhite);
        b->SetButtonFont(bandTFont);
        b->setGeometry(n.left, 44, 45, 38);
        *n.button = b;
    }

    auto speedButton = [&](QWidget* parent, const QString& caption, DialogGlyph glyph, QRect bounds, bool flat) {
        auto* b = new TSpeedButton(parent);
        b->setText(caption);
        b->SetGlyph(DialogGlyphImage(glyph));
        b->SetFlat(flat);
        b->SetColor(flat ? platform::clWhite : platform::clBtnFace);
        b->SetButtonFont(bandTFont);
        b->setGeometry(bounds);
        return b;
    };
    SpeedButton1 = speedButton(panel1, QStringLiteral("開始尋找"), DialogGlyph::Search, {326, 56, 81, 26}, true);
    SpeedButton2 = speedButton(panel1, QStringLiteral("條件重設"), DialogGlyph::Reset, {419, 56, 81, 26}, true);
    SpeedButton2->setToolTip(QStringLiteral("重設條件"));
    BTCMDOK = speedButton(panel2, QStringLiteral("確定&Y"), DialogGlyph::Accept, {457, 8, 73, 22}, false);
    BDCMDNOT = speedButton(panel2, QStringLiteral("取消&C"), DialogGlyph::Cancel, {581, 8, 73, 22}, false);
    SpeedButton1->OnClick = [this] { SpeedButton1Click(); };
    SpeedButton2->OnClick = [this] { SpeedButton2Click(); };
    BTCMDOK->OnClick = [this] { BTCMDOK1Click(); };
    BDCMDNOT->OnClick = [this] { BDCMDNOTClick(); };

    ComboBox2 = new QComboBox(panel5);
    ComboBox2->setGeometry(152, 32, 145, 20);
    ComboBox2->hide();

    DBGrid1 = new TwwDBGrid(panel5);
    DBGrid1->SetTitleFont({kDialogFont, 12, {}, platform::clWindowText});
    DBGrid1->SetGridFont({kDialogFont, 12, {}, platform::clWindowText});
    DBGrid1->SetTitleColor(platform::clBtnFace);
    TwwGridPaintOptions& po = DBGrid1->PaintOptions();
    po.SetBackgroundBitmap(LookupBackgroundPicture());
    po.SetBackgroundDrawStyle(bdsStretch);
    po.SetAlternatingRowColor(8454143);
    po.SetBackgroundOptions(coFillDataCells | coBlendFixedColumn | coBlendActiveRecord | coBlendAlternatingRow);
    platform::SetAlign(DBGrid1, platform::alClient);
    DBGrid1->OnKeyDown = [this](QKeyEvent* e) {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            e->accept();
            BTCMDOK1Click();
        }
    };
    // A double-click on a row accepts it, as Enter in the grid does.
    DBGrid1->OnRowDoubleClick = [this] { BTCMDOK1Click(); };

    // Leaving the match-mode group searches when a field and a value are given.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        auto inGroup = [this](QWidget* w) {
            return w && RadioGroup1->buttons().contains(qobject_cast<QAbstractButton*>(w));
        };
        if (!inGroup(old) || inGroup(now) || !isVisible()) return;
        if (!Edit1->text().isEmpty() && !ComboBox1->currentText().isEmpty()) Search();
    });
}

QImage LookupBackgroundPicture() {
    // 16 x 16, very light yellow in horizontal bands (blue 232 to 236).
    QImage img(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y) {
        const int blue = 232 + (y / 4 + (y % 4 == 3 ? 1 : 0)) % 5;
        for (int x = 0; x < 16; ++x) img.setPixel(x, y, qRgb(255, 255, blue));
    }
    return img;
}

MatchMode TFrmgetdata::Mode() const {
    switch (RadioGroup1->checkedId()) {
    case 1: return MatchMode::Prefix;
    case 2: return MatchMode::Contains;
    default: return MatchMode::Exact;
    }
}

bool TFrmgetdata::ShowLookup() {
    // Each showing answers for itself: a dialog closed by its close box or Escape is
    // not taken as accepted because an earlier one was.
    LookupAccepted = false;
    const QRect area = platform::WorkArea(this);
    move(area.center() - QPoint(width() / 2, height() / 2));
    ShowModal();
    Release();
    return LookupAccepted;
}

void TFrmgetdata::showEvent(QShowEvent* e) {
    platform::Form::showEvent(e);
    if (e->spontaneous() || activated_) return;
    // FormShow selects the second entry of the field list, which is still empty then.
    ComboBox1->setCurrentIndex(1);
    activated_ = true;
    FormActivate();
}

void TFrmgetdata::FormActivate() {
    try {
        if (!SearchSource) throw LookupError(QStringLiteral("No search source assigned"));
        SearchSource->SetDataSet(SearchDataSet);
        DBGrid1->SetDataSource(SearchSource);
        for (TDBSpeedButton* b : {dbSBtnFirst, dbSBtnLast, dbSBtnPrior, dbSBtnNext}) b->SetDataSource(SearchSource);
        if (data::DataSet* ds = SearchSource->dataSet()) {
            for (int i = 0; i < ds->FieldCount(); ++i) {
                ComboBox1->addItem(ds->Fields(i)->displayName());
                ComboBox2->addItem(ds->Fields(i)->fullName());
            }
        }
        // No field is chosen when the dialog comes up.
        ComboBox1->setCurrentIndex(-1);
        ComboBox1->setEditText(QString());
        SpeedButton2Click();
    } catch (const std::exception& e) {
        ShowError(this, e);
    }
    RadioGroup1->button(0)->setChecked(true);
}

void TFrmgetdata::SpeedButton1Click() { Search(); }

void TFrmgetdata::Search() {
    try {
        if (!SearchSource) throw LookupError(QStringLiteral("No search source assigned"));
        if (ComboBox1->currentText().isEmpty()) {
            ShowPlainMessage(this, QStringLiteral("請選擇查詢條件!"));
            return;
        }
        int index = ComboBox1->currentIndex();
        if (index >= 0 && ComboBox1->itemText(index) != ComboBox1->currentText()) index = -1;  // typed over
        if (index < 0 || index >= ComboBox2->count())
            throw data::DataError(QStringLiteral("List index out of bounds (%1)").arg(index));
        const QString field = ComboBox2->itemText(index);
        // Only a field of the caller's data set may name the column searched.
        if (SearchDataSet && SearchDataSet->Active() && !SearchDataSet->FindField(field))
            throw LookupError(QStringLiteral("Field '%1' is not a field of the list").arg(field));
        const MatchMode mode = Mode();
        const QString value = Edit1->text();
        const SearchStatement statement = ComposeSearch(SearchTable, field, mode, value);

        CDS_Query->Close();
        QueryLines = statement.lines;
        CDS_Query->SetCommandText(QueryLines);
        CDS_Query->SetParam(QStringLiteral("VALUE"), statement.pattern);
        CDS_Query->Open();
        // The database matched the stored bytes; keep the rows that match as characters.
        if (data::Field* f = CDS_Query->FindField(field); f && f->type() == data::FieldType::Text) {
            CDS_Query->DisableControls();
            for (int rec = CDS_Query->RecordCount(); rec >= 1; --rec) {
                CDS_Query->SetRecNo(rec);
                if (!MatchesValue(mode, f->AsString(), value)) CDS_Query->Delete();
            }
            CDS_Query->First();
            CDS_Query->EnableControls();
        }

        if (CDS_Query->RecordCount() > 0)
            SearchSource->SetDataSet(CDS_Query.get());
        else
            ShowPlainMessage(this, QStringLiteral("找不到該條件資料!"));
        // Titles go to the result's columns by position.
        for (int i = 0; i < ComboBox1->count(); ++i) DBGrid1->ColumnByIndex(i)->SetDisplayLabel(ComboBox1->itemText(i));
    } catch (const std::exception& e) {
        if (CDS_Query->ControlsDisabled()) CDS_Query->EnableControls();
        ShowError(this, e);
    }
}

void TFrmgetdata::SpeedButton2Click() {
    Edit1->clear();
    try {
        if (SearchSource) SearchSource->SetDataSet(SearchDataSet);
    } catch (const std::exception& e) {
        ShowError(this, e);
    }
    // Every grid field but the last gets its entries again.
    const int keepIndex = ComboBox1->currentIndex();
    for (int i = 0; i <= DBGrid1->FieldCount() - 2; ++i) {
        const data::Field* f = DBGrid1->Fields(i);
        if (!f) continue;
        if (i < ComboBox1->count()) ComboBox1->setItemText(i, f->displayName());
        if (i < ComboBox2->count()) ComboBox2->setItemText(i, f->fullName());
    }
    if (keepIndex < 0) ComboBox1->setEditText(QString());
}

void TFrmgetdata::BTCMDOK1Click() {
    LookupAccepted = true;
    close();
}

void TFrmgetdata::BDCMDNOTClick() {
    LookupAccepted = false;
    close();
}

void TFrmgetdata::closeEvent(QCloseEvent* e) {
    platform::Form::closeEvent(e);
    if (!e->isAccepted()) return;
    QueryLines.clear();
    activated_ = false;
    if (!InModalRun()) Release();
}

void TFrmgetdata::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        BDCMDNOTClick();
        return;
    }
    platform::Form::keyPressEvent(e);
}

bool TFrmgetdata::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return platform::Form::eventFilter(watched, e);
    const int key = static_cast<QKeyEvent*>(e)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == ComboBox1 || watched == ComboBox1->lineEdit()) {
        if (enter) {
            DBGrid1->setFocus(Qt::OtherFocusReason);
            return true;
        }
        if (key == Qt::Key_Escape) {
            close();
            return true;
        }
    } else if (watched == Edit1 && enter) {
        if (!Edit1->text().isEmpty()) Search();
        return true;
    }
    return platform::Form::eventFilter(watched, e);
}

TFrmgetdata* NewLookup(db::Connection* readingConnection, QWidget* owner) {
    Frmgetdata = new TFrmgetdata(readingConnection, owner);
    return Frmgetdata;
}

}  // namespace lookup

namespace lookup {

void TFrmgetdata::SetSearchField(int index) { ComboBox1->setCurrentIndex(index); }

void TFrmgetdata::SetSearchValue(const QString& value) { Edit1->setText(value); }

void TFrmgetdata::SetGridPaintFocused(bool focused) { DBGrid1->SetPaintFocused(focused); }

}  // namespace lookup
