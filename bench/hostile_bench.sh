#!/usr/bin/env bash
# Runs the window bench on the pathological files hostile_files.sh wrote and
# prints one table: the import's wall and CPU time, the longest time the event
# loop went without a turn during it, and for the one-record files the time
# to show that record (median of REPEAT shows, wall and CPU).
#
#   bench/hostile_bench.sh DIR [WINDOW_BENCH]
#
# WINDOW_BENCH defaults to build-bench/bench/quarry-window-bench. Environment:
# REPEAT (shows per record, default 5), TIMEOUT (seconds per file, default
# 900; a run that takes longer is reported as not finished).
set -euo pipefail

if [[ $# -lt 1 ]]; then
  sed -n '2,11s/^# \{0,1\}//p' "$0" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir=$1
bench=${2:-$root/build-bench/bench/quarry-window-bench}
repeat=${REPEAT:-5}
limit=${TIMEOUT:-900}
export QT_QPA_PLATFORM=offscreen

value() { awk -v k="$1" '$1 == k { v = $2 } END { print (v == "" ? "-" : v) }' "$2"; }

printf '| file | size | import wall s | import CPU s | longest loop gap ms | items | show median ms | show CPU ms |\n'
printf '| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: |\n'
for name in unended.xml nanos.xml tiny_items.xml no_close.xml zeros.bin attributes.xml \
  million_attributes.xml long_word.xml big_record.xml mb_record.xml; do
  file="$dir/$name"
  [[ -e "$file" ]] || continue
  show=()
  case "$name" in attributes.xml | long_word.xml | big_record.xml | mb_record.xml) show=(--show 1 --repeat "$repeat") ;; esac
  out="$(mktemp)"
  status=0
  timeout "$limit" "$bench" --shows 0 --steps 0 "${show[@]}" "$file" >"$out" 2>/dev/null || status=$?
  note=""
  [[ $status -eq 124 ]] && note=" (not finished in $limit s)"
  printf '| %s%s | %s | %s | %s | %s | %s | %s | %s |\n' "$name" "$note" "$(stat -L -c %s "$file")" \
    "$(value import_seconds "$out")" "$(value import_cpu_seconds "$out")" \
    "$(value longest_loop_gap_ms "$out")" "$(value items "$out")" \
    "$(value show_item_median_ms "$out")" "$(value show_item_median_cpu_ms "$out")"
  rm -f "$out"
done
