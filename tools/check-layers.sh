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
# One pass over every include line; awk checks each against its folder's rule (a file's rule is
# the longest folder prefix that has one).
rule_lines=$(printf '%s\n' "${rules[@]}")
violations=$(grep -rn --include='*.h' --include='*.cpp' '^#include "' "${rules[@]%%:*}" 2>/dev/null |
  awk -v rules="$rule_lines" '
    BEGIN {
      n = split(rules, lines, "\n")
      for (i = 1; i <= n; i++) {
        folder = lines[i]; sub(/:.*/, "", folder)
        allowed[folder] = substr(lines[i], index(lines[i], ":") + 1)
      }
    }
    {
      file = $0; sub(/:.*/, "", file)
      included = $0; sub(/^[^"]*"/, "", included); sub(/".*/, "", included)
      if (included !~ /\//) next
      best = ""
      for (folder in allowed) if (index(file, folder "/") == 1 && length(folder) > length(best)) best = folder
      if (best == "") next
      ok = 0
      m = split(allowed[best], prefixes, " ")
      for (j = 1; j <= m; j++) if (prefixes[j] != "" && index(included, prefixes[j]) == 1) ok = 1
      if (!ok) printf "layer: %s includes %s (allowed:%s)\n", file, included, allowed[best]
    }')
if [ -n "$violations" ]; then
  echo "$violations"
  status=1
fi
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
