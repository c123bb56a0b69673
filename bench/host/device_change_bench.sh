#!/usr/bin/env bash
# How long the shipped module holds the simulator's window thread, measured under Wine in the
# stand-in host with 4 simulated panels and 10 foreign HID devices: module_init, every unplug and
# plug (the longest single message the window thread dispatched from the notification until the
# reload is done: a frozen frame), and module_deinit. Prints one row per run, in milliseconds.
#
#   bash scripts/wine_chroot.sh desktop bash bench/host/device_change_bench.sh [RUNS]
#
# after the win32 build (build/win32). RUNS defaults to 3.
set -euo pipefail
runs=${1:-3}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=$root/build/win32/bin
panels="1583:0000A1B2,1583:0000C3D4,1583:0000E5F6,1583:00001234"
steps=(wait:1000)
for serial in 0000A1B2 0000C3D4; do steps+=("unplug:$serial" "plug:1583:$serial"); done

printf '%-4s %8s %-36s %10s\n' run init plug/unplug-holds deinit
for run in $(seq 1 "$runs"); do
  output=$(cd "$bin" && env WINEDLLOVERRIDES="mscoree,mshtml=;hid,setupapi,cfgmgr32=n" \
    MFP_SIM_BOARDS="$panels" MFP_SIM_FOREIGN=10 \
    wine standin/fs9host.exe --module "Z:$bin/Tarnell_MFP.dll" "${steps[@]}" 2>/dev/null | tr -d '\r')
  init=$(sed -n 's/^init-ms //p' <<<"$output")
  holds=$(sed -n 's/^hold-ms //p' <<<"$output" | paste -sd' ')
  deinit=$(sed -n 's/^deinit-ms //p' <<<"$output")
  loaded=$(grep -c '^step plug' <<<"$output" || true)
  [[ -n $init && -n $deinit && $loaded -eq 2 ]] || { echo "run $run: the host did not report: $output" >&2; exit 1; }
  printf '%-4s %8s %-36s %10s\n' "$run" "$init" "$holds" "$deinit"
done
