#!/usr/bin/env bash
# The main job: builds the shipped module (build/win32/bin/Tarnell_MFP.dll), then runs the same
# sources' 64-bit build in the stand-in simulator host under wine on a virtual display, opens
# the module's menu and saves a screenshot of it as build/menu.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$root/scripts/install-deps.sh"
mkdir -p "$root/build"
cd "$root"

echo "== building the module (win32)"
build_preset win32
echo "== building the module and the stand-in host for wine (win64)"
cmake --preset win64 >"$root/build/win64.configure.log" 2>&1 \
  || { cat "$root/build/win64.configure.log" >&2; exit 1; }
cmake --build --preset win64 -j "$jobs" --target Tarnell_MFP fs9host

echo "== running the module in the stand-in host"
prepare_wine
# No window manager runs on the virtual display: unmanaged windows close without waiting for one.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Let that wine session end: the next one must start on the virtual display.
wineserver -w 2>/dev/null || true
bin=build/win64/bin
printf '[Misc]\r\nDebug=1\r\n' >"$bin/Tarnell_MFP.ini"
rm -f "$bin/Tarnell_MFP.log"
xvfb-run -a -s "-screen 0 1024x768x24" \
  bash tools/fs9host/run_and_capture.sh build/menu.png "menu-shown" \
  wine "$bin/fs9host.exe" ncpaint menu show-menu:1500
wineserver -w 2>/dev/null || true

echo
echo "Module (ship this):        build/win32/bin/Tarnell_MFP.dll"
echo "Module log of this run:    $bin/Tarnell_MFP.log"
echo "Screenshot of the menu:    build/menu.png"
