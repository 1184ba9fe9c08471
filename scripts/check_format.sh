#!/usr/bin/env bash
# Fails when clang-format, with the repository's .clang-format, would change any C++ file of
# the project (tracked, or new and not ignored), and shows what it would change.
# Mend with `clang-format -i FILE`.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/ensure_packages.sh clang-format git

files=()
while IFS= read -r -d '' file; do
  [[ -f "$file" ]] && files+=("$file")
done < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h')
# One clang-format run for all files; its findings name each file to change.
report=$(clang-format --dry-run -Werror "${files[@]}" 2>&1) && exit 0
mapfile -t unformatted < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' \
                           <<<"$report" | sort -u)
if [[ ${#unformatted[@]} -eq 0 ]]; then
  echo "$report" >&2
  exit 1
fi
for file in "${unformatted[@]}"; do
  diff -u --label "$file" --label "$file (clang-format)" "$file" <(clang-format "$file") || true
done
echo "clang-format would change ${#unformatted[@]} file(s): ${unformatted[*]}" >&2
exit 1
