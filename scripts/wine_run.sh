#!/usr/bin/env bash
# wine_run.sh PROGRAM [ARGUMENT...]: runs a Windows program under wine the way every Windows-side
# test starts one (the cross build's test launcher), inside the wine chroot.
#
# The program writes into files, which are copied to standard output and error as they grow, never
# into the caller's pipes: the background processes that wine starts with a program (wineserver,
# services, the desktop) inherit that program's output and outlive it, and a test runner reading
# a pipe they hold waits for an end that comes only when they quit. The exit status is the
# program's.
#
# A program still running after MFP_WINE_DEADLINE seconds (default 280, the test set gives each
# test its own, below its timeout) is reported as still running, with every process that holds
# its output, and is ended: the run goes on and the status is 124.
set -uo pipefail
deadline=${MFP_WINE_DEADLINE:-280}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
out=$scratch/stdout err=$scratch/stderr
: >"$out"
: >"$err"

# A command started with & would read /dev/null: the program gets this script's input.
wine "$@" <&0 >"$out" 2>"$err" &
program=$!
tail -c +1 -s 0.1 -f --pid="$program" "$out" &
copiers=$!
tail -c +1 -s 0.1 -f --pid="$program" "$err" >&2 &
copiers="$copiers $!"

# process_tree PID: PID and every process it started, deepest first.
process_tree() {
  local child
  for child in $(pgrep -P "$1"); do process_tree "$child"; done
  echo "$1"
}

# output_holders: each process, but the copiers, that has the program's output open.
output_holders() {
  local process fd
  for process in /proc/[0-9]*; do
    case " $copiers " in *" ${process#/proc/} "*) continue ;; esac
    for fd in "$process"/fd/*; do
      case $(readlink "$fd" 2>/dev/null) in
        "$out" | "$err") echo "  pid ${process#/proc/}: $(tr '\0' ' ' <"$process/cmdline" 2>/dev/null)"; break ;;
      esac
    done
  done
}

ends=$((SECONDS + deadline))
while kill -0 "$program" 2>/dev/null && [ "$SECONDS" -lt "$ends" ]; do sleep 0.2; done
if kill -0 "$program" 2>/dev/null; then
  {
    echo "wine_run: $1 still running after $deadline s; its output is held by:"
    output_holders
    echo "wine_run: ending it and the processes it started"
  } >&2
  tree=$(process_tree "$program")
  # shellcheck disable=SC2086
  kill $tree 2>/dev/null
  sleep 2
  # shellcheck disable=SC2086
  kill -KILL $tree 2>/dev/null
  status=124
else
  wait "$program"
  status=$?
fi
# shellcheck disable=SC2086
wait $copiers
exit "$status"
