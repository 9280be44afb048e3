#include "skins/Carried.h"

#include <stdexcept>

#include "skin/SkinIni.h"
#include "skins/CarriedData.h"

namespace skins {

namespace {

QByteArray Bytes(const unsigned char* data, qsizetype size) {
    // The data is static: no copy is made.
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), size);
}

}  // namespace

QByteArray CarriedStoredSkin() { return Bytes(data::kStoredPictures, data::kStoredPicturesSize); }

QStringList CarriedStoredSkinLines() {
    return skin::SplitSkinLines(skin::DecodeSkinText(Bytes(data::kStoredText, data::kStoredTextSize)));
}

QByteArray CarriedCompressedSkin() { return Bytes(data::kCompressed, data::kCompressedSize); }

void FillCarriedStoredSkin(skin::TbsStoredSkin& stored) {
    stored.FileName = QString::fromUtf8(data::kFileName);
    stored.IniStrings = CarriedStoredSkinLines();
    stored.ReadPictures(CarriedStoredSkin());
}

void FillCarriedCompressedSkin(skin::TbsCompressedStoredSkin& compressed) {
    compressed.FileName = QString::fromUtf8(data::kFileName);
    compressed.SetCompressedData(CarriedCompressedSkin());
}

void LoadCarriedSkin(skin::TbsSkinData& skinData) {
    skin::TbsStoredSkin stored;
    FillCarriedStoredSkin(stored);
    skinData.LoadFromStoredSkin(stored);
    skin::TbsCompressedStoredSkin compressed;
    FillCarriedCompressedSkin(compressed);
    skinData.LoadFromCompressedStoredSkin(compressed);
}

void LoadCarriedOrFileSkin(skin::TbsSkinData& skinData, const QString& skinFile) {
    if (skinFile.isEmpty()) {
        LoadCarriedSkin(skinData);
        return;
    }
    skin::TbsStoredSkin stored;
    stored.LoadFromSkinFile(skinFile);
    skinData.LoadFromStoredSkin(stored);
    if (skinData.IsEmpty())
        throw std::runtime_error(QStringLiteral("%1 is not a skin definition: it needs the sections VERSION, "
                                                "PICTURES, FORMINFO, SKINOBJECTS and SKINCONTROLS")
                                     .arg(skinFile)
                                     .toStdString());
}

}  // namespace skins
