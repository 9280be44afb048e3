#!/usr/bin/env bash
# Installing after a build of the program alone, as scripts/run builds it: the source is
# configured as scripts/setup does, only the target `marlith` is built, and that build is
# installed into a temporary prefix and checked by install_tree_test.sh (every file, the
# icons included). The build tree is kept in WORK_DIR between runs; the program and the
# icons are removed before each build, so the build must link the program and draw the
# icons again.
#   program_only_install_test.sh SOURCE_DIR WORK_DIR [CMAKE] [COMPILER_LAUNCHER]
set -euo pipefail
source=${1:?usage: program_only_install_test.sh SOURCE_DIR WORK_DIR [CMAKE] [COMPILER_LAUNCHER]}
work=${2:?usage: program_only_install_test.sh SOURCE_DIR WORK_DIR [CMAKE] [COMPILER_LAUNCHER]}
cmake=${3:-cmake}
launcher=${4:-}

configure=(-S "$source" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ -n "$launcher" ]; then
  configure+=(-DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" -DCMAKE_C_COMPILER_LAUNCHER="$launcher")
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$cmake" "${configure[@]}" >"$log" 2>&1 || { cat "$log"; echo "FAIL: configuring $work"; exit 1; }
rm -rf "$work/icons" "$work/app/marlith"
"$cmake" --build "$work" -j 2 --target marlith >"$log" 2>&1 || { tail -50 "$log"; echo "FAIL: building marlith in $work"; exit 1; }
exec "$(dirname "$0")/install_tree_test.sh" "$work" "$cmake"
