#include "db/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
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

[[noreturn]] void ThrowUnstorable(const QString& text, qsizetype at, const QString& page) {
    const QChar c = text.at(at);
    const bool pair = c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate();
    const char32_t code = pair ? QChar::surrogateToUcs4(c, text.at(at + 1)) : c.unicode();
    throw DbError("the character '" + text.mid(at, pair ? 2 : 1).toStdString() + "' (" +
                  QString::asprintf("U+%04X", static_cast<unsigned>(code)).toStdString() + ") in '" +
                  text.toStdString() + "' cannot be stored in code page " + page.toStdString());
}

// Double-byte codes of the Big5 page: a lead byte 0x81-0xFE, then a trail byte 0x40-0x7E
// or 0xA1-0xFE. The pair table has a slot for every trail byte from 0x40 to 0xFE.
constexpr unsigned kLeadFirst = 0x81;
constexpr unsigned kLeadLast = 0xFE;
constexpr unsigned kSlotsPerLead = 0xFE - 0x40 + 1;
constexpr unsigned kRowLength = 157;  // trail bytes in a row

constexpr bool IsLead(unsigned b) { return b >= kLeadFirst && b <= kLeadLast; }
constexpr bool IsTrail(unsigned b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE); }
constexpr unsigned Slot(unsigned lead, unsigned trail) { return (lead - kLeadFirst) * kSlotsPerLead + (trail - 0x40); }
constexpr unsigned Slot(unsigned code) { return Slot(code >> 8, code & 0xFF); }
// A trail byte's place in its row of 157.
constexpr unsigned TrailOrdinal(unsigned trail) { return trail <= 0x7E ? trail - 0x40 : trail - 0x62; }

// The user-defined (EUDC) blocks and the private-use characters Windows gives them, in
// rows of 157 from the block's first code on.
struct UserDefinedBlock {
    unsigned first, last;
    char16_t firstChar;
};
constexpr UserDefinedBlock kUserDefined[] = {
    {0xFA40, 0xFEFE, 0xE000}, {0x8E40, 0xA0FE, 0xE311}, {0x8140, 0x8DFE, 0xEEB8}, {0xC6A1, 0xC8FE, 0xF6B1}};

// The rarer code of a character Big5 holds twice, and the character of its own it reads as.
struct RarerCode {
    unsigned code;
    char16_t ch;
};
constexpr RarerCode kRarerCodes[] = {{0xC94A, 0xFA0C}, {0xDDFC, 0xFA0D}, {0xA2CC, 0x3038}, {0xA2CE, 0x303A}};

// Box-drawing characters Big5 holds twice: the code Windows writes for the character,
// and the other one, which reads as the character and VARIATION SELECTOR-1.
struct BoxVariant {
    char16_t ch;
    unsigned written, variant;
};
constexpr BoxVariant kBoxVariants[] = {
    {0x2550, 0xF9F9, 0xA2A4}, {0x255E, 0xF9E9, 0xA2A5}, {0x256A, 0xF9EA, 0xA2A6}, {0x2561, 0xF9EB, 0xA2A7},
    {0x256D, 0xA27E, 0xF9FA}, {0x256E, 0xA2A1, 0xF9FB}, {0x2570, 0xA2A2, 0xF9FC}, {0x256F, 0xA2A3, 0xF9FD}};
constexpr char16_t kVariationSelector1 = 0xFE00;
// A box variant's slot holds this surrogate (never a character of the page) plus its
// index in kBoxVariants.
constexpr char16_t kVariantMark = 0xD800;
constexpr bool IsVariantMark(char16_t ch) { return ch >= kVariantMark && ch < kVariantMark + std::size(kBoxVariants); }

// Single bytes: 0x80 and 0xFF as Windows reads them, a byte that starts no character as
// a reserved private-use code point.
constexpr char16_t kByte80 = 0x0080;
constexpr char16_t kByteFF = 0xF8F8;
constexpr char16_t kLoneByteBase = 0xF7C8;  // + 0x81..0xFE = U+F849..U+F8C6

