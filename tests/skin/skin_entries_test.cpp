// The entry classes: every class of both lists reads every one of its keys into its own
// field, writes them back in the written forms, reads its base class's keys first, and
// the few classes with rules of their own follow them.

#include <gtest/gtest.h>

#include "skin/skin_test_print.h"

#include <QSet>

#include "skin/SkinEntries.h"
#include "skin/SkinIni.h"

namespace {

using namespace skin;

std::unique_ptr<SkinEntry> Create(bool object, const QString& type, const QString& name) {
    if (object) return CreateSkinObject(type, name);
    return CreateSkinControl(type, name);
}

// A distinct, non-default written value for the n-th field, by the field's kind.
QString DistinctValue(const FieldRef& f, int n) {
    struct V {
        int n;
        QString operator()(int*) const { return QString::number(1000 + n); }
        QString operator()(Rect*) const { return QStringLiteral("%1,%2,%3,%4").arg(n).arg(n + 1).arg(n + 2).arg(n + 3); }
        QString operator()(QPoint*) const { return QStringLiteral("%1,%2").arg(n + 1).arg(n + 7); }
        QString operator()(bool*) const { return QStringLiteral("1"); }
        QString operator()(FontStyles*) const { return n % 2 ? QStringLiteral("fsitalic,fsunderline") : QStringLiteral("fsbold"); }
        QString operator()(Alignment*) const { return QStringLiteral("taleftjustify"); }
        QString operator()(MorphKind*) const { return QStringLiteral("mkrightslide"); }
        QString operator()(InactiveEffect*) const { return QStringLiteral("ienoise"); }
        QString operator()(StdCommand*) const { return QStringLiteral("cmminimize"); }
        QString operator()(QString*) const { return QStringLiteral("text %1").arg(n); }
    };
    return std::visit(V{n}, f.field);
}

std::map<QString, QString> Formatted(SkinEntry& e) {
    std::map<QString, QString> out;
    for (const FieldRef& f : e.Fields()) out[QString::fromLatin1(f.key)] = FormatField(f);
    return out;
}

struct ListedClass {
    bool object;
    const char* type;
    const char* className;
    int keyCount;  // every key, inherited ones included
};

const ListedClass kClasses[] = {
    {false, "panel", "TbsDataSkinPanelControl", 19},
    {false, "expanel", "TbsDataSkinExPanelControl", 36},
    {false, "button", "TbsDataSkinButtonControl", 20},
    {false, "menubutton", "TbsDataSkinMenuButtonControl", 21},
    {false, "checkradio", "TbsDataSkinCheckRadioControl", 26},
    {false, "gauge", "TbsDataSkinGaugeControl", 17},
    {false, "splitter", "TbsDataSkinSplitterControl", 8},
    {false, "trackbar", "TbsDataSkinTrackBarControl", 12},
    {false, "label", "TbsDataSkinLabelControl", 12},
    {false, "stdlabel", "TbsDataSkinStdLabelControl", 8},
    {false, "updown", "TbsDataSkinUpDownControl", 14},
    {false, "grid", "TbsDataSkinGridControl", 24},
    {false, "tab", "TbsDataSkinTabControl", 24},
    {false, "mainmenubar", "TbsDataSkinMainMenuBar", 11},
    {false, "controlbar", "TbsDataSkinControlBar", 10},
    {false, "edit", "TbsDataSkinEditControl", 19},
    {false, "memo", "TbsDataSkinMemoControl", 21},
    {false, "listbox", "TbsDataSkinListBox", 37},
    {false, "checklistbox", "TbsDataSkinCheckListBox", 40},
    {false, "combobox", "TbsDataSkinComboBox", 23},
    {false, "scrollbar", "TbsDataSkinScrollBarControl", 23},
    {false, "spinedit", "TbsDataSkinSpinEditControl", 18},
    {false, "scrollbox", "TbsDataSkinScrollBoxControl", 9},
    {false, "treeview", "TbsDataSkinTreeView", 8},
    {false, "listview", "TbsDataSkinListView", 8},
    {false, "richedit", "TbsDataSkinRichEdit", 8},
    {false, "bevel", "TbsDataSkinBevel", 5},
    {false, "slider", "TbsDataSkinSlider", 10},
    {true, "userobject", "TbsDataUserObject", 7},
    {true, "button", "TbsDataSkinButton", 9},
    {true, "stdbutton", "TbsDataSkinStdButton", 14},
    {true, "mainmenubarbutton", "TbsDataSkinMainMenuBarButton", 14},
    {true, "menuitem", "TbsDataSkinMenuItem", 19},
    {true, "mainmenubaritem", "TbsDataSkinMainMenuBarItem", 18},
    {true, "caption", "TbsDataSkinCaption", 22},
};

TEST(SkinEntries, EveryTypeWordCreatesItsClassWithItsKeys) {
    EXPECT_EQ(SkinControlTypes().size(), 28);
    EXPECT_EQ(SkinObjectTypes().size(), 7);
    for (const auto& c : kClasses) {
        auto e = Create(c.object, QString::fromLatin1(c.type), "x");
        ASSERT_TRUE(e) << c.type;
        EXPECT_STREQ(e->ClassName(), c.className);
        EXPECT_STREQ(e->TypeName(), c.type);
        EXPECT_EQ(e->IDName, QString("x"));
        QSet<QString> keys;
        for (const FieldRef& f : e->Fields()) {
            const QString k = QString::fromLatin1(f.key);
            EXPECT_EQ(k, k.toLower()) << c.type;
            EXPECT_FALSE(keys.contains(k)) << c.type << " repeats " << f.key;
            keys.insert(k);
        }
        EXPECT_EQ(keys.size(), c.keyCount) << c.type;
    }
    // Type words are exact: other spellings and unknown types create nothing.
    for (const char* t : {"Panel", "animate", "", " panel", "groupbox"}) EXPECT_FALSE(CreateSkinControl(t, "x")) << t;
    EXPECT_FALSE(CreateSkinObject("Caption", "x"));
    EXPECT_FALSE(CreateSkinObject("mainmenuitem", "x"));
}

// Every key gets a distinct value; each must land in its own field, survive SaveToIni and
// read back into a fresh entry unchanged.
TEST(SkinEntries, EveryKeyReadsIntoItsOwnFieldAndWritesBack) {
    for (const auto& c : kClasses) {
        if (QByteArray(c.type) == "userobject" || QByteArray(c.type) == "updown") continue;  // own rules, below
        auto probe = Create(c.object, QString::fromLatin1(c.type), "entry");
        SkinIni source;
        std::map<QString, QString> written;
        int n = 0;
        for (const FieldRef& f : probe->Fields()) {
            const QString v = DistinctValue(f, n++);
            // Keys are matched without case: write them in upper case.
            source.WriteString("ENTRY", QString::fromLatin1(f.key).toUpper(), v);
            written[QString::fromLatin1(f.key)] = v;
        }
        auto loaded = Create(c.object, QString::fromLatin1(c.type), "entry");
        loaded->LoadFromIni(source);
        EXPECT_EQ(Formatted(*loaded), written) << c.type;

        SkinIni saved;
        saved.WriteString("entry", "stale", "gone after SaveToIni");
        loaded->SaveToIni(saved);
        EXPECT_FALSE(saved.Value("entry", "stale").has_value()) << c.type;
        for (const auto& [k, v] : written) EXPECT_EQ(saved.Value("entry", k), v) << c.type << "/" << k;

        auto again = Create(c.object, QString::fromLatin1(c.type), "entry");
        again->LoadFromIni(saved);
        EXPECT_EQ(Formatted(*again), written) << c.type;
    }
}

TEST(SkinEntries, MissingKeysTakeTheirDefaults) {
    const SkinIni none;
    auto button = CreateSkinControl("button", "b");
    button->LoadFromIni(none);
    const auto f = Formatted(*button);
    EXPECT_EQ(f.at("pictureindex"), QString("-1"));
    EXPECT_EQ(f.at("skinrect"), QString("0,0,0,0"));
    EXPECT_EQ(f.at("lefttoppoint"), QString("0,0"));
    EXPECT_EQ(f.at("fontname"), QString("Arial"));
    EXPECT_EQ(f.at("fontheight"), QString("14"));
    EXPECT_EQ(f.at("fontstyle"), QString(""));
    EXPECT_EQ(f.at("morphkind"), QString("mkdefault"));

    auto label = CreateSkinControl("stdlabel", "l");
    label->LoadFromIni(none);
    EXPECT_EQ(static_cast<TbsDataSkinStdLabelControl&>(*label).activefontcolor, 0xFF0000);
    auto list = CreateSkinControl("listbox", "l");
    list->LoadFromIni(none);
    EXPECT_EQ(static_cast<TbsDataSkinListBox&>(*list).bothhscrollbarname, QString("bothhscrollbar"));
    auto panel = CreateSkinControl("panel", "p");
    panel->LoadFromIni(none);
    EXPECT_EQ(static_cast<TbsDataSkinPanelControl&>(*panel).alignment, taCenter);

    // A present but unconvertible integer is its default; a present empty string is empty.
    const SkinIni bad = SkinIni::FromText("[p]\npictureindex=abc\nfontname=\nfontheight=\n");
    panel->LoadFromIni(bad);
    auto& p = static_cast<TbsDataSkinPanelControl&>(*panel);
    EXPECT_EQ(p.pictureindex, -1);
    EXPECT_EQ(p.fontname, QString(""));
    EXPECT_EQ(p.fontheight, 14);
}

TEST(SkinEntries, DerivedClassesReadTheirBaseKeysFirst) {
    auto e = CreateSkinControl("menubutton", "m");
    std::vector<std::string> keys;
    for (const FieldRef& f : e->Fields()) keys.emplace_back(f.key);
    ASSERT_EQ(keys.size(), 21u);
    EXPECT_EQ(keys[0], "pictureindex");      // TbsDataSkinControl
    EXPECT_EQ(keys[3], "lefttoppoint");      // TbsDataSkinCustomControl
    EXPECT_EQ(keys[8], "fontname");          // TbsDataSkinButtonControl
    EXPECT_EQ(keys[20], "trackbuttonrect");  // TbsDataSkinMenuButtonControl
}

TEST(SkinEntries, CommandsMorphingAndOddlySpelledKeys) {
    const SkinIni ini = SkinIni::FromText(
        "[roll]\ncommand=cmrollup\n[other]\ncommand=close\n[none]\n"
        "[item]\nunenabledfontColor=255\n[btn]\nmorphing=true\ndisableskinrsect=1,2,3,4\n[btn1]\nmorphing=1\n");
    struct Case {
        const char* section;
        StdCommand command;
    };
    for (const Case c : {Case{"roll", cmRollUp}, Case{"other", cmRollUp}, Case{"none", cmDefault}}) {
        TbsDataSkinStdButton b(QString::fromLatin1(c.section));
        b.LoadFromIni(ini);
        EXPECT_EQ(b.command, c.command) << c.section;
    }
    TbsDataSkinMainMenuBarItem item("item");
    item.LoadFromIni(ini);
    EXPECT_EQ(item.unenabledfontcolor, 255);
    TbsDataSkinButton btn("btn");
    btn.LoadFromIni(ini);
    EXPECT_FALSE(btn.morphing);
    EXPECT_EQ(btn.disableskinrsect, (Rect{1, 2, 3, 4}));
    TbsDataSkinButton btn1("btn1");
    btn1.LoadFromIni(ini);
    EXPECT_TRUE(btn1.morphing);
}

TEST(SkinEntries, UpDownIgnoresItsAnchorsAndUserObjectReadsOnlySkinRect) {
    const SkinIni ini = SkinIni::FromText(
        "[ud]\nlefttoppoint=1,1\nrightbottompoint=5,5\nclientrect=1,2,3,4\nskinrect=0,0,10,10\nupbuttonrect=1,1,2,2\n"
        "[uo]\nskinrect=1,2,3,4\nhint=ignored\nactivepictureindex=3\nmorphing=1\nactiveskinrect=5,5,6,6\n");
    TbsDataSkinUpDownControl ud("ud");
    ud.LoadFromIni(ini);
    EXPECT_EQ(ud.lefttoppoint, QPoint(0, 0));
    EXPECT_EQ(ud.rightbottompoint, QPoint(0, 0));
    EXPECT_EQ(ud.clientrect, Rect{});
    EXPECT_EQ(ud.skinrect, (Rect{0, 0, 10, 10}));
    EXPECT_EQ(ud.upbuttonrect, (Rect{1, 1, 2, 2}));

    TbsDataUserObject uo("uo");
    uo.LoadFromIni(ini);
    EXPECT_EQ(uo.skinrect, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(uo.hint, QString());
    EXPECT_EQ(uo.activepictureindex, -1);
    EXPECT_FALSE(uo.morphing);
    EXPECT_EQ(uo.activeskinrect, Rect{});
    SkinIni saved;
    uo.SaveToIni(saved);
    EXPECT_EQ(saved.ToLines(), QStringList({"[uo]", "skinrect=1,2,3,4"}));
}

TEST(SkinEntries, FormInfoPullsAnchorsInsideTheClientArea) {
    struct Case {
        const char* keys;
        QPoint lt, rt, lb, rb;
    };
    const Case cases[] = {
        // Anchors outside a client area of 10,20,90,80: pulled in.
        {"lefttoppoint=2,3\nrighttoppoint=95,5\nleftbottompoint=4,99\nrightbottompoint=97,98\n",
         {10, 20}, {90, 20}, {10, 80}, {90, 80}},
        // Already inside: unchanged.
        {"lefttoppoint=20,30\nrighttoppoint=70,30\nleftbottompoint=20,60\nrightbottompoint=70,60\n",
         {20, 30}, {70, 30}, {20, 60}, {70, 60}},
        // rightbottompoint shares a coordinate with lefttoppoint: nothing is clamped.
        {"lefttoppoint=2,3\nrighttoppoint=95,5\nleftbottompoint=4,99\nrightbottompoint=2,98\n",
         {2, 3}, {95, 5}, {4, 99}, {2, 98}},
        {"", {0, 0}, {0, 0}, {0, 0}, {0, 0}},
    };
    for (const auto& c : cases) {
        const SkinIni ini = SkinIni::FromText(QByteArray("[FORMINFO]\nclientrect=10,20,90,80\n") + c.keys);
        TbsDataSkinFormInfo fi;
        fi.LoadFromIni(ini);
        EXPECT_EQ(fi.lefttoppoint, c.lt) << c.keys;
        EXPECT_EQ(fi.righttoppoint, c.rt) << c.keys;
        EXPECT_EQ(fi.leftbottompoint, c.lb) << c.keys;
        EXPECT_EQ(fi.rightbottompoint, c.rb) << c.keys;
    }
}

}  // namespace
