#!/usr/bin/env bash
# Times export and diff against the tree build they ride on, whole processes
# under /usr/bin/time, output to /dev/null (the database to a scratch file),
# RUNS alternating rounds; prints one table of medians: CPU time (user +
# system), wall time, peak resident memory, and the CPU ratio to `tree`.
#
#   bench/export_bench.sh FILE CHANGED_FILE [QUARRY_CLI]
#
# CHANGED_FILE is FILE with some items changed (the diff's NEW side).
# QUARRY_CLI defaults to build/cli/quarry-cli. Environment: RUNS (default 3).
set -euo pipefail

if [[ $# -lt 2 ]]; then
  sed -n '2,10s/^# \{0,1\}//p' "$0" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
file=$1
changed=$2
cli=${3:-$root/build/cli/quarry-cli}
runs=${RUNS:-3}
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

names=(tree jsonl sqlite diff)
command_of() {
  case "$1" in
    tree) echo "$cli tree $file" ;;
    jsonl) echo "$cli export --format jsonl $file" ;;
    sqlite) echo "$cli export --format sqlite --output $scratch/items.db --force $file" ;;
    diff) echo "$cli diff $file $changed" ;;
  esac
}

# One run: "cpu wall rss_mb" appended to $scratch/NAME. diff exits 4 when the
# files differ, which is its success here.
measure() {
  local name=$1 report="$scratch/time.txt" status=0
  # shellcheck disable=SC2046
  /usr/bin/time -v -o "$report" $(command_of "$name") >/dev/null 2>"$scratch/stderr" || status=$?
  if [[ $status -ne 0 && ! ($name == diff && $status -eq 4) ]]; then
    echo "$name failed with $status:" >&2
    cat "$scratch/stderr" >&2
    exit 1
  fi
  awk -F': ' '
    /User time/ { user = $2 } /System time/ { sys = $2 }
    /Elapsed \(wall clock\)/ { n = split($2, t, ":"); wall = 0; for (i = 1; i <= n; i++) wall = wall * 60 + t[i] }
    /Maximum resident/ { rss = $2 / 1024 }
    END { printf "%.2f %.2f %.1f\n", user + sys, wall, rss }' "$report" >>"$scratch/$name"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for ((run = 0; run < runs; run++)); do
  for name in "${names[@]}"; do measure "$name"; done
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
column() { awk -v c="$2" '{ print $c }' "$scratch/$1" | median; }
tree_cpu=$(column tree 1)
echo "load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '| command | CPU s (user+sys) | wall s | peak RSS MB | CPU × tree |\n| --- | ---: | ---: | ---: | ---: |\n'
for name in "${names[@]}"; do
  cpu=$(column "$name" 1)
  printf '| %s | %s | %s | %s | %.2f |\n' "$name" "$cpu" "$(column "$name" 2)" "$(column "$name" 3)" \
    "$(awk -v a="$cpu" -v b="$tree_cpu" 'BEGIN { print a / b }')"
done
