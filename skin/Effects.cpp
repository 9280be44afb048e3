#include "skin/Effects.h"

#include <QGuiApplication>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace skin {

namespace {

// Fractions are carried as millionths so that decimal parameters round exactly.
constexpr int64_t kOne = 1'000'000;

int64_t Millionths(double x) {
    if (!(x > 0)) return 0;  // also NaN
    if (x >= 1) return kOne;
    return std::llround(x * static_cast<double>(kOne));
}

// num / den rounded to the nearest integer, a tie going to the even neighbour.
// num >= 0, den > 0.
int64_t RoundHalfEven(int64_t num, int64_t den) {
    int64_t q = num / den;
    const int64_t twiceRest = 2 * (num - q * den);
    if (twiceRest > den || (twiceRest == den && (q & 1))) ++q;
    return q;
}

uint8_t Clamp255(int64_t v) { return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255)); }

// round(W·x) for a progress already in millionths.
int ScaleRounded(int length, int64_t xm) {
    return static_cast<int>(RoundHalfEven(static_cast<int64_t>(length) * xm, kOne));
}

int Keep(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

// One pixel := round(w·A + (1 - w)·B) with w = num/den, 0 <= num <= den.
inline void MixPixel(uint8_t* a, const uint8_t* b, int64_t num, int64_t den) {
    for (int c = 0; c < 3; ++c)
        a[c] = Clamp255(RoundHalfEven(num * a[c] + (den - num) * b[c], den));
}

// What a morph does to one column (or row): keep A, take B, or mix the two.
struct Step {
    int64_t num = 1, den = 1;  // the weight of A; num == den keeps A, num == 0 takes B
};

// Weight for the k-th column of a sweep whose weight starts at 0 and grows by 1/den per
// column, capped at 1. den == 0 stands for a step of 0 (the weight stays 0).
Step Sweep(int64_t k, int64_t den) {
    if (den == 0) return {0, 1};
    return {std::min(k, den), den};
}

// Applies one step per column to every row of a.
void ApplyColumns(TbsEffectBmp& a, const TbsEffectBmp& b, const std::vector<Step>& steps) {
    for (int y = 0; y < a.height(); ++y) {
        uint8_t* pa = a.scanline(y);
        const uint8_t* pb = b.scanline(y);
        for (int x = 0; x < a.width(); ++x) {
            const Step& s = steps[static_cast<size_t>(x)];
            if (s.num == s.den) continue;
            if (s.num == 0)
                std::memcpy(pa + 3 * x, pb + 3 * x, 3);
            else
                MixPixel(pa + 3 * x, pb + 3 * x, s.num, s.den);
        }
    }
}

// Applies one step per row.
void ApplyRows(TbsEffectBmp& a, const TbsEffectBmp& b, const std::vector<Step>& steps) {
    for (int y = 0; y < a.height(); ++y) {
        const Step& s = steps[static_cast<size_t>(y)];
        if (s.num == s.den) continue;
        uint8_t* pa = a.scanline(y);
        const uint8_t* pb = b.scanline(y);
        if (s.num == 0) {
            std::memcpy(pa, pb, static_cast<size_t>(a.width()) * 3);
            continue;
        }
        for (int x = 0; x < a.width(); ++x) MixPixel(pa + 3 * x, pb + 3 * x, s.num, s.den);
    }
}

// The centre fade along one axis of length n: the middle a = round(n·x) lines become B,
// and from its edges outwards the lines fade back to A by 1/den per line.
std::vector<Step> CentreFadeSteps(int n, int a, int64_t den) {
    std::vector<Step> steps(static_cast<size_t>(n));
    const int m = n / 2;
    const int g = std::max(m - a / 2, 0);
    const int f = std::min(m + a / 2, n - 1);
    for (int i = g; i <= f; ++i) steps[static_cast<size_t>(i)] = {0, 1};
    for (int i = g, k = 0; i >= 0; --i, ++k) steps[static_cast<size_t>(i)] = Sweep(k, den);
    for (int i = f, k = 0; i < n; ++i, ++k) steps[static_cast<size_t>(i)] = Sweep(k, den);
    return steps;
}

// Bytes per block of the row loops. A block of a fixed size lets the compiler turn it into
// whole vector operations (at the optimisation level of our builds it does not vectorise
// a loop that would need a remainder); the rest of a row goes through the same expression
// a byte at a time.
constexpr size_t kBlock = 32;

// out[k] := (a[k] + b[k] + c[k] + d[k]) div 4 for k < n. out shares no byte with the others.
void AverageOfFour(uint8_t* __restrict out, const uint8_t* __restrict a,
                   const uint8_t* __restrict b, const uint8_t* __restrict c,
                   const uint8_t* __restrict d, size_t n) {
    size_t k = 0;
    for (; k + kBlock <= n; k += kBlock)
        for (size_t j = k; j < k + kBlock; ++j)
            out[j] = static_cast<uint8_t>((unsigned{a[j]} + b[j] + c[j] + d[j]) >> 2);
    for (; k < n; ++k) out[k] = static_cast<uint8_t>((unsigned{a[k]} + b[k] + c[k] + d[k]) >> 2);
}

// g = round((30·red + 59·green + 11·blue) / 100), halves to even, from the weighted sum
// s = 11·blue + 59·green + 30·red (at most 25500), in 16-bit steps so that vector lanes
// stay narrow.
inline uint8_t GreyOfSum(uint16_t s) {
    const auto q = static_cast<uint16_t>(s / 100);
    const auto rest = static_cast<uint16_t>(s - 100 * q);
    return static_cast<uint8_t>(q + ((rest > 50) | ((rest == 50) & q)));
}

// Wider vectors where the processor has them. A loop over 24-bit pixels steps three
// bytes at a time; the compiler vectorises that only with byte shuffles, which the
// baseline x86-64 instruction set lacks. Such loops are compiled a second time for AVX2
// and taken when the processor has it; the baseline loop does the rest and serves
// every other processor.
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define MARLITH_WIDE_VECTORS 1

bool HasWideVectors() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

// The grey of the leading whole blocks of a row of width pixels; returns the pixels done.
__attribute__((target("avx2"))) size_t GreyBlocksWide(uint8_t* __restrict p, size_t width) {
    constexpr size_t kPixels = 32;  // per block
    size_t x = 0;
    for (; x + kPixels <= width; x += kPixels, p += 3 * kPixels)
        for (size_t i = 0; i < kPixels; ++i) {
            const auto sum = static_cast<uint16_t>(11 * p[3 * i] + 59 * p[3 * i + 1] + 30 * p[3 * i + 2]);
            const uint8_t g = GreyOfSum(sum);
            p[3 * i] = g;
            p[3 * i + 1] = g;
            p[3 * i + 2] = g;
        }
    return x;
}
#endif

// Per-process noise source, seeded once from the system.
std::mt19937_64& NoiseSource() {
    static std::mt19937_64 engine{std::random_device{}()};
    return engine;
}

// splitmix64: small, fast and good enough for visual noise.
// Each 64-bit output is used as two 32-bit draws, its high half first.
struct SplitMix {
    static constexpr uint64_t kStep = 0x9E3779B97F4A7C15ull;
    uint64_t state;
    uint64_t spare = 0;
    bool hasSpare = false;

    static uint64_t Mix(uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t next() { return Mix(state += kStep); }
    uint32_t next32() {
        if (hasSpare) {
            hasSpare = false;
            return static_cast<uint32_t>(spare);
        }
        const uint64_t z = next();
        spare = z;
        hasSpare = true;
        return static_cast<uint32_t>(z >> 32);
    }
    // Uniform in 0 .. n - 1 (n >= 1), without bias (Lemire's method): a draw d gives the
    // high half of d·n, unless the low half is below Refused(n); then d is drawn again.
    static uint32_t Refused(uint32_t n) { return static_cast<uint32_t>(-n) % n; }
    uint32_t below(uint32_t n, uint32_t refused) {
        return Accept(uint64_t{next32()} * n, n, refused);
    }
    // The value for a first draw whose product with n is m.
    uint32_t Accept(uint64_t m, uint32_t n, uint32_t refused) {
        while (static_cast<uint32_t>(m) < refused) m = uint64_t{next32()} * n;
        return static_cast<uint32_t>(m >> 32);
    }
};

// Pixels whose noise the wide loops draw and add at once.
constexpr size_t kNoiseBlock = 32;
// Ranges the wide loops take: every noise value is within ±255 as drawn.
constexpr int kWideNoiseRange = 511;

// c + v clamped to 0..255, for -255 <= v <= 255: sixteen-bit sums keep vector lanes narrow.
inline uint8_t ClampedSum(uint8_t c, int16_t v) {
    const auto sum = static_cast<int16_t>(c + v);
    return static_cast<uint8_t>(sum < 0 ? 0 : sum > 255 ? 255 : sum);
}

// The noise a drawn value v (below n) makes: v - (n div 2), kept within ±255, which clamps
// any channel the same way.
inline int16_t NoiseValue(uint32_t v, int32_t half) {
    return static_cast<int16_t>(std::clamp(static_cast<int32_t>(v) - half, -255, 255));
}

// The noise of one row of width pixels, drawn in pixel order: pixel x's draw v = below(n)
// goes to put(x, v). While there is no spare draw, each output gives two pixels, and
// block(state, x) may draw a whole kNoiseBlock pixels from x at once (the outputs after
// state) and return true, or return false to leave them to the loop here; it is asked only
// where the pixels are there to draw.
template <class Put, class Block>
void DrawRowNoise(SplitMix& rng, size_t width, uint32_t n, uint32_t refused, Put put, Block block) {
    size_t x = 0;
    while (x < width) {
        if (rng.hasSpare || x + 1 == width) {
            put(x, rng.below(n, refused));
            ++x;
            continue;
        }
        // Two pixels from each output while neither draw is refused: the same values
        // next32 and below give, without their bookkeeping.
        uint64_t state = rng.state;
        const size_t pairsEnd = x + ((width - x) & ~size_t{1});
        bool waiting = false;
        while (x < pairsEnd && !waiting) {
            if (pairsEnd - x >= kNoiseBlock && block(state, x)) {
                state += kNoiseBlock / 2 * SplitMix::kStep;
                x += kNoiseBlock;
                continue;
            }
            // A block's pixels (or the rest) here, a pair at a time.
            for (const size_t stop = std::min(pairsEnd, x + kNoiseBlock); x < stop; x += 2) {
                const uint64_t z = SplitMix::Mix(state += SplitMix::kStep);
                const uint64_t first = (z >> 32) * n, second = (z & 0xFFFFFFFFu) * n;
                if ((static_cast<uint32_t>(first) < refused) | (static_cast<uint32_t>(second) < refused)) {
                    // The first draw was made and the second is waiting: back to one at a time.
                    rng.spare = z;
                    rng.hasSpare = true;
                    waiting = true;
                    break;
                }
                put(x, static_cast<uint32_t>(first >> 32));
                put(x + 1, static_cast<uint32_t>(second >> 32));
            }
        }
        rng.state = state;
        if (waiting) {
            put(x, rng.Accept((rng.spare >> 32) * n, n, refused));
            ++x;
        }
    }
}

// Four 16-bit lanes holding a pixel's noise (NoiseValue).
uint64_t NoiseLanes(int16_t noise) { return uint64_t{static_cast<uint16_t>(noise)} * 0x0001000100010001ull; }

// p[k] := p[k] + add[k], clamped to 0..255, for k < n; -255 <= add[k] <= 255.
void AddClamped(uint8_t* __restrict p, const int16_t* __restrict add, size_t n) {
    size_t k = 0;
    for (; k + kBlock <= n; k += kBlock)
        for (size_t j = k; j < k + kBlock; ++j) p[j] = ClampedSum(p[j], add[j]);
    for (; k < n; ++k) p[k] = ClampedSum(p[k], add[k]);
}

#ifdef MARLITH_WIDE_VECTORS
// The noise loops in 512-bit vectors, where the processor has them: the draws need 64-bit
// multiplies, which narrower vector sets lack.
#define MARLITH_NOISE_TARGET __attribute__((target("avx512f,avx512bw,avx512dq")))
// GCC 12's own intrinsic headers start some vectors from an "undefined" value and then
// warn about it.
#pragma GCC diagnostic push
#ifndef __clang__
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

bool HasNoiseVectors() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512dq");
    return has;
}

// The noise of kNoiseBlock pixels from the outputs after state, as DrawRowNoise draws them
// a pair at a time, into r as v - half; false when one of the draws is refused (r then
// holds nothing of use). The outputs are independent of each other: eight at a time.
MARLITH_NOISE_TARGET bool DrawNoiseBlockWide(uint64_t state, uint32_t n, uint32_t refused, int16_t half,
                                             int16_t* __restrict r) {
    static_assert(kNoiseBlock == 32, "two vectors of eight outputs");
    constexpr uint64_t kStep = SplitMix::kStep;
    const __m512i first8 = _mm512_setr_epi64(
        static_cast<long long>(kStep), static_cast<long long>(2 * kStep), static_cast<long long>(3 * kStep),
        static_cast<long long>(4 * kStep), static_cast<long long>(5 * kStep), static_cast<long long>(6 * kStep),
        static_cast<long long>(7 * kStep), static_cast<long long>(8 * kStep));
    const __m512i range = _mm512_set1_epi64(n);
    const __m512i refusedBelow = _mm512_set1_epi32(static_cast<int>(refused));
    const __m512i m1 = _mm512_set1_epi64(static_cast<long long>(0xBF58476D1CE4E5B9ull));
    const __m512i m2 = _mm512_set1_epi64(static_cast<long long>(0x94D049BB133111EBull));
    const __m256i halves = _mm256_set1_epi16(half);
    __mmask16 bad = 0;
    for (int block = 0; block < 2; ++block) {
        const uint64_t base = state + static_cast<uint64_t>(8 * block) * SplitMix::kStep;
        __m512i z = _mm512_add_epi64(_mm512_set1_epi64(static_cast<long long>(base)), first8);
        z = _mm512_mullo_epi64(_mm512_xor_si512(z, _mm512_srli_epi64(z, 30)), m1);
        z = _mm512_mullo_epi64(_mm512_xor_si512(z, _mm512_srli_epi64(z, 27)), m2);
        z = _mm512_xor_si512(z, _mm512_srli_epi64(z, 31));
        const __m512i first = _mm512_mul_epu32(_mm512_srli_epi64(z, 32), range);  // high half's draw
        const __m512i second = _mm512_mul_epu32(z, range);                       // low half's draw
        // A draw is refused when the low half of its product is below `refused`: the even
        // 32-bit lanes.
        bad |= _mm512_mask_cmplt_epu32_mask(0x5555, first, refusedBelow);
        bad |= _mm512_mask_cmplt_epu32_mask(0x5555, second, refusedBelow);
        // Pixel order: the high half's value, then the low half's, in one 32-bit lane each.
        const __m512i pair = _mm512_or_si512(_mm512_srli_epi64(first, 32), _mm512_slli_epi64(_mm512_srli_epi64(second, 32), 16));
        const __m256i values = _mm512_cvtepi64_epi32(pair);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(r + 16 * block), _mm256_sub_epi16(values, halves));
    }
    return bad == 0;
}

