// Aliased drawing into a 1000 x 700 picture: our raster canvas beside cairo (antialiasing
// off), on the same pseudo-random figures.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdint>
#include <vector>

#include "graphics/canvas.h"
#include "graphics/fonts.h"

namespace {

constexpr int kW = 1000, kH = 700;

struct TFigures {
  std::vector<zef::TPoint> Segments;               // pairs of points
  std::vector<std::array<zef::TPoint, 5>> Polygons;
  std::vector<zef::TPoint> TextAt;
  TFigures() {
    uint64_t S = 12345;
    const auto Next = [&S](int Range) {
      S = S * 6364136223846793005ULL + 1442695040888963407ULL;
      return static_cast<int>((S >> 33) % static_cast<uint64_t>(Range));
    };
    for (int I = 0; I < 1000000; ++I) {
      const zef::TPoint A{Next(kW), Next(kH)};
      Segments.push_back(A);
      Segments.push_back({A.X + Next(21) - 10, A.Y + Next(21) - 10});
    }
    for (int I = 0; I < 100000; ++I) {
      const int X = Next(kW - 30), Y = Next(kH - 30);
      Polygons.push_back({{{X, Y}, {X + 25, Y + 3}, {X + 28, Y + 20}, {X + 10, Y + 27}, {X + 2, Y + 15}}});
    }
    for (int I = 0; I < 10000; ++I) TextAt.push_back({Next(kW - 80), Next(kH - 16)});
  }
};

const TFigures& Figures() {
  static const TFigures F;
  return F;
}

void ZefLines(benchmark::State& State) {
  zef::TBitmap B(kW, kH);
  zef::TCanvas& C = B.Canvas();
  C.Pen().SetColor(zef::clNavy);
  const auto& Seg = Figures().Segments;
  for (auto _ : State) {
    for (std::size_t I = 0; I < Seg.size(); I += 2) {
      C.MoveTo(Seg[I].X, Seg[I].Y);
      C.LineTo(Seg[I + 1].X, Seg[I + 1].Y);
    }
    benchmark::DoNotOptimize(B.Bits());
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(Seg.size() / 2));
}

void CairoLines(benchmark::State& State) {
  cairo_surface_t* S = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kW, kH);
  cairo_t* Cr = cairo_create(S);
  cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(Cr, 1);
  cairo_set_source_rgb(Cr, 0, 0, 0.5);
  const auto& Seg = Figures().Segments;
  for (auto _ : State) {
    for (std::size_t I = 0; I < Seg.size(); I += 2) {
      cairo_move_to(Cr, Seg[I].X + 0.5, Seg[I].Y + 0.5);
      cairo_line_to(Cr, Seg[I + 1].X + 0.5, Seg[I + 1].Y + 0.5);
      cairo_stroke(Cr);
    }
    cairo_surface_flush(S);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(S));
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(Seg.size() / 2));
  cairo_destroy(Cr);
  cairo_surface_destroy(S);
}

void ZefPolygons(benchmark::State& State) {
  zef::TBitmap B(kW, kH);
  zef::TCanvas& C = B.Canvas();
  C.Pen().SetColor(zef::clNavy);
  C.Brush().SetColor(zef::clYellow);
  const auto& Polys = Figures().Polygons;
  for (auto _ : State) {
    for (const auto& P : Polys) C.Polygon(P.data(), P.size());
    benchmark::DoNotOptimize(B.Bits());
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(Polys.size()));
}

void CairoPolygons(benchmark::State& State) {
  cairo_surface_t* S = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kW, kH);
  cairo_t* Cr = cairo_create(S);
  cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_fill_rule(Cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_set_line_width(Cr, 1);
  const auto& Polys = Figures().Polygons;
  for (auto _ : State) {
    for (const auto& P : Polys) {
      cairo_move_to(Cr, P[0].X + 0.5, P[0].Y + 0.5);
      for (std::size_t K = 1; K < P.size(); ++K) cairo_line_to(Cr, P[K].X + 0.5, P[K].Y + 0.5);
      cairo_close_path(Cr);
      cairo_set_source_rgb(Cr, 1, 1, 0);
      cairo_fill_preserve(Cr);
      cairo_set_source_rgb(Cr, 0, 0, 0.5);
      cairo_stroke(Cr);
    }
    cairo_surface_flush(S);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(S));
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(Polys.size()));
  cairo_destroy(Cr);
  cairo_surface_destroy(S);
}

void ZefText(benchmark::State& State) {
  zef::TBitmap B(kW, kH);
  zef::TCanvas& C = B.Canvas();
  C.Font().SetName("DejaVu Sans");
  C.Font().SetHeight(-12);
  C.Font().SetColor(zef::clBlack);
  C.Brush().SetStyle(zef::bsClear);
  const auto& At = Figures().TextAt;
  for (auto _ : State) {
    for (const auto& P : At) C.TextOut(P.X, P.Y, "Sample 123.45");
    benchmark::DoNotOptimize(B.Bits());
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(At.size()));
}

void CairoText(benchmark::State& State) {
  cairo_surface_t* S = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kW, kH);
  cairo_t* Cr = cairo_create(S);
  cairo_select_font_face(Cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(Cr, 12);
  cairo_set_source_rgb(Cr, 0, 0, 0);
  const auto& At = Figures().TextAt;
  for (auto _ : State) {
    for (const auto& P : At) {
      cairo_move_to(Cr, P.X, P.Y + 11);
      cairo_show_text(Cr, "Sample 123.45");
    }
    cairo_surface_flush(S);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(S));
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(At.size()));
  cairo_destroy(Cr);
  cairo_surface_destroy(S);
}

} // namespace

BENCHMARK(ZefLines)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoLines)->Unit(benchmark::kMillisecond);
BENCHMARK(ZefPolygons)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoPolygons)->Unit(benchmark::kMillisecond);
BENCHMARK(ZefText)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoText)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
