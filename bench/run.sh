#!/usr/bin/env bash
# The benchmarks: adding files (wvr-cli list over trees of small tagged MP3 files against the
# floor of merely opening each file and reading its first bytes and its last 128, on one
# thread), warm and cold, then sorting, CSV save and load, template output and reading a long
# template set, then (with the windows built) the main window adding files, holding a million
# rows and fitting columns, and the write journal's cost on a fill written to 10,000 files.
#
#   bench/run.sh BUILD_FOLDER      (make bench)
#
# Listing ratios are the median of WARM_PAIRS (default 11) pairs of runs taken in turn, with the
# best time of each; the other warm figures are the best of RUNS runs. Cold figures (the first count only) are the best of
# COLD_RUNS runs, each after dropping the tree's files from the page cache. Environment: RUNS (default 5), COLD_RUNS (default 3), COUNTS
# (default "10000 50000"), WVR_CORPUS_DIR (default: the test files in tests/data).
set -euo pipefail

build=$(cd "${1:?usage: bench/run.sh BUILD_FOLDER}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
corpus=${WVR_CORPUS_DIR:-$here/../tests/data}
runs=${RUNS:-5}
warm_pairs=${WARM_PAIRS:-11}
cold_runs=${COLD_RUNS:-3}
counts=${COUNTS:-10000 50000}
cli=$build/wvr-cli
audio=$corpus/mpeg/mpeg2_16k_16khz_v1latin.mp3  # real lame output, 4.3 KB with its tag

[ -x "$cli" ] || { echo "bench: $cli is not built" >&2; exit 1; }
[ -f "$audio" ] || { echo "bench: $audio is missing (set WVR_CORPUS_DIR)" >&2; exit 1; }

tools=$build/bench
mkdir -p "$tools"
for tool in make_tree read_floor run_timed; do
  "${CXX:-c++}" -std=c++20 -O2 -Wall -pthread -o "$tools/$tool" "$here/$tool.cpp"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/wvr-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The settings and write journal of this run only: an empty store, so no filter of the user's
# applies, and no run of the user's is read or kept.
export XDG_CONFIG_HOME=$work/config
export XDG_STATE_HOME=$work/state

# Runs a command and a second one in turn, WARM_PAIRS times, and prints the best time of each,
# the median of the pairs' ratios (second / first) and the second's largest peak in KB. On a
# shared machine the speed drifts: five runs of one followed by five of the other measure the
# drift as much as the program.
#   paired FIRST... -- SECOND...
paired() {
  local first=() second=()
  while [ "$1" != -- ]; do first+=("$1"); shift; done
  shift
  second=("$@")
  local times
  times=$(for ((i = 0; i < warm_pairs; i++)); do
    read -r a _ <<< "$("$tools/run_timed" 1 "${first[@]}")"
    read -r b kb <<< "$("$tools/run_timed" 1 "${second[@]}")"
    echo "$a $b $kb"
  done)
  local ratio
  ratio=$(awk '{ print $2 / $1 }' <<< "$times" | sort -g | awk '{ r[NR] = $1 } END { print r[int((NR + 1) / 2)] }')
  awk -v r="$ratio" 'NR == 1 || $1 < a { a = $1 } NR == 1 || $2 < b { b = $2 } $3 > kb { kb = $3 }
    END { print a, b, r, kb }' <<< "$times"
}

printf '%-8s %14s %14s %8s %14s\n' files "floor files/s" "list files/s" ratio "list peak MB"
verdict=()
for n in $counts; do
  tree=$work/tree-$n
  "$tools/make_tree" "$audio" "$tree" "$n" 250
  sync  # the new tree's writing-back must not fall into the timed runs
  rows=$("$cli" list "$tree" | wc -l)  # also warms the cache
  [ "$rows" -eq "$n" ] || { echo "bench: wvr-cli listed $rows of $n files" >&2; exit 1; }
  "$tools/read_floor" "$tree" > /dev/null

  read -r floor_s list_s ratio list_kb <<< "$(paired "$tools/read_floor" "$tree" -- "$cli" list "$tree")"
  awk -v n="$n" -v f="$floor_s" -v l="$list_s" -v r="$ratio" -v kb="$list_kb" 'BEGIN {
    printf "%-8d %14.0f %14.0f %7.2fx %14.1f\n", n, n / f, n / l, r, kb / 1024 }'
  verdict+=("$(awk -v n="$n" -v r="$ratio" -v kb="$list_kb" -v p="$warm_pairs" 'BEGIN {
    printf "%d files warm: list/floor %.2f, median of %d pairs (target at most 1.50) %s", n, r, p, (r <= 1.5 ? "met" : "MISSED")
    if (n >= 50000) printf "; peak %.1f MB (target 150) %s", kb / 1024, (kb / 1024 < 150 ? "met" : "MISSED") }')")

  # Cold: the first load of a collection, every file's bytes coming from the device, measured
  # against the one-thread floor in the same run; the floor on 16 threads shows what the device
  # gives with many reads in flight.
  if [ -z "${cold_done:-}" ]; then
    cold_done=1
    if cold_floor=$("$tools/run_timed" --cold "$tree" "$cold_runs" "$tools/read_floor" "$tree"); then
      cold_spread=$("$tools/run_timed" --cold "$tree" "$cold_runs" "$tools/read_floor" "$tree" 16)
      cold_list=$("$tools/run_timed" --cold "$tree" "$cold_runs" "$cli" list "$tree")
      read -r cf _ <<< "$cold_floor"
      read -r cs _ <<< "$cold_spread"
      read -r cl _ <<< "$cold_list"
      awk -v n="$n" -v f="$cf" -v s="$cs" -v l="$cl" 'BEGIN {
        printf "%-8d cold: floor %.3f s, floor on 16 threads %.3f s, list %.3f s\n", n, f, s, l }'
      verdict+=("$(awk -v n="$n" -v f="$cf" -v l="$cl" 'BEGIN {
        printf "%d files cold: list/floor %.2f (target 0.60) %s", n, l / f, (l / f <= 0.6 ? "met" : "MISSED") }')")
    else
      verdict+=("$n files cold: not measured, the tree's pages could not be dropped from the cache")
    fi
  fi
  rm -rf "$tree"