// Each pixel's noise r[x] added to its three channels, clamped, for the leading whole
// blocks of a row; returns the pixels done. A block is 96 bytes: three vectors of 32
// channels, each channel taking its pixel's value through a fixed permutation.
MARLITH_NOISE_TARGET size_t AddNoiseBlocksWide(uint8_t* __restrict p, const int16_t* __restrict r, size_t width) {
    static_assert(kNoiseBlock == 32, "32 pixels, 96 channels");
    alignas(64) static const auto pick = [] {
        std::array<std::array<int16_t, 32>, 3> t{};
        for (int part = 0; part < 3; ++part)
            for (int c = 0; c < 32; ++c) t[size_t(part)][size_t(c)] = static_cast<int16_t>((32 * part + c) / 3);
        return t;
    }();
    const __m512i picks[3] = {_mm512_loadu_si512(pick[0].data()), _mm512_loadu_si512(pick[1].data()),
                              _mm512_loadu_si512(pick[2].data())};
    size_t x = 0;
    for (; x + kNoiseBlock <= width; x += kNoiseBlock, p += 3 * kNoiseBlock, r += kNoiseBlock) {
        const __m512i noise = _mm512_loadu_si512(r);
        for (int part = 0; part < 3; ++part) {
            uint8_t* q = p + 32 * part;
            const __m512i channels = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(q)));
            const __m512i sum = _mm512_add_epi16(channels, _mm512_permutexvar_epi16(picks[part], noise));
            // Below 0 becomes 0 and above 255 becomes 255: the unsigned saturation of the pack.
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(q),
                                _mm512_cvtusepi16_epi8(_mm512_max_epi16(sum, _mm512_setzero_si512())));
        }
    }
    return x;
}

