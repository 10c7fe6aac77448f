#!/usr/bin/env bash
# Runs machine_paths_check.sh on small repositories made for each case and
# checks that it flags exactly what it should.
set -euo pipefail
check=$(realpath -- "$(dirname "$0")/machine_paths_check.sh")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Each case: what to commit ("link PATH TARGET" or "file PATH TEXT") and
# whether the check must fail (1) or pass (0).
cases=(
  "link bench/data /srv/perf/bench/data|1"
  "link bench/data ../../outside|1"
  "link docs/latest.md ../README.md|0"
  "link a/b/c ../../d|0"
  "file notes.txt see /work/perf/bench for the data|1"
  "file run.sh cd /root/pelmora && make|1"
  "file run.sh data=/home/alice/maps|1"
  "file run.sh data=/Users/alice/maps|1"
  "file run.bat set DATA=C:\\Users\\alice\\maps|1"
  "file .gitignore /bench/work/|0"
  "file README.md outputs go to bench/work/ and are removed|0"
  "file tests/gui/paths_test.cpp Split(\"/home/user/maps\")|0"
  "file src/gui/paths.cpp Split(\"/home/user/maps\")|1"
)

failures=0
n=0
for entry in "${cases[@]}"; do
  setup=${entry%|*} want=${entry##*|}
  read -r kind path rest <<<"$setup"
  repo=$scratch/case$((n++))
  git init -q "$repo"
  mkdir -p "$repo/$(dirname "$path")"
  if [ "$kind" = link ]; then ln -s "$rest" "$repo/$path"; else printf '%s\n' "$rest" >"$repo/$path"; fi
  git -C "$repo" add -A
  got=0
  "$check" "$repo" >"$repo.out" 2>&1 || got=$?
  if [ "$got" != "$want" ]; then
    echo "FAILED: $setup: exit status $got, want $want; it printed:"
    cat "$repo.out"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "all ${#cases[@]} cases pass"
exit $((failures > 0))
