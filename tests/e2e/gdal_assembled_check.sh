#!/usr/bin/env bash
# Independent check of assembled polygons with a real reader: a block with a
# courtyard, two disjoint squares and an island in a lake in an island,
# their arcs referenced out of order and reversed, are converted with
# --polygons assembled and opened by GDAL, whose GEOS must find every
# polygon valid and whose areas must add up to the outer rings minus the
# holes (84 + 200 + 600). Chained, the courtyard block is not valid.
# Usage: gdal_assembled_check.sh PELMORA_CONVERT
set -euo pipefail
convert=$1
command -v ogrinfo >/dev/null || { echo "ogrinfo not installed (gdal-bin)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The area has no map-sheet file to take the zone from: --coordsys 0.
mizu=$work/maps/13101/mizu
mkdir -p "$mizu" "$work/out"
crlf() { printf '%s\r\n' "$@"; }
header="H,S1,a,b,c,d,e,0,0,x,y"
# Coordinate lines are "northing,easting".
crlf "$header" \
  "L5101,1,1,3" "0,0" "0,10" "10,10" \
  "L5101,1,2,3" "10,10" "10,0" "0,0" \
  "L5101,1,3,5" "3,3" "7,3" "7,7" "3,7" "3,3" \
  "L5101,1,4,5" "0,20" "0,30" "10,30" "10,20" "0,20" \
  "L5101,1,5,5" "0,40" "0,70" "30,70" "30,40" "0,40" \
  "L5101,1,6,5" "5,45" "5,65" "25,65" "25,45" "5,45" \
  "L5101,1,7,5" "10,50" "10,60" "20,60" "20,50" "10,50" >"$mizu/mizu.arc"
crlf "$header" "A5101,1,3" "3" "-2" "1" "A5101,2,3" "1" "2" "4" \
  "A5101,3,3" "7" "5" "6" >"$mizu/mizu.pgn"
crlf "FH" >"$mizu/mizu.atr"

figures() {
  "$convert" -q --no-progress --coordsys 0 --layers mizu --polygons "$1" -o "$work/out" "$work/maps"
  ogrinfo -ro -q "$work/out/Mizu_Kasen_Pgn.mif" -dialect SQLITE -sql \
    "SELECT count(*) AS n, sum(ST_IsValid(geometry) = 1) AS valid,
            sum(ST_Area(geometry)) AS area FROM Mizu_Kasen_Pgn" 2>/dev/null |
    sed -n 's/^ *\(n\|valid\|area\) ([A-Za-z]*) = /\1=/p' | tr '\n' ' '
}
# The same through a GDAL format, where assembled is the default: holes must
# arrive as holes of their polygon, not as polygons of their own.
gpkg_figures() {
  rm -f "$work/out.gpkg"
  "$convert" -q --no-progress --coordsys 0 --layers mizu -o "$work/out.gpkg" "$work/maps"
  /usr/bin/python3 - "$work/out.gpkg" <<'PY'
import sys
from osgeo import ogr
dataset = ogr.Open(sys.argv[1])  # kept: its layers live only as long as it does
layer = dataset.GetLayerByName("Mizu_Kasen_Pgn")
n = valid = holes = 0
area = 0.0
for feature in layer:
    g = feature.GetGeometryRef()
    n += 1
    valid += g.IsValid()
    area += g.GetArea()
    holes += sum(g.GetGeometryRef(i).GetGeometryCount() - 1 for i in range(g.GetGeometryCount()))
print(f"n={n} valid={valid} area={area:g} holes={holes} ", end="")
PY
}
assembled=$(figures assembled)
chained=$(figures chained)
echo "assembled: $assembled"
echo "chained:   $chained"
[ "$assembled" = "n=3 valid=3 area=884 " ] || { echo "FAIL assembled"; exit 1; }
[[ "$chained" != *"valid=3 "* ]] || { echo "FAIL chained polygons all valid"; exit 1; }
if "$convert" --formats | grep -q '^GPKG' && /usr/bin/python3 -c 'import osgeo' 2>/dev/null; then
  gpkg=$(gpkg_figures)
  echo "gpkg:      $gpkg"
  [ "$gpkg" = "n=3 valid=3 area=884 holes=2 " ] || { echo "FAIL gpkg"; exit 1; }
fi
echo "passed"
