// Printing a 1200 x 900 map fitted onto an A4 page at 300 pixels per inch (2480 x 3508): the
// strips stretched onto a page bitmap as the platform printer's canvas receives them.
#include "mapview/PrintLib.h"
#include "platform/Canvas.h"

#include <benchmark/benchmark.h>

namespace {

class TPageSurface : public kv::TPrintSurface {
public:
    TPageSurface() : Page_(2480, 3508, kv::pf24bit), Canvas_(Page_) {}
    int32_t PageWidth() const override { return Page_.Width(); }
    int32_t PageHeight() const override { return Page_.Height(); }
    void BeginDoc(const std::string&) override {}
    void CopyRect(const kv::TRect& dest, const kv::TBitmap& source, const kv::TRect& sourceRect) override
    {
        Canvas_.CopyRect(dest, source, sourceRect);
    }
    void EndDoc() override {}

private:
    kv::TBitmap Page_;
    kv::TCanvas Canvas_;
};

void BM_PrintBitmapFitToPage(benchmark::State& state)
{
    kv::TBitmap map(1200, 900, kv::pf32bit);
    for (int32_t y = 0; y < map.Height(); ++y)
        for (int32_t x = 0; x < map.Width(); ++x)
            map.SetPixel(x, y, kv::TColor(uint32_t(x * 7 + y * 13) & 0xFFFFFF));
    TPageSurface page;
    const kv::TPrintLayout layout = kv::PrintLayout(map.Width(), map.Height(), page.PageWidth(), page.PageHeight(), true, true);
    for (auto _ : state)
        kv::PrintBitmap(page, map, nullptr, true, true);
    state.counters["printer px/s"] = benchmark::Counter(
        double(state.iterations()) * layout.TargetWidth * layout.TargetHeight, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrintBitmapFitToPage)->Unit(benchmark::kMillisecond);

} // namespace
