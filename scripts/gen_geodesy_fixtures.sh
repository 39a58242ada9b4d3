#!/usr/bin/env bash
# Writes the geodesy reference fixtures in data/geodesy/ from GeographicLib's command-line
# tools (Debian package geographiclib-tools: GeoConvert, TransverseMercatorProj, CartConvert),
# an implementation independent of ours. Only this script uses them; the build and the tests
# read the text files it writes. Rerun it to refresh the fixtures:
#   scripts/gen_geodesy_fixtures.sh
set -euo pipefail
cd "$(dirname "$0")/.."
out=data/geodesy
mkdir -p "$out"
for tool in GeoConvert TransverseMercatorProj CartConvert; do
  command -v "$tool" >/dev/null || { echo "$tool missing (apt-get install geographiclib-tools)" >&2; exit 1; }
done

# Positions inside every UTM zone, WGS 84: a grid over all zones and bands with longitudes on
# the central meridian and up to the zone edges, the widened zones 32V and 31X..37X edge to
# edge, and pseudo-random positions. Latitudes stay below 84 (GeoConvert switches to UPS at 84).
utm_positions() {
  for lat in -79.999 -72 -64.5 -56 -48 -40 -32.25 -24 -16 -8 -0.000001 0 0.000001 8 16 24 \
             32 40 48.5 55.999 56 63.999 64 71.999 72 80 83.999; do
    for zone in $(seq 1 60); do
      cm=$((6 * zone - 183))
      for dl in -2.999999 -1.5 0 1.5 2.999999; do
        echo "$lat $(awk -v c="$cm" -v d="$dl" 'BEGIN { printf "%.6f", c + d }')"
      done
    done
  done
  # 32V spans 3..12 E around 9 E; the Svalbard zones span 12 degrees (9 degrees at the ends).
  for lat in 56 58.5 61 63.999; do
    for lon in 3 3.5 6 9 11.999999; do echo "$lat $lon"; done
  done
  for lat in 72 75 78.5 81 83.999; do
    for lon in 0 0.000001 4.5 8.999999 9 15 20.999999 21 27 32.999999 33 37.5 41.999999; do
      echo "$lat $lon"
    done
  done
  awk 'BEGIN { srand(20261211); for (i = 0; i < 3000; i++)
                 printf "%.9f %.9f\n", -80 + rand() * 163.999, -180 + rand() * 359.999999 }'
}

make_utm() {
  echo "# UTM on WGS 84: latitude longitude zone hemisphere(n/s) easting northing (m)"
  echo "# made by scripts/gen_geodesy_fixtures.sh with GeoConvert -u (exact TM, standard zones)"
  utm_positions | while read -r lat lon; do
    printf "%s %s " "$lat" "$lon"
    echo "$lat $lon" | GeoConvert -u -p 6 | awk '{ z = $1; h = substr(z, length(z));
      sub(/[ns]$/, "", z); print z, h, $2, $3 }'
  done
}

# Transverse Mercator (scale 1) on other ellipsoids, up to 6 degrees from the central
# meridian: ellipsoid-ordinal latitude longitude central-meridian x y.
make_tm() {
  echo "# TM, scale factor 1: ellipsoid-ordinal latitude longitude lon0 x y (m)"
  echo "# made by scripts/gen_geodesy_fixtures.sh with TransverseMercatorProj -t (exact TM; -s for the sphere)"
  # ordinal a b: International 1924, Clarke 1866, Bessel 1841, Airy 1830, Krassovsky 1940,
  # the normal sphere
  for e in "10 6378388.0 6356911.94613" "5 6378206.4 6356583.8" "6 6377397.155 6356078.96284" \
           "18 6377563.396 6356256.91" "24 6378245.0 6356863.0188" "26 6370997.0 6370997.0"; do
    set -- $e
    f=$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.17g", 1 - b / a }')
    method=-t  # the exact algorithm; it needs an ellipsoid, the series serves the sphere
    [ "$2" = "$3" ] && method=-s
    for lat in -75 -45.5 -10 0 0.5 30 52.25 70 83; do
      for dl in -2.999 -1 0 0.75 2.999; do
        lon0=15
        lon=$(awk -v d="$dl" 'BEGIN { printf "%.6f", 15 + d }')
        echo "$1 $lat $lon $lon0 $(echo "$lat $lon" |
          TransverseMercatorProj "$method" -k 1 -l "$lon0" -e "$2" "$f" -p 9 | awk '{ print $1, $2 }')"
      done
    done
  done
}

# UPS on WGS 84 north of 84 and south of -80: latitude longitude hemisphere easting northing.
make_ups() {
  echo "# UPS on WGS 84: latitude longitude hemisphere(n/s) easting northing (m)"
  echo "# made by scripts/gen_geodesy_fixtures.sh with GeoConvert -u"
  for lat in 84.5 86 88.25 89.999 -80.5 -83 -87.75 -89.999; do
    for lon in -179.5 -135 -90 -45.25 0.5 33 90 120.75 179.999; do
      printf "%s %s " "$lat" "$lon"
      echo "$lat $lon" | GeoConvert -u -p 6 | awk '{ print $1, $2, $3 }'
    done
  done
}

# Geocentric coordinates: ellipsoid-ordinal latitude longitude height X Y Z.
make_geocentric() {
  echo "# geocentric: ellipsoid-ordinal latitude longitude height X Y Z (m)"
  echo "# made by scripts/gen_geodesy_fixtures.sh with CartConvert"
  for e in "0 6378137.0 6356752.314245" "10 6378388.0 6356911.94613" "24 6378245.0 6356863.0188" \
           "26 6370997.0 6370997.0"; do
    set -- $e
    f=$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.17g", 1 - b / a }')
    for lat in -89.9 -60 -33.5 0 12.25 47 75 89.9; do
      for lon in -179.5 -100 -45 0 30 95.5 179.9; do
        for h in -400 0 8848; do
          echo "$1 $lat $lon $h $(echo "$lat $lon $h" | CartConvert -e "$2" "$f" -p 6)"
        done
      done
    done
  done
}

declare -A files=([utm]=utm_wgs84 [tm]=tm_ellipsoids [ups]=ups_wgs84 [geocentric]=geocentric)
for name in "${@:-utm tm ups geocentric}"; do
  for n in $name; do
    make_"$n" >"$out/${files[$n]}.txt"
    wc -l "$out/${files[$n]}.txt"
  done
done
