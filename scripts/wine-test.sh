#!/bin/sh
# Runs a Windows test program under Wine for CTest.
# Now and then Wine fails to start a program at all: it ends at once, before the program wrote a
# line. Such a run is started again, at most twice. A program that wrote anything and then failed
# is never run again: its failure stands.
run="$(dirname "$0")/wine-run.sh"
out=$(mktemp) || exit 1
status_file=$(mktemp) || exit 1
trap 'rm -f "$out" "$status_file"' EXIT
attempt=1
while :; do
  { "$run" "$@"; echo $? >"$status_file"; } | tee "$out"
  status=$(cat "$status_file")
  if [ "$status" -eq 0 ] || [ -s "$out" ] || [ "$attempt" -ge 3 ]; then exit "$status"; fi
  echo "wine-test: $1 ended with code $status before it wrote anything (Wine did not start it); starting it again" >&2
  attempt=$((attempt + 1))
done
