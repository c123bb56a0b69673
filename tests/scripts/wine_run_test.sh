#!/usr/bin/env bash
# wine_run_test.sh LAUNCHER: one row per case; each gives the launcher a program, its input and
# deadline, and checks the exit status, standard output and standard error.
set -uo pipefail
launcher=$1
work=$(mktemp -d)
trap 'pkill -f "sleep 3[0-9]" ; rm -rf "$work"' EXIT
mkdir "$work/bin"
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/wine"
chmod +x "$work/bin/wine"
failures=0

# row NAME INPUT DEADLINE STATUS STDOUT STDERR-REGEX PROGRAM...
row() {
  local name=$1 input=$2 deadline=$3 status=$4 stdout=$5 stderr=$6; shift 6
  local got_out got_err got_status
  # Output through a pipe, as a test runner reads it, and bounded: a launcher whose pipe is held by
  # what its program left running fails here, not by hanging.
  { printf '%s' "$input" | PATH="$work/bin:$PATH" MFP_WINE_DEADLINE=$deadline bash "$launcher" "$@" 2>"$work/err"
    echo $? >"$work/status"; } | timeout 20 cat >"$work/out"
  [ "${PIPESTATUS[1]}" -eq 0 ] || echo "the launcher's output stayed open" >>"$work/err"
  got_status=$(cat "$work/status")
  got_out=$(cat "$work/out")
  got_err=$(cat "$work/err")
  if [ "$got_status" != "$status" ] || [ "$got_out" != "$stdout" ] || ! [[ $got_err =~ $stderr ]]; then
    echo "FAILED $name: status $got_status (expected $status)"
    echo "  stdout: $got_out (expected $stdout)"
    echo "  stderr: $got_err (expected to match $stderr)"
    failures=$((failures + 1))
  fi
}

row "input reaches the program, its status comes back" "a b" 60 3 "a b" "^$" sh -c 'cat; exit 3'
row "output and errors stay apart" "" 60 0 "out" "^err$" sh -c 'echo out; echo err >&2'
row "output written just before the end is all there" "" 60 0 "$(seq 2000)" "^$" seq 2000
row "a process left running with the output does not hold the launcher" "" 60 0 "done" "^$" \
  sh -c 'sleep 31 & echo done'
row "a program past its deadline is named with what holds its output, and ended" "" 1 124 "started" \
  "still running after 1 s.*sleep 32.*sleep 33" sh -c 'echo started; sleep 32 & sleep 33'
if pgrep -f "sleep 3[23]" >/dev/null; then
  echo "FAILED: the program past its deadline, or what it started, is still running"
  failures=$((failures + 1))
fi
echo "$failures failed"
[ "$failures" -eq 0 ]
