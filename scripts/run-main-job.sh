#!/usr/bin/env bash
# The main job: build, then capture three seconds from the simulated deck's built-in
# tape through the plug-in, from a timecode, and print the capture's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh default
mkdir -p build/main-job
exec build/bin/dvio capture build/main-job/capture.dv --from "00:00:10;00" --seconds 3 "$@"
