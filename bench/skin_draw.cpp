// Speed of the skin drawing primitives against a plain memcpy of the same number of bytes,
// both measured in this run:
//   - ComposeFrameBorders and ComposeSkinImage for a 1920×1080 window (bytes = the
//     pixels of the images produced, 4 bytes each);
//   - each inactive-window effect on one megapixel (bytes = the 24-bit buffer).
// After the usual table a summary prints, per routine, its CPU time, the memcpy's, the
// ratio between the two and the ratio it should stay within (marked OVER when it does
// not). With repetitions the medians are compared. See bench/README.md for how to run it.

#include <benchmark/benchmark.h>

#include <QImage>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "skin/Compose.h"
#include "skin/Effects.h"

namespace {

// A picture with some texture so that no copy can be skipped as uniform.
QImage Picture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, (x ^ y) & 255));
    return img;
}

// A window frame picture: 200×150 with a 30-pixel caption band, 6-pixel sides and
// bottom, and 120-pixel repeat segments between the corners.
struct FrameSkin {
    QImage picture = Picture(200, 150);
    skin::Rect S{0, 0, 200, 150};
    skin::AnchorGeometry g{{40, 40}, {160, 40}, {40, 120}, {160, 120}, skin::Rect{6, 30, 194, 144}};
};

// A control picture: 100×80 with 8-pixel borders; clientSize sets the tile of the client
// fill (a small client means many tiles).
struct ControlSkin {
    explicit ControlSkin(int clientSize)
        : g{{20, 20}, {80, 20}, {20, 60}, {80, 60}, skin::Rect{8, 8, 8 + clientSize, 8 + clientSize}} {}
    QImage picture = Picture(100, 80);
    skin::Rect S{0, 0, 100, 80};
    skin::AnchorGeometry g;
};

constexpr int kW = 1920, kH = 1080;

size_t FrameBytes() {
    FrameSkin f;
    const auto n = skin::NewGeometry(f.g, QSize(200, 150), kW, kH);
    const skin::BorderImages b = skin::ComposeFrameBorders(f.picture, f.S, f.g, n, kW, kH);
    size_t bytes = 0;
    for (const QImage* img : {&b.top, &b.bottom, &b.left, &b.right})
        bytes += static_cast<size_t>(img->width()) * img->height() * 4;
    return bytes;
}

void BM_Memcpy(benchmark::State& state, size_t bytes) {
    std::vector<char> src(bytes, 1), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_ComposeFrameBorders(benchmark::State& state) {
    FrameSkin f;
    const auto n = skin::NewGeometry(f.g, QSize(200, 150), kW, kH);
    for (auto _ : state) {
        skin::BorderImages b = skin::ComposeFrameBorders(f.picture, f.S, f.g, n, kW, kH);
        benchmark::DoNotOptimize(b.top.constBits());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FrameBytes()));
}

void BM_ComposeSkinImage(benchmark::State& state, int clientSize) {
    ControlSkin c(clientSize);
    const auto n = skin::NewGeometry(c.g, QSize(100, 80), kW, kH);
    for (auto _ : state) {
        QImage img = skin::ComposeSkinImage(c.picture, c.S, c.g, n, kW, kH, true);
        benchmark::DoNotOptimize(img.constBits());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kW * kH * 4);
}

constexpr int kEffectSide = 1000;  // one megapixel

void BM_Effect(benchmark::State& state, const std::function<void(skin::TbsEffectBmp&)>& effect) {
    skin::TbsEffectBmp bmp(Picture(kEffectSide, kEffectSide));
    for (auto _ : state) {
        effect(bmp);
        benchmark::DoNotOptimize(bmp.scanline(0));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bmp.pitch() * bmp.height());
}

size_t EffectBytes() { return skin::TbsEffectBmp(kEffectSide, kEffectSide).pitch() * size_t{kEffectSide}; }

// Keeps every run's CPU time per iteration for the summary: both sides of a ratio are
// single-threaded, and CPU time is the steadier measure on a machine shared with builds.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            const double ns = r.GetAdjustedCPUTime() * Multiplier(r.time_unit);
            // With repetitions the median stands for the routine; a single run for itself.
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                median[r.run_name.str()] = ns;
            else if (r.run_type == Run::RT_Iteration)
                single[r.run_name.str()] = ns;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // CPU nanoseconds per iteration of the named benchmark, if it ran.
    const double* NsPerIteration(const std::string& name) const {
        if (const auto m = median.find(name); m != median.end()) return &m->second;
        if (const auto s = single.find(name); s != single.end()) return &s->second;
        return nullptr;
    }

private:
    std::map<std::string, double> median, single;
    static double Multiplier(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kSecond: return 1e9;
        case benchmark::kMillisecond: return 1e6;
        case benchmark::kMicrosecond: return 1e3;
        default: return 1;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    struct Pair {
        std::string name;
        size_t bytes;
        double limit;  // the ratio to memcpy the routine should stay within; 0: none set
    };
    std::vector<Pair> pairs;
    auto add = [&](const std::string& name, size_t bytes, double limit, auto&& fn) {
        benchmark::RegisterBenchmark(name.c_str(), fn)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("memcpy/" + name).c_str(), BM_Memcpy, bytes)
            ->Unit(benchmark::kMicrosecond);
        pairs.push_back({name, bytes, limit});
    };

    add("ComposeFrameBorders/1920x1080", FrameBytes(), 3, BM_ComposeFrameBorders);
    add("ComposeSkinImage/1920x1080/client84", size_t{kW} * kH * 4, 0,
        [](benchmark::State& s) { BM_ComposeSkinImage(s, 84); });
    add("ComposeSkinImage/1920x1080/client4", size_t{kW} * kH * 4, 0,
        [](benchmark::State& s) { BM_ComposeSkinImage(s, 4); });
    const std::pair<const char*, std::function<void(skin::TbsEffectBmp&)>> effects[] = {
        {"Lighten(0.5)", [](skin::TbsEffectBmp& b) { b.Lighten(0.5); }},
        {"Darken(0.3)", [](skin::TbsEffectBmp& b) { b.Darken(0.3); }},
        {"ToGray", [](skin::TbsEffectBmp& b) { b.ToGray(); }},
        {"AddNoise(50)", [](skin::TbsEffectBmp& b) { b.AddNoise(50, 1); }},
        {"DiagonalBlur(1)", [](skin::TbsEffectBmp& b) { b.DiagonalBlur(1); }},
        {"Negate", [](skin::TbsEffectBmp& b) { b.Negate(); }},
    };
    for (const auto& [name, effect] : effects)
        add(std::string("effect/") + name + "/1MP", EffectBytes(), 4,
            [effect = effect](benchmark::State& s) { BM_Effect(s, effect); });

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-40s %8s %10s %10s %7s %6s\n", "routine", "MB", "cpu us", "memcpy us", "ratio",
                "limit");
    for (const Pair& p : pairs) {
        const double* r = reporter.NsPerIteration(p.name);
        const double* m = reporter.NsPerIteration("memcpy/" + p.name);
        if (!r || !m) continue;
        const double ratio = *r / *m;
        std::printf("%-40s %8.2f %10.1f %10.1f %7.2f", p.name.c_str(), p.bytes / 1e6, *r / 1e3, *m / 1e3,
                    ratio);
        if (p.limit > 0)
            std::printf(" %6.1f%s", p.limit, ratio > p.limit ? "  OVER" : "");
        std::printf("\n");
    }
    return 0;
}
