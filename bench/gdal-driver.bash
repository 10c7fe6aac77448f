# The GDAL driver DM2500 in the benchmark, sourced by bench/run-bench (it
# uses the helpers defined there: measure, fresh_output, set_warm_bytes,
# ratio, verdict, bytes_in, and $convert, $build, $work, $zone_entry).
#
# gdal_driver_against_convert DATA: ogr2ogr copying every layer from the
# driver into a GeoPackage against pelmora-convert writing the GeoPackage of
# the same data, with one job (the driver converts on ogr2ogr's one thread)
# and with two, and the processor time and peak memory of each. Target: ogr2ogr through the
# driver at most 1.3 times the converter with one job. Printed, never judged
# by the exit status; one run each unless GDAL_REPEATS says more.

gdal_driver_against_convert() {
  local data=$1 repeats=${GDAL_REPEATS:-1}
  echo "== GDAL driver: ogr2ogr -f GPKG from the folder against pelmora-convert -f GPKG: $(ls "$data" | wc -l) areas in $data"
  if ! grep -q '^pelmora_gdal_driver:' <<<"$(cmake --build "$build" --target help)" ||
    ! command -v ogr2ogr >/dev/null; then
    echo "skipped: this build has no GDAL driver, or ogr2ogr (gdal-bin) is not installed"
    return
  fi
  cmake --build "$build" --target pelmora_gdal_driver >/dev/null
  set_warm_bytes "$(bytes_in "$data")"
  find "$data" -type f -exec cat {} + >/dev/null
  local jobs one_job
  for jobs in 1 2; do
    measure fresh_output "$convert" -q --no-progress --coordsys "$zone_entry" -j "$jobs" \
      -f GPKG -o "$work/out/out.gpkg" "$data" 2> >(grep -v '^警告: ' >&2)
    [ "$jobs" -eq 1 ] && one_job=$best
    printf '%-28s %7.2f s  cpu %7.2f s  peak %7.1f MB\n' "pelmora-convert, $jobs job(s)" \
      "$best" "$cpu" "$(ratio "$peak" 1024)"
  done
  # The driver's warnings are GDAL's, on standard error: left out like the
  # converter's.
  measure fresh_output env GDAL_DRIVER_PATH="$build/gdalplugins" \
    ogr2ogr -f GPKG -oo COORDSYS="$zone_entry" "$work/out/out.gpkg" "$data" \
    2> >(grep -v '^Warning 1: ' >&2)
  printf '%-28s %7.2f s  cpu %7.2f s  peak %7.1f MB   = %s x one job, target at most 1.3: %s\n' \
    "ogr2ogr through the driver" "$best" "$cpu" "$(ratio "$peak" 1024)" \
    "$(ratio "$best" "$one_job")" "$(verdict "$best <= 1.3 * $one_job")"
  rm -rf "$work/out"
}
