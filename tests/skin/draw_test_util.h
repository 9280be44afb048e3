#pragma once
// Helpers of the drawing tests: pictures whose every pixel has its own colour, named by a
// character, so that a composed image can be written down as the rows of source pixels
// it shows.

#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImage>

#include <string>
#include <vector>

namespace skin::testing {

// Row-major pixel names of a labelled picture (up to 62 pixels).
inline const std::string& LabelChars() {
    static const std::string chars =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    return chars;
}

inline QRgb LabelColour(int index) {
    // Never black (black is the background of composed images) and never white.
    return qRgb(3 + 4 * index, 250 - 3 * index, 40 + (index * 37) % 200);
}

// A w by h picture whose pixel (x, y) is named LabelChars()[y·w + x]; 24-bit like the
// skin pictures.
inline QImage LabelledPicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, LabelColour(y * w + x));
    return img;
}

// The image as rows of pixel names: '.' for black, '?' for a colour of no label.
inline std::vector<std::string> Names(const QImage& img, int labels = 62) {
    std::vector<std::string> rows;
    for (int y = 0; y < img.height(); ++y) {
        std::string row;
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFFu;
            char name = '?';
            if (c == 0) name = '.';
            for (int i = 0; i < labels && name == '?'; ++i)
                if ((LabelColour(i) & 0xFFFFFFu) == c) name = LabelChars()[static_cast<size_t>(i)];
            row += name;
        }
        rows.push_back(row);
    }
    return rows;
}

// A canvas painted on by the glyph helpers, read back as '#' (the given colour), '.' (the
// background) and '?' (anything else).
inline std::vector<std::string> Marks(const QImage& img, QRgb ink, QRgb background) {
    std::vector<std::string> rows;
    for (int y = 0; y < img.height(); ++y) {
        std::string row;
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFFu;
            row += c == (ink & 0xFFFFFFu) ? '#' : c == (background & 0xFFFFFFu) ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

// Adds an image to a fingerprint: its size, format and the bytes of its pixels row by
// row (row padding left out). Golden tests pin whole images, or many of them, this way.
inline void AddPixels(QCryptographicHash& hash, const QImage& img) {
    const int size[] = {img.width(), img.height(), static_cast<int>(img.format())};
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(size), sizeof size));
    const qsizetype rowBytes = (static_cast<qsizetype>(img.width()) * img.depth() + 7) / 8;
    for (int y = 0; y < img.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(img.constScanLine(y)), rowBytes));
}

// The first 16 hex digits of the fingerprint, short enough to write into a test.
inline std::string Digest(const QCryptographicHash& hash) {
    return hash.result().toHex().left(16).toStdString();
}

// Text drawing and windows need a GUI application; the test binary has none of its own.
inline bool EnsureGuiApplication() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return true;
    if (QCoreApplication::instance()) return false;  // another test made a core one
    static int argc = 1;
    static char name[] = "skin_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return app != nullptr;
}

}  // namespace skin::testing
