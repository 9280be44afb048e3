// The search statement: lines, the pattern the value becomes, identifiers refused, and
// the character-wise check behind the database's byte-wise LIKE.

#include <gtest/gtest.h>

#include "lookup/SearchStatement.h"

using namespace lookup;

TEST(SearchStatement, LinesCarryNamesAndTheValueIsAParameter) {
    const SearchStatement s = ComposeSearch("PROJ_ITEM", "PROJ_NAME", MatchMode::Contains, "ABC");
    EXPECT_EQ(s.lines, (QStringList{"select * from ", "PROJ_ITEM ", "where ", "PROJ_NAME", "like :VALUE escape '!'", ""}));
    EXPECT_EQ(s.pattern, "%ABC%");
    EXPECT_EQ(ComposeSearch("PROJ_ITEM", "PROJ_ID", MatchMode::Prefix, "01", "order by PROJ_ID").lines.back(),
              "order by PROJ_ID");

    struct Case {
        MatchMode mode;
        QString value;
        QString pattern;
    } cases[] = {
        {MatchMode::Prefix, "01", "01%"},
        {MatchMode::Exact, "", ""},
        {MatchMode::Contains, "", "%%"},
        {MatchMode::Exact, "O'Neil", "O'Neil"},     // a quote is only a character of the value
        {MatchMode::Exact, "50%", "50!%"},          // LIKE metacharacters match themselves
        {MatchMode::Prefix, "A_B!", "A!_B!!%"},
        {MatchMode::Contains, "許", "%許%"},         // 0xB3 0x5C in Big5: no backslash escape
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComposeSearch("T", "F", c.mode, c.value).pattern, c.pattern) << c.value.toStdString();
}

TEST(SearchStatement, NamesThatAreNotPlainIdentifiersAreRefused) {
    for (const QString ok : {"PROJ_ITEM", "a", "X$1", "proj_id"}) EXPECT_TRUE(IsPlainIdentifier(ok)) << ok.toStdString();
    const QString bad[] = {"", "1ABC", "_X", "PROJ ID", "PROJ_ID=PROJ_ID OR 1", "X'Y", "PROJ_ID--", "名稱", "\"PROJ\"",
                           QString(64, u'A')};
    for (const QString& name : bad) {
        EXPECT_FALSE(IsPlainIdentifier(name)) << name.toStdString();
        EXPECT_THROW(ComposeSearch("PROJ_ITEM", name, MatchMode::Exact, "x"), LookupError) << name.toStdString();
        EXPECT_THROW(ComposeSearch(name, "PROJ_ID", MatchMode::Exact, "x"), LookupError) << name.toStdString();
    }
    try {
        ComposeSearch("PROJ_ITEM", "X'Y", MatchMode::Exact, "x");
    } catch (const LookupError& e) {
        EXPECT_STREQ(e.what(), "Invalid field name 'X'Y'");
    }
}

TEST(SearchStatement, MatchingByCharacters) {
    struct Case {
        MatchMode mode;
        QString text, value;
        bool match;
    } cases[] = {
        {MatchMode::Exact, "P01", "P01", true},   {MatchMode::Exact, "P01", "P0", false},
        {MatchMode::Exact, "", "", true},         {MatchMode::Prefix, "P01", "P0", true},
        {MatchMode::Prefix, "P01", "01", false},  {MatchMode::Contains, "乙方", "A", false},
        {MatchMode::Contains, "50%折扣", "50%", true}, {MatchMode::Contains, "500折扣", "50%", false},
    };
    for (const Case& c : cases) EXPECT_EQ(MatchesValue(c.mode, c.text, c.value), c.match) << c.text.toStdString();
}
