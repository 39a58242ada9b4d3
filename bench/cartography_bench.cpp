// Geodetic conversions on WGS 84: ours beside GeographicLib in the same program, on the same
// pseudo-random positions (inside the UTM area; heights -500..9000 m). Each iteration converts
// one position; the figures are per conversion.
//
//   UTM forward   LatLongToUTM (zone and band, then the TM series)
//                 vs UTMUPS::Forward (standard zone, Krueger series of order 6)
//   UTM reverse   UTMToLatLong vs UTMUPS::Reverse
//   geocentric    GeoToCartesian / CartesianToGeo vs Geocentric::WGS84() Forward / Reverse
#include <benchmark/benchmark.h>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/UTMUPS.hpp>

#include <cstdint>
#include <vector>

#include "ZEF_geobasics.h"

namespace {

struct TPosition {
  double Lat, Lon, H;
  int Zone;
  bool North;
  double Easting, Northing;
  double X, Y, Z;
};

const std::vector<TPosition>& Positions() {
  static const std::vector<TPosition> P = [] {
    std::vector<TPosition> V;
    uint64_t S = 20261211;
    auto Uniform = [&S](double Lo, double Hi) {
      S = S * 6364136223846793005ULL + 1442695040888963407ULL;
      return Lo + (Hi - Lo) * static_cast<double>(S >> 11) * 0x1.0p-53;
    };
    for (int i = 0; i < 4096; ++i) {
      TPosition T{};
      T.Lat = Uniform(-79.9, 83.9);
      T.Lon = Uniform(-180, 179.9);
      T.H = Uniform(-500, 9000);
      int32_t Zone;
      zef::LatLongToUTM(T.Lat, T.Lon, zef::gelWGS84, Zone, T.Easting, T.Northing);
      T.Zone = Zone;
      T.North = T.Lat >= 0;
      zef::GeoToCartesian(T.Lat, T.Lon, T.H, zef::gelWGS84, T.X, T.Y, T.Z);
      V.push_back(T);
    }
    return V;
  }();
  return P;
}

// Runs Body over the positions in turn, one per iteration.
template <typename F> void OverPositions(benchmark::State& State, F Body) {
  const auto& P = Positions();
  std::size_t i = 0;
  for (auto _ : State) {
    Body(P[i]);
    i = (i + 1) & (P.size() - 1);
  }
  State.SetItemsProcessed(State.iterations());
}

void BM_Zef_LatLongToUTM(benchmark::State& State) {
  OverPositions(State, [](const TPosition& T) {
    int32_t Zone;
    double E, N;
    zef::LatLongToUTM(T.Lat, T.Lon, zef::gelWGS84, Zone, E, N);
    benchmark::DoNotOptimize(E);
    benchmark::DoNotOptimize(N);
  });
}

void BM_GeographicLib_UTMForward(benchmark::State& State) {
  OverPositions(State, [](const TPosition& T) {
    int Zone;
    bool North;
    double E, N;
    GeographicLib::UTMUPS::Forward(T.Lat, T.Lon, Zone, North, E, N);
    benchmark::DoNotOptimize(E);
    benchmark::DoNotOptimize(N);
  });
}

void BM_Zef_UTMToLatLong(benchmark::State& State) {
  OverPositions(State, [](const TPosition& T) {
    double Lat, Lon;
    zef::UTMToLatLong(T.Easting, T.Northing, T.Zone, !T.North, zef::gelWGS84, Lat, Lon);
    benchmark::DoNotOptimize(Lat);
    benchmark::DoNotOptimize(Lon);
  });
}

void BM_GeographicLib_UTMReverse(benchmark::State& State) {
  OverPositions(State, [](const TPosition& T) {
    double Lat, Lon;
    GeographicLib::UTMUPS::Reverse(T.Zone, T.North, T.Easting, T.Northing, Lat, Lon);
    benchmark::DoNotOptimize(Lat);
    benchmark::DoNotOptimize(Lon);
  });
}

void BM_Zef_GeoToCartesian(benchmark::State& State) {
  OverPositions(State, [](const TPosition& T) {
    double X, Y, Z;
    zef::GeoToCartesian(T.Lat, T.Lon, T.H, zef::gelWGS84, X, Y, Z);
    benchmark::DoNotOptimize(X);
    benchmark::DoNotOptimize(Z);
  });
}

void BM_GeographicLib_GeocentricForward(benchmark::State& State) {
  const GeographicLib::Geocentric& G = GeographicLib::Geocentric::WGS84();
  OverPositions(State, [&G](const TPosition& T) {
    double X, Y, Z;
    G.Forward(T.Lat, T.Lon, T.H, X, Y, Z);
    benchmark::DoNotOptimize(X);
    benchmark::DoNotOptimize(Z);
  });
}

void BM_Zef_CartesianToGeo(benchmark::State& State) {
  OverPositions(State, [](const TPosition& T) {
    double Lat, Lon, H;
    zef::CartesianToGeo(T.X, T.Y, T.Z, zef::gelWGS84, Lat, Lon, H);
    benchmark::DoNotOptimize(Lat);
    benchmark::DoNotOptimize(H);
  });
}

void BM_GeographicLib_GeocentricReverse(benchmark::State& State) {
  const GeographicLib::Geocentric& G = GeographicLib::Geocentric::WGS84();
  OverPositions(State, [&G](const TPosition& T) {
    double Lat, Lon, H;
    G.Reverse(T.X, T.Y, T.Z, Lat, Lon, H);
    benchmark::DoNotOptimize(Lat);
    benchmark::DoNotOptimize(H);
  });
}

BENCHMARK(BM_Zef_LatLongToUTM);
BENCHMARK(BM_GeographicLib_UTMForward);
BENCHMARK(BM_Zef_UTMToLatLong);
BENCHMARK(BM_GeographicLib_UTMReverse);
BENCHMARK(BM_Zef_GeoToCartesian);
BENCHMARK(BM_GeographicLib_GeocentricForward);
BENCHMARK(BM_Zef_CartesianToGeo);
BENCHMARK(BM_GeographicLib_GeocentricReverse);

} // namespace

BENCHMARK_MAIN();
