#!/usr/bin/env bash
# The window only reads fields, calls operations and shows their outcomes: nothing under src/ui
# sends to the drive or waits for it. This lists every line under src/ui that calls one of the
# dialogue's send or wait routines (SendString, Sendbuffer, PumpWait, WaitHD, WaitWB, WaitWE).
# Comment lines do not count. Exit 0 when there is none, 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
found=$(grep -rnE '\b(SendString|Sendbuffer|PumpWait|WaitHD|WaitWB|WaitWE)[[:space:]]*\(' \
          --include=*.cpp --include=*.h src/ui | grep -vE '^[^:]+:[0-9]+:[[:space:]]*//' || true)
if [ -n "$found" ]; then
  echo "src/ui talks to the drive (move the sends and waits into an operation):"
  echo "$found" | sed 's/^/  /'
  exit 1
fi
echo "nothing under src/ui sends to the drive or waits for it"
