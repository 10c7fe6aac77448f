#!/usr/bin/env bash
# GDAL's own ogrinfo, as a user runs it, with the driver DM2500 from the
# build's plugin folder: it lists the driver, reads the sample's 31 layers
# with their geometry types, EPSG codes and Japanese text fields, and leaves
# an empty folder and a folder without map data to the other drivers, which
# do not recognise them either.
# Usage: ogrinfo_check.sh PLUGIN_FOLDER SAMPLE_MAP_DATA_FOLDER
set -euo pipefail
export GDAL_DRIVER_PATH=$1
sample=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
count() { grep -c -- "$1" <<<"$2" || true; }

ogrinfo --formats | grep -qxF '  DM2500 -vector- (ro): Digital Map 2500 (数値地図2500) text folders' ||
  fail "ogrinfo --formats does not list DM2500"

summary=$(ogrinfo -ro -so -al "$sample" 2>/dev/null)
grep -qF "using driver \`DM2500' successful" <<<"$summary" || fail "the sample is not opened by DM2500"
[ "$(count '^Layer name: ' "$summary")" -eq 31 ] || fail "not 31 layers"
[ "$(count '^Geometry: Line String$' "$summary")" -eq 16 ] || fail "not 16 line layers"
[ "$(count '^Geometry: Multi Polygon$' "$summary")" -eq 12 ] || fail "not 12 polygon layers"
[ "$(count '^Geometry: Point$' "$summary")" -eq 2 ] || fail "not 2 point layers"
[ "$(count '^Geometry: Polygon$' "$summary")" -eq 1 ] || fail "not 1 frame layer"
# The sample's map-sheet files name zone 9: JGD2000 zone IX on every layer.
[ "$(count '^    ID\["EPSG",2451\]\]$' "$summary")" -eq 31 ] || fail "not EPSG:2451 on every layer"

roads=$(ogrinfo -ro -so "$sample" Doro_Doro_Arc 2>/dev/null)
expected_fields='図面番号: String (0.0)
線種タグ: String (0.0)
個別番号: String (0.0)
名称: String (0.0)
別称1: String (0.0)
別称2: String (0.0)
別称3: String (0.0)
別称4: String (0.0)'
[ "$(sed -n '/^Data axis/,$p' <<<"$roads" | tail -n +2)" = "$expected_fields" ] ||
  fail "the road layer's fields"
grep -qxF 'Feature Count: 93' <<<"$roads" || fail "the road layer's feature count"
grep -qxF '  DESCRIPTION=道路線アーク' <<<"$roads" || fail "the road layer's description"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/empty" "$scratch/other/13101/docs"
echo "no map data" >"$scratch/other/13101/docs/readme.txt"
for folder in "$scratch/empty" "$scratch/other"; do
  if answer=$(ogrinfo -ro -so "$folder" 2>&1); then
    fail "$folder opens"
  fi
  grep -q "Unable to open datasource" <<<"$answer" || fail "$folder: $answer"
done

[ "$failures" -eq 0 ] || exit 1
echo "ogrinfo reads the sample through DM2500"
