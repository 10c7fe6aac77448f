# The GDAL formats of the benchmark, sourced by bench/run-bench (it uses the
# helpers defined there: measure, fresh_output, set_warm_bytes, ratio,
# verdict, bytes_in, and $convert, $work, $repeats).
#
# gdal_formats DATA: every format with one and two jobs beside MIF on the
# data set: time, features per second, peak memory against MIF's plus 100 MB.
# gdal_against_ogr2ogr DATA: on a smaller set, each format written by the
# converter with one job against ogr2ogr converting the converter's own MIF
# output of the same data into that format (it writes the same features and
# computes less), with the target ratio per format.
#
# The figures are printed, never judged by the exit status. Each is one run
# unless GDAL_REPEATS says more (REPEATS applies to the rest of the
# benchmark): the GDAL runs take minutes each and vary less than the short
# MIF runs, and three of each would take the better part of an hour.
# Warnings about the data are left out of the table.

# The formats as "-f" names with the suffix of their output: a one-file
# format writes out.<suffix>, the others one file (set) per layer.
gdal_format_names=("GPKG" "ESRI Shapefile" "GeoJSON" "FlatGeobuf")
declare -A gdal_one_file=([GPKG]=.gpkg)
# Target of ours / ogr2ogr per format.
declare -A gdal_ogr2ogr_target=([GPKG]=0.25 ["ESRI Shapefile"]=0.5 [GeoJSON]=0.5 [FlatGeobuf]=0.25)

# The formats this build of the converter offers (none without GDAL).
gdal_formats_offered() {
  local listed format
  listed=$("$convert" --formats)
  for format in "${gdal_format_names[@]}"; do
    if grep -qF -- "$format" <<<"$listed"; then echo "$format"; fi
  done
}

# The -f and -o arguments that write format into $work/out.
gdal_output_args() {
  local format=$1
  echo "-f"
  echo "$format"
  echo "-o"
  echo "$work/out${gdal_one_file[$format]:+/out${gdal_one_file[$format]}}"
}

# Converts data in format with jobs jobs; sets best and peak.
gdal_measure_format() {
  local data=$1 format=$2 jobs=$3
  local -a args
  mapfile -t args < <(gdal_output_args "$format")
  measure fresh_output "$convert" -q --no-progress --coordsys "$zone_entry" -j "$jobs" "${args[@]}" "$data" \
    2> >(grep -v '^警告: ' >&2)
}

