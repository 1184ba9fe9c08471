#!/usr/bin/env bash
# Times export and diff against the tree build they ride on, whole processes
# under /usr/bin/time, output to /dev/null (the database to a scratch file),
# RUNS alternating rounds; prints one table of medians: CPU time (user +
# system), wall time, peak resident memory, and the CPU ratios to `tree` and
# to the JSON-lines export. Then times the README's example queries on the
# exported database (best of 5, wall and CPU of this process), and the work a
# SQLite export does after its rows are in (its indexes made at the end, the
# full-text index), made again on a copy of the database, against what the
# 2.0 × target leaves beyond the import (2 × the JSON export's CPU, less the
# tree build's).
#
#   bench/export_bench.sh FILE CHANGED_FILE [QUARRY_CLI]
#
# CHANGED_FILE is FILE with some items changed (the diff's NEW side).
# QUARRY_CLI defaults to build/cli/quarry-cli. Environment: RUNS (default 3);
# BASELINE, another quarry-cli whose exports are timed in the same rounds.
set -euo pipefail

if [[ $# -lt 2 ]]; then
  sed -n '2,13s/^# \{0,1\}//p' "$0" >&2
  exit 2
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
file=$1
changed=$2
cli=${3:-$root/build/cli/quarry-cli}
baseline=${BASELINE:-}
runs=${RUNS:-3}
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

names=(tree jsonl sqlite diff)
[[ -n $baseline ]] && names+=(jsonl-baseline sqlite-baseline)
command_of() {
  case "$1" in
    tree) echo "$cli tree --no-cache $file" ;;
    jsonl) echo "$cli export --format jsonl $file" ;;
    sqlite) echo "$cli export --format sqlite --output $scratch/items.db --force $file" ;;
    diff) echo "$cli diff $file $changed" ;;
    jsonl-baseline) echo "$baseline export --format jsonl $file" ;;
    sqlite-baseline) echo "$baseline export --format sqlite --output $scratch/baseline.db --force $file" ;;
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
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
tree_cpu=$(column tree 1)
jsonl_cpu=$(column jsonl 1)
echo "load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '| command | CPU s (user+sys) | wall s | peak RSS MB | CPU × tree | CPU × jsonl |\n'
printf '| --- | ---: | ---: | ---: | ---: | ---: |\n'
for name in "${names[@]}"; do
  cpu=$(column "$name" 1)
  printf '| %s | %s | %s | %s | %s | %s |\n' "$name" "$cpu" "$(column "$name" 2)" "$(column "$name" 3)" \
    "$(ratio "$cpu" "$tree_cpu")" "$(ratio "$cpu" "$jsonl_cpu")"
done

echo
python3 - "$root" "$scratch/items.db" "$jsonl_cpu" "$tree_cpu" <<'EOF'
import re, shutil, sqlite3, sys, time
readme = open(sys.argv[1] + '/README.md', encoding='utf-8').read()
block = readme[readme.index('Six questions'):].split('```sql\n')[1].split('```')[0]
db = sqlite3.connect(sys.argv[2])
print('| README query | wall ms | CPU ms | rows |\n| --- | ---: | ---: | ---: |')
for query in block.split(';\n')[:-1]:
    wall = cpu = float('inf')
    for _ in range(5):
        started, used = time.perf_counter(), time.process_time()
        rows = db.execute(query).fetchall()
        wall, cpu = min(wall, time.perf_counter() - started), min(cpu, time.process_time() - used)
    print(f'| {query.strip().splitlines()[0][3:]} | {wall * 1e3:.1f} | {cpu * 1e3:.1f} | {len(rows)} |')
# The indexes made at the end are every index but those on zrid, which grow
# with the rows; each is dropped and made again from its own statement.
copy = sys.argv[2] + '.copy'
shutil.copy(sys.argv[2], copy)
db = sqlite3.connect(copy, isolation_level=None)
db.execute('PRAGMA journal_mode=OFF')
db.execute('BEGIN')
made = db.execute("SELECT name, sql FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL"
                  " AND substr(name, -5) != '_zrid'").fetchall()
for name, _ in made:
    db.execute(f'DROP INDEX {name}')
work = []
for name, sql in made:
    used = time.process_time()
    db.execute(sql)
    work.append((f'index {name}', time.process_time() - used))
# The full-text index with the settings the export makes it with, read from
# the statements that set them.
writer = open(sys.argv[1] + '/export/item_database.cpp', encoding='utf-8').read()
for setting in re.findall(r"INSERT INTO item_text\(item_text, rank\) VALUES\('\w+', \d+\)", writer):
    db.execute(setting)
used = time.process_time()
db.execute("INSERT INTO item_text(item_text) VALUES('rebuild')")
work.append(('full-text index', time.process_time() - used))
db.execute('COMMIT')
print('\n| work after the rows are in | CPU s |\n| --- | ---: |')
for what, seconds in work:
    print(f'| {what} | {seconds:.2f} |')
print(f'| all of it | {sum(seconds for _, seconds in work):.2f} |')
jsonl_cpu, tree_cpu = float(sys.argv[3]), float(sys.argv[4])
print(f'| left by the 2.0 × target beyond the import (2 × jsonl − tree) | {2 * jsonl_cpu - tree_cpu:.2f} |')
EOF
