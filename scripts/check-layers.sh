#!/usr/bin/env bash
# Checks from the #include lines that every folder uses only the layers below it:
#   platform/win32 < platform/host < platform/card < interface < queues < device
#   < capture, deck, output (side by side: none includes another) < plugin < tools
# A folder may include its own headers. Tests may include anything. Prints every
# include that runs upward or sideways and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
  case "$1" in
    platform/win32) echo 0 ;;
    platform/host) echo 1 ;;
    platform/card) echo 2 ;;
    interface) echo 3 ;;
    queues) echo 4 ;;
    device) echo 5 ;;
    capture|deck|output) echo 6 ;;
    plugin) echo 7 ;;
    tools/*) echo 8 ;;
    *) echo "" ;;
  esac
}

# The layer folder of a source file.
folder_of_file() {
  case "$1" in
    platform/win32/*) echo platform/win32 ;;
    platform/host/*) echo platform/host ;;
    platform/card/*) echo platform/card ;;
    tools/*) echo "$(echo "$1" | cut -d/ -f1-2)" ;;
    *) echo "${1%%/*}" ;;
  esac
}

# The layer folder an include names, seen from the including file's folder.
folder_of_include() {
  local include=$1 from_dir=$2
  case "$include" in
    interface/*|queues/*|device/*|capture/*|deck/*|output/*|plugin/*) echo "${include%%/*}" ;;
    digitalio/*|hostcore/*|digitalio.h|hostcore.h) echo platform/host ;;
    sim/*|KDXCORE.h|KordexDDC.h|DDCError.h) echo platform/card ;;
    windows.h|Win32DebugSink.h) echo platform/win32 ;;
    *)
      if [ -e "$from_dir/$include" ]; then folder_of_file "$from_dir/$include"; else echo "?"; fi ;;
  esac
}

bad=0
while IFS= read -r file; do
  from=$(folder_of_file "$file")
  from_rank=$(rank "$from")
  [ -n "$from_rank" ] || continue
  while IFS= read -r include; do
    to=$(folder_of_include "$include" "$(dirname "$file")")
    if [ "$to" = "?" ]; then
      echo "check-layers: $file: #include \"$include\" names no known folder"
      bad=1
      continue
    fi
    [ "$to" = "$from" ] && continue
    to_rank=$(rank "$to")
    if [ -z "$to_rank" ] || [ "$to_rank" -ge "$from_rank" ]; then
      echo "check-layers: $file ($from) includes \"$include\" ($to)"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files -co --exclude-standard -- platform interface queues device capture deck output plugin tools \
           | grep -E '\.(h|cpp)$')

if [ "$bad" -ne 0 ]; then
  echo "check-layers: includes must run only downward"
  exit 1
fi
echo "check-layers: every include runs downward"
