#!/usr/bin/env bash
# wine_boot.sh CMD...: inside the wine chroot and under the display the tests use, brings the
# prefix up, then runs CMD. wineserver stays until the run ends (wine_chroot.sh stops it), and so
# do the processes wine starts with it (services, device drivers, plug and play), with their
# output in the prefix's boot.log. Started by a test's program instead, they would inherit that
# program's output and hold it open long after the program ended, and the tests running beside
# that first start would find a prefix only half up.
set -uo pipefail
log=$WINEPREFIX/boot.log
if ! {
  wineserver -p &&
    wineboot &&
    # A program that crashes must end and fail its test, not wait for someone to close Wine's
    # crash dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
} </dev/null >"$log" 2>&1; then
  echo "wine_boot: the prefix $WINEPREFIX did not come up:" >&2
  tail -n 20 "$log" >&2
  exit 1
fi
"$@"
