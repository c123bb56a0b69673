#!/usr/bin/env bash
# What a new machine sees: runs the README's two commands (main job, then every test) in a
# minimal Debian 12 that has only g++, cmake, make, GoogleTest, Google Benchmark, git and python3,
# on a fresh clone of this checkout's HEAD, RUNS times in a row (default 1), each in a new copy.
# Prints one line per run: its number, the test command's closing line and both times.
#
#   fresh_machine.sh [RUNS]
#
# Needs root. MFP_FRESH_DIR (default /var/tmp/mfp-fresh) holds the minimal system (made once) and
# the copy of the current run, with its logs. Each run enters through a mount namespace of its
# own, with the copy bound onto itself (so that the project's own chroot can be made inside it)
# and /proc, /sys and /dev bound under it: the mounts vanish with the namespace, and a copy is
# removed only when nothing is mounted inside it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${MFP_FRESH_DIR:-/var/tmp/mfp-fresh}
runs=${1:-1}
[ "$(id -u)" -eq 0 ] || { echo "fresh_machine: needs root" >&2; exit 1; }
mkdir -p "$dir"

# inside FOLDER CMD...: runs CMD in the system at FOLDER.
inside() {
  local target=$1; shift
  unshare --mount --propagation private -- bash -c '
    set -e
    target=$1; shift
    mount --rbind "$target" "$target"
    for fs in proc sys dev; do mount --rbind "/$fs" "$target/$fs"; done
    cp /etc/resolv.conf "$target/etc/resolv.conf"
    exec chroot "$target" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      LANG=C.UTF-8 "$@"
  ' _ "$target" "$@"
}

mounted_inside() { grep -q " $1[/ ]" /proc/self/mounts; }

remove() {
  [ -e "$1" ] || return 0
  if mounted_inside "$1"; then echo "fresh_machine: $1 still has mounts; not removed" >&2; return 1; fi
  rm -rf "$1"
}

if [ ! -f "$dir/base/.ready" ]; then
  remove "$dir/base.new"
  echo "fresh_machine: making a minimal Debian 12 in $dir/base" >&2
  debootstrap --variant=minbase bookworm "$dir/base.new" >"$dir/base.log" 2>&1 \
    || { tail -n 20 "$dir/base.log" >&2; exit 1; }
  inside "$dir/base.new" bash -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends g++ cmake make googletest libgtest-dev libbenchmark-dev git python3 ca-certificates' \
    >>"$dir/base.log" 2>&1 || { tail -n 20 "$dir/base.log" >&2; exit 1; }
  touch "$dir/base.new/.ready"
  mv "$dir/base.new" "$dir/base"
fi

for run in $(seq "$runs"); do
  copy=$dir/run
  remove "$copy"
  cp -a "$dir/base" "$copy"
  mkdir -p "$copy/work"
  git clone -q --no-hardlinks "$root" "$copy/work/main"
  [ ! -d "$root/../shared" ] || cp -a "$root/../shared" "$copy/work/shared"
  log=$dir/run$run
  started=$SECONDS
  inside "$copy" bash -c 'cd /work/main && bash scripts/main.sh </dev/null' >"$log.main.log" 2>&1 \
    && main="main job ok" || main="main job FAILED"
  main_time=$((SECONDS - started))
  started=$SECONDS
  inside "$copy" bash -c 'cd /work/main && CI=true bash .ci/run </dev/null' >"$log.test.log" 2>&1 || true
  test_time=$((SECONDS - started))
  summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log.test.log" | tail -n 1)
  echo "run $run: $main in ${main_time} s; tests: ${summary:-no closing line} in ${test_time} s"
  grep -E 'FAILED|\*\*\*Timeout|\*\*\*Failed' "$log.test.log" | sed 's/^/  /' || true
  remove "$copy"
done
