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
//       dlg->CDS_Query->Close();   // also when reading failed
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
    QString SearchTail;                        // last line of every search statement

    // Shows the dialog modally and returns whether the clerk accepted a row ("確定&Y" or
    // Enter in the grid). A dialog closed any other way returns false.
    bool ShowLookup();

    // The search result; owned by the dialog.
    std::unique_ptr<data::QueryTable> CDS_Query;

    // The dialog's controls, by their names.
    TwwDBGrid* DBGrid1 = nullptr;
    QComboBox* ComboBox1 = nullptr;  // field list: display names
    QComboBox* ComboBox2 = nullptr;  // hidden field list: full names
    QButtonGroup* RadioGroup1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    TDBSpeedButton* dbSBtnFirst = nullptr;
    TDBSpeedButton* dbSBtnPrior = nullptr;
    TDBSpeedButton* dbSBtnNext = nullptr;
    TDBSpeedButton* dbSBtnLast = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;  // "開始尋找"
    TSpeedButton* SpeedButton2 = nullptr;  // "條件重設"
    TSpeedButton* BTCMDOK = nullptr;       // "確定&Y"
    TSpeedButton* BDCMDNOT = nullptr;      // "取消&C"

    // The handlers (also run by the controls).
    void FormActivate();
    void SpeedButton1Click();  // search
    void SpeedButton2Click();  // reset
    void BTCMDOK1Click();      // accept
    void BDCMDNOTClick();      // cancel

    // The statement lines of the last search (as set on CDS_Query).
    QStringList QueryLines;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Search();
    void BuildControls();
    MatchMode Mode() const;

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
