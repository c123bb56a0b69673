#!/usr/bin/env bash
# Builds every preset and runs every test: native, under ThreadSanitizer and AddressSanitizer,
# and the Windows side (the shipped i686 build) under wine in a chroot made once per machine;
# makes the release archive dist/Tarnell_MFP-VERSION.zip. Ends with one line "N passed, M failed".
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$root/scripts/install-deps.sh" || exit 1
mkdir -p "$root/build"
cd "$root"

passed=0
failed=0
# run_ctest NAME ARGS...: runs ctest in build/NAME and adds its counts to the totals.
run_ctest() {
  local name=$1; shift
  local log="$root/build/$name.ctest.log"
  (cd "build/$name" && "$@" ctest --output-on-failure -j "$jobs" ${CTEST_ARGS:-}) >"$log" 2>&1
  local status=$?
  cat "$log"
  local summary
  summary=$(grep -E "tests passed, [0-9]+ tests? failed out of [0-9]+" "$log" | tail -n 1)
  if [ -n "$summary" ]; then
    local bad total
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  elif [ $status -ne 0 ]; then
    failed=$((failed + 1))
  fi
}
stage_failed() { echo "FAILED: $1" >&2; failed=$((failed + 1)); }

# The shipped module first: native tests inspect it.
echo "== win32: Tarnell_MFP.dll, mfp.exe and the Windows-side tests"
win32_built=yes
build_preset win32 || { win32_built=no; stage_failed "win32 build"; }

echo "== release archive (the native test release_archive checks it)"
if [ "$win32_built" = yes ]; then bash scripts/release.sh || stage_failed "release archive"; fi

echo "== native"
if build_preset native; then CTEST_ARGS="-LE soak" run_ctest native; else stage_failed "native build"; fi

echo "== tsan"
if build_preset tsan --target tsan_tests; then CTEST_ARGS="-L tsan" run_ctest tsan; else stage_failed "tsan build"; fi

echo "== asan: native tests and fuzz smoke runs under AddressSanitizer and UBSan"
if build_preset asan; then CTEST_ARGS="-LE soak" run_ctest asan; else stage_failed "asan build"; fi

echo "== win32 under wine: the shipped i686 module and the Windows-side tests (Wine 10 chroot)"
if [ "$win32_built" = yes ] && bash scripts/wine_chroot.sh prepare; then
  run_ctest win32 bash "$root/scripts/wine_chroot.sh" desktop
else
  stage_failed "win32 tests under wine"
fi

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
