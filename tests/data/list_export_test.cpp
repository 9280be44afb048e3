// A data set's rows as CSV and JSON, byte for byte: the quoting of both formats, the
// byte-order mark, the header, and the current record left where it was.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "data/ListExport.h"
#include "data/MemTable.h"

namespace {

TEST(ListExport, JsonStringsAreEscapedAsQtsJsonWriterDoes) {
    const QString cases[] = {
        QStringLiteral("plain"), QStringLiteral("螺絲, \"大\"號"), QStringLiteral("back\\slash/"),
        QStringLiteral("tab\tline\nreturn\rform\fbell\b"), QString(QChar(0x01)) + QChar(0x1F) + QChar(0x7F),
        QString(QChar(0xE000)) + QChar(0xF849), QStringLiteral("😀 emoji"), QString(),
    };
    for (const QString& s : cases) {
        QByteArray ours;
        data::AppendJsonString(ours, s);
        const QByteArray qt = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
        EXPECT_EQ(ours, qt.mid(1, qt.size() - 2)) << s.toStdString();
    }
}

TEST(ListExport, RowsAsCsvAndJson) {
    data::MemTable t;
    t.fieldDefs().Add("PROD_ID", data::FieldType::Text, 20, false).displayLabel = QStringLiteral("品號");
    t.fieldDefs().Add("PROD_NAME", data::FieldType::Text, 50, false);
    t.fieldDefs().Add("QTY", data::FieldType::Float, 0, false);
    t.fieldDefs().Add("HIDDEN", data::FieldType::Text, 5, false).visible = false;
    t.Open();
    auto add = [&](const QString& id, const QString& name, std::optional<double> qty) {
        t.Append();
        t.Fields(0)->SetAsString(id);
        t.Fields(1)->SetAsString(name);
        if (qty) t.Fields(2)->SetAsFloat(*qty);
        t.Fields(3)->SetAsString("x");
        t.Post();
    };
    add("M1", QStringLiteral("螺絲, \"大\"號"), 2.5);
    add("M2", "two\nlines", std::nullopt);
    t.First();
    t.Next();

    EXPECT_EQ(data::DataSetAsCsv(t),
              QStringLiteral("PROD_ID,PROD_NAME,QTY,HIDDEN\nM1,\"螺絲, \"\"大\"\"號\",2.5,x\nM2,\"two\nlines\",,x\n").toUtf8());
    data::CsvOptions grid;
    grid.displayNames = grid.visibleOnly = grid.byteOrderMark = true;
    const QByteArray shown = data::DataSetAsCsv(t, grid);
    EXPECT_TRUE(shown.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(shown.mid(3).startsWith(QStringLiteral("品號,PROD_NAME,QTY\n").toUtf8())) << shown.toStdString();
    EXPECT_EQ(t.RecNo(), 2) << "the current record stays";

    EXPECT_EQ(data::DataSetAsJson(t),
              QStringLiteral("[\n{\"PROD_ID\":\"M1\",\"PROD_NAME\":\"螺絲, \\\"大\\\"號\",\"QTY\":2.5,\"HIDDEN\":\"x\"},\n"
                             "{\"PROD_ID\":\"M2\",\"PROD_NAME\":\"two\\nlines\",\"QTY\":null,\"HIDDEN\":\"x\"}\n]\n")
                  .toUtf8());
    t.EmptyDataSet();
    EXPECT_EQ(data::DataSetAsJson(t), "[]\n");
    EXPECT_EQ(data::DataSetAsCsv(t), "PROD_ID,PROD_NAME,QTY,HIDDEN\n");
}

}  // namespace
