#pragma once
// A data set's rows as CSV, the way spreadsheets and scripts read it: UTF-8, fields
// separated by commas, a field holding a comma, a quote or a line break put in quotes
// with its quotes doubled, every row ended by "\n", null written as an empty field,
// numbers in the data layer's own text form. The command line's lists and the window's
// "匯出 CSV…" write the same rows and quoting.

#include <QByteArray>
#include <QString>
#include <functional>

namespace data {

class DataSet;

struct CsvOptions {
    // The header row: false, the fields' names (what scripts match on); true, their
    // display names (the titles a grid shows).
    bool displayNames = false;
    // Only the fields a grid shows as columns.
    bool visibleOnly = false;
    // Starts with the UTF-8 byte-order mark, by which a spreadsheet knows the text is
    // UTF-8 (pipes and scripts do not want it).
    bool byteOrderMark = false;
};

// The header and every row from the first. A closed set gives the header alone. The
// current record is the same afterwards, and the set's links hear nothing meanwhile.
QByteArray DataSetAsCsv(DataSet& set, const CsvOptions& options = {});

// Where the writers below hand their bytes, a piece at a time, as they make them: a list
// of any length goes out in a little memory.
using ByteSink = std::function<void(const char* data, qsizetype size)>;
void WriteDataSetAsCsv(DataSet& set, const CsvOptions& options, const ByteSink& sink);
void WriteDataSetAsJson(DataSet& set, const ByteSink& sink);

// A data set's rows as a JSON array of objects, one a row, its members the fields in the
// set's order: text as JSON strings, numbers in the data layer's text form, null as
// null; "[]" for no rows. Every row on a line of its own, ended by "\n".
QByteArray DataSetAsJson(DataSet& set);

// Text as a JSON string, quotes included, escaped as QJsonDocument writes it: '"', '\\'
// and the control characters escaped, everything else as it stands, in UTF-8.
void AppendJsonString(QByteArray& out, const QString& text);

}  // namespace data
