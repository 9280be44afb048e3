#!/usr/bin/env bash
# The clerk's road through the window as a screen reader walks it, over a real AT-SPI bus:
# a session bus of its own (dbus-run-session, which starts the accessibility bus on
# demand), a virtual X server, `marlith main` on a demo database with Qt's accessibility
# bridge on, and a pyatspi client that reads and presses the controls (atspi_road.py).
# Usage: atspi_road_test.sh MARLITH_PROGRAM
# Skips (77) only where the packages are absent outside CI; scripts/install-packages
# installs them.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3

missing=()
for tool in dbus-run-session xvfb-run /usr/libexec/at-spi-bus-launcher "$python"; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ -x "$python" ] && ! "$python" -c 'import pyatspi' 2>/dev/null; then missing+=(python3-pyatspi); fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "atspi_road_test: missing ${missing[*]} (scripts/install-packages installs them)"
  if [ -n "${CI:-}" ]; then exit 1; fi
  exit 77
fi

exec timeout --kill-after=10 280 xvfb-run -a -s "-screen 0 1024x768x24" \
  dbus-run-session -- "$python" "$here/atspi_road.py" "$program"
