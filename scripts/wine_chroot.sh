#!/usr/bin/env bash
# The 32-bit Windows test bed. Debian 12's Wine needs 32-bit Linux libraries to run 32-bit
# programs; Wine 10 from sid runs them in its WoW64 mode without any. So the Windows-side tests
# run in a Debian trixie chroot with sid's wine, wine64 and libwine, made once per machine
# outside the checkout (made again when missing or broken). Nothing from sid is installed on the
# machine itself. Every entry gets its own mount namespace: the bind mounts of /proc, /sys, /dev
# and the checkout (at its own path) vanish with it and never outlive a run.
#
#   wine_chroot.sh prepare       make the chroot unless a working one is there
#   wine_chroot.sh run CMD...    run CMD inside, in the current folder of the checkout
#   wine_chroot.sh desktop CMD...  the same under a virtual display (Xvfb), in a prefix brought up
#                                first (wine_boot.sh): how the Windows-side tests run
#   wine_chroot.sh shell         an interactive shell inside (debugging a Windows-side test)
#
# Needs root. MFP_WINE_CHROOT moves the chroot (default /var/cache/mfp-wine-chroot).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${MFP_WINE_CHROOT:-/var/cache/mfp-wine-chroot}
stamp=.mfp-wine-ready
# The wine prefix is made with the chroot; each checkout runs in a copy of its own, so that two
# checkouts testing at once share no wineserver. No Mono or Gecko prompts; wineserver lives in
# wine's own folder.
template_prefix=/root/wine-template
prefix=/root/wine-$(printf '%s' "$root" | cksum | cut -d ' ' -f 1)
inside_env=(HOME=/root PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin:/usr/lib/x86_64-linux-gnu/wine LANG=C.UTF-8
            WINEPREFIX=$prefix WINEDEBUG=-all XDG_RUNTIME_DIR=/run/user/0 "WINEDLLOVERRIDES=mscoree,mshtml="
            TERM="${TERM:-dumb}" CI="${CI:-}")

# The Debian mirror the machine's own apt sources name.
debian_mirror() {
  local uri
  uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list 2>/dev/null \
        | grep -E '^(URIs:|deb )' | grep -oE 'https?://[^ ]+/debian/?( |$)' | grep -v security | head -n 1)
  uri=${uri%% }
  echo "${uri:-http://deb.debian.org/debian}"
}

# enter CHROOT CMD...: runs CMD inside CHROOT with the mounts, from the current folder when it
# lies in the checkout (else from /).
enter() {
  local target=$1; shift
  local here=/
  case "$PWD/" in "$root"/*) here=$PWD ;; esac
  env -i "${inside_env[@]}" unshare --mount --propagation private -- bash -c '
    set -e
    target=$1 root=$2 here=$3 prefix=$4 template_prefix=$5; shift 5
    for fs in dev proc sys; do mount --rbind "/$fs" "$target/$fs"; done
    mkdir -p "$target$root"
    mount --bind "$root" "$target$root"
    mkdir -p -m 0700 "$target/run/user/0"
    [ -d "$target$prefix" ] || [ ! -d "$target$template_prefix" ] || cp -a "$target$template_prefix" "$target$prefix"
    # The wineserver goes with the run, so that nothing outlives the mounts.
    exec chroot "$target" /bin/bash -c "cd \"\$0\" || exit 1; \"\$@\"; status=\$?
      wineserver -k >/dev/null 2>&1; exit \$status" "$here" "$@"
  ' _ "$target" "$root" "$here" "$prefix" "$template_prefix" "$@"
}

working() {
  [ -f "$dir/$stamp" ] && [ -f "$dir$template_prefix/system.reg" ] || return 1
  enter "$dir" wine --version 2>/dev/null | grep -q '^wine-10' || return 1
  # The i386 side of Wine is what runs the shipped module.
  [ -d "$dir/usr/lib/x86_64-linux-gnu/wine/i386-windows" ]
}

make_chroot() {
  local new=$dir.new mirror
  mirror=$(debian_mirror)
  rm -rf "$new"
  echo "wine_chroot: making $dir from $mirror (trixie, wine from sid)" >&2
  debootstrap --variant=minbase trixie "$new" "$mirror" >"$new.log" 2>&1 \
    || { tail -n 20 "$new.log" >&2; return 1; }
  echo "deb $mirror sid main" >"$new/etc/apt/sources.list.d/sid.list"
  # Trixie stays the base; only what is asked for with -t sid comes from sid.
  printf 'Package: *\nPin: release n=sid\nPin-Priority: 100\n' >"$new/etc/apt/preferences.d/sid"
  # The sid index the registry serves has expired.
  local apt=(apt-get -qq -o Acquire::Check-Valid-Until=false -o Dpkg::Use-Pty=0)
  enter "$new" env DEBIAN_FRONTEND=noninteractive bash -c "
    ${apt[*]} update &&
    ${apt[*]} install -y --no-install-recommends xvfb xauth cmake imagemagick procps &&
    ${apt[*]} install -y --no-install-recommends -t sid wine wine64 libwine &&
    ${apt[*]} clean" >>"$new.log" 2>&1 || { tail -n 20 "$new.log" >&2; return 1; }
  # The prefix is made before anything runs under Xvfb: one made during a run can leave that
  # run without a desktop.
  enter "$new" env WINEPREFIX=$template_prefix bash -c 'wineboot --init && wineserver -w' >>"$new.log" 2>&1 \
    || { tail -n 20 "$new.log" >&2; return 1; }
  enter "$new" dpkg-query -W wine wine64 libwine >"$new/$stamp"
  rm -rf "$dir"
  mv "$new" "$dir"
  mv "$new.log" "$dir.log"
}

prepare() {
  working && return 0
  [ "$(id -u)" -eq 0 ] || { echo "wine_chroot: making the chroot needs root" >&2; return 1; }
  local started=$SECONDS
  make_chroot || { echo "wine_chroot: could not make $dir (log: $dir.new.log)" >&2; return 1; }
  working || { echo "wine_chroot: $dir made but wine does not start" >&2; return 1; }
  echo "wine_chroot: made in $((SECONDS - started)) s: $(tr '\n' ' ' <"$dir/$stamp")" >&2
}

case "${1:-}" in
  prepare) prepare ;;
  run) shift; prepare && enter "$dir" "$@" ;;
  desktop) shift; prepare && enter "$dir" xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/scripts/wine_boot.sh" "$@" ;;
  shell) prepare && enter "$dir" bash -i ;;
  *) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
esac
