// Fields: conversions between the stored value and text / float / whole number with
// the program's null rules, the size limit, labels and what a grid reads.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Tables.h"
#include "data/MemTable.h"

using namespace data;

namespace {

struct Conversion {
    const char* name;
    FieldType type;
    int size;
    QVariant input;
    bool null;
    QString text;
    double number;
    int whole;
};

class FieldConversionTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(FieldConversionTest, ReadsBackWithNullRules) {
    const Conversion& c = GetParam();
    MemTable t;
    t.fieldDefs().Add("F", c.type, c.size);
    t.CreateDataSet();
    t.Append();
    Field* f = t.FieldByName("f");
    f->SetValue(c.input);
    t.Post();
    EXPECT_EQ(f->IsNull(), c.null);
    EXPECT_EQ(f->AsString(), c.text);
    EXPECT_EQ(f->DisplayText(), c.text);
    EXPECT_DOUBLE_EQ(f->AsFloat(), c.number);
    EXPECT_EQ(f->AsInteger(), c.whole);
    EXPECT_EQ(f->Value().isValid(), !c.null);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldConversionTest,
    ::testing::Values(
        Conversion{"FloatWhole", FieldType::Float, 0, 3.0, false, "3", 3, 3},
        Conversion{"FloatTieRoundsToEven", FieldType::Float, 0, 2.5, false, "2.5", 2.5, 2},
        Conversion{"FloatTieRoundsUpToEven", FieldType::Float, 0, 3.5, false, "3.5", 3.5, 4},
        Conversion{"FloatFifteenDigits", FieldType::Float, 0, 0.1 + 0.2, false, "0.3", 0.1 + 0.2, 0},
        Conversion{"FloatFromText", FieldType::Float, 0, QString(" 1.5e-6 "), false, "1.5E-6", 1.5e-6, 0},
        Conversion{"FloatFromWhole", FieldType::Float, 0, 7, false, "7", 7, 7},
        Conversion{"FloatEmptyTextIsNull", FieldType::Float, 0, QString(""), true, "", 0, 0},
        Conversion{"FloatNull", FieldType::Float, 0, QVariant(), true, "", 0, 0},
        Conversion{"WholeFromHexText", FieldType::Integer, 0, QString("$1F"), false, "31", 31, 31},
        Conversion{"WholeFromFloatRounds", FieldType::Integer, 0, 2.5, false, "2", 2, 2},
        Conversion{"WholeNull", FieldType::Integer, 0, QVariant(), true, "", 0, 0},
        Conversion{"TextFromFloat", FieldType::Text, 0, 3.0, false, "3", 3, 3},
        Conversion{"TextFromWhole", FieldType::Text, 0, 12, false, "12", 12, 12},
        Conversion{"TextEmptyIsNotNull", FieldType::Text, 0, QString(""), false, "", 0, 0},
        Conversion{"TextNumberAtSize", FieldType::Text, 3, QString("-12"), false, "-12", -12, -12}),
    [](const auto& info) { return std::string(info.param.name); });

// Values a field cannot hold are refused with a message; the record keeps its value.
TEST(FieldTest, RefusesValuesItCannotHold) {
    struct Bad {
        FieldType type;
        int size;
        QVariant input;
        const char* message;
    };
    const Bad cases[] = {
        {FieldType::Float, 0, QString("abc"), "'abc' is not a valid floating point value"},
        {FieldType::Float, 0, QString("2,5"), "'2,5' is not a valid floating point value"},
        {FieldType::Float, 0, std::numeric_limits<double>::infinity(), "'INF' is not a valid floating point value"},
        {FieldType::Integer, 0, QString("2.5"), "'2.5' is not a valid integer value"},
        {FieldType::Integer, 0, QString("12 "), "'12 ' is not a valid integer value"},
        {FieldType::Integer, 0, 5000000000LL, "'5000000000' is not a valid integer value"},
        {FieldType::Integer, 0, 3e9, "'3000000000' is not a valid integer value"},
        {FieldType::Text, 3, QString("abcd"), "Value too long for field 'F' (at most 3 characters)"},
        {FieldType::Text, 0, true, "A value of type bool cannot be held by a field"},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.input.toString().toStdString());
        MemTable t;
        t.fieldDefs().Add("F", c.type, c.size);
        t.CreateDataSet();
        t.Append();
        Field* f = t.FieldByName("F");
        try {
            f->SetValue(c.input);
            ADD_FAILURE() << "accepted";
        } catch (const DataError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_TRUE(f->IsNull());
    }
}

TEST(FieldTest, ReadingAsANumberFailsWhenTheValueIsNotOne) {
    MemTable t;
    t.fieldDefs().Add("F", FieldType::Text, 3);
    t.fieldDefs().Add("BIG", FieldType::Float);
    t.CreateDataSet();
    t.Append();
    t.FieldByName("BIG")->SetAsFloat(1e20);
    EXPECT_EQ(t.FieldByName("BIG")->AsString(), "1E20");
    EXPECT_THROW(t.FieldByName("BIG")->AsInteger(), DataError);
    Field* f = t.FieldByName("F");
    f->SetAsString(QString::fromUtf8("物料需"));  // the size counts characters
    EXPECT_EQ(f->AsString(), QString::fromUtf8("物料需"));
    EXPECT_THROW(f->AsFloat(), DataError);
    EXPECT_THROW(f->AsInteger(), DataError);
}

// A float read as text and written back into a float keeps 15 significant digits, as
// the material list hands quantities over.
TEST(FieldTest, FloatThroughTextKeepsFifteenDigits) {
    MemTable t;
    t.fieldDefs().Add("A", FieldType::Float);
    t.fieldDefs().Add("B", FieldType::Float);
    t.CreateDataSet();
    t.Append();
    t.FieldByName("A")->SetAsFloat(1.0 / 3.0);
    t.FieldByName("B")->SetAsString(t.FieldByName("A")->AsString());
    t.Post();
    EXPECT_EQ(t.FieldByName("B")->AsString(), "0.333333333333333");
    EXPECT_DOUBLE_EQ(t.FieldByName("B")->AsFloat(), 0.333333333333333);
}

TEST(FieldTest, LabelsWidthsAndAlignment) {
    MemTable t;
    t.fieldDefs().Add("PROD_ID", FieldType::Text, 20).displayLabel = QString::fromUtf8("商品編號");
    t.fieldDefs().Add("QTY", FieldType::Float);
    t.fieldDefs().Add("N", FieldType::Integer);
    t.CreateDataSet();
    Field* id = t.FieldByName("prod_id");
    Field* qty = t.FieldByName("QTY");
    EXPECT_EQ(id->displayName(), QString::fromUtf8("商品編號"));
    EXPECT_EQ(qty->displayLabel(), "");
    EXPECT_EQ(qty->displayName(), "QTY");
    EXPECT_EQ(id->fullName(), "PROD_ID");
    EXPECT_EQ(id->size(), 20);
    EXPECT_EQ(qty->size(), 0);
    EXPECT_EQ(id->displayWidth(), 20);
    EXPECT_EQ(qty->displayWidth(), 10);
    EXPECT_EQ(t.FieldByName("N")->displayWidth(), 11);
    EXPECT_EQ(id->alignment(), Alignment::Left);
    EXPECT_EQ(qty->alignment(), Alignment::Right);
    EXPECT_EQ(t.Fields(1), qty);
    EXPECT_EQ(qty->index(), 1);
    EXPECT_EQ(t.FindField("nope"), nullptr);
    EXPECT_THROW(t.Fields(3), DataError);
    try {
        t.FieldByName("NOPE");
        ADD_FAILURE();
    } catch (const DataError& e) {
        EXPECT_STREQ(e.what(), "Field 'NOPE' not found");
    }
}

TEST(FieldTest, DefinitionsRejectBadNames) {
    FieldDefs defs;
    defs.Add("A", FieldType::Text, 5);
    EXPECT_THROW(defs.Add("a", FieldType::Float), DataError);
    EXPECT_THROW(defs.Add(" ", FieldType::Float), DataError);
    EXPECT_THROW(defs.Add("B", FieldType::Text, -1), DataError);
    EXPECT_THROW(defs[1], DataError);
    EXPECT_EQ(defs.Count(), 1);
}

}  // namespace