// AddNoise with the wide loops: the row's noise one value a pixel, drawn a block at a time.
void AddNoiseWide(TbsEffectBmp& bmp, SplitMix& rng, uint32_t n, uint32_t refused, int32_t half) {
    const size_t width = static_cast<size_t>(bmp.width());
    std::vector<int16_t> r(width);
    for (int y = 0; y < bmp.height(); ++y) {
        DrawRowNoise(
            rng, width, n, refused, [&r, half](size_t x, uint32_t v) { r[x] = NoiseValue(v, half); },
            [&r, n, refused, half](uint64_t state, size_t x) {
                return DrawNoiseBlockWide(state, n, refused, static_cast<int16_t>(half), r.data() + x);
            });
        uint8_t* p = bmp.scanline(y);
        size_t x = AddNoiseBlocksWide(p, r.data(), width);
        for (p += 3 * x; x < width; ++x, p += 3)
            for (int c = 0; c < 3; ++c) p[c] = ClampedSum(p[c], r[x]);
    }
}
#pragma GCC diagnostic pop
#endif

}  // namespace

TbsEffectBmp::TbsEffectBmp(int width, int height) {
    if (width < 1 || height < 1) return;
    width_ = width;
    height_ = height;
    pitch_ = (3 * width + 3) & ~3;
    bits_.assign(static_cast<size_t>(pitch_) * static_cast<size_t>(height), 0);
}