# Features in the MIF output in $work/out: one MID line each.
mif_feature_count() {
  cat "$work"/out/*.mid | wc -l
}

gdal_formats() {
  local data=$1 repeats=${GDAL_REPEATS:-1}
  local -a formats
  mapfile -t formats < <(gdal_formats_offered)
  echo "== GDAL formats: $(ls "$data" | wc -l) areas in $data"
  if [ ${#formats[@]} -eq 0 ]; then
    echo "this build writes MIF only (configured without GDAL)"
    return
  fi
  set_warm_bytes "$(bytes_in "$data")"
  find "$data" -type f -exec cat {} + >/dev/null  # into the page cache
  local features jobs format
  declare -A mif_peak
  for jobs in 1 2; do
    measure fresh_output "$convert" -q --no-progress --coordsys "$zone_entry" -j "$jobs" -o "$work/out" "$data" \
      2> >(grep -v '^警告: ' >&2)
    features=$(mif_feature_count)
    mif_peak[$jobs]=$peak
    gdal_format_row MIF "$jobs" "$best" "$peak" "$features" ""
  done
  rm -rf "$work/out"
  printf '%-28s %d\n' "features" "$features"
  for format in "${formats[@]}"; do
    for jobs in 1 2; do
      gdal_measure_format "$data" "$format" "$jobs"
      gdal_format_row "$format" "$jobs" "$best" "$peak" "$features" "${mif_peak[$jobs]}"
    done
  done
  rm -rf "$work/out"
}

# One row: time, features per second, peak memory; against mif_peak (in
# kilobytes) plus 100 MB unless it is empty.
gdal_format_row() {
  local format=$1 jobs=$2 seconds=$3 kilobytes=$4 features=$5 mif_peak=$6
  printf '%-28s %7.2f s  %9.0f features/s  peak %7.1f MB' "$format, $jobs job(s)" "$seconds" \
    "$(ratio "$features" "$seconds")" "$(ratio "$kilobytes" 1024)"
  if [ -n "$mif_peak" ]; then
    local limit=$((mif_peak + 100 * 1024))
    printf '   at most MIF + 100 = %.1f MB: %s' "$(ratio "$limit" 1024)" \
      "$(verdict "$kilobytes <= $limit")"
  fi
  echo
}

# Measures ogr2ogr converting the MIF files in $work/mif into format, into
# $work/out: one call for the whole folder where the driver writes one file
# of layers or a folder of them, one call per layer for GeoJSON (one layer
# per file, as a user would have to do it). Its messages (the Shapefile's
# shortened column names) go to $work/ogr2ogr.log.
measure_ogr2ogr() {
  local format=$1
  export CPL_LOG=$work/ogr2ogr.log
  case $format in
    GPKG) measure fresh_output ogr2ogr -f GPKG "$work/out/out.gpkg" "$work/mif" ;;
    GeoJSON)
      measure fresh_output sh -c 'for f in "$1"/*.mif; do
        ogr2ogr -f GeoJSON "$2/$(basename "$f" .mif).geojson" "$f" || exit 1; done' - \
        "$work/mif" "$work/out"
      ;;
    # GDAL recodes the text to code page 932, as the converter writes it.
    "ESRI Shapefile")
      measure fresh_output ogr2ogr -f "$format" -lco ENCODING=CP932 "$work/out" "$work/mif"
      ;;
    # The FlatGeobuf driver makes the folder itself.
    *) measure fresh_output ogr2ogr -f "$format" "$work/out/layers" "$work/mif" ;;
  esac
}

gdal_against_ogr2ogr() {
  local data=$1 repeats=${GDAL_REPEATS:-1}
  local -a formats
  mapfile -t formats < <(gdal_formats_offered)
  echo "== GDAL formats against ogr2ogr of the MIF output: $(ls "$data" | wc -l) areas in $data"
  if [ ${#formats[@]} -eq 0 ] || ! command -v ogr2ogr >/dev/null; then
    echo "skipped: this build writes MIF only, or ogr2ogr (gdal-bin) is not installed"
    return
  fi
  set_warm_bytes "$(bytes_in "$data")"
  find "$data" -type f -exec cat {} + >/dev/null
  rm -rf "$work/mif" && mkdir -p "$work/mif"
  "$convert" -q --no-progress --coordsys "$zone_entry" -j 2 -o "$work/mif" "$data" 2> >(grep -v '^警告: ' >&2)
  local format ours theirs target
  for format in "${formats[@]}"; do
    gdal_measure_format "$data" "$format" 1
    ours=$best
    measure_ogr2ogr "$format"
    theirs=$best
    target=${gdal_ogr2ogr_target[$format]}
    printf '%-28s ours %6.2f s  ogr2ogr %6.2f s  = %s   target at most %s: %s\n' \
      "ogr2ogr, $format" "$ours" "$theirs" "$(ratio "$ours" "$theirs")" "$target" \
      "$(verdict "$ours <= $target * $theirs")"
  done
  unset CPL_LOG
  rm -rf "$work/out" "$work/mif"
}

# gdal_stop_latency DATA: how quickly a stop ends a run of each format, with
# one and two jobs. Each run is stopped by SIGINT (as Ctrl-C) at five points
# between 15 % and 90 % of the time an unstopped run takes, and the time from
# the signal to the end of the process is taken; the longest of the five is
# printed against the target of 0.5 s, with whether a stopped run left any
# hidden (temporary) file in the output folder.
gdal_stop_latency() {
  local data=$1
  local -a formats args
  mapfile -t formats < <(gdal_formats_offered)
  echo "== stop latency: $(ls "$data" | wc -l) areas in $data, stopped at 15 % to 90 % of a run"
  if [ ${#formats[@]} -eq 0 ]; then
    echo "this build writes MIF only (configured without GDAL)"
    return
  fi
  set_warm_bytes "$(bytes_in "$data")"
  find "$data" -type f -exec cat {} + >/dev/null
  local format jobs share full worst latency left start pid
  for format in MIF "${formats[@]}"; do
    if [ "$format" = MIF ]; then args=(-o "$work/out"); else mapfile -t args < <(gdal_output_args "$format"); fi
    for jobs in 1 2; do
      fresh_output
      start=$(date +%s.%N)
      "$convert" -q --no-progress --coordsys "$zone_entry" -j "$jobs" "${args[@]}" "$data" 2>/dev/null
      full=$(awk "BEGIN {print $(date +%s.%N) - $start}")
      worst=0 left=none
      for share in 0.15 0.35 0.55 0.75 0.9; do
        fresh_output
        "$convert" -q --no-progress --coordsys "$zone_entry" -j "$jobs" "${args[@]}" "$data" 2>/dev/null &
        pid=$!
        sleep "$(awk "BEGIN {print $share * $full}")"
        start=$(date +%s.%N)
        kill -INT "$pid" 2>/dev/null || true
        wait "$pid" || true
        latency=$(awk "BEGIN {print $(date +%s.%N) - $start}")
        worst=$(awk "BEGIN {print ($latency > $worst) ? $latency : $worst}")
        if [ -n "$(find "$work/out" -mindepth 1 -name '.*' -print -quit)" ]; then left=some; fi
      done
      printf '%-28s run %6.2f s  stop within %5.2f s   target at most 0.5: %s  (temporary files left: %s)\n' \
        "$format, $jobs job(s)" "$full" "$worst" "$(verdict "$worst <= 0.5")" "$left"
    done
  done
  rm -rf "$work/out"
}
