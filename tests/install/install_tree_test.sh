#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree against the table below:
# every file there and no other, the program runs from it, the icons are PNGs of their
# size, the desktop entry passes desktop-file-validate and the AppStream metadata passes
# appstreamcli (with its link to the desktop entry). Skips (77) without the validators,
# which scripts/install-packages installs.
#   install_tree_test.sh BUILD_DIR [CMAKE]
set -euo pipefail
build=${1:?usage: install_tree_test.sh BUILD_DIR [CMAKE]}
cmake=${2:-cmake}

# path under the prefix | what it must be
expected=(
  "bin/marlith|program"
  "share/applications/marlith.desktop|desktop"
  "share/metainfo/io.github.marlith.metainfo.xml|metainfo"
  "share/icons/hicolor/16x16/apps/marlith.png|png 16"
  "share/icons/hicolor/32x32/apps/marlith.png|png 32"
  "share/icons/hicolor/48x48/apps/marlith.png|png 48"
  "share/icons/hicolor/64x64/apps/marlith.png|png 64"
  "share/icons/hicolor/128x128/apps/marlith.png|png 128"
  "share/icons/hicolor/256x256/apps/marlith.png|png 256"
)

missing_tools=()
command -v desktop-file-validate >/dev/null || missing_tools+=(desktop-file-validate)
command -v appstreamcli >/dev/null || missing_tools+=(appstreamcli)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
prefix=$root/usr
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"; echo "FAIL: cmake --install (is everything built? cmake --build $build)"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The width and height a PNG's header gives, as "WxH"; empty for anything else.
png_size() {
  [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
  local w h
  w=$(od -An -tu4 --endian=big -j16 -N4 "$1" | tr -d ' ')
  h=$(od -An -tu4 --endian=big -j20 -N4 "$1" | tr -d ' ')
  echo "${w}x${h}"
}

for row in "${expected[@]}"; do
  path=${row%%|*}
  kind=${row#*|}
  file=$prefix/$path
  if [ ! -f "$file" ]; then fail "$path is not installed"; continue; fi
  case $kind in
    program)
      [ -x "$file" ] || fail "$path is not executable"
      out=$("$file" --version 2>&1) || fail "$path --version: $out"
      [[ $out == "marlith "* ]] || fail "$path --version printed: $out" ;;
    desktop)
      if command -v desktop-file-validate >/dev/null; then
        out=$(desktop-file-validate "$file" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate $path: $out"
      fi
      for key in "Exec=marlith" "Icon=marlith" "StartupWMClass=marlith" "Terminal=false"; do
        grep -qx "$key" "$file" || fail "$path lacks $key"
      done ;;
    metainfo)
      # validate-tree runs the file's own validation and checks its launchable against
      # the desktop entry installed beside it.
      if command -v appstreamcli >/dev/null; then
        out=$(appstreamcli validate-tree --no-net "$root" 2>&1) || fail "appstreamcli validate-tree: $out"
      fi ;;
    png\ *)
      n=${kind#png }
      got=$(png_size "$file")
      [ "$got" = "${n}x${n}" ] || fail "$path is ${got:-not a PNG}, expected ${n}x${n}" ;;
  esac
done

# Nothing installed beyond the table.
while IFS= read -r file; do
  rel=${file#"$prefix"/}
  printf '%s\n' "${expected[@]}" | grep -q "^$rel|" || fail "unexpected installed file $rel"
done < <(find "$root" -type f -o -type l)

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
if [ ${#missing_tools[@]} -ne 0 ]; then
  echo "SKIPPED: files are in place, but ${missing_tools[*]} missing (scripts/install-packages installs them)"
  exit 77
fi
echo "install tree: ${#expected[@]} files in place and valid"