TbsEffectBmp::TbsEffectBmp(const QImage& image) : TbsEffectBmp(image.width(), image.height()) {
    if (isEmpty()) return;
    const QImage rgb = image.format() == QImage::Format_BGR888
                           ? image
                           : image.convertToFormat(QImage::Format_BGR888);
    if (rgb.isNull()) {  // conversion refused (out of memory)
        *this = TbsEffectBmp();
        return;
    }
    for (int y = 0; y < height_; ++y)
        std::memcpy(scanline(y), rgb.constScanLine(y), static_cast<size_t>(width_) * 3);
}

QImage TbsEffectBmp::toImage() const {
    if (isEmpty()) return {};
    return QImage(bits_.data(), width_, height_, pitch_, QImage::Format_BGR888).copy();
}

void TbsEffectBmp::draw(QPainter& painter, int x, int y) const {
    if (isEmpty()) return;
    // A view on our rows, no copy; it lives only for this call.
    const QImage view(bits_.data(), width_, height_, pitch_, QImage::Format_BGR888);
    painter.drawImage(x, y, view);
}

void TbsEffectBmp::MapChannels(const uint8_t (&table)[256]) {
    const size_t rowBytes = static_cast<size_t>(width_) * 3;
    constexpr size_t kPairs = 256 * 256;
    if (rowBytes * static_cast<size_t>(height_) < kPairs * sizeof(uint16_t)) {
        for (int y = 0; y < height_; ++y) {
            uint8_t* p = scanline(y);
            for (size_t i = 0; i < rowBytes; ++i) p[i] = table[p[i]];
        }
        return;
    }
    // From the size of a table of every byte pair on, two bytes per lookup pay for
    // building it. Whichever byte of a pair the machine's byte order makes the high byte
    // of the index is the high byte of the value: each byte is mapped in its place.
    const std::unique_ptr<uint16_t[]> pairs(new uint16_t[kPairs]);
    for (unsigned high = 0; high < 256; ++high) {
        uint16_t* __restrict out = pairs.get() + (high << 8);
        const auto highByte = static_cast<uint16_t>(table[high] << 8);
        for (unsigned low = 0; low < 256; ++low)
            out[low] = static_cast<uint16_t>(highByte | table[low]);
    }
    for (int y = 0; y < height_; ++y) {
        uint8_t* p = scanline(y);
        size_t i = 0;
        for (; i + 2 <= rowBytes; i += 2) {
            uint16_t v;
            std::memcpy(&v, p + i, 2);
            v = pairs[v];
            std::memcpy(p + i, &v, 2);
        }
        if (i < rowBytes) p[i] = table[p[i]];
    }
}

