#!/usr/bin/env bash
# The main job: build, then show what the plug-in offers through the command-line host.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh default
exec build/bin/dvio info "$@"
