# Shared settings for the scripts: where things build and how wine runs.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install prompts: nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
jobs=$(nproc)

build_preset() {  # build_preset PRESET [cmake --build options, e.g. --target T]
  local preset=$1; shift
  cmake --preset "$preset" >"$root/build/$preset.configure.log" 2>&1 \
    || { cat "$root/build/$preset.configure.log" >&2; return 1; }
  cmake --build --preset "$preset" -j "$jobs" "$@"
}

prepare_wine() {
  [ -f "$WINEPREFIX/system.reg" ] || wineboot --init >/dev/null 2>&1 || true
  wineserver -w 2>/dev/null || true
}