void TbsEffectBmp::Lighten(double x) {
    if (isEmpty()) return;
    const int64_t xm = Millionths(x);
    uint8_t table[256];
    for (int c = 0; c < 256; ++c)
        table[c] = Clamp255(RoundHalfEven((kOne - xm) * c + 255 * xm, kOne));
    MapChannels(table);
}

void TbsEffectBmp::Darken(double x) {
    if (isEmpty()) return;
    const int64_t xm = Millionths(x);
    uint8_t table[256];
    for (int c = 0; c < 256; ++c) table[c] = Clamp255(RoundHalfEven((kOne - xm) * c, kOne));
    MapChannels(table);
}

void TbsEffectBmp::Negate() {
    if (isEmpty()) return;
    // 255 - c is the complement of c's bits: whole words at a time.
    const size_t rowBytes = static_cast<size_t>(width_) * 3;
    for (int y = 0; y < height_; ++y) {
        uint8_t* p = scanline(y);
        size_t i = 0;
        for (; i + 8 <= rowBytes; i += 8) {
            uint64_t w;
            std::memcpy(&w, p + i, 8);
            w = ~w;
            std::memcpy(p + i, &w, 8);
        }
        for (; i < rowBytes; ++i) p[i] = static_cast<uint8_t>(255 - p[i]);
    }
}