constexpr char16_t SingleByteChar(unsigned b) {
    return b == 0x80 ? kByte80 : b == 0xFF ? kByteFF : static_cast<char16_t>(kLoneByteBase + b);
}

// Length of the leading run of ASCII bytes, eight at a time.
size_t AsciiPrefix(const unsigned char* p, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

// iconv ran out of room: doubles the output buffer, keeping what was written and the
// write position in it.
void GrowOutput(QByteArray& out, char*& dst, size_t& dstLeft) {
    const qsizetype used = dst - out.data();
    out.resize(out.size() * 2);
    dst = out.data() + used;
    dstLeft = static_cast<size_t>(out.size() - used);
}

// The code of the block's ordinal-th character (rows of 157 from its first code).
constexpr unsigned BlockCode(const UserDefinedBlock& block, unsigned ordinal) {
    const unsigned at = TrailOrdinal(block.first & 0xFF) + ordinal;
    const unsigned trailOrdinal = at % kRowLength;
    return ((block.first >> 8) + at / kRowLength) << 8 | (trailOrdinal < 0x3F ? 0x40 + trailOrdinal : 0x62 + trailOrdinal);
}
constexpr unsigned BlockSize(const UserDefinedBlock& block) {
    return kRowLength * ((block.last >> 8) - (block.first >> 8)) + TrailOrdinal(block.last & 0xFF) -
           TrailOrdinal(block.first & 0xFF) + 1;
}

}  // namespace

unsigned UserDefinedCode(char32_t codePoint) {
    for (const UserDefinedBlock& block : kUserDefined)
        if (codePoint >= block.firstChar && codePoint < block.firstChar + BlockSize(block))
            return BlockCode(block, codePoint - block.firstChar);
    return 0;
}

char32_t FirstUserDefined() { return kUserDefined[0].firstChar; }
char32_t LastUserDefined() {
    const UserDefinedBlock& last = kUserDefined[std::size(kUserDefined) - 1];
    return last.firstChar + BlockSize(last) - 1;
}

// The Windows Big5 page's tables, built once per process: the standard characters from
// the system's iconv table, then the user-defined blocks, the duplicates and the single
// bytes as described in CodePage.h. Every double-byte code that reads as a character is
// the only code that character is written as, so whatever is read is written back with
// the same bytes; a code iconv reads as a character another code already stands for
// reads as its two bytes instead.
class Windows950 {
public:
    static const Windows950& Instance() {
        static const Windows950 tables;
        return tables;
    }

    QString Decode(const char* data, size_t size) const;
    // Appends the bytes of text to out (out is left as it was when text is refused).
    void EncodeAppend(const QString& text, QByteArray& out, const QString& page) const;

private:
    Windows950();
    void Claim(char16_t ch, std::uint16_t code) { codes_[ch] = code; }
    bool IsCharacter(unsigned lead, unsigned trail) const { return IsTrail(trail) && pairs_[Slot(lead, trail)] != 0; }

    // The character of every double-byte code (0: none), or a box variant's mark.
    std::vector<char16_t> pairs_;
    // The bytes of every character of the Basic Multilingual Plane: lead << 8 | trail, or
    // a single byte below 0x100; 0 when the page cannot store it. ASCII is not looked up.
    std::vector<std::uint16_t> codes_;
};

