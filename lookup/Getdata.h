#pragma once
// The lookup dialog "資料查詢擷取": a caller hands it a data source, the full data set to
// show and the table behind it; the clerk narrows the rows with a one-field search
// against the table, moves through them and accepts one. After the dialog has closed
// the caller reads the accepted row from the data set the grid shows at that moment
// (the search result when a search found rows, else the caller's own data set).
//
// Use, in this order:
//   TFrmgetdata* dlg = lookup::NewLookup(readingConnection, owner);
//   dlg->SearchSource = &source; dlg->SearchTable = "PROJ_ITEM"; dlg->SearchDataSet = &set;
//   if (dlg->ShowLookup()) {
//       read the fields of source.dataSet()'s current row, then
//       dlg->CloseSearchResult();   // also when reading failed
//   }
// The dialog frees itself once control is back in the event loop (so the caller can
// still read the result right after ShowLookup); the caller's source then has no data
// set if a search had pointed it at CDS_Query, until the caller points it again.
//
// Searches read the database afresh through the reading connection: the value is a
// parameter of the statement, never part of its text (see SearchStatement.h).

#include <QPointer>
#include <QStringList>
#include <memory>

#include "data/DataSource.h"
#include "data/QueryTable.h"
#include "lookup/SearchStatement.h"
#include "platform/Form.h"

class QComboBox;
class QLineEdit;
class QButtonGroup;

namespace db {
class Connection;
}

namespace lookup {

class TwwDBGrid;
class TDBSpeedButton;
class TSpeedButton;

class TFrmgetdata : public platform::Form {
    Q_OBJECT

public:
    // Creates the dialog; its searches run on the connection (which must outlive it).
    explicit TFrmgetdata(db::Connection* readingConnection, QWidget* owner = nullptr);
    ~TFrmgetdata() override;

    // Set by the caller before showing.
    data::DataSource* SearchSource = nullptr;  // grid and navigation buttons show it
    data::DataSet* SearchDataSet = nullptr;    // the caller's full data set
    QString SearchTable;                       // the table searches read

    // Shows the dialog modally and returns whether the clerk accepted a row ("確定&Y" or
    // Enter in the grid). A dialog closed any other way returns false.
    bool ShowLookup();

    // The search result (owned by the dialog): the caller closes it once it has read the
    // accepted row.
    data::QueryTable* searchResult() const { return CDS_Query.get(); }
    void CloseSearchResult() { CDS_Query->Close(); }
    // The statement lines of the last search; empty before any.
    const QStringList& lastSearchStatement() const { return QueryLines; }

    // Before showing: the field searched (its position in the field list), the value typed,
    // and whether the grid is drawn as focused (previews).
    void SetSearchField(int index);
    void SetSearchValue(const QString& value);
    void SetGridPaintFocused(bool focused);

    // The dialog's controls, read-only, for driving it as a clerk does (tests).
    struct Controls {
        TwwDBGrid* const DBGrid1;
        QComboBox* const ComboBox1;  // field list: display names
        QComboBox* const ComboBox2;  // hidden field list: full names
        QButtonGroup* const RadioGroup1;
        QLineEdit* const Edit1;
        TDBSpeedButton* const dbSBtnFirst;
        TDBSpeedButton* const dbSBtnPrior;
        TDBSpeedButton* const dbSBtnNext;
        TDBSpeedButton* const dbSBtnLast;
        TSpeedButton* const SpeedButton1;  // "開始尋找"
        TSpeedButton* const SpeedButton2;  // "條件重設"
        TSpeedButton* const BTCMDOK;       // "確定&Y"
        TSpeedButton* const BDCMDNOT;      // "取消&C"
    };
    Controls controls() const {
        return {DBGrid1,     ComboBox1,   ComboBox2,    RadioGroup1, Edit1,   dbSBtnFirst, dbSBtnPrior,
                dbSBtnNext, dbSBtnLast, SpeedButton1, SpeedButton2, BTCMDOK, BDCMDNOT};
    }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // Escape that no control took (the grid, the edits, the buttons): "取消&C".
    void keyPressEvent(QKeyEvent* e) override;

private:
    // The handlers (run by the controls).
    void FormActivate();
    void SpeedButton1Click();  // search
    void SpeedButton2Click();  // reset
    void BTCMDOK1Click();      // accept
    void BDCMDNOTClick();      // cancel

    void Search();
    void BuildControls();
    MatchMode Mode() const;

    std::unique_ptr<data::QueryTable> CDS_Query;
    QStringList QueryLines;

    // The dialog's controls, by their names.
    TwwDBGrid* DBGrid1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QButtonGroup* RadioGroup1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    TDBSpeedButton* dbSBtnFirst = nullptr;
    TDBSpeedButton* dbSBtnPrior = nullptr;
    TDBSpeedButton* dbSBtnNext = nullptr;
    TDBSpeedButton* dbSBtnLast = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* BTCMDOK = nullptr;
    TSpeedButton* BDCMDNOT = nullptr;

    bool activated_ = false;
    QMetaObject::Connection focusWatch_;
};

// The dialog the last NewLookup created (cleared when it is freed).
extern QPointer<TFrmgetdata> Frmgetdata;
// The result of the last dialog that was shown: true when it was accepted.
extern bool LookupAccepted;

// The dialog grid's background: 16 x 16, very light yellow in horizontal bands.
QImage LookupBackgroundPicture();

// Creates a new dialog and makes it Frmgetdata.
TFrmgetdata* NewLookup(db::Connection* readingConnection, QWidget* owner = nullptr);

}  // namespace lookup
