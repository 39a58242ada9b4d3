// ShowGraf of a 1000 x 700 chart holding a line of N points or N marks, beside cairo
// drawing the same picture (same transform, aliased, 1-pixel line, 7-pixel round marks);
// and one step of panning such a chart with the mouse (the ranges move, the chart on its
// form repaints).
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "ZEF_rirove.h"
#include "controls/forms.h"
#include "host/headless.h"

namespace {

constexpr int kW = 1000, kH = 700;

// A noisy signal with N points over x = 0..10, y within 0..100.
const std::vector<double>& Signal(int N) {
  static std::vector<std::vector<double>> Cache(8);
  const auto Slot = static_cast<std::size_t>(std::log10(N));
  std::vector<double>& Y = Cache[Slot];
  if (Y.empty()) {
    uint64_t S = 987654321;
    Y.resize(static_cast<std::size_t>(N));
    double V = 50;
    for (double& Out : Y) {
      S = S * 6364136223846793005ULL + 1442695040888963407ULL;
      V += ((S >> 40) % 2001 - 1000) / 1000.0;
      V = std::clamp(V, 5.0, 95.0);
      Out = V;
    }
  }
  return Y;
}

std::unique_ptr<zef::TRIrove> MakeChart(int N, bool Marks) {
  auto C = std::make_unique<zef::TRIrove>(nullptr);
  C->SetBounds(0, 0, kW, kH);
  C->SetRange(1, 0, 0, 10, 100);
  C->SetAllocSize(std::min(N, 1000000));
  C->SetDataColor(zef::clNavy);
  const std::vector<double>& Y = Signal(N);
  for (int I = 0; I < N; ++I) {
    const double X = 10.0 * I / N;
    if (Marks) C->MarkAt(X, Y[static_cast<std::size_t>(I)], 24);
    else if (I == 0) C->MoveTo(X, Y[0]);
    else C->DrawTo(X, Y[static_cast<std::size_t>(I)]);
  }
  C->ShowGraf();
  return C;
}

void ZefShowGraf(benchmark::State& State, bool Marks) {
  const int N = static_cast<int>(State.range(0));
  const auto C = MakeChart(N, Marks);
  for (auto _ : State) {
    C->ShowGraf();
    benchmark::DoNotOptimize(C->DataAreaBitmap().Bits());
  }
  State.SetItemsProcessed(State.iterations() * N);
}

// The same data area with cairo: background, the line or the marks, the frame.
void CairoShowGraf(benchmark::State& State, bool Marks) {
  const int N = static_cast<int>(State.range(0));
  const auto C = MakeChart(N, Marks);
  const int W = C->DataAreaWidth() + 1, H = C->DataAreaHeight() + 1;
  double kx, dx, ky, dy;
  C->GetTransformParams(1, kx, dx, ky, dy);
  dx -= C->LRim();
  dy -= C->TRim();
  const std::vector<double>& Y = Signal(N);
  cairo_surface_t* S = cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H);
  cairo_t* Cr = cairo_create(S);
  cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(Cr, 1);
  for (auto _ : State) {
    cairo_set_source_rgb(Cr, 1, 1, 1);
    cairo_paint(Cr);
    cairo_set_source_rgb(Cr, 0, 0, 0.5);
    cairo_new_path(Cr);
    for (int I = 0; I < N; ++I) {
      const double PX = std::nearbyint(kx * (10.0 * I / N) + dx) + 0.5;
      const double PY = std::nearbyint(ky * Y[static_cast<std::size_t>(I)] + dy) + 0.5;
      if (Marks) {
        cairo_new_sub_path(Cr);
        cairo_arc(Cr, PX, PY, 3.5, 0, 2 * M_PI);
      } else if (I == 0) {
        cairo_move_to(Cr, PX, PY);
      } else {
        cairo_line_to(Cr, PX, PY);
      }
    }
    if (Marks) cairo_fill(Cr);
    else cairo_stroke(Cr);
    cairo_set_source_rgb(Cr, 0, 0, 0);
    cairo_rectangle(Cr, 0.5, 0.5, W - 1, H - 1);
    cairo_stroke(Cr);
    cairo_surface_flush(S);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(S));
  }
  State.SetItemsProcessed(State.iterations() * N);
  cairo_destroy(Cr);
  cairo_surface_destroy(S);
}

// Each iteration is one mouse move of a pan drag, alternately one pixel right and left.
void ZefPanStep(benchmark::State& State) {
  const int N = static_cast<int>(State.range(0));
  zef::THeadlessHost Host;
  zef::SetHost(&Host);
  {
    zef::TForm Form(nullptr);
    Form.SetBounds(0, 0, kW, kH);
    auto C = MakeChart(N, false);
    C->SetParent(&Form);
    C->SetMouseAction(zef::maPan);
    Form.Show();
    Form.UpdateSurface();
    Host.MouseDown(Form, 500, 350);
    Host.MouseMove(Form, 500, 350);
    int32_t X = 500;
    for (auto _ : State) {
      X = X == 500 ? 501 : 500;
      Host.MouseMove(Form, X, 350);
      benchmark::DoNotOptimize(Form.Surface().Bits());
    }
    Host.MouseUp(Form, X, 350);
    State.SetItemsProcessed(State.iterations() * N);
    C->SetParent(nullptr);
  }
  zef::SetHost(nullptr);
}

void ZefLine(benchmark::State& S) { ZefShowGraf(S, false); }
void CairoLine(benchmark::State& S) { CairoShowGraf(S, false); }
void ZefMarks(benchmark::State& S) { ZefShowGraf(S, true); }
void CairoMarks(benchmark::State& S) { CairoShowGraf(S, true); }

} // namespace

BENCHMARK(ZefLine)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoLine)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ZefMarks)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoMarks)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(ZefPanStep)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
