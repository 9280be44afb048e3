// The definition reader on arbitrary text: parsing, both ways into TbsSkinData, the
// lookups, writing every entry back and the JSON dump.

#include <cstdint>
#include <cstdlib>

#include "skin/SkinData.h"
#include "skin/SkinFiles.h"
#include "skin/SkinIni.h"
#include "skin/StoredSkin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    const skin::SkinIni ini = skin::SkinIni::FromText(bytes);

    skin::TbsSkinData read;
    read.ReadDefinition(ini);
    for (const auto& e : read.SkinObjects)
        if (read.FindObjectIndex(e->IDName) < 0) std::abort();
    for (const auto& e : read.SkinControls)
        if (read.FindControlIndex(e->IDName) < 0) std::abort();

    // Whatever an entry writes, a fresh entry of its class reads back and writes again
    // to the same text.
    auto roundTrip = [](skin::SkinEntry& e, auto create) {
        skin::SkinIni written;
        e.SaveToIni(written);
        auto copy = create(QString::fromLatin1(e.TypeName()), e.IDName);
        if (!copy) std::abort();
        copy->LoadFromIni(written);
        skin::SkinIni again;
        copy->SaveToIni(again);
        if (again.ToLines() != written.ToLines()) std::abort();
    };
    for (const auto& e : read.SkinObjects) roundTrip(*e, skin::CreateSkinObject);
    for (const auto& e : read.SkinControls) roundTrip(*e, skin::CreateSkinControl);
    skin::DumpSkinDefinition(ini);

    skin::TbsStoredSkin stored;
    stored.IniStrings = skin::SplitSkinLines(skin::DecodeSkinText(bytes));
    skin::TbsSkinData loaded;
    loaded.LoadFromStoredSkin(stored);
    if (loaded.IsEmpty() == ini.IsValidDefinition()) std::abort();
    return 0;
}
