#!/usr/bin/env bash
# run_and_capture.sh PNG TRIGGER COMMAND...
# Runs COMMAND (usually wine fs9host.exe ...), takes a screenshot of the whole X display into
# PNG as soon as COMMAND prints a line starting with TRIGGER (e.g. "dialog-held About Tarnell"),
# then waits for COMMAND and prints its output. Fails when COMMAND fails or no screenshot was
# taken within 60 seconds.
set -uo pipefail
png=$1 trigger=$2
shift 2
mkdir -p "$(dirname "$png")"
rm -f "$png"
output=$(mktemp)
"$@" >"$output" 2>&1 &
pid=$!
for _ in $(seq 600); do
  if grep -q "^$trigger" "$output"; then
    import -window root "$png"
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
wait "$pid"
status=$?
cat "$output"
rm -f "$output"
if [ ! -s "$png" ]; then
  echo "no screenshot: \"$trigger\" never appeared" >&2
  exit 1
fi
echo "screenshot: $png"
exit $status
