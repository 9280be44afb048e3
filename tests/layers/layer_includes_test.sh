#!/usr/bin/env bash
# The layers' include rules (docs/ARCHITECTURE.md): every product file includes only
# headers of its own folder and of the folders listed for it below. A new include across
# the layers fails here, before it becomes a link-order puzzle or a cycle.
set -euo pipefail
root=${1:?usage: layer_includes_test.sh SOURCE_DIR}
cd "$root"

# folder: the other folders it may include (besides itself)
declare -A may=(
  [db]=""
  [data]="db"
  [mrp]="data db"
  [userchars]="db"
  [report]="mrp data db userchars"
  [skin]=""
  [platform]="skin userchars db"
  [frame]="platform skin userchars db"
  [skinctrls]="frame platform skin userchars data db"
  [lookup]="skinctrls frame platform skin userchars data db"
  [skins]="skin"
  [window]="mrp report lookup skinctrls frame platform skin skins userchars data db"
  [preview]="lookup skinctrls frame platform skin skins userchars data db"
  [tools]="skin"
  [app]="window preview report mrp lookup skinctrls frame platform skin skins userchars data db"
)

status=0
for layer in "${!may[@]}"; do
  allowed=" $layer ${may[$layer]} "
  while IFS=: read -r file _ text; do
    target=$(sed -E 's/^#include "([a-z]+)\/.*/\1/' <<<"$text")
    if [[ "$allowed" != *" $target "* ]]; then
      echo "$file: $layer may not include $target ($text)"
      status=1
    fi
  done < <(grep -rnE '^#include "[a-z]+/' "$layer" --include='*.cpp' --include='*.h' --include='*.in' || true)
done
# Every product folder must be listed above.
for dir in */; do
  dir=${dir%/}
  case $dir in tests|bench|docs|scripts|packaging|build*|.*) continue ;; esac
  if compgen -G "$dir/*.cpp" >/dev/null || compgen -G "$dir/*/*.cpp" >/dev/null; then
    [[ -v "may[$dir]" ]] || { echo "$dir/: a folder the include rules do not know"; status=1; }
  fi
done
[ $status = 0 ] && echo "layer includes: every include within the rules"
exit $status
