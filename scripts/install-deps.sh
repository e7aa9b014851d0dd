#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg            # independent DV encoder/decoder the tests compare against
  libcli11-dev      # dvio's command line
  libavformat-dev libavcodec-dev libavutil-dev  # dvio's AVI, QuickTime and Matroska output
  # The Windows build: 32-bit (the plug-in's real target) and 64-bit (run under Wine)
  # cross compilers with POSIX threads, GoogleTest's sources to build for them, and
  # the 64-bit Windows loader that runs the suite headless.
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  googletest
  wine64
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