done
echo
printf '%s\n' "${verdict[@]}"

# ID3v2: listing 10,000 files with ID3v2.3 tags and a cover picture with the setting on, against
# listing as many plain ID3v1 files of the same audio (target: at most 1.3 times the time); then the
# write rate of title changes.
echo
tagged=$corpus/id3v2/v23_picture_lossy_mutagen.mp3
"$tools/make_tree" "$corpus/mpeg/cbr128_44k_notag.mp3" "$work/v1-tree" 10000 250
"$tools/make_tree" "$tagged" "$work/v2-tree" 10000 250
sync
"$cli" list "$work/v1-tree" > /dev/null
v2rows=$("$cli" --id3v2 list "$work/v2-tree" | grep -c $'\t4\tMP3 ')
[ "$v2rows" -eq 10000 ] || { echo "bench: wvr-cli --id3v2 listed $v2rows of 10000 tagged files" >&2; exit 1; }
read -r v1_s v2_s v2_ratio _ <<< "$(paired "$cli" list "$work/v1-tree" -- "$cli" --id3v2 list "$work/v2-tree")"
awk -v a="$v1_s" -v b="$v2_s" -v r="$v2_ratio" -v p="$warm_pairs" 'BEGIN {
  printf "10000 files: ID3v1 list %.3f s, ID3v2.3 with pictures (--id3v2) %.3f s: %.2fx, median of %d pairs (target 1.30) %s\n",
         a, b, r, p, (r <= 1.3 ? "met" : "MISSED") }'
rm -rf "$work/v1-tree" "$work/v2-tree"
cmake --build "$build" --target id3v2_write_bench > /dev/null
"$build/bench/id3v2_write_bench" "$corpus/id3v2/v23_latin1_mutagen.mp3" 2000 "$work"

# The write journal: fill --write over 10,000 files with it, against the same run without it
# (the journal's folder a file, so it cannot be made, and --no-undo going on without it).
echo
"$tools/make_tree" "$audio" "$work/journal-tree" 10000 250
: > "$work/no-journal"
sync
"$cli" fill --field 0 --text Bench --write "$work/journal-tree" > /dev/null
# The two write different titles, so that every run changes every file.
read -r plain_s journal_s journal_ratio _ <<< "$(paired env XDG_STATE_HOME="$work/no-journal" "$cli" --no-undo fill --field 0 \
  --text Plain --write "$work/journal-tree" -- env XDG_STATE_HOME="$work/journal" "$cli" fill --field 0 --text Journal --write \
  "$work/journal-tree")"
awk -v a="$plain_s" -v b="$journal_s" -v r="$journal_ratio" -v p="$warm_pairs" 'BEGIN {
  printf "10000 files: fill --write %.3f s, with the write journal %.3f s: %.2fx, median of %d pairs (target 1.15) %s\n",
         a, b, r, p, (r <= 1.15 ? "met" : "MISSED") }'
rm -rf "$work/journal-tree" "$work/journal"

# Sorting the list: 100,000 rows by a column, each direction.
echo
cmake --build "$build" --target sort_rows_bench > /dev/null
"$build/bench/sort_rows_bench" 100000

# CSV save of 100,000 rows, and the CSV load of a 10,000-file tree against listing it.
echo
cmake --build "$build" --target csv_text_bench > /dev/null
"$tools/make_tree" "$audio" "$work/csv-tree" 10000 250
"$build/bench/csv_text_bench" "$work/csv-tree" 100000
rm -rf "$work/csv-tree"

# Reading a template set of 100,000 lines from its ini file.
echo
cmake --build "$build" --target ini_read_bench > /dev/null
"$build/bench/ini_read_bench" "$work" 100000

# The main window adding 100,000 files and sorting them, then holding 1,000,000 rows, with the
# peak memory of each (target: 150 MB at 100,000 rows), when the windows are built.
if [ -x "$build/wvr" ]; then
  echo
  cmake --build "$build" --target add_to_window_bench > /dev/null
  "$tools/make_tree" "$audio" "$work/window-tree" 100000 250
  QT_QPA_PLATFORM=offscreen "$build/bench/add_to_window_bench" "$work/window-tree" 2> /dev/null
  rm -rf "$work/window-tree"
  QT_QPA_PLATFORM=offscreen "$build/bench/add_to_window_bench" --rows 1000000 "$audio" 2> /dev/null

  # Fitting columns to their widest text over 100,000 rows (every row is measured).
  echo
  cmake --build "$build" --target fit_columns_bench > /dev/null
  QT_QPA_PLATFORM=offscreen "$build/bench/fit_columns_bench" 100000 2> /dev/null
fi

# The tool commands: the selection's random fill and find over 100,000 rows, and conversion
# against a plain copy of the same bytes (in a folder of this run).
echo
cmake --build "$build" --target convert_tools_bench > /dev/null
"$build/bench/convert_tools_bench" 100000 "$work"
