#!/usr/bin/env bash
# Independent check with a real reader: converts a data set with every layer
# and has GDAL's ogrinfo open every MIF file. Each must read without an
# "ERROR", with as many features as its MID file has rows, and with its
# Japanese values decoded (GDAL turns Charset "WindowsJapanese" into UTF-8).
# Usage: gdal_check.sh PELMORA_CONVERT DATAFOLDER
set -euo pipefail
convert=$1
data=$2
command -v ogrinfo >/dev/null || { echo "ogrinfo not installed (gdal-bin)"; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$convert" --quiet --no-progress -o "$out" "$data"

failures=0
checked=0
for mif in "$out"/*.mif; do
  base=${mif%.mif}
  name=$(basename "$base")
  rows=$(grep -c '' "$base.mid" || true)
  report=$(ogrinfo -ro -al -q "$mif" 2>&1)
  if grep -q 'ERROR' <<<"$report"; then
    echo "FAIL $name: ogrinfo reports an error"; grep 'ERROR' <<<"$report" | head -3
    failures=$((failures + 1)); continue
  fi
  features=$(ogrinfo -ro -al -so "$mif" 2>&1 | sed -n 's/^Feature Count: //p')
  if [ "$features" != "$rows" ]; then
    echo "FAIL $name: $features features, $rows MID rows"
    failures=$((failures + 1)); continue
  fi
  # The first non-ASCII value of the MID file must appear decoded.
  value=$(iconv -f CP932 -t UTF-8 "$base.mid" | tr ',' '\n' | tr -d '"\r' | grep -P '[^\x00-\x7F]' | head -n 1 || true)
  if [ -n "$value" ] && ! grep -qF "$value" <<<"$report"; then
    echo "FAIL $name: value '$value' not read back"
    failures=$((failures + 1)); continue
  fi
  checked=$((checked + 1))
done
echo "$checked passed, $failures failed"
[ "$failures" -eq 0 ] && [ "$checked" -eq 31 ]
