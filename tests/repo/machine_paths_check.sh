#!/usr/bin/env bash
# Fails when the repository tracks something that only works on the machine
# it was committed from: a symbolic link that points outside the repository
# (or to an absolute path), or an absolute path of a developer's machine in a
# tracked text file. A fresh clone elsewhere would break on either.
#
#   tests/repo/machine_paths_check.sh [REPOSITORY]    (default: this one)
#
# Exit status 0 when clean, 1 with one line per finding, 77 (skipped) when
# the folder is not a git work tree (a source archive has nothing to check).
set -uo pipefail
root=$(realpath -- "${1:-$(dirname "$0")/../..}")
if ! git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "skipped: $root is not a git work tree"
  exit 77
fi
root=$(git -C "$root" rev-parse --show-toplevel)

# What a path of a developer's machine looks like: an extended regular
# expression (the path must start a word, so that "bench/work/" is no match)
# and what it stands for.
start='(^|[^[:alnum:]_.~/-])'
patterns=(
  "$start/work/|the shared work folder of the development machines"
  "$start/root/|the home folder of root"
  "$start/home/[^/[:space:]]+/|a user's home folder"
  "$start/Users/[^/[:space:]]+/|a macOS home folder"
  "[A-Za-z]:[\\\\/]Users[\\\\/]|a Windows home folder"
)
# Made-up paths that tests hand to the path handling of the window: a file
# pattern and the path allowed in it.
allowed=(
  "tests/gui/*_test.cpp|/home/u/"
  "tests/gui/*_test.cpp|/home/user/"
  "tests/gui/*_test.cpp|/home/利用者/"
)
# This check and its test name such paths on purpose and are not checked.
exempt=(":(exclude)tests/repo/machine_paths_check.sh" ":(exclude)tests/repo/machine_paths_check_test.sh")

failures=0
fail() {
  echo "$1"
  failures=$((failures + 1))
}

is_allowed() {  # file, matching line
  local entry
  for entry in "${allowed[@]}"; do
    # shellcheck disable=SC2053  # the file pattern is a glob on purpose
    [[ $1 == ${entry%%|*} && $2 == *"${entry#*|}"* ]] && return 0
  done
  return 1
}

# Symbolic links: the target as committed, resolved from the link's folder
# without following further links, must stay inside the repository.
while IFS=$'\t' read -r meta path; do
  [ "${meta%% *}" = 120000 ] || continue
  object=$(echo "$meta" | cut -d' ' -f2)
  target=$(git -C "$root" cat-file blob "$object")
  if [[ $target == /* ]]; then
    fail "$path: symbolic link to the absolute path $target"
    continue
  fi
  resolved=$(realpath -m -s -- "$root/$(dirname -- "$path")/$target")
  if [[ $resolved != "$root" && $resolved != "$root"/* ]]; then
    fail "$path: symbolic link to $target, outside the repository"
  fi
done < <(git -C "$root" ls-files -s)

for entry in "${patterns[@]}"; do
  regex=${entry%|*} meaning=${entry##*|}
  while IFS= read -r hit; do
    file=${hit%%:*} rest=${hit#*:}
    line=${rest%%:*} text=${rest#*:}
    is_allowed "$file" "$text" && continue
    fail "$file:$line: absolute path of a machine ($meaning): $text"
  done < <(git -C "$root" grep -I -n -E -e "$regex" -- . "${exempt[@]}")
done

if [ "$failures" -gt 0 ]; then
  echo "$failures finding(s): the repository must hold no link or path that only exists on one machine"
  exit 1
fi
echo "no symbolic link out of the repository and no machine path in tracked files"
