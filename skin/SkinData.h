#pragma once
// TbsSkinData: one parsed skin in memory (definition entries and pictures) and the
// skin-change notifications that tell every form when it is replaced.
//
// Ownership: the skin data owns its pictures and entries. Consumers find their entry by
// name and may keep pointers to it only between SkinChange::Changed and the next
// SkinChange::Changing; every load starts by clearing everything.
//
// Threading: user-interface thread only; messages are delivered synchronously.

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

#include "skin/SkinEntries.h"
#include "skin/StoredSkin.h"

namespace skin {

class SkinIni;

// The skin-change notifications, in the order a load sends them. Their values are the
// window-message numbers the design gave them (1225-1227), which logs show.
enum class SkinChange {
    Changing = 1225,    // entries are about to go away
    Changed = 1226,     // a new skin (or none) is in place
    ChangeDone = 1227,  // every form has seen Changed
};

class TbsSkinData;

// A form (or anything standing for one) that hears skin changes. A receiver reacts only
// when skinData is the skin data it uses: every registered receiver hears every skin
// data that it registered with.
class SkinMessageReceiver {
public:
    virtual ~SkinMessageReceiver() = default;
    virtual void SkinMessage(skin::SkinChange message, TbsSkinData* skinData) = 0;
};

class TbsSkinData : public QObject {
    Q_OBJECT

public:
    explicit TbsSkinData(QObject* owner = nullptr);
    ~TbsSkinData() override;

    // --- loading ------------------------------------------------------------------------
    // The containers the skin comes from. Setting one loads it at once (when not null);
    // when both are set, stored skin first, the compressed one replaces it. A reference
    // becomes null when its container is destroyed; the loaded skin stays.
    TbsStoredSkin* StoredSkin() const { return storedSkin_; }
    void SetStoredSkin(TbsStoredSkin* skin);
    TbsCompressedStoredSkin* CompressedStoredSkin() const { return compressedSkin_; }
    void SetCompressedStoredSkin(TbsCompressedStoredSkin* skin);

    // Both loads: SkinChange::Changing, clear, load, then SkinChange::Changed and
    // SkinChange::ChangeDone. When the load stops early (a definition without one of the five
    // required sections, a compressed skin of another version) the skin data stays empty
    // and the two closing messages are still sent, so forms settle on the plain look.
    void LoadFromStoredSkin(const TbsStoredSkin& skin);
    // Does nothing at all for an empty container. A malformed compressed skin (corrupt
    // stream, broken picture block) leaves the skin data empty, sends the closing
    // messages and then throws SkinError.
    void LoadFromCompressedStoredSkin(const TbsCompressedStoredSkin& skin);

    // True from creation, during a load and whenever no valid skin is loaded. Consumers
    // treat an empty skin data exactly like none.
    bool IsEmpty() const { return empty_; }

    // [VERSION]
    QString skinname, skinauthor, authoremail, authorurl, skincomments;

    // Pictures; each may be null. Entries address ActivePictures by index (-1 or out of
    // range: no picture).
    QImage Picture, InactivePicture, MaskImage;
    QList<QImage> ActivePictures;
    // The active picture at index, or nullptr when the index addresses none.
    const QImage* ActivePicture(int index) const;

    TbsDataSkinFormInfo FormInfo;
    TbsDataSkinPopupWindow PopupWindowData;  // kept for the skin data's life
    TbsDataSkinHintWindow HintWindowData;    // likewise
    std::vector<std::unique_ptr<TbsDataSkinObject>> SkinObjects;    // [SKINOBJECTS] order
    std::vector<std::unique_ptr<TbsDataSkinControl>> SkinControls;  // [SKINCONTROLS] order

    // Position of the first entry whose IDName equals name exactly (case-sensitive), or -1.
    int FindObjectIndex(const QString& name) const;
    int FindControlIndex(const QString& name) const;
    // The first entry of that name if it is a T (or derived from T); a wrong class counts
    // as missing.
    template <class T>
    T* FindControl(const QString& name) const {
        const int i = FindControlIndex(name);
        return i < 0 ? nullptr : dynamic_cast<T*>(SkinControls[size_t(i)].get());
    }
    template <class T>
    T* FindObject(const QString& name) const {
        const int i = FindObjectIndex(name);
        return i < 0 ? nullptr : dynamic_cast<T*>(SkinObjects[size_t(i)].get());
    }

    // Frees every entry and picture, resets the window sections' windowpictureindex to
    // -1 and marks the skin data empty. Sends no message.
    void ClearSkin();

    // Reads [VERSION], [FORMINFO], [POPUPWINDOW], [HINTWINDOW], then the entries of
    // [SKINOBJECTS] and [SKINCONTROLS] (entries of unknown types are skipped). Used by
    // both loads after the pictures are in place; on its own (no pictures, no messages,
    // emptiness unchanged) by the definition dump.
    void ReadDefinition(const SkinIni& ini);

    // --- skin-change messages ---------------------------------------------------------
    // The owner form hears every message first; then each other registered receiver in
    // the order of registration. A receiver must unregister before it is destroyed; one
    // that unregisters while a message is being delivered is not called afterwards.
    void SetOwnerReceiver(SkinMessageReceiver* owner);
    void RegisterReceiver(SkinMessageReceiver* receiver);
    void UnregisterReceiver(SkinMessageReceiver* receiver);
    void BroadcastSkinMessage(skin::SkinChange message);

private:
    void ReadVersion(const SkinIni& ini);
    void ReadSections(const SkinIni& ini);

    QPointer<TbsStoredSkin> storedSkin_;
    QPointer<TbsCompressedStoredSkin> compressedSkin_;
    bool empty_ = true;
    SkinMessageReceiver* owner_ = nullptr;
    std::vector<SkinMessageReceiver*> receivers_;
};

}  // namespace skin