Windows950::Windows950() : pairs_((kLeadLast - kLeadFirst + 1) * kSlotsPerLead, 0), codes_(0x10000, 0) {
    Iconv cv("UTF-32LE", "CP950");
    if (!cv.ok()) throw DbError("code page CP950 is not available: the system's iconv has no CP950 table");

    // Standard characters, as iconv reads each code on its own.
    for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (!IsTrail(trail)) continue;
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            unsigned char out[8];
            char* src = in;
            size_t srcLeft = sizeof in;
            char* dst = reinterpret_cast<char*>(out);
            size_t dstLeft = sizeof out;
            iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
            if (iconv(cv.get(), &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0 ||
                dstLeft != 4)
                continue;
            const char32_t ch = out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
            // Only characters of the plane that are none of the page's own reserved values.
            if (ch < 0x80 || ch > 0xFFFF || (ch >= 0xD800 && ch <= 0xDFFF) || (ch >= 0xE000 && ch <= 0xF8FF) ||
                ch == kVariationSelector1)
                continue;
            pairs_[Slot(lead, trail)] = static_cast<char16_t>(ch);
        }
    }
    for (const UserDefinedBlock& block : kUserDefined) {
        const unsigned firstLead = block.first >> 8, firstOrdinal = TrailOrdinal(block.first & 0xFF);
        for (unsigned code = block.first; code <= block.last; ++code) {
            const unsigned lead = code >> 8, trail = code & 0xFF;
            if (!IsTrail(trail)) continue;
            pairs_[Slot(code)] =
                static_cast<char16_t>(block.firstChar + kRowLength * (lead - firstLead) + TrailOrdinal(trail) - firstOrdinal);
        }
    }
    for (const RarerCode& rarer : kRarerCodes) pairs_[Slot(rarer.code)] = rarer.ch;
    for (size_t i = 0; i < std::size(kBoxVariants); ++i) {
        pairs_[Slot(kBoxVariants[i].written)] = kBoxVariants[i].ch;
        pairs_[Slot(kBoxVariants[i].variant)] = static_cast<char16_t>(kVariantMark + i);
    }

    // Writing: the chosen codes first, then every other code for its character unless
    // another code already stands for it.
    Claim(kByte80, 0x80);
    Claim(kByteFF, 0xFF);
    for (unsigned b = kLeadFirst; b <= kLeadLast; ++b) Claim(SingleByteChar(b), static_cast<std::uint16_t>(b));
    for (const RarerCode& rarer : kRarerCodes) Claim(rarer.ch, static_cast<std::uint16_t>(rarer.code));
    for (const BoxVariant& box : kBoxVariants) Claim(box.ch, static_cast<std::uint16_t>(box.written));
    for (unsigned lead = kLeadFirst; lead <= kLeadLast; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            char16_t& ch = pairs_[Slot(lead, trail)];
            if (ch == 0 || IsVariantMark(ch)) continue;
            const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
            if (codes_[ch] == 0)
                Claim(ch, code);
            else if (codes_[ch] != code)
                ch = 0;
        }
    }
}

QString Windows950::Decode(const char* data, size_t size) const {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    size_t i = AsciiPrefix(p, size);
    if (i == size) return QString::fromLatin1(data, static_cast<qsizetype>(size));
    // Every byte gives at most one code unit (a box variant gives two for its two bytes).
    QString out(static_cast<qsizetype>(size), Qt::Uninitialized);
    QChar* const begin = out.data();
    QChar* w = begin;
    for (size_t k = 0; k < i; ++k) *w++ = QChar(char16_t{p[k]});
    while (i < size) {
        const unsigned b = p[i];
        if (b < 0x80) {
            *w++ = QChar(static_cast<char16_t>(b));
            ++i;
            continue;
        }
        if (IsLead(b) && i + 1 < size && p[i + 1] >= 0x40 && p[i + 1] != 0xFF) {
            const char16_t ch = pairs_[Slot(b, p[i + 1])];
            if (ch != 0) {
                if (IsVariantMark(ch)) {
                    *w++ = QChar(kBoxVariants[ch - kVariantMark].ch);
                    *w++ = QChar(kVariationSelector1);
                } else {
                    *w++ = QChar(ch);
                }
                i += 2;
                continue;
            }
        }
        *w++ = QChar(SingleByteChar(b));
        ++i;
    }
    out.resize(w - begin);
    return out;
}

