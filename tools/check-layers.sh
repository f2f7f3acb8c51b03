#!/usr/bin/env bash
# Checks that every source file includes only what its layer may use, and that portable code never
# includes the Windows headers (only win32/ folders may). Prints each violation; exit status 1 when
# there is one.
#   check-layers.sh [SOURCE_ROOT]
set -uo pipefail
cd "${1:-$(dirname "$0")/..}"

# folder: the include prefixes its files may use, lowest layer first.
rules=(
  "platform: platform/"
  "script/runtime: platform/ script/runtime/"
  "script/compiler: platform/ script/runtime/ script/compiler/"
  "script/builtins: platform/ script/runtime/ script/builtins/"
  "script/vm: platform/ script/runtime/ script/compiler/ script/builtins/ script/vm/"
  "objects: platform/ script/runtime/ objects/"
  "net: platform/ script/runtime/ objects/ net/"
  "player/swf: platform/ player/swf/"
  "player/control: platform/ player/"
  "classes: platform/ script/ objects/ net/ host/ classes/"
  "host: platform/ script/ objects/ net/ player/ host/ classes/"
)
portable=(platform script objects net player/swf classes)

status=0
for rule in "${rules[@]}"; do
  folder="${rule%%:*}"
  allowed="${rule#*:}"
  [ -d "$folder" ] || continue
  while IFS= read -r line; do
    file="${line%%:*}"
    included=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")
    [[ "$included" == */* ]] || continue  # a file beside the includer
    ok=0
    for prefix in $allowed; do [[ "$included" == "$prefix"* ]] && ok=1; done
    if [ $ok -eq 0 ]; then
      echo "layer: $file includes $included (allowed:$allowed)"
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' '^#include "' "$folder")
done
for folder in "${portable[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r file; do
    echo "portable: $file includes a Windows header outside a win32/ folder"
    status=1
  done < <(grep -rlE --include='*.h' --include='*.cpp' '^#include <(windows|ole2|objbase|oleauto|shlobj|winsock2?)\.h>' "$folder" |
           grep -v '/win32/')
done
[ $status -eq 0 ] && echo "layers: every include is allowed"
exit $status
