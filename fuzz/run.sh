#!/usr/bin/env bash
# Runs every fuzz target for a bounded time and prints what each did.
#   fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET
# Seeds come from tests/data; what a target finds new is kept in BUILD_DIR/fuzz-corpus, so a
# later run goes on from there. A crash, hang, leak or sanitizer report is saved in
# BUILD_DIR/fuzz-findings and makes the run fail.
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build-fuzz}")  # absolute: the playlist reader changes the current folder
seconds=${2:-12}
data=$(realpath tests/data)
seeds=$build/fuzz-seeds
corpus=$build/fuzz-corpus
findings=$build/fuzz-findings
logs=$build/fuzz-logs
rm -rf "$seeds"
mkdir -p "$seeds" "$corpus" "$findings" "$logs"

music_files() { find "$data" -type f ! -name '*.tsv' ! -name '*.json' ! -name '*.md' ! -path '*/text/*' "$@"; }

# A writer's seed: the file, then texts one per line, a flags byte and the texts' length.
writer_seed() { # file flags target
  local texts
  texts=$(printf 'Title\nArtist\nAlbum\nComment\n1999\nRock\nOwner\n\x83\x5c\x95\x5c\n\n\nKey\n\n\n\n\n\nx')
  { cat "$1"; printf '%s' "$texts"; printf "\\x$(printf %02x "$2")"; printf "\\x$(printf %02x ${#texts})"; } \
    > "$seeds/$3/$(basename "$1")"
}

seed() { # target files...
  local target=$1
  shift
  mkdir -p "$seeds/$target"
  for f in "$@"; do cp "$f" "$seeds/$target/"; done
}

seed fuzz_read_file $(music_files)
seed fuzz_remove_macbinary $data/macbinary/* $data/mpeg/tag_only_128.mp3
seed fuzz_playlist $data/playlist/*
seed fuzz_ini $data/text/wvr_sample.ini
seed fuzz_comma_text $data/text/comma_text.txt $data/playlist/list_crlf_backslash.m3u
seed fuzz_full_to_half $data/text/full_width.txt $data/text/comma_text.txt
seed fuzz_cp932 $data/text/*.txt $data/playlist/*
mkdir -p "$seeds/fuzz_field_macros"
for pattern in '[%1] %2%e' '%n_%3-%4 (%5)%e' '%f%9 %0 %a %s %t %6%7%8'; do
  { printf '\x0f\x0a\0\0\0\0\0\0\0'; printf '%s\n' "$pattern" "x.mp3" "/m/x.mp3"; cat "$data/text/full_width.txt"; \
    printf '\nA/B:C\n\x83\x5c\x95\x5c \n'; } > "$seeds/fuzz_field_macros/$(echo "$pattern" | md5sum | cut -c1-8)"
done
mkdir -p "$seeds/fuzz_write_id3v1" "$seeds/fuzz_write_riff_info" "$seeds/fuzz_write_soundvq"
for f in $data/mpeg/*; do writer_seed "$f" 0 fuzz_write_id3v1; done
for f in $data/riff/*.rmp; do writer_seed "$f" 2 fuzz_write_riff_info; done
for f in $data/riff/*.wav $data/thirdparty/taglib/*.wav; do writer_seed "$f" 1 fuzz_write_riff_info; done
for f in $data/vqf/*; do writer_seed "$f" 0 fuzz_write_soundvq; done
mkdir -p "$seeds/fuzz_write_id3v2"
# Flags: which fields take the seed's texts (bit n for fields n and n + 8).
# Bit 7 asks for the Unicode rewrite: each file is a seed both ways.
for f in $data/id3v2/* $data/regress/v23_size_past_end.mp3; do
  writer_seed "$f" 133 fuzz_write_id3v2
  mv "$seeds/fuzz_write_id3v2/$(basename "$f")" "$seeds/fuzz_write_id3v2/unicode-$(basename "$f")"
  writer_seed "$f" 5 fuzz_write_id3v2
done
# Files without a tag are given a new one.
for f in $data/mpeg/*.mp3; do writer_seed "$f" 5 fuzz_write_id3v2; done
mkdir -p "$seeds/fuzz_convert"
# Flags: source kind in bits 0-1, target in bits 2-3 (MPEG 0, WAVE 1, RMP3 2).
for f in $data/mpeg/*.mp3; do writer_seed "$f" $((0 + 4 * 1)) fuzz_convert; done
for f in $data/riff/*.wav; do writer_seed "$f" $((1 + 4 * 2)) fuzz_convert; done
for f in $data/riff/*.rmp; do writer_seed "$f" $((2 + 4 * 0)) fuzz_convert; done

# Seeds of the readers that arrived with the CSV, template and text-input commands.
mkdir -p "$seeds/fuzz_csv_load" "$seeds/fuzz_parse_by_pattern" "$seeds/fuzz_template_line" "$seeds/fuzz_text_input"
for mode in 0 1 2 12; do
  { printf "\\x$(printf %02x $mode)"; cat "$data/text/wvr_list.csv"; } > "$seeds/fuzz_csv_load/list_$mode"
done
printf '\x00[%%1] %%2\n[Artist] Title' > "$seeds/fuzz_parse_by_pattern/brackets"
printf '\x07%%3 - %%0.%%?%%2_%%6\n\x83\x5c\x95\x5c - 01.x_Title_\x82\x60' > "$seeds/fuzz_parse_by_pattern/codes"
{ printf '\x07\0\0\0\0\0\0\0<tr><td>%%n</td><td>%%1</td><td>%%2</td><td>%%t %%p %%a %%f%%e</td></tr>\n/out/\n-\n'; \
  printf 'x.mp3\nTitle\nArtist\n\n\n1999\nRock\n\n\n\n\n\n\n\n\n\n\n\n4176\n/m/x.mp3\n1\n2\n'; } \
  > "$seeds/fuzz_template_line/row"
printf '%%3 / %%1\n{\n%%0.%%2\n}\n\f\nAlbum / Artist\n1. First\n2. Second\n3. Third\n' > "$seeds/fuzz_text_input/default"

failed=0
printf '%-24s %8s %12s %8s %8s  %s\n' target seconds executions coverage features findings
for binary in "$build"/fuzz/fuzz_*; do
  target=$(basename "$binary")
  [ -x "$binary" ] || continue
  mkdir -p "$corpus/$target" "$seeds/$target"
  log=$logs/$target.log
  before=$(ls "$findings" | grep -c "^$target-" || true)
  start=$(date +%s)
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 -print_final_stats=1 \
      -artifact_prefix="$findings/$target-" "$corpus/$target" "$seeds/$target" > "$log" 2>&1
  status=$?
  took=$(( $(date +%s) - start ))
  after=$(ls "$findings" | grep -c "^$target-" || true)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  found=$(( after - before ))
  note=$found
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    note="$found: $(grep -m1 -E 'ERROR: |runtime error|property broken|deadly signal' "$log" | cut -c1-80) (see $log)"
  fi
  printf '%-24s %8s %12s %8s %8s  %s\n' "$target" "$took" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$note"
done
exit $failed
