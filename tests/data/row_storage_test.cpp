// The rows' storage under a long list: what a row costs on the heap, the texts held once,
// the list moved in whole or refused whole, and a list written out in pieces.

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <string>

#include "Tables.h"
#include "data/DataSource.h"
#include "data/ListExport.h"
#include "data/MemTable.h"

using namespace data;

namespace {

// The material list's shape: six texts and three numbers.
void DefineNine(MemTable& t) {
    t.fieldDefs().Clear();
    for (const char* name : {"PROD_ID", "PROD_NAME"}) t.fieldDefs().Add(name, FieldType::Text, 20);
    for (const char* name : {"QTY", "DIV_C", "R_QTY"}) t.fieldDefs().Add(name, FieldType::Float);
    for (const char* name : {"UNITNAME", "MASTERBILLID", "MAIN_PROD"}) t.fieldDefs().Add(name, FieldType::Text, 20);
    t.fieldDefs().Add("MITEM", FieldType::Text, 1, true);
    t.CreateDataSet();
}

QString Code(int i) { return QStringLiteral("L5-%1").arg(i % 240, 3, 10, QChar(u'0')); }

// Row i of a long list: 240 products, 2,000 orders, one null quantity in seven.
void FillRow(size_t i, RowWriter& w) {
    const int n = static_cast<int>(i);
    w.SetText(0, Code(n));
    w.SetText(1, QStringLiteral("第5層料件%1").arg(n % 240));
    if (n % 7) w.SetFloat(2, n * 0.5);
    w.SetFloat(3, 1);
    w.SetFloat(4, n);
    w.SetText(5, QStringLiteral("個"));
    w.SetText(6, QStringLiteral("SO%1").arg(n / 32, 6, 10, QChar(u'0')));
    w.SetText(7, QStringLiteral("L4-%1").arg(n % 40));
    w.SetText(8, QStringLiteral("N"));
}

// Bytes the C library's heap hands out now, large blocks mapped on their own included.
long long HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<long long>(m.uordblks + m.hblkhd);
}

}  // namespace

// Each row's texts are held once for the whole list and its numbers as numbers: 64,000
// rows of nine fields cost well under 100 bytes a row (a value object per cell cost
// several hundred), and read back as they went in.
TEST(RowStorage, ALongListCostsLittleMoreThanItsNumbersAndReadsBack) {
    MemTable t;
    DefineNine(t);
    constexpr size_t kRows = 64000;
    const long long before = HeapInUse();
    t.AppendRows(kRows, FillRow);
    const long long grown = std::max(0LL, HeapInUse() - before);
    EXPECT_LE(grown / (long long)kRows, 80) << grown << " bytes for " << kRows << " rows";

    for (const int row : {1, 7, 12345, 63999}) {
        t.SetRecNo(row + 1);
        EXPECT_EQ(t.FieldByName("PROD_ID")->AsString(), Code(row));
        EXPECT_EQ(t.FieldByName("QTY")->IsNull(), row % 7 == 0);
        EXPECT_EQ(t.FieldByName("QTY")->Value(), row % 7 ? QVariant(row * 0.5) : QVariant());
        EXPECT_EQ(t.FieldByName("R_QTY")->AsString(), QString::number(row));
        EXPECT_EQ(t.FieldByName("MASTERBILLID")->AsString(), QStringLiteral("SO%1").arg(row / 32, 6, 10, QChar(u'0')));
    }
    // Emptying keeps the memory for the next fill: the same list again takes nothing new.
    t.EmptyDataSet();
    const long long emptied = HeapInUse();
    t.AppendRows(kRows, FillRow);
    EXPECT_LE(HeapInUse(), emptied + grown / 5);
    EXPECT_EQ(t.RecordCount(), int(kRows));
}

