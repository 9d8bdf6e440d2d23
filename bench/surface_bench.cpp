// The drawing of one page paint: the canvas blit, a panel of key words with
// their raised-key shadows, the tab bar with its labels and five comment
// lines. A whole paint of this kind must stay well under 5 ms.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/surface.h"

namespace {

std::vector<std::uint8_t> CanvasPattern() {
  std::vector<std::uint8_t> canvas(960 * 672 * 3);
  for (std::size_t i = 0; i < canvas.size(); ++i) canvas[i] = static_cast<std::uint8_t>(i * 13);
  return canvas;
}

void DrawPageLike(Surface& s, const std::vector<std::uint8_t>& canvas) {
  s.Clear();
  s.BlitBottomUp(canvas.data(), 960, 672, 100, 32);
  const Font panel{10, true};
  for (int k = 0; k < 40; ++k) {
    const int x = (k % 2) * 47 + 4, y = 20 + (k / 2) * 22;
    s.Text(panel, {64, 64, 64}, TextBackground::Opaque, White, x + 2, y, k % 3 ? "決定 KEEP1" : "Ｖ.アイ");
    s.Line({{120, 160, 220}, 5}, x + 41, y + 2, x + 41, y + 20);
    s.Line({{120, 160, 220}, 5}, x + 39, y + 20, x + 2, y + 20);
    s.Line({{120, 160, 220}, 2}, x, y, x + 41, y);
  }
  const Pen tab{{240, 240, 255}, 1, PenStyle::Solid};
  for (int i = 0; i <= 8; ++i)
    for (int k = 0; k <= 55; ++k) s.Line(tab, 100 + 112 * i + k, 1, 100 + 112 * i + k, 31);
  for (int t = 0; t < 17; ++t) s.Text({12, true}, {100, 100, 100}, TextBackground::Opaque, White, 104 + 56 * t, 10, "フィルタ");
  for (int line = 0; line < 5; ++line)
    s.Text({12, true}, Black, TextBackground::Opaque, White, 120, 708 + 14 * line,
           "トップ [<>] (A)画像を呼び出す; (B)[Enter] か [画像呼出] [→] 新しい画像; Vantor Eye;");
}

void BM_PagePaintDrawing(benchmark::State& state) {
  const auto canvas = CanvasPattern();
  Surface& s = Screen();
  DrawPageLike(s, canvas);  // fills the glyph cache, as the first paint does
  for (auto _ : state) {
    DrawPageLike(s, canvas);
    benchmark::DoNotOptimize(s.Data());
  }
}
BENCHMARK(BM_PagePaintDrawing)->Unit(benchmark::kMillisecond);

void BM_BlitCanvas(benchmark::State& state) {
  const auto canvas = CanvasPattern();
  Surface& s = Screen();
  for (auto _ : state) {
    s.BlitBottomUp(canvas.data(), 960, 672, 100, 32);
    benchmark::DoNotOptimize(s.Data());
  }
}
BENCHMARK(BM_BlitCanvas)->Unit(benchmark::kMicrosecond);

void BM_InvertedRubberBand(benchmark::State& state) {
  Surface& s = Screen();
  for (auto _ : state) {
    s.Polyline({Black, 1, PenStyle::Solid}, {{150, 100}, {900, 100}, {900, 600}, {150, 600}, {150, 100}},
               RasterOp::Invert);
    benchmark::DoNotOptimize(s.Data());
  }
}
BENCHMARK(BM_InvertedRubberBand)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
