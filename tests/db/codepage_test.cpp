// The Windows Big5 page: every byte string read comes back with its own bytes, and text
// the page cannot store is refused naming the character. Through real databases too:
// awkward values in a column, and a requisition written from products whose codes and
// names hold user-defined characters.

#include <gtest/gtest.h>

#include <QStringView>

#include "db/CodePage.h"
#include "db/Error.h"
#include "mrp/Fixture.h"
#include "support/TestDatabase.h"

using db::CodePage;
using db::DbError;

namespace {

QByteArray Bytes(const char* hex) { return QByteArray::fromHex(hex); }

// An SQL literal holding exactly these bytes.
QString Literal(const QByteArray& bytes) { return "X'" + QString::fromLatin1(bytes.toHex()) + "'"; }

struct ByteCase {
    const char* what;
    const char* hex;
    const char16_t* text;
};

// Each byte string reads as the text, and the text is written as the byte string.
const ByteCase kByteCases[] = {
    {"ASCII", "50524f442d30312078", u"PROD-01 x"},
    {"ordinary Big5", "aaabaec6bbdda844ad70bae2", u"物料需求計算"},
    {"a backslash as second byte", "b35c5c41", u"許\\A"},
    {"euro", "a3e1", u"€"},
    {"user-defined FA40-FEFE", "fa40fa7efaa1fefe", u"\uE000\uE03E\uE03F\uE310"},
    {"user-defined 8E40-A0FE", "8e408ea1a0fe", u"\uE311\uE350\uEEB7"},
    {"user-defined 8140-8DFE", "81408dfe", u"\uEEB8\uF6B0"},
    {"user-defined C6A1-C8FE", "c6a1c8fe", u"\uF6B1\uF848"},
    {"just below the C6A1 block", "c67e", u"籲"},
    {"兀: the common code", "a461", u"\u5140"},
    {"兀: the rarer code", "c94a", u"\uFA0C"},
    {"嗀: the common code", "dcd1", u"\u55C0"},
    {"嗀: the rarer code", "ddfc", u"\uFA0D"},
    {"十 and 卅: the common codes", "a451a4ca", u"\u5341\u5345"},
    {"十 and 卅: the Hangzhou numeral row", "a2cca2cda2ce", u"\u3038\u5344\u303A"},
    {"box drawing: the codes Windows writes", "f9f9a27e", u"\u2550\u256D"},
    {"box drawing: the other codes", "a2a4f9fa", u"\u2550\uFE00\u256D\uFE00"},
    {"a lead byte at the end", "4142a4", u"AB\uF86C"},
    {"a character cut after a whole one", "c1b3b5b7a4", u"螺絲\uF86C"},
    {"invalid trail bytes", "a420a47fa480", u"\uF86C \uF86C\u007F\uF86C\u0080"},
    {"an unassigned code", "a3c0", u"\uF86B\uF888"},
    {"bytes that start nothing", "80ff81207ffe", u"\u0080\uF8F8\uF849 \u007F\uF8C6"},
    {"a lone lead byte before a character", "fefefe", u"\uE310\uF8C6"},
};

TEST(CodePage, ByteStringsReadAndWriteBackExactly) {
    const CodePage big5("Big5");
    for (const ByteCase& c : kByteCases) {
        const QByteArray bytes = Bytes(c.hex);
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(big5.Decode(bytes), text) << c.what;
        EXPECT_EQ(big5.Encode(text).toHex().toStdString(), c.hex) << c.what;
    }
    // "Big5" is the Windows page under each of its names.
    for (const char* name : {"", "big5", "BIG-5", "CP950"})
        EXPECT_EQ(CodePage(name).Decode(Bytes("c94aa2a4a4")), QString::fromUtf16(u"\uFA0C\u2550\uFE00\uF86C")) << name;
}

TEST(CodePage, EveryTwoByteStringRoundTrips) {
    const CodePage big5("Big5");
    int characters = 0;
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            const char pair[] = {static_cast<char>(first), static_cast<char>(second)};
            const QByteArray bytes(pair, 2);
            const QString text = big5.Decode(bytes);
            ASSERT_EQ(big5.Encode(text), bytes) << bytes.toHex().toStdString();
            ASSERT_EQ(big5.Decode(big5.Encode(text)), text) << bytes.toHex().toStdString();
            // A character, not a byte carried on its own (U+F849-U+F8C6, U+0080, U+F8F8).
            const char16_t u = text.at(0).unicode();
            if (first >= 0x81 && !(u >= 0xF849 && u <= 0xF8C6) && u != 0x80 && u != 0xF8F8) ++characters;
        }
    }
    // Code page 950's 13,503 characters and its 6,217 user-defined ones.
    EXPECT_EQ(characters, 13503 + 6217);
}

