# Shared settings for the scripts: where things build and with how many jobs.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

build_preset() {  # build_preset PRESET [cmake --build options, e.g. --target T]
  local preset=$1; shift
  cmake --preset "$preset" >"$root/build/$preset.configure.log" 2>&1 \
    || { cat "$root/build/$preset.configure.log" >&2; return 1; }
  cmake --build --preset "$preset" -j "$jobs" "$@"
}