void Windows950::EncodeAppend(const QString& text, QByteArray& out, const QString& page) const {
    const QChar* s = text.constData();
    const qsizetype n = text.size();
    const qsizetype start = out.size();
    // Two bytes a character at most; resizing within the capacity the buffer already has
    // allocates nothing, which a statement bound for every line of a long list relies on.
    out.resize(start + n * 2);
    char* const begin = out.data() + start;
    char* w = begin;
    qsizetype i = 0;
    for (; i < n && s[i].unicode() < 0x80; ++i) *w++ = static_cast<char>(s[i].unicode());
    // Refused text leaves the buffer as it was.
    struct Restore {
        QByteArray& out;
        qsizetype size;
        bool armed = true;
        ~Restore() {
            if (armed) out.resize(size);
        }
    } restore{out, start};
    // A reserved lone byte just written: the next byte must not make a character with it.
    unsigned loneLead = 0;
    qsizetype loneAt = 0;
    while (i < n) {
        const char16_t u = s[i].unicode();
        std::uint16_t code = 0;
        qsizetype used = 1;
        if (u < 0x80) {
            code = u;
        } else {
            if (i + 1 < n && s[i + 1].unicode() == kVariationSelector1) {
                for (const BoxVariant& box : kBoxVariants) {
                    if (box.ch == u) {
                        code = static_cast<std::uint16_t>(box.variant);
                        used = 2;
                    }
                }
            }
            if (code == 0) code = codes_[u];
            if (code == 0) ThrowUnstorable(text, i, page);
        }
        if (loneLead != 0) {
            if (IsCharacter(loneLead, code > 0xFF ? code >> 8 : code)) ThrowUnstorable(text, loneAt, page);
            loneLead = 0;
        }
        if (code > 0xFF) {
            *w++ = static_cast<char>(code >> 8);
            *w++ = static_cast<char>(code & 0xFF);
        } else {
            *w++ = static_cast<char>(code);
            if (IsLead(code)) {
                loneLead = code;
                loneAt = i;
            }
        }
        i += used;
    }
    restore.armed = false;
    out.resize(start + (w - begin));
}

CodePage::CodePage(const QString& name) : name_(name), iconvName_(IconvName(name)) {
    if (iconvName_ == kDefaultCodePage) {
        cp950_ = &Windows950::Instance();
        return;
    }
    Iconv probe("UTF-8", iconvName_);
    if (!probe.ok())
        throw DbError("unknown code page '" + name.toStdString() + "'");
}

CodePage::~CodePage() = default;
CodePage::CodePage(const CodePage&) = default;
CodePage& CodePage::operator=(const CodePage&) = default;

QByteArray CodePage::Encode(const QString& text) const {
    QByteArray out;
    EncodeAppend(text, out);
    return out;
}

void CodePage::EncodeAppend(const QString& text, QByteArray& out) const {
    if (text.isEmpty()) return;
    if (cp950_) return cp950_->EncodeAppend(text, out, name_);
    out += EncodeThroughIconv(text);
}

QByteArray CodePage::EncodeThroughIconv(const QString& text) const {
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
                GrowOutput(out, dst, dstLeft);
                continue;
            }
            // Name the character that cannot be stored rather than store it altered.
            const qsizetype at = QString::fromUtf8(in.constData(), src - in.constData()).size();
            ThrowUnstorable(text, std::min(at, text.size() - 1), name_);
        }
    }
    iconv(cv.get(), nullptr, nullptr, &dst, &dstLeft);
    out.resize(dst - out.data());
    return out;
}

QString CodePage::Decode(const QByteArray& bytes) const { return Decode(bytes.constData(), bytes.size()); }

QString CodePage::Decode(const char* data, size_t size) const {
    if (size == 0) return {};
    if (cp950_) return cp950_->Decode(data, size);
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
            GrowOutput(out, dst, dstLeft);
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
