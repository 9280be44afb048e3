// The definition reader's rules and the value syntaxes, case by case. The stored skins
// depend on these exact rules, so every rule has a row here.

#include <gtest/gtest.h>

#include "skin/skin_test_print.h"

#include <QStringList>

#include "skin/SkinIni.h"
#include "skin/SkinValues.h"

namespace {

using namespace skin;

SkinIni Doc(const char* text) { return SkinIni::FromText(QByteArray(text)); }

TEST(SkinIni, ReadingRules) {
    const SkinIni ini = Doc(
        "orphan=before any section\r\n"
        "  [ First ]  \r\n"
        "; comment=not a key\n"
        "\n"
        "  Key One  =  value with = inside  \r"
        "empty=\n"
        "novalue line\n"
        "dup=first\n"
        "DUP=second\n"
        "\t[first]\n"
        "key one=from the second section of the same name\n"
        "other=only in the shadowed section\n"
        "[Second]\n"
        "=no key name\n"
        "x=\t  \n"
        "[]\n"
        "blank=name\n");

    struct Case {
        const char* section;
        const char* key;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"first", "key one", QStringLiteral("value with = inside")},  // first "=" splits, both trimmed
        {"FIRST", "KEY ONE", QStringLiteral("value with = inside")},  // names without case
        {"First", "empty", QString("")},                              // present but empty: empty, not missing
        {"First", "dup", QStringLiteral("second")},                   // later line wins, across case
        {"First", "other", std::nullopt},                             // only the first section of a name counts
        {"First", "novalue line", std::nullopt},                      // a line without "=" is never a key
        {"First", "; comment", std::nullopt},
        {"First", "orphan", std::nullopt},                            // lines before the first section
        {"Second", "", QStringLiteral("no key name")},
        {"Second", "x", QString("")},
        {"", "blank", QStringLiteral("name")},
        {"Missing", "x", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = ini.Value(QString::fromLatin1(c.section), QString::fromLatin1(c.key));
        EXPECT_EQ(got.has_value(), c.expected.has_value()) << c.section << "/" << c.key;
        if (got && c.expected) {
            EXPECT_EQ(*got, *c.expected) << c.section << "/" << c.key;
        }
    }
    EXPECT_EQ(ini.ReadString("First", "empty", "default"), QString(""));
    EXPECT_EQ(ini.ReadString("First", "absent", "default"), QString("default"));
    EXPECT_EQ(ini.Keys("first"), QStringList({"Key One", "empty", "dup"}));
}

TEST(SkinIni, ValidityNeedsTheFiveSections) {
    const char* all = "[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\n[skincontrols]\n";
    EXPECT_TRUE(Doc(all).IsValidDefinition());
    for (const char* missing : {"[VERSION]\n", "[PICTURES]\n", "[FORMINFO]\n", "[SKINOBJECTS]\n", "[skincontrols]\n"}) {
        QByteArray text(all);
        text.replace(missing, "");
        EXPECT_FALSE(SkinIni::FromText(text).IsValidDefinition()) << missing;
    }
}

TEST(SkinIni, LinesSplitAtCrLfCrOrLfAndTextDecoding) {
    EXPECT_EQ(SplitSkinLines(QString("a\r\nb\rc\nd\r\n")), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitSkinLines(QString("a\n\nb")), QStringList({"a", "", "b"}));
    EXPECT_EQ(SplitSkinLines(QByteArrayView("x\r\ny\rz")).size(), 3);
    // UTF-8 with a byte-order mark, and the Big5 code page when the bytes are not UTF-8.
    EXPECT_EQ(DecodeSkinText("\xEF\xBB\xBF[a]"), QString("[a]"));
    EXPECT_EQ(DecodeSkinText("\xE7\x89\xA9\xE6\x96\x99"), QString::fromUtf8("物料"));
    EXPECT_EQ(DecodeSkinText("\xAA\xAB\xAE\xC6"), QString::fromUtf8("物料"));
}

TEST(SkinIni, WritingReplacesTheEffectiveLineAndEraseRemovesEverySectionOfTheName) {
    SkinIni ini = Doc("[a]\nk=1\nK=2\n[b]\nz=0\n[A]\nk=3\n");
    ini.WriteString("A", "k", "9");
    EXPECT_EQ(ini.Value("a", "k"), QString("9"));
    ini.WriteString("new", "key", "v");
    EXPECT_EQ(ini.Value("NEW", "KEY"), QString("v"));
    ini.EraseSection("a");
    EXPECT_FALSE(ini.HasSection("a"));
    EXPECT_EQ(ini.ToLines(), QStringList({"[b]", "z=0", "[new]", "key=v"}));
}

TEST(SkinValues, Integers) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"8421504", 8421504},  {"-12", -12},         {"+7", 7},          {"$1F", 31},
        {"0x1f", 31},          {"0X10", 16},         {"$FFFFFFFF", -1},  {"$1FFFFFFF", 0x1FFFFFFF},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"2147483648", -99},   {"0x", -99},          {"$", -99},         {"", -99},
        {"12a", -99},          {"1 2", -99},         {"true", -99},      {"$100000000", -99},
        {"-", -99},            {"0x1g", -99},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInteger(QString::fromLatin1(c.text), -99), c.expected) << c.text;
}