// Rows written in place are checked as appended values are: a refusal anywhere appends
// none of them and tells the links nothing.
TEST(RowStorage, RowsWrittenInPlaceAreCheckedAndRefusedWhole) {
    MemTable t;
    DefineNine(t);
    t.AppendRows(3, FillRow);
    DataSource source(&t);
    datatest::RecordingLink link;
    link.SetDataSource(&source);
    link.Take();
    struct Case {
        int field;
        QVariant value;
        const char* message;
    };
    const Case cases[] = {
        {0, QString("A-CODE-LONGER-THAN-20"), "Value too long for field 'PROD_ID' (at most 20 characters)"},
        {2, QString("x"), "'x' is not a valid floating point value"},
        {8, QVariant(), "Field 'MITEM' must have a value"},
    };
    for (const Case& c : cases) {
        try {
            t.AppendRows(5, [&c](size_t i, RowWriter& w) {
                FillRow(i, w);
                if (i == 3) {
                    if (c.value.isValid()) w.SetValue(c.field, c.value);
                    else w.SetNull(c.field);
                }
            });
            ADD_FAILURE() << "appended " << c.message;
        } catch (const DataError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(t.RecordCount(), 3);
        EXPECT_EQ(link.Take(), "");
    }
    // A number given as text is converted as the field converts it.
    t.AppendRows(1, [](size_t i, RowWriter& w) {
        FillRow(i, w);
        w.SetValue(2, QString("2.5"));
    });
    EXPECT_EQ(t.FieldByName("QTY")->AsFloat(), 2.5);
    EXPECT_EQ(link.Take(), "changed");
}

// A list built elsewhere moves in whole, or not at all when a field would refuse a value.
TEST(RowStorage, LoadedRowsAreCheckedAsAppendedOnes) {
    MemTable t;
    DefineNine(t);
    t.AppendRows(2, FillRow);
    auto rows = [](const QString& unit, bool withItem) {
        RowStore r;
        r.SetColumns({FieldType::Text, FieldType::Text, FieldType::Float, FieldType::Float, FieldType::Float,
                      FieldType::Text, FieldType::Text, FieldType::Text, FieldType::Text});
        for (int i = 0; i < 4; ++i) {
            const size_t row = r.AppendNullRow();
            r.SetText(row, 0, Code(i));
            r.SetNumber(row, 4, i);
            r.SetText(row, 5, unit);
            if (withItem) r.SetText(row, 8, QStringLiteral("Y"));
        }
        return r;
    };
    try {
        t.LoadRows(rows(QStringLiteral("a unit name over twenty"), true));
        ADD_FAILURE() << "loaded a text too long";
    } catch (const DataError& e) {
        EXPECT_NE(std::string(e.what()).find("Value too long for field 'UNITNAME'"), std::string::npos) << e.what();
    }
    try {
        t.LoadRows(rows(QStringLiteral("個"), false));
        ADD_FAILURE() << "loaded a null required field";
    } catch (const DataError& e) {
        EXPECT_NE(std::string(e.what()).find("Field 'MITEM' must have a value"), std::string::npos) << e.what();
    }
    EXPECT_EQ(t.RecordCount(), 2);

    t.LoadRows(rows(QStringLiteral("個"), true));
    EXPECT_EQ(t.RecordCount(), 4);
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_TRUE(t.FieldByName("QTY")->IsNull());
    t.Last();
    EXPECT_EQ(t.FieldByName("PROD_ID")->AsString(), Code(3));
    EXPECT_EQ(t.FieldByName("R_QTY")->AsInteger(), 3);
}

// A list written in pieces is the list written whole, quoting and characters of every
// width included, however the pieces fall.
TEST(RowStorage, ListWrittenInPiecesIsTheWholeList) {
    MemTable t;
    t.fieldDefs().Add("CODE", FieldType::Text, 20);
    t.fieldDefs().Add("NAME", FieldType::Text, 20);
    t.fieldDefs().Add("N", FieldType::Integer);
    t.CreateDataSet();
    QString csv = QStringLiteral("CODE,NAME,N\n");
    QString json;
    const int kRows = 3000;
    t.AppendRows(kRows, [&](size_t i, RowWriter& w) {
        const int n = static_cast<int>(i);
        const QString name = n % 3 == 0 ? QStringLiteral("螺絲\"%1\"").arg(n) : QStringLiteral("😀%1").arg(n);
        w.SetText(0, QStringLiteral("C%1").arg(n));
        w.SetText(1, name);
        if (n % 5) w.SetValue(2, -n);
        csv += QStringLiteral("C%1,%2,%3\n")
                   .arg(n)
                   .arg(n % 3 == 0 ? QStringLiteral("\"螺絲\"\"%1\"\"\"").arg(n) : name)
                   .arg(n % 5 ? QString::number(-n) : QString());
        json += QStringLiteral("%1{\"CODE\":\"C%2\",\"NAME\":\"%3\",\"N\":%4}")
                    .arg(n ? QLatin1StringView(",\n") : QLatin1StringView("[\n"))
                    .arg(n)
                    .arg(n % 3 == 0 ? QStringLiteral("螺絲\\\"%1\\\"").arg(n) : name)
                    .arg(n % 5 ? QString::number(-n) : QStringLiteral("null"));
    }
    );
    json += QStringLiteral("\n]\n");
    for (const bool isCsv : {true, false}) {
        QByteArray out;
        int pieces = 0;
        const ByteSink sink = [&](const char* data, qsizetype size) {
            out.append(data, size);
            ++pieces;
        };
        if (isCsv) WriteDataSetAsCsv(t, {}, sink);
        else WriteDataSetAsJson(t, sink);
        EXPECT_GT(pieces, 2) << "written in pieces";
        EXPECT_EQ(out, (isCsv ? csv : json).toUtf8());
        EXPECT_EQ(out, isCsv ? DataSetAsCsv(t) : DataSetAsJson(t));
    }
}
