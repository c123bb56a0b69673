#!/usr/bin/env bash
# The main job: the panel simulator. Builds the mfp tool and runs `mfp demo`, the real panel
# runtime against simulated panels and a simulated Flight Simulator. In a terminal it is
# interactive (q or Ctrl-C ends it); otherwise it flies the bundled scripted flight and prints
# what the simulator and the panels saw. Extra arguments go to `mfp demo` (e.g. --sim SERIAL).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$root/scripts/install-deps.sh" main
mkdir -p "$root/build"
cd "$root"

echo "== building the panel simulator (native)" >&2
build_preset tool --target mfp >&2

if [ -t 0 ] && [ -t 1 ]; then
  exec build/tool/bin/mfp demo "$@"
else
  echo "== no terminal: the bundled flight (tools/mfp/demo/flight.txt)" >&2
  exec build/tool/bin/mfp demo --script tools/mfp/demo/flight.txt "$@"
fi
