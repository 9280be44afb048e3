#include "skin/SkinData.h"

#include <algorithm>

#include "skin/SkinIni.h"

namespace skin {

namespace {

// Keys "0" .. count-1 of an entry list section, in index order, as (index, value).
// Walks the keys the section has rather than counting up to `count`, so a definition
// claiming a count of two billion costs nothing; a key counts only when it is written
// exactly as the index ("7", not "07" or "+7"), which is what reading key i would find.
std::vector<QString> ListedEntries(const SkinIni& ini, const QString& section) {
    const int count = ParseInteger(ini.ReadString(section, QStringLiteral("count"), QStringLiteral("0")), 0);
    std::vector<std::pair<int, QString>> found;
    if (count <= 0) return {};
    for (const QString& key : ini.Keys(section)) {
        if (key.isEmpty() || key.size() > 10 || (key.size() > 1 && key[0] == '0')) continue;
        bool ok = false;
        const qlonglong index = key.toLongLong(&ok);
        if (!ok || index < 0 || index >= count ||
            !std::all_of(key.begin(), key.end(), [](QChar c) { return c >= '0' && c <= '9'; }))
            continue;
        found.emplace_back(int(index), ini.ReadString(section, key, QString()));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<QString> values;
    values.reserve(found.size());
    for (auto& f : found) values.push_back(std::move(f.second));
    return values;
}

// Splits "name:type" at the first ":"; a value without ":" has neither name nor type.
std::pair<QString, QString> SplitEntry(const QString& value) {
    const qsizetype colon = value.indexOf(':');
    if (colon < 0) return {};
    return {value.first(colon), value.sliced(colon + 1)};
}

template <class Entry, class Create>
void ReadEntries(const SkinIni& ini, const QString& section, Create create,
                 std::vector<std::unique_ptr<Entry>>& into) {
    for (const QString& value : ListedEntries(ini, section)) {
        auto [name, type] = SplitEntry(value);
        std::unique_ptr<Entry> entry = create(type, name);
        if (!entry) continue;  // a type this program does not draw, such as "animate"
        into.push_back(std::move(entry));
        into.back()->LoadFromIni(ini);
    }
}

template <class Entry>
int FindIndex(const std::vector<std::unique_ptr<Entry>>& list, const QString& name) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i]->IDName == name) return int(i);
    return -1;
}

}  // namespace

TbsSkinData::TbsSkinData(QObject* owner) : QObject(owner) {}

TbsSkinData::~TbsSkinData() { ClearSkin(); }

const QImage* TbsSkinData::ActivePicture(int index) const {
    if (index < 0 || index >= ActivePictures.size()) return nullptr;
    return &ActivePictures[index];
}

int TbsSkinData::FindObjectIndex(const QString& name) const { return FindIndex(SkinObjects, name); }

int TbsSkinData::FindControlIndex(const QString& name) const { return FindIndex(SkinControls, name); }

void TbsSkinData::ClearSkin() {
    SkinObjects.clear();
    SkinControls.clear();
    ActivePictures.clear();
    PopupWindowData.windowpictureindex = -1;
    HintWindowData.windowpictureindex = -1;
    Picture = QImage();
    InactivePicture = QImage();
    MaskImage = QImage();
    empty_ = true;
}

void TbsSkinData::ReadVersion(const SkinIni& ini) {
    const QString s = QStringLiteral("VERSION");
    skinname = ini.ReadString(s, QStringLiteral("skinname"), QString());
    skinauthor = ini.ReadString(s, QStringLiteral("skinauthor"), QString());
    authoremail = ini.ReadString(s, QStringLiteral("authoremail"), QString());
    authorurl = ini.ReadString(s, QStringLiteral("authorurl"), QString());
    skincomments = ini.ReadString(s, QStringLiteral("skincomments"), QString());
}