void TbsEffectBmp::ToGray() {
    if (isEmpty()) return;
    static const auto grey = [] {
        std::array<uint8_t, 255 * 100 + 1> t{};
        for (size_t s = 0; s < t.size(); ++s) t[s] = GreyOfSum(static_cast<uint16_t>(s));
        return t;
    }();
    for (int y = 0; y < height_; ++y) {
        uint8_t* p = scanline(y);
        size_t x = 0;
#ifdef MARLITH_WIDE_VECTORS
        if (HasWideVectors()) x = GreyBlocksWide(p, static_cast<size_t>(width_));
#endif
        for (p += 3 * x; x < static_cast<size_t>(width_); ++x, p += 3) {
            const uint8_t g = grey[static_cast<size_t>(11 * p[0] + 59 * p[1] + 30 * p[2])];
            p[0] = p[1] = p[2] = g;
        }
    }
}

void TbsEffectBmp::AddNoise(int n) { AddNoise(n, NoiseSource()()); }

void TbsEffectBmp::AddNoise(int n, uint64_t seed) {
    if (isEmpty() || n < 1) return;
    SplitMix rng{seed};
    const auto range = static_cast<uint32_t>(n);
    const uint32_t refused = SplitMix::Refused(range);
    const int half = n / 2;
#ifdef MARLITH_WIDE_VECTORS
    if (HasNoiseVectors() && n <= kWideNoiseRange) {
        AddNoiseWide(*this, rng, range, refused, half);
        return;
    }
#endif
    // Each pixel's noise as a word of four equal lanes written at its three channels, so
    // that the row's sum runs in sixteen-bit blocks.
    const size_t rowBytes = static_cast<size_t>(width_) * 3;
    std::vector<int16_t> noise(rowBytes + 1);
    // Ranges up to a few thousand values (the effect's own is 50) look their lanes up.
    constexpr int kTabled = 4096;
    std::vector<uint64_t> table(static_cast<size_t>(std::min(n, kTabled)));
    for (int v = 0; v < static_cast<int>(table.size()); ++v)
        table[static_cast<size_t>(v)] = NoiseLanes(NoiseValue(static_cast<uint32_t>(v), half));
    auto put = [&](size_t x, uint32_t v) {
        const uint64_t word = n <= kTabled ? table[v] : NoiseLanes(NoiseValue(v, half));
        std::memcpy(noise.data() + 3 * x, &word, sizeof word);
    };
    auto noBlocks = [](uint64_t, size_t) { return false; };
    for (int y = 0; y < height_; ++y) {
        DrawRowNoise(rng, static_cast<size_t>(width_), range, refused, put, noBlocks);
        AddClamped(scanline(y), noise.data(), rowBytes);
    }
}

