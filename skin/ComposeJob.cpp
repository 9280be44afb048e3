#include "skin/ComposeJob.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegion>

#include <cmath>
#include <optional>
#include <utility>

#include "skin/Bmp.h"
#include "skin/Compose.h"
#include "skin/SkinError.h"

namespace skin {

namespace {

// Sizes and coordinates beyond these are refused: they keep the arithmetic of the
// routines far from overflow and the images within what a skin element can be.
constexpr int kMaxSize = 16384;
constexpr long long kMaxPixels = 1LL << 26;
constexpr int kMaxCoordinate = 1 << 20;

[[noreturn]] void Fail(const QString& message) { throw SkinError(message); }

class Job {
public:
    explicit Job(QJsonObject o) : o_(std::move(o)) {}

    bool has(const char* key) const { return o_.contains(key); }

    QString text(const char* key) const {
        const QJsonValue v = o_.value(key);
        if (!v.isString() || v.toString().isEmpty())
            Fail(QString("\"%1\" must be a non-empty string").arg(key));
        return v.toString();
    }

    int number(const char* key, int min, int max) const { return Int(o_.value(key), key, min, max); }
    int number(const char* key, int min, int max, int def) const {
        return has(key) ? number(key, min, max) : def;
    }

    bool flag(const char* key) const {
        if (!has(key)) return false;
        const QJsonValue v = o_.value(key);
        if (!v.isBool()) Fail(QString("\"%1\" must be true or false").arg(key));
        return v.toBool();
    }

    QPoint point(const char* key) const {
        if (!has(key)) return {};
        const QJsonArray a = Array(key, 2);
        return {Int(a[0], key, -kMaxCoordinate, kMaxCoordinate),
                Int(a[1], key, -kMaxCoordinate, kMaxCoordinate)};
    }

    Rect rect(const char* key, const Rect& def) const {
        if (!has(key)) return def;
        const QJsonArray a = Array(key, 4);
        Rect r;
        r.left = Int(a[0], key, -kMaxCoordinate, kMaxCoordinate);
        r.top = Int(a[1], key, -kMaxCoordinate, kMaxCoordinate);
        r.right = Int(a[2], key, -kMaxCoordinate, kMaxCoordinate);
        r.bottom = Int(a[3], key, -kMaxCoordinate, kMaxCoordinate);
        return r;
    }

private:
    static int Int(const QJsonValue& v, const char* key, int min, int max) {
        const double d = v.toDouble(std::nan(""));
        if (!v.isDouble() || d != std::floor(d) || d < min || d > max)
            Fail(QString("\"%1\" needs whole numbers from %2 to %3").arg(key).arg(min).arg(max));
        return static_cast<int>(d);
    }

    QJsonArray Array(const char* key, int size) const {
        const QJsonValue v = o_.value(key);
        if (!v.isArray() || v.toArray().size() != size)
            Fail(QString("\"%1\" must be an array of %2 numbers").arg(key).arg(size));
        return v.toArray();
    }

    QJsonObject o_;
};

QJsonObject ParseJob(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        Fail(QString("the job is not JSON: %1 at offset %2")
                 .arg(error.errorString())
                 .arg(error.offset));
    if (!doc.isObject()) Fail("the job must be a JSON object");
    return doc.object();
}

QImage ReadPicture(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) Fail(QString("cannot open picture %1: %2").arg(path, f.errorString()));
    try {
        return ReadBmp(f.readAll());
    } catch (const std::exception& e) {
        Fail(QString("picture %1: %2").arg(path, QString::fromStdString(e.what())));
    }
}

void WritePicture(const QImage& image, const QString& path) {
    const QByteArray bytes = WriteBmp24(image);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() || !f.flush())
        Fail(QString("cannot write %1: %2").arg(path, f.errorString()));
}

void WriteElement(const QImage& image, const QString& path) {
    if (image.isNull()) Fail("the composed image is empty (a width or height below 1)");
    WritePicture(image, path);
}

QString RegionJson(const std::optional<QRegion>& region) {
    if (!region) return "null";
    QJsonArray rects;
    for (const QRect& r : *region)  // QRegion keeps its rectangles sorted by top, then left
        rects.append(QJsonArray{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()});
    return QString::fromUtf8(QJsonDocument(rects).toJson(QJsonDocument::Compact));
}

}  // namespace

QString RunComposeJob(const QByteArray& json) {
    const Job job(ParseJob(json));
    const QString routine = job.text("routine");
    static const QStringList kRoutines = {"skin", "horizontal", "vertical", "frame", "maskregion"};
    if (!kRoutines.contains(routine))
        Fail(QString("unknown routine \"%1\" (expected one of %2)").arg(routine, kRoutines.join(", ")));

    const QImage picture = ReadPicture(job.text("picture"));
    const Rect S = job.rect("S", Rect{0, 0, picture.width(), picture.height()});
    AnchorGeometry g;
    g.LT = job.point("LT");
    g.RT = job.point("RT");
    g.LB = job.point("LB");
    g.RB = job.point("RB");
    g.C = job.rect("C", Rect{});

    if (routine == "maskregion") {
        std::optional<QRegion> region;
        if (job.has("W") || job.has("H")) {
            const int W = job.number("W", 0, kMaxSize), H = job.number("H", 0, kMaxSize);
            const AnchorGeometry n = NewGeometry(g, picture.size(), W, H);
            region = ComposeMaskRegion(picture, g, n, W, H);
        } else {
            region = MaskToRegion(picture, 0, 0);
        }
        return RegionJson(region);
    }

    const QString out = job.text("out");
    if (routine == "horizontal") {
        const int W = job.number("W", 0, kMaxSize);
        const int left = job.number("left", 0, kMaxSize, g.LT.x());
        const int right = job.number("right", 0, kMaxSize, S.Width() - g.RT.x());
        WriteElement(ComposeHorizontalImage(picture, S, left, right, W), out);
    } else if (routine == "vertical") {
        const int H = job.number("H", 0, kMaxSize);
        const int top = job.number("top", 0, kMaxSize, g.LT.y());
        const int bottom = job.number("bottom", 0, kMaxSize, S.Height() - g.LB.y());
        WriteElement(ComposeVerticalImage(picture, S, top, bottom, H), out);
    } else {
        const int W = job.number("W", 0, kMaxSize), H = job.number("H", 0, kMaxSize);
        if (static_cast<long long>(W) * H > kMaxPixels)
            Fail(QString("%1 by %2 is more than %3 pixels").arg(W).arg(H).arg(kMaxPixels));
        const AnchorGeometry n = NewGeometry(g, QSize(S.Width(), S.Height()), W, H);
        if (routine == "skin") {
            WriteElement(ComposeSkinImage(picture, S, g, n, W, H, job.flag("fill")), out);
        } else {  // frame
            const BorderImages b = ComposeFrameBorders(picture, S, g, n, W, H);
            QString base = out;
            if (base.endsWith(".bmp", Qt::CaseInsensitive)) base.chop(4);
            const std::pair<const QImage*, const char*> parts[] = {
                {&b.top, "top"}, {&b.bottom, "bottom"}, {&b.left, "left"}, {&b.right, "right"}};
            for (const auto& [image, name] : parts)
                if (!image->isNull()) WritePicture(*image, base + "-" + name + ".bmp");
        }
    }
    return {};
}

}  // namespace skin