TEST(CodePage, RefusesTextThePageCannotStoreNamingTheCharacter) {
    const CodePage big5("Big5");
    struct Refusal {
        const char16_t* text;
        const char* named;
    };
    const Refusal refusals[] = {
        {u"A\U0001F600B", "'\xF0\x9F\x98\x80' (U+1F600)"},
        {u"caf\u00E9", "(U+00E9)"},
        {u"A\u0E01B", "(U+0E01)"},
        {u"\uFFFD", "(U+FFFD)"},
        {u"A\uFE00", "(U+FE00)"},  // a variation selector after a character Big5 holds once
        {u"\u2550\uFE00\uFE00", "(U+FE00)"},
        // A byte carried on its own must not join the next byte into a character.
        {u"\uF86C@", "(U+F86C)"},
        {u"\uF86C\uF86C", "(U+F86C)"},
        {u"x\uF86C一", "(U+F86C)"},
    };
    std::vector<std::pair<QString, const char*>> cases;
    for (const Refusal& r : refusals) cases.emplace_back(QString::fromUtf16(r.text), r.named);
    cases.emplace_back(QString(QChar(0xDC00)) + "x", "(U+DC00)");  // half a surrogate pair
    for (const auto& [text, named] : cases) {
        try {
            big5.Encode(text);
            ADD_FAILURE() << "stored " << text.toStdString();
        } catch (const DbError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(named), std::string::npos) << message;
            EXPECT_NE(message.find("cannot be stored in code page Big5"), std::string::npos) << message;
        }
        // Appended to the values before it, refused text leaves them as they were.
        QByteArray values("ab");
        big5.EncodeAppend(QStringLiteral("一"), values);
        EXPECT_THROW(big5.EncodeAppend(text, values), DbError);
        EXPECT_EQ(values, Bytes("6162a440"));
    }
}

TEST(CodePage, OtherPagesGoThroughIconv) {
    const CodePage utf8("UTF-8");
    EXPECT_EQ(utf8.Encode(QString::fromUtf16(u"caf\u00E9")), Bytes("636166c3a9"));
    EXPECT_EQ(utf8.Decode(Bytes("ff78")), QString::fromUtf16(u"\uFFFDx"));
    EXPECT_THROW(CodePage("NO-SUCH-PAGE"), DbError);
}

// Awkward values stored as bytes, read through a query and written back through a
// parameter: the column then holds the same bytes.
TEST(CodePageDatabase, ValuesReadAreWrittenBackWithTheirBytes) {
    testsupport::TestDatabase database;
    QString script;
    for (size_t i = 0; i < std::size(kByteCases); ++i)
        script += QString("INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P%1', %2);\n")
                      .arg(i)
                      .arg(Literal(Bytes(kByteCases[i].hex)));
    database.Run(script);

    db::Connection connection;
    connection.SetParams(database.params());
    db::Query read(connection);
    read.Add("SELECT PROJ_ID, PROJ_NAME FROM PROJ_ITEM");
    read.Open();
    db::Query write(connection);
    write.Add("UPDATE PROJ_ITEM SET REMARK = :NAME WHERE PROJ_ID = :ID");
    for (; !read.Eof(); read.Next()) {
        write.SetParam("NAME", read.FieldByName("PROJ_NAME").AsString());
        write.SetParam("ID", read.FieldByName("PROJ_ID").AsString());
        write.Execute();
    }
    for (size_t i = 0; i < std::size(kByteCases); ++i) {
        db::Query stored(connection);
        stored.Add("SELECT CAST(REMARK AS BLOB SUB_TYPE BINARY) FROM PROJ_ITEM WHERE PROJ_ID = :ID");
        stored.SetParam("ID", QString("P%1").arg(i));
        stored.Open();
        EXPECT_EQ(stored.Fields(0).AsVariant().toByteArray().toHex().toStdString(), kByteCases[i].hex)
            << kByteCases[i].what;
    }
}

// A bill whose material codes and names hold user-defined characters, a sub-assembly
// among them, and texts cut in the middle of a character: the requisition's rows hold
// the original bytes.
class CodePageRequisitionTest : public mrptest::EngineTest {
protected:
    // The first row of a select whose columns are cast to binary blobs.
    std::vector<QByteArray> StoredRow(const QString& select) {
        db::Connection c;
        c.SetParams(database.params());
        db::Query q(c);
        q.Add(select);
        q.Open();
        std::vector<QByteArray> row;
        if (q.Eof()) return row;
        for (int i = 0; i < q.FieldCount(); ++i) row.push_back(q.Fields(i).AsVariant().toByteArray());
        return row;
    }

    static QString Blob(const char* column) { return QString("CAST(%1 AS BLOB SUB_TYPE BINARY)").arg(column); }

    const QByteArray project = Bytes("4aa0fe");              // "J" U+EEB7
    const QByteArray material = Bytes("4dfa40");             // "M" U+E000
    const QByteArray materialName = Bytes("c1b3b5b78140a4"); // 螺絲 U+EEB8, cut after A4
    const QByteArray unit = Bytes("c94a");                   // the rarer 兀
    const QByteArray scale = Bytes("4d36a2a43230");          // "M6═20", the other ═ code
    const QByteArray provider = Bytes("ddfca6e6");           // the rarer 嗀, 行
    const QByteArray subAssembly = Bytes("53c6a1");          // "S" U+F6B1
    const QByteArray component = Bytes("548e40");            // "T" U+E311
    const QByteArray componentName = Bytes("b35cc8fe");      // 許 U+F848
    const QByteArray employee = Bytes("b3affefe");           // 陳 U+E310

