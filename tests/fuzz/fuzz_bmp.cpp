// The BMP reader on arbitrary bytes, alone and as a picture block. Whatever it accepts
// must write back and read again to the same pixels, within the bytes it said it used.

#include <cstdint>
#include <cstdlib>

#include "skin/Bmp.h"
#include "skin/StoredSkin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    try {
        qsizetype used = 0;
        const QImage image = skin::ReadBmp(bytes, &used);
        if (used <= 0 || used > bytes.size() || image.isNull()) std::abort();
        const QImage again = skin::ReadBmp(skin::WriteBmp(image));
        if (again.convertToFormat(QImage::Format_RGB32) != image.convertToFormat(QImage::Format_RGB32)) std::abort();
    } catch (const skin::SkinError&) {
    }
    try {
        qsizetype used = 0;
        skin::ReadPictureBlock(bytes, &used);
        if (used > bytes.size()) std::abort();
    } catch (const skin::SkinError&) {
    }
    return 0;
}