void TbsEffectBmp::DiagonalBlur(int d) {
    if (isEmpty() || d < 1) return;
    // Any distance from the larger side on picks the same neighbours; the cap keeps the
    // index arithmetic small.
    d = std::min(d, std::max(width_, height_));
    // Neighbour lines: before the first line the pixel's own line is used; past the last
    // line, line n - i (i.e. mirrored back from the far edge). When that too lies outside
    // (only for line 0 when d >= n), the pixel's own line is used, as at the near edge.
    auto before = [d](int i) { return i - d < 0 ? i : i - d; };
    auto after = [d](int i, int n) {
        if (i + d < n) return i + d;
        return n - i < n ? n - i : i;
    };
    std::vector<int> left(static_cast<size_t>(width_)), right(static_cast<size_t>(width_));
    for (int j = 0; j < width_; ++j) {
        left[static_cast<size_t>(j)] = 3 * before(j);
        right[static_cast<size_t>(j)] = 3 * after(j, width_);
    }
    // Columns whose neighbours are j - d and j + d, read at fixed byte distances.
    const int innerFrom = std::min(d, width_);
    const int innerTo = std::max(innerFrom, width_ - d);
    std::vector<uint8_t> buffer(static_cast<size_t>(width_) * 3);
    for (int i = 0; i < height_; ++i) {
        const uint8_t* up = scanline(before(i));
        const uint8_t* down = scanline(after(i, height_));
        uint8_t* row = scanline(i);
        auto blurPixel = [&](uint8_t* out, int j) {
            const int l = left[static_cast<size_t>(j)];
            const int r = right[static_cast<size_t>(j)];
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((up[l + c] + down[l + c] + up[r + c] + down[r + c]) / 4);
        };
        if (up == row || down == row) {
            // The row reads itself: pixel by pixel in place, each seeing its changed left
            // neighbours.
            for (int j = 0; j < width_; ++j) blurPixel(row + 3 * j, j);
            continue;
        }
        // Otherwise the row reads only other rows: build it in the row buffer, then store.
        uint8_t* out = buffer.data();
        for (int j = 0; j < innerFrom; ++j) blurPixel(out + 3 * j, j);
        const size_t from = 3 * static_cast<size_t>(innerFrom), off = 3 * static_cast<size_t>(d);
        AverageOfFour(out + from, up + from - off, down + from - off, up + from + off,
                      down + from + off, 3 * static_cast<size_t>(innerTo - innerFrom));
        for (int j = innerTo; j < width_; ++j) blurPixel(out + 3 * j, j);
        std::memcpy(row, out, buffer.size());
    }
}

void TbsEffectBmp::BlendTo(const TbsEffectBmp& target, double x) {
    if (!SameSize(target)) return;
    const int64_t xm = Millionths(x);
    if (xm == 0) return;
    std::vector<Step> steps(static_cast<size_t>(height_), Step{kOne - xm, kOne});
    ApplyRows(*this, target, steps);
}

void TbsEffectBmp::CentreFadeTo(const TbsEffectBmp& target, double x) {
    if (!SameSize(target)) return;
    const int64_t xm = Millionths(x);
    if (width_ >= height_) {
        const int a = ScaleRounded(width_, xm);
        const int b = (width_ - a) / 2;
        ApplyColumns(*this, target, CentreFadeSteps(width_, a, b == 0 ? 1 : b));
    } else {
        const int a = ScaleRounded(height_, xm);
        const int b = (height_ - 1 - a) / 2;
        ApplyRows(*this, target, CentreFadeSteps(height_, a, b));  // b == 0: step 0
    }
}