TEST(SkinValues, RectsAndPointsKeepOnlyDigitsAndCommas) {
    const Rect def{9, 9, 9, 9};
    struct Case {
        const char* text;
        Rect expected;
    };
    const Case cases[] = {
        {"1,2,3,4", {1, 2, 3, 4}},
        {" 10 , 20 ,30,  40 ", {10, 20, 30, 40}},  // blanks around numbers vanish
        {"-5,0,0,0", {5, 0, 0, 0}},                // a minus sign is dropped
        {"1a2,b3,4x,5", {12, 3, 4, 5}},            // letters dropped, digits joined
        {"1,2,3", def},                            // too few numbers: the whole default
        {"1,2,3,4,5", def},                        // too many
        {"1,,3,4", def},                           // an empty number
        {"", def},
        {"1,2,3,99999999999", def},                // does not fit
    };
    for (const auto& c : cases) EXPECT_EQ(ParseRect(QString::fromLatin1(c.text), def), c.expected) << c.text;

    EXPECT_EQ(ParsePoint("3, 4", {}), QPoint(3, 4));
    EXPECT_EQ(ParsePoint("3", {7, 7}), QPoint(7, 7));
    EXPECT_EQ(ParsePoint("3,4,5", {7, 7}), QPoint(7, 7));
}

TEST(SkinValues, BooleansFontStylesAndEnumerations) {
    EXPECT_TRUE(ParseBoolean("1"));
    EXPECT_TRUE(ParseBoolean("$1"));
    for (const char* f : {"0", "true", "2", "", "-1", "yes"}) EXPECT_FALSE(ParseBoolean(f)) << f;

    EXPECT_EQ(ParseFontStyle(""), FontStyles());
    EXPECT_EQ(ParseFontStyle("fsbold,fsitalic"), FontStyle::fsBold | FontStyle::fsItalic);
    EXPECT_EQ(ParseFontStyle("fsBold"), FontStyles());
    EXPECT_EQ(ParseFontStyle("[fsstrikeout]xfsunderline"), FontStyle::fsStrikeOut | FontStyle::fsUnderline);

    EXPECT_EQ(ParseAlignment("tacenter"), taCenter);
    EXPECT_EQ(ParseAlignment("taleftjustify"), taLeftJustify);
    EXPECT_EQ(ParseAlignment("tarightjustify"), taRightJustify);
    EXPECT_EQ(ParseAlignment("TACENTER"), taRightJustify);
    EXPECT_EQ(ParseAlignment(""), taRightJustify);

    EXPECT_EQ(ParseMorphKind("mkpush"), mkPush);
    EXPECT_EQ(ParseMorphKind("mkleftslide"), mkLeftSlide);
    EXPECT_EQ(ParseMorphKind("MkPush"), mkDefault);
    EXPECT_EQ(ParseInactiveEffect("ieinvert"), ieInvert);
    EXPECT_EQ(ParseInactiveEffect("iegrayscale"), ieGrayScale);
    EXPECT_EQ(ParseInactiveEffect("grey"), ieBrightness);

    EXPECT_EQ(ParseCommand("cmclose"), cmClose);
    EXPECT_EQ(ParseCommand("cmsysmenu"), cmSysMenu);
    EXPECT_EQ(ParseCommand("cmdefault"), cmDefault);
    EXPECT_EQ(ParseCommand("cmrollup"), cmRollUp);
    EXPECT_EQ(ParseCommand("cmClose"), cmRollUp);
    EXPECT_EQ(ParseCommand(""), cmRollUp);
}

TEST(SkinValues, WrittenFormsReadBack) {
    EXPECT_EQ(FormatRect({1, 2, 30, 40}), QString("1,2,30,40"));
    EXPECT_EQ(FormatPoint({5, 6}), QString("5,6"));
    EXPECT_EQ(FormatFontStyle(FontStyle::fsStrikeOut | FontStyle::fsBold), QString("fsbold,fsstrikeout"));
    for (int i = 0; i <= int(mkPush); ++i) EXPECT_EQ(ParseMorphKind(FormatMorphKind(MorphKind(i))), MorphKind(i));
    for (int i = 0; i <= int(ieInvert); ++i)
        EXPECT_EQ(ParseInactiveEffect(FormatInactiveEffect(InactiveEffect(i))), InactiveEffect(i));
    for (int i = 0; i <= int(cmRollUp); ++i) EXPECT_EQ(ParseCommand(FormatCommand(StdCommand(i))), StdCommand(i));
    for (Alignment a : {taLeftJustify, taRightJustify, taCenter}) EXPECT_EQ(ParseAlignment(FormatAlignment(a)), a);
    for (unsigned bits = 0; bits < 16; ++bits) {
        const FontStyles s = FontStyles::fromInt(int(bits));
        EXPECT_EQ(ParseFontStyle(FormatFontStyle(s)), s);
    }
}

}  // namespace
