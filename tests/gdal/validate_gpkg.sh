#!/usr/bin/env bash
# The GeoPackage converted from the bundled sample passes GDAL's own
# GeoPackage validator (python3-gdal's validate_gpkg.py).
# Usage: validate_gpkg.sh PELMORA_CONVERT SAMPLE_FOLDER VALIDATOR
set -euo pipefail
convert=$1 sample=$2 validator=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$convert" -q -o "$scratch/sample.gpkg" "$sample"
python3 "$validator" "$scratch/sample.gpkg"