    void Prepare() {
        database.Run(
            "INSERT INTO EMPLOYEE (EMPLOYEE_ID, EMPLOYEE_NAME) VALUES ('A001', " + Literal(employee) + ");\n" +
            "INSERT INTO PRODUCT (PROD_ID, PROD_NAME, UNITNAME, PROD_SCALE, STD_COST, PROVIDER_NAME) VALUES (" +
            Literal(material) + ", " + Literal(materialName) + ", " + Literal(unit) + ", " + Literal(scale) + ", 2, " +
            Literal(provider) + ");\n" +
            "INSERT INTO PRODUCT (PROD_ID, PROD_NAME, UNITNAME) VALUES (" + Literal(component) + ", " +
            Literal(componentName) + ", " + Literal(unit) + ");\n" +
            "INSERT INTO PD_BOM (PROD_ID, DE_PRODID, DE_QTY) VALUES ('P', " + Literal(material) + ", 4);\n" +
            "INSERT INTO PD_BOM (PROD_ID, DE_PRODID, DE_QTY) VALUES ('P', " + Literal(subAssembly) + ", 1);\n" +
            "INSERT INTO PD_BOM (PROD_ID, DE_PRODID, DE_QTY) VALUES (" + Literal(subAssembly) + ", " +
            Literal(component) + ", 2);\n" +
            "INSERT INTO ORDER_MASTER (MASTERBILLID, PROJ_ID, DISABLE_FLAG, TS) VALUES ('SO1', " + Literal(project) +
            ", 'False', 'N');\n" + "INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, QTY) VALUES ('SO1', 'P', 3);\n");
        // The code as the project lookup hands it over.
        Expand(CodePage().Decode(project));
    }
};

TEST_F(CodePageRequisitionTest, UserDefinedCharactersReachTheRequisitionWithTheirBytes) {
    Prepare();
    ASSERT_EQ(Materials().size(), 2) << Materials().join('\n').toStdString();
    Transfer();
    ASSERT_EQ(reporter.reports.size(), 1u);
    ASSERT_EQ(reporter.reports[0].outcome, mrp::RequisitionOutcome::Written) << reporter.reports[0].detail.toStdString();

    const QString columns = QStringList{Blob("PROD_ID"), Blob("TEMPPRODID"), Blob("PROD_NAME"), Blob("UNITNAME"),
                                        Blob("PROD_SCALE"), Blob("PROVIDER_NAME"), Blob("EMPLOYEE_NAME")}
                                .join(", ");
    const auto hex = [](const std::vector<QByteArray>& row) {
        std::vector<std::string> out;
        for (const QByteArray& b : row) out.push_back(b.toHex().toStdString());
        return out;
    };
    const auto lineOf = [&](const QByteArray& code) {
        return hex(StoredRow("SELECT " + columns + " FROM PETITION_SUB WHERE CAST(PROD_ID AS VARCHAR(20) CHARACTER SET "
                             "OCTETS) = " + Literal(code)));
    };
    using Row = std::vector<std::string>;
    EXPECT_EQ(lineOf(material), (Row{"4dfa40", "4dfa40", "c1b3b5b78140a4", "c94a", "4d36a2a43230", "ddfca6e6",
                                     "b3affefe"}));
    EXPECT_EQ(lineOf(component), (Row{"548e40", "548e40", "b35cc8fe", "c94a", "", "", "b3affefe"}));
    EXPECT_EQ(hex(StoredRow("SELECT " + Blob("PROJ_ID") + ", " + Blob("EMPLOYEE_NAME") + " FROM PETITION_MASTER")),
              (Row{"4aa0fe", "b3affefe"}));
    EXPECT_EQ(Scalar("SELECT TS FROM ORDER_MASTER"), "Y");
}

TEST_F(CodePageRequisitionTest, ClerkTextThePageCannotHoldIsRefusedBeforeAnythingIsWritten) {
    Prepare();
    // The clerk renames a material in the list to something Big5 has no code for.
    data::MemTable& acds = engine->materialList();
    ASSERT_TRUE(acds.Locate("PROD_ID", CodePage().Decode(component)));
    acds.Edit();
    acds.FieldByName("PROD_NAME")->SetAsString(QString::fromUtf16(u"螺絲\U0001F529"));
    acds.Post();
    Transfer();

    ASSERT_EQ(reporter.reports.size(), 1u);
    const mrp::RequisitionReport& r = reporter.reports[0];
    EXPECT_EQ(r.outcome, mrp::RequisitionOutcome::Failed);
    EXPECT_NE(r.detail.indexOf(QString::fromUtf16(u"'\U0001F529' (U+1F529)")), -1) << r.detail.toStdString();
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "0");
    EXPECT_EQ(Scalar("SELECT TS FROM ORDER_MASTER"), "N");
}

}  // namespace