void TbsEffectBmp::LeftFadeTo(const TbsEffectBmp& target, double x) {
    if (!SameSize(target)) return;
    const int a = Keep(ScaleRounded(width_, Millionths(x)), 1, width_ - 1);
    std::vector<Step> steps(static_cast<size_t>(width_));
    for (int j = 0; j <= a && j < width_; ++j) steps[static_cast<size_t>(j)] = Sweep(j, a);
    ApplyColumns(*this, target, steps);
}

void TbsEffectBmp::RightFadeTo(const TbsEffectBmp& target, double x) {
    if (!SameSize(target)) return;
    const int a = Keep(width_ - ScaleRounded(width_, Millionths(x)), 0, width_ - 1);
    const int den = width_ - a;  // at least 1
    std::vector<Step> steps(static_cast<size_t>(width_));
    for (int j = width_ - 1, k = 0; j >= a; --j, ++k) steps[static_cast<size_t>(j)] = Sweep(k, den);
    ApplyColumns(*this, target, steps);
}

void TbsEffectBmp::SlideInLeft(const TbsEffectBmp& target, double x) {
    if (!SameSize(target)) return;
    const int b = std::min(Keep(ScaleRounded(width_, Millionths(x)), 1, width_ - 1), width_);
    for (int y = 0; y < height_; ++y)
        std::memcpy(scanline(y), target.scanline(y) + 3 * (width_ - b), static_cast<size_t>(b) * 3);
}

void TbsEffectBmp::SlideInRight(const TbsEffectBmp& target, double x) {
    if (!SameSize(target)) return;
    const int b = std::min(Keep(ScaleRounded(width_, Millionths(x)), 1, width_ - 1), width_);
    for (int y = 0; y < height_; ++y)
        std::memcpy(scanline(y) + 3 * (width_ - b), target.scanline(y), static_cast<size_t>(b) * 3);
}

void TbsEffectBmp::PushInLeft(const TbsEffectBmp& target, double x) {
    if (!SameSize(target)) return;
    const int a = Keep(ScaleRounded(width_, Millionths(x)), 0, width_ - 1);
    const size_t shift = static_cast<size_t>(a + 1) * 3;
    for (int y = 0; y < height_; ++y) {
        uint8_t* row = scanline(y);
        // Column j > a takes column j - a - 1; columns 0 .. a then take B's right end.
        std::memmove(row + shift, row, static_cast<size_t>(width_ - a - 1) * 3);
        std::memcpy(row, target.scanline(y) + 3 * (width_ - a - 1), shift);
    }
}

void ApplyInactiveEffect(TbsEffectBmp& bmp, int inactiveEffect) {
    switch (inactiveEffect) {
    case 1: bmp.Darken(0.3); break;
    case 2: bmp.ToGray(); break;
    case 3: bmp.AddNoise(50); break;
    case 4: bmp.DiagonalBlur(1); break;
    case 5: bmp.Negate(); break;
    default: bmp.Lighten(0.5); break;
    }
}

void ApplyMorph(TbsEffectBmp& bmp, const TbsEffectBmp& target, int morphKind, double progress) {
    switch (morphKind) {
    case 1: bmp.CentreFadeTo(target, progress); break;
    case 2: bmp.LeftFadeTo(target, progress); break;
    case 3: bmp.RightFadeTo(target, progress); break;
    case 4: bmp.SlideInLeft(target, progress); break;
    case 5: bmp.SlideInRight(target, progress); break;
    case 6: bmp.PushInLeft(target, progress); break;
    default: bmp.BlendTo(target, progress); break;
    }
}

void SetWindowAlpha(QWindow* window, int alpha) {
    if (!window) return;
    window->setOpacity(std::clamp(alpha, 0, 255) / 255.0);
}

bool LayeredWindowsAvailable() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace skin
