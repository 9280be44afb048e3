#include "db/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "db/Error.h"

namespace db {

namespace {

std::string IconvName(const QString& name) {
    const QString upper = name.trimmed().toUpper();
    // The Windows ANSI page of Traditional Chinese is what "Big5" means for this data.
    if (upper.isEmpty() || upper == "BIG5" || upper == "BIG-5") return kDefaultCodePage;
    return upper.toStdString();
}

// A converter that lives for one call: iconv descriptors are cheap to open and this
// keeps CodePage copyable and free of shared state.
class Iconv {
public:
    Iconv(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

}  // namespace

CodePage::CodePage(const QString& name) : name_(name), iconvName_(IconvName(name)) {
    Iconv probe("UTF-8", iconvName_);
    if (!probe.ok())
        throw DbError("unknown code page '" + name.toStdString() + "'");
}

CodePage::~CodePage() = default;
CodePage::CodePage(const CodePage&) = default;
CodePage& CodePage::operator=(const CodePage&) = default;

QByteArray CodePage::Encode(const QString& text) const {
    if (text.isEmpty()) return {};
    Iconv cv(iconvName_, "UTF-8");
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 8, Qt::Uninitialized);
    char* src = in.data();
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cv.get(), &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                const qsizetype used = dst - out.data();
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dstLeft = out.size() - used;
                continue;
            }
            // Name the character that cannot be stored rather than store it altered.
            const QString rest = QString::fromUtf8(src, static_cast<qsizetype>(srcLeft));
            const QString ch = rest.isEmpty() ? QString() : QString(rest.at(0).isHighSurrogate() ? rest.left(2) : rest.left(1));
            throw DbError("the character '" + ch.toStdString() + "' in '" + text.toStdString() +
                          "' cannot be stored in code page " + name_.toStdString());
        }
    }
    iconv(cv.get(), nullptr, nullptr, &dst, &dstLeft);
    out.resize(dst - out.data());
    return out;
}

QString CodePage::Decode(const QByteArray& bytes) const { return Decode(bytes.constData(), bytes.size()); }

QString CodePage::Decode(const char* data, size_t size) const {
    if (size == 0) return {};
    Iconv cv("UTF-8", iconvName_);
    std::vector<char> in(data, data + size);
    QByteArray out(static_cast<qsizetype>(size * 3 + 8), Qt::Uninitialized);
    char* src = in.data();
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cv.get(), &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            const qsizetype used = dst - out.data();
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
            continue;
        }
        // An invalid or truncated sequence: one replacement character, skip one byte.
        static const char kReplacement[] = "\xEF\xBF\xBD";
        if (dstLeft < 3) {
            const qsizetype used = dst - out.data();
            out.resize(out.size() + 16);
            dst = out.data() + used;
            dstLeft = out.size() - used;
        }
        for (char c : {kReplacement[0], kReplacement[1], kReplacement[2]}) *dst++ = c;
        dstLeft -= 3;
        ++src;
        --srcLeft;
        iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return QString::fromUtf8(out.constData(), dst - out.data());
}

}  // namespace db
