// The compressed skin loader. Input starting with byte 0x01 is the inflated stream
// (version marker, picture block, text) and is deflated first, so the fuzzer reaches the
// picture block and the definition; any other input is taken as compressed data as is.

#include <cstdint>
#include <cstdlib>

#include "skin/SkinData.h"
#include "skin/StoredSkin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArrayView bytes(data, qsizetype(size));
    skin::TbsCompressedStoredSkin container;
    if (!bytes.isEmpty() && bytes[0] == '\x01')
        container.SetCompressedData(skin::DeflateSkin(bytes.sliced(1)));
    else
        container.SetCompressedData(bytes.toByteArray());

    skin::TbsSkinData skin;
    try {
        skin.LoadFromCompressedStoredSkin(container);
    } catch (const skin::SkinError&) {
        if (!skin.IsEmpty()) std::abort();
    }
    return 0;
}
