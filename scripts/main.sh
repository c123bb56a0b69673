#!/usr/bin/env bash
# The main job: builds the shipped module (build/win32/bin/Tarnell_MFP.dll) and the companion
# tool (build/native/bin/mfp).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$root/scripts/install-deps.sh"
mkdir -p "$root/build"
cd "$root"
build_preset win32
build_preset native
echo "Module: build/win32/bin/Tarnell_MFP.dll"
echo "Tool:   build/native/bin/mfp"