void TbsSkinData::ReadSections(const SkinIni& ini) {
    FormInfo.LoadFromIni(ini);
    PopupWindowData.LoadFromIni(ini);
    HintWindowData.LoadFromIni(ini);
    ReadEntries(ini, QStringLiteral("SKINOBJECTS"), CreateSkinObject, SkinObjects);
    ReadEntries(ini, QStringLiteral("SKINCONTROLS"), CreateSkinControl, SkinControls);
}

void TbsSkinData::ReadDefinition(const SkinIni& ini) {
    ReadVersion(ini);
    ReadSections(ini);
}

void TbsSkinData::SetStoredSkin(TbsStoredSkin* skin) {
    storedSkin_ = skin;
    if (skin) LoadFromStoredSkin(*skin);
}

void TbsSkinData::SetCompressedStoredSkin(TbsCompressedStoredSkin* skin) {
    compressedSkin_ = skin;
    if (skin) LoadFromCompressedStoredSkin(*skin);
}

void TbsSkinData::LoadFromStoredSkin(const TbsStoredSkin& skin) {
    empty_ = true;
    BroadcastSkinMessage(SkinChange::Changing);
    ClearSkin();
    const SkinIni ini(skin.IniStrings);
    if (ini.IsValidDefinition()) {
        ReadVersion(ini);
        Picture = skin.Picture;
        InactivePicture = skin.InactivePicture;
        MaskImage = skin.Mask;
        ActivePictures = skin.ActivePictures;
        ReadSections(ini);
        empty_ = false;
    }
    BroadcastSkinMessage(SkinChange::Changed);
    BroadcastSkinMessage(SkinChange::ChangeDone);
}

void TbsSkinData::LoadFromCompressedStoredSkin(const TbsCompressedStoredSkin& skin) {
    if (skin.IsEmpty()) return;
    empty_ = true;
    BroadcastSkinMessage(SkinChange::Changing);
    ClearSkin();
    InflatedSkin inflated;
    try {
        inflated = ParseInflatedSkin(skin.Inflate());
    } catch (const SkinError&) {
        BroadcastSkinMessage(SkinChange::Changed);
        BroadcastSkinMessage(SkinChange::ChangeDone);
        throw;
    }
    if (inflated.version == kCompressedSkinVersion) {
        Picture = inflated.pictures.picture.image;
        InactivePicture = inflated.pictures.inactivePicture.image;
        MaskImage = inflated.pictures.mask.image;
        for (const BlockPicture& p : inflated.pictures.active) ActivePictures << p.image;
        // No validity test here: missing sections give their defaults.
        ReadDefinition(SkinIni::FromText(inflated.text));
        empty_ = false;
    }
    BroadcastSkinMessage(SkinChange::Changed);
    BroadcastSkinMessage(SkinChange::ChangeDone);
}

void TbsSkinData::SetOwnerReceiver(SkinMessageReceiver* owner) { owner_ = owner; }

void TbsSkinData::RegisterReceiver(SkinMessageReceiver* receiver) {
    if (receiver && std::find(receivers_.begin(), receivers_.end(), receiver) == receivers_.end())
        receivers_.push_back(receiver);
}

void TbsSkinData::UnregisterReceiver(SkinMessageReceiver* receiver) {
    std::erase(receivers_, receiver);
    if (owner_ == receiver) owner_ = nullptr;
}

void TbsSkinData::BroadcastSkinMessage(skin::SkinChange message) {
    // A receiver may unregister itself or others while handling the message (a form
    // closing in reaction to it): deliver from a snapshot and skip whoever has left.
    std::vector<SkinMessageReceiver*> order;
    if (owner_) order.push_back(owner_);
    for (SkinMessageReceiver* r : receivers_)
        if (r != owner_) order.push_back(r);
    for (SkinMessageReceiver* r : order) {
        const bool stillThere =
            r == owner_ || std::find(receivers_.begin(), receivers_.end(), r) != receivers_.end();
        if (stillThere) r->SkinMessage(message, this);
    }
}

}  // namespace skin
