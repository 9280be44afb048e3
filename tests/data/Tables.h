#pragma once
// Small tables for the data-set tests, and a data link that writes down what it hears.

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <string>
#include <vector>

#include "data/DataSource.h"
#include "data/MemTable.h"

namespace datatest {

// CODE text 10 (required), QTY float, N whole number; one row per code, QTY and N
// null. The current row is the first.
inline void FillCodes(data::MemTable& t, const QStringList& codes) {
    t.fieldDefs().Clear();
    t.fieldDefs().Add("CODE", data::FieldType::Text, 10, true);
    t.fieldDefs().Add("QTY", data::FieldType::Float);
    t.fieldDefs().Add("N", data::FieldType::Integer);
    t.CreateDataSet();
    for (const QString& c : codes) {
        t.Append();
        t.FieldByName("CODE")->SetAsString(c);
        t.Post();
    }
    t.First();
}

// n rows coded "R0", "R1", ...
inline QStringList Codes(int n) {
    QStringList codes;
    for (int i = 0; i < n; ++i) codes << "R" + QString::number(i);
    return codes;
}

// The codes of every row in order; the current row is left where it was.
inline QStringList AllCodes(data::MemTable& t) {
    QStringList out;
    const int keep = t.RecNo();
    for (t.First(); !t.Eof(); t.Next()) out << t.FieldByName("CODE")->AsString();
    if (keep > 0) t.SetRecNo(keep);
    return out;
}

class RecordingLink : public data::DataLink {
public:
    std::vector<std::string> log;

    // The notifications heard since the last call, joined by ", ".
    std::string Take() {
        std::string s;
        for (const auto& e : log) s += (s.empty() ? "" : ", ") + e;
        log.clear();
        return s;
    }

protected:
    void ActiveChanged() override { log.push_back(Active() ? "active" : "inactive"); }
    void EditingChanged() override { log.push_back(Editing() ? "editing" : "browsing"); }
    void DataSetChanged() override { log.push_back("changed"); }
    void DataSetScrolled(int distance) override { log.push_back("scrolled " + std::to_string(distance)); }
    void LayoutChanged() override { log.push_back("layout"); }
    void RecordChanged(data::Field* field) override {
        log.push_back("record " + (field ? field->fieldName().toStdString() : std::string("-")));
    }
    void UpdateData() override { log.push_back("update"); }
};

}  // namespace datatest
