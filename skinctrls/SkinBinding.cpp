#include "skinctrls/SkinBinding.h"

namespace skinctrls {

SkinBinding::SkinBinding(QWidget* owner, QString name, platform::TFont defaultFont, std::function<void()> forget)
    : owner_(owner), forget_(std::move(forget)), name_(std::move(name)), defaultFont_(std::move(defaultFont)) {}

SkinBinding::~SkinBinding() { QObject::disconnect(destroyed_); }

void SkinBinding::SetData(skin::TbsSkinData* data) {
    QObject::disconnect(destroyed_);
    data_ = data;
    // A removed skin data leaves the control in its plain look.
    if (data)
        destroyed_ = QObject::connect(data, &QObject::destroyed, owner_, [this] {
            Forget();
            if (forget_) forget_();
            owner_->update();
        });
}

bool SkinBinding::SetName(const QString& name) {
    if (name_ == name) return false;
    name_ = name;
    return true;
}

const skin::TbsDataSkinControl* SkinBinding::Lookup(const Accept& accept) {
    index_ = Usable() ? data_->FindControlIndex(name_) : -1;
    const skin::TbsDataSkinControl* e = Entry();
    if (e && accept && !accept(*e)) {
        index_ = -1;
        e = nullptr;
    }
    return e;
}

const skin::TbsDataSkinControl* SkinBinding::Entry() const {
    if (index_ < 0 || !Usable() || size_t(index_) >= data_->SkinControls.size()) return nullptr;
    const skin::TbsDataSkinControl* e = data_->SkinControls[size_t(index_)].get();
    // After a load this control did not hear of, the index may address another entry.
    return e && e->IDName == name_ ? e : nullptr;
}

}  // namespace skinctrls
