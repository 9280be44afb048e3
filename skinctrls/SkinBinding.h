#pragma once
// SkinBinding: what ties one skinned widget to its control entry, held by every skinned
// control (the windowed bases, the label and the edit) and the one place that knows the
// skin data reference, the entry name, the lookup and the plain look's font and size.
//
// The skin data is not owned. The binding keeps the entry as it was last looked up (an
// index and the name it was found under) and hands it out only while the skin data still
// holds that entry: the skin data owns its entries and frees them on every load, so a
// control never keeps a pointer into it, only this reference and the values it copied
// when it looked the entry up. When the skin data is destroyed the reference clears
// itself, the control forgets its entry (as on SkinChange::Changing) and repaints in its
// plain look.
//
// Lookups happen when the skin data, the entry name or the skin changes (the control
// asks for them); painting reads what the control stored then.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

#include "platform/Fonts.h"
#include "skin/SkinData.h"

namespace skinctrls {

class SkinBinding {
public:
    // owner repaints when the skin data goes, after forget (which drops what the control
    // copied from the entry); name is the entry name to start with.
    SkinBinding(QWidget* owner, QString name, platform::TFont defaultFont, std::function<void()> forget);
    ~SkinBinding();
    SkinBinding(const SkinBinding&) = delete;
    SkinBinding& operator=(const SkinBinding&) = delete;

    // --- the skin data and the entry name -----------------------------------------------
    skin::TbsSkinData* Data() const { return data_; }
    // Stores the reference (nothing is looked up here).
    void SetData(skin::TbsSkinData* data);
    const QString& Name() const { return name_; }
    // Stores the name; false when it is the same (nothing is looked up here).
    bool SetName(const QString& name);
    // A skin data is set and holds a skin.
    bool Usable() const { return data_ && !data_->IsEmpty(); }

    // --- the entry ------------------------------------------------------------------------
    // Looks the entry up by name; an entry accept refuses counts as missing (the control
    // cannot draw from it). Returns the entry, or nullptr.
    using Accept = std::function<bool(const skin::TbsDataSkinControl&)>;
    const skin::TbsDataSkinControl* Lookup(const Accept& accept = {});
    // Keeps nothing of the entry (the skin data is about to change).
    void Forget() { index_ = -1; }
    // Index of the entry as last looked up, -1 for none.
    int Index() const { return index_; }
    bool HasEntry() const { return index_ >= 0; }
    // The entry as last looked up while the skin data still holds it, else nullptr.
    const skin::TbsDataSkinControl* Entry() const;
    // The skin data's active picture at index, or nullptr.
    const QImage* Picture(int index) const { return data_ ? data_->ActivePicture(index) : nullptr; }

    // --- the plain look -------------------------------------------------------------------
    // Font without a skin font, and the size forced without an entry (values above 0 act).
    const platform::TFont& DefaultFont() const { return defaultFont_; }
    void SetDefaultFont(const platform::TFont& f) { defaultFont_ = f; }
    bool UseSkinFont() const { return useSkinFont_; }
    void SetUseSkinFont(bool v) { useSkinFont_ = v; }
    int DefaultWidth() const { return defaultWidth_; }
    void SetDefaultWidth(int v) { defaultWidth_ = v; }
    int DefaultHeight() const { return defaultHeight_; }
    void SetDefaultHeight(int v) { defaultHeight_ = v; }
    // The entry's font with UseSkinFont, else the default font.
    platform::TFont FontFor(const platform::TFont& entryFont) const { return useSkinFont_ ? entryFont : defaultFont_; }

private:
    QWidget* owner_;
    std::function<void()> forget_;
    QPointer<skin::TbsSkinData> data_;
    QMetaObject::Connection destroyed_;
    QString name_;
    int index_ = -1;
    platform::TFont defaultFont_;
    bool useSkinFont_ = true;
    int defaultWidth_ = 0;
    int defaultHeight_ = 0;
};

}  // namespace skinctrls
