// TbsSkinData without pictures: reading a definition's sections and entry lists, the
// lookups, clearing, and the order in which forms hear skin-change messages.

#include <gtest/gtest.h>

#include "skin/skin_test_print.h"

#include "skin/SkinData.h"
#include "skin/SkinIni.h"

namespace {

using namespace skin;

const char* kDefinition =
    "[VERSION]\nskinname=Slate\nskinauthor=Marlith\nauthoremail=\nauthorurl=x\nskincomments=c\n"
    "[PICTURES]\n"
    "[FORMINFO]\nclientrect=4,24,100,90\nbuttonsinleft=1\ninactiveeffect=iegrayscale\nborderwidth=3\n"
    "[POPUPWINDOW]\nwindowpictureindex=2\nitemsrect=1,2,3,4\nscrollmarkercolor=255\n"
    "[HINTWINDOW]\nwindowpictureindex=5\nfontstyle=fsbold\n"
    "[SKINOBJECTS]\ncount=6\n"
    "0=caption:caption\n"
    "1=spin:animate\n"
    "2=MENUITEM:menuitem\n"
    "3=nocolon\n"
    "4=a:b:caption\n"
    "5=bar:mainmenubarbutton\n"
    "6=beyond:caption\n"
    "[SKINCONTROLS]\ncount=5\n"
    "0=panel:panel\n"
    "1=panel:button\n"
    "2=edit:edit\n"
    "3=sections are optional:label\n"
    "4=Panel:Panel\n"
    "[caption]\ntextrect=1,1,50,20\nalignment=taleftjustify\n"
    "[panel]\nskinrect=0,0,30,30\n"
    "[edit]\nclientrect=4,2,1,1\n";

TEST(SkinData, ReadsSectionsAndEntryListsInOrder) {
    TbsSkinData data;
    data.ReadDefinition(SkinIni::FromText(kDefinition));
    EXPECT_EQ(data.skinname, QString("Slate"));
    EXPECT_EQ(data.authorurl, QString("x"));
    EXPECT_EQ(data.FormInfo.clientrect, (Rect{4, 24, 100, 90}));
    EXPECT_TRUE(data.FormInfo.buttonsinleft);
    EXPECT_EQ(data.FormInfo.inactiveeffect, ieGrayScale);
    EXPECT_EQ(data.FormInfo.bgpictureindex, -1);
    EXPECT_EQ(data.PopupWindowData.windowpictureindex, 2);
    EXPECT_EQ(data.PopupWindowData.scrollmarkercolor, 255);
    EXPECT_EQ(data.HintWindowData.windowpictureindex, 5);
    EXPECT_EQ(data.HintWindowData.fontstyle, FontStyles(FontStyle::fsBold));

    // Unknown types ("animate", "b:caption" after the first ":" split, no ":" at all) are
    // skipped; key 6 lies beyond count.
    ASSERT_EQ(data.SkinObjects.size(), 3u);
    EXPECT_EQ(data.SkinObjects[0]->IDName, QString("caption"));
    EXPECT_STREQ(data.SkinObjects[0]->ClassName(), "TbsDataSkinCaption");
    EXPECT_EQ(static_cast<TbsDataSkinCaption&>(*data.SkinObjects[0]).alignment, taLeftJustify);
    EXPECT_EQ(data.SkinObjects[1]->IDName, QString("MENUITEM"));
    EXPECT_STREQ(data.SkinObjects[2]->ClassName(), "TbsDataSkinMainMenuBarButton");

    ASSERT_EQ(data.SkinControls.size(), 4u);
    EXPECT_STREQ(data.SkinControls[1]->ClassName(), "TbsDataSkinButtonControl");
    EXPECT_EQ(data.SkinControls[1]->skinrect, (Rect{0, 0, 30, 30}));  // reads the section of its name
    EXPECT_EQ(data.SkinControls[3]->IDName, QString("sections are optional"));
    EXPECT_EQ(data.SkinControls[3]->pictureindex, -1);
    EXPECT_TRUE(data.IsEmpty()) << "reading a definition alone does not load a skin";
}

TEST(SkinData, LookupsAreExactAndTakeTheFirstMatch) {
    TbsSkinData data;
    data.ReadDefinition(SkinIni::FromText(kDefinition));
    EXPECT_EQ(data.FindControlIndex("panel"), 0);
    EXPECT_EQ(data.FindControlIndex("Panel"), -1);
    EXPECT_EQ(data.FindControlIndex("edit"), 2);
    EXPECT_EQ(data.FindObjectIndex("menuitem"), -1);
    EXPECT_EQ(data.FindObjectIndex("MENUITEM"), 1);
    EXPECT_EQ(data.FindObjectIndex("panel"), -1);
    // The first "panel" is a panel entry; an edit looked up as a panel counts as missing.
    EXPECT_NE(data.FindControl<TbsDataSkinPanelControl>("panel"), nullptr);
    EXPECT_NE(data.FindControl<TbsDataSkinCustomControl>("edit"), nullptr);
    EXPECT_EQ(data.FindControl<TbsDataSkinPanelControl>("edit"), nullptr);
    EXPECT_EQ(data.FindObject<TbsDataSkinCaption>("caption")->textrect, (Rect{1, 1, 50, 20}));
}

TEST(SkinData, EntryListCountsAndIndexKeys) {
    struct Case {
        const char* section;
        std::vector<const char*> names;
    };
    const Case cases[] = {
        {"count=0\n0=a:panel\n", {}},
        {"count=-3\n0=a:panel\n", {}},
        {"count=x\n0=a:panel\n", {}},
        {"0=a:panel\n", {}},
        {"count=$2\n1=b:panel\n0=a:panel\n", {"a", "b"}},  // index order, not line order
        {"count=3\n00=a:panel\n+1=b:panel\n2=c:panel\n", {"c"}},
        {"count=2\n0=a:panel\n0=again:panel\n", {"again"}},  // later line wins
        {"count=2000000000\n1999999999=last:panel\n7=seven:panel\n", {"seven", "last"}},
        {"count=2\n0=dup:panel\n1=dup:edit\n", {"dup", "dup"}},
    };
    for (const auto& c : cases) {
        TbsSkinData data;
        data.ReadDefinition(SkinIni::FromText(QByteArray("[SKINCONTROLS]\n") + c.section));
        std::vector<std::string> got;
        for (const auto& e : data.SkinControls) got.push_back(e->IDName.toStdString());
        EXPECT_EQ(got, std::vector<std::string>(c.names.begin(), c.names.end())) << c.section;
    }
}

TEST(SkinData, ClearSkinFreesEverythingAndResetsWindowPictures) {
    TbsSkinData data;
    data.ReadDefinition(SkinIni::FromText(kDefinition));
    data.Picture = QImage(4, 4, QImage::Format_RGB32);
    data.MaskImage = QImage(4, 4, QImage::Format_RGB32);
    data.ActivePictures = {QImage(2, 2, QImage::Format_RGB32)};
    ASSERT_NE(data.ActivePicture(0), nullptr);
    EXPECT_EQ(data.ActivePicture(1), nullptr);
    EXPECT_EQ(data.ActivePicture(-1), nullptr);
    data.ClearSkin();
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_TRUE(data.SkinObjects.empty());
    EXPECT_TRUE(data.SkinControls.empty());
    EXPECT_TRUE(data.ActivePictures.isEmpty());
    EXPECT_TRUE(data.Picture.isNull());
    EXPECT_TRUE(data.MaskImage.isNull());
    EXPECT_EQ(data.PopupWindowData.windowpictureindex, -1);
    EXPECT_EQ(data.HintWindowData.windowpictureindex, -1);
    EXPECT_EQ(data.FindControlIndex("panel"), -1);
}

struct Recorder : SkinMessageReceiver {
    Recorder(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
    void SkinMessage(skin::SkinChange message, TbsSkinData* from) override {
        log.push_back(name + ":" + std::to_string(static_cast<int>(message)));
        sender = from;
        if (onMessage) onMessage();
    }
    std::vector<std::string>& log;
    std::string name;
    TbsSkinData* sender = nullptr;
    std::function<void()> onMessage;
};

TEST(SkinData, OwnerHearsFirstThenEveryOtherReceiverInOrder) {
    std::vector<std::string> log;
    Recorder owner(log, "owner"), a(log, "a"), b(log, "b"), c(log, "c");
    TbsSkinData data;
    data.RegisterReceiver(&a);
    data.RegisterReceiver(&owner);  // the owner also registered: still heard once, first
    data.RegisterReceiver(&b);
    data.RegisterReceiver(&b);
    data.SetOwnerReceiver(&owner);
    data.RegisterReceiver(&c);
    data.BroadcastSkinMessage(SkinChange::Changed);
    EXPECT_EQ(log, (std::vector<std::string>{"owner:1226", "a:1226", "b:1226", "c:1226"}));
    EXPECT_EQ(a.sender, &data);

    // A receiver leaving while the message is delivered (and taking another with it) is
    // not called afterwards.
    log.clear();
    a.onMessage = [&] {
        data.UnregisterReceiver(&a);
        data.UnregisterReceiver(&b);
    };
    data.BroadcastSkinMessage(SkinChange::Changing);
    EXPECT_EQ(log, (std::vector<std::string>{"owner:1225", "a:1225", "c:1225"}));
    EXPECT_EQ(static_cast<int>(SkinChange::ChangeDone), 0x4CB);
}

}  // namespace
