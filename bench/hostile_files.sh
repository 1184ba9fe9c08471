#!/usr/bin/env bash
# Writes the pathological item files the window bench is measured on, into
# DIR (kept out of the repository):
#
#   bench/hostile_files.sh DIR [NAME...]
#
# NAME is any of the files below (default: all of them).
#   unended.xml     20,000 records that never reach "</Item>" (about 1.2 MB)
#   nanos.xml       250,000 small nano programs
#   tiny_items.xml  5,000,000 tiny items, each filed (about 350 MB)
#   no_close.xml    200 MB without a ">"
#   zeros.bin       4.4 GB of NUL bytes, made sparse so it takes no disk;
#                   delete it when done
#   attributes.xml  one record with 4,000 attributes
#   million_attributes.xml  one record with 1,000,000 attributes (about 60 MB)
#   long_word.xml   one record whose description is a single 512 KB word
#   big_record.xml  one 2 MB record: a 1 MB description of words (some 64 KB
#                   long) and 1 MB of attributes
#   mb_record.xml   the same at 1 MB
# Every record that is meant to be shown has ZRID 1.
set -euo pipefail

if [[ $# -lt 1 ]]; then
  sed -n '2,20s/^# \{0,1\}//p' "$0" >&2
  exit 2
fi
dir=$1
shift
names=("$@")
[[ ${#names[@]} -gt 0 ]] ||
  names=(unended.xml nanos.xml tiny_items.xml no_close.xml zeros.bin attributes.xml
    million_attributes.xml long_word.xml big_record.xml mb_record.xml)
mkdir -p "$dir"

header='<?xml version="1.0"?><RDB>'

# N attributes of about 57 bytes each, for record bodies.
attributes() {
  awk -v n="$1" 'BEGIN { for (i = 1; i <= n; ++i)
    printf "<Attribute Name=\"Attribute%d\" Value=\"value %d\" />", i, i * 7 }'
}

# About N bytes of words; every 64th word is 64 KB long when LONG is 1.
words() {
  awk -v n="$1" -v long="$2" 'BEGIN {
    split("ember tide grip under slowly faintly the bright warm seam", w, " ")
    for (size = 0; size < n; ++k) {
      word = w[k % 10 + 1]
      if (long && k % 64 == 63) { word = ""; while (length(word) < 65536) word = word "quartzvein" }
      printf "%s ", word
      size += length(word) + 1
    } }'
}

one_record() { # $1 body
  printf '%s<Item ZRID="1" Name="Pathological" QL="1" ItemType="Misc">%s</Item></RDB>' \
    "$header" "$1"
}

make_file() {
  local name=$1 path="$dir/$1"
  case "$name" in
  unended.xml)
    { printf '%s' "$header"
      awk 'BEGIN { for (i = 1; i <= 20000; ++i)
        printf "<Item ZRID=\"%d\" Name=\"Unended %d\" QL=\"1\" ItemType=\"Misc\">", 100000 + i, i }'
      printf '</RDB>'; } >"$path" ;;
  nanos.xml)
    { printf '%s' "$header"
      awk 'BEGIN { for (i = 1; i <= 250000; ++i)
        printf "<Item ZRID=\"%d\" Name=\"Nano %d\" IsNano=\"True\"><Description>Calms.</Description></Item>", 100000 + i, i }'
      printf '</RDB>'; } >"$path" ;;
  tiny_items.xml)
    { printf '%s' "$header"
      awk 'BEGIN { for (i = 1; i <= 5000000; ++i)
        printf "<Item ZRID=\"%d\" Name=\"Tiny %d\" QL=\"1\" ItemType=\"Misc\"></Item>", i, i }'
      printf '</RDB>'; } >"$path" ;;
  no_close.xml)
    { yes '<Item ZRID="1" Name="no closing bracket in sight' || true; } | head -c 200000000 >"$path" ;;
  zeros.bin)
    rm -f "$path"
    truncate -s 4400000000 "$path" ;;
  attributes.xml)
    one_record "$(attributes 4000)" >"$path" ;;
  million_attributes.xml)
    one_record "$(attributes 1000000)" >"$path" ;;
  long_word.xml)
    one_record "<Description>$(head -c 524288 /dev/zero | tr '\0' 'w')</Description>" >"$path" ;;
  big_record.xml)
    one_record "<Description>$(words 1000000 1)</Description>$(attributes 17500)" >"$path" ;;
  mb_record.xml)
    one_record "<Description>$(words 500000 1)</Description>$(attributes 8750)" >"$path" ;;
  *)
    echo "hostile_files.sh: unknown file $name" >&2
    exit 2 ;;
  esac
  printf '%s\t%s bytes\n' "$path" "$(stat -c %s "$path")"
}

for name in "${names[@]}"; do
  make_file "$name"
done
