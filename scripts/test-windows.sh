#!/usr/bin/env bash
# The plug-in as a Windows DLL. Builds the 32-bit preset (the host's real target: the
# plug-in and what it loads) and checks the DLL's image, exports and imports; builds
# the 64-bit preset and runs its tests and a dvio capture under Wine (headless, in a
# prefix of its own), and compares that capture byte for byte with the Linux build's.
# Run after scripts/test-all.sh (it reuses build/bin/dvio when it is there).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

wine="${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}"
wineserver="${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}"
fail() { echo "test-windows: $*" >&2; exit 1; }
lap() { echo "    ($(( SECONDS - start )) s so far)"; }

echo "=== win32: build (the plug-in and the libraries it loads; checked, not run)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target DIOdv1394Velorin 2>&1 | tee build-win32/build.log
lap
# Any warning fails, truncation above all (the overflow and narrowing kinds are errors
# already); only a build that compiled something shows its warnings.
if grep -n "warning:" build-win32/build.log; then fail "the 32-bit build has warnings"; fi

echo "=== win32: the plug-in's image"
dll=build-win32/bin/DIOdv1394Velorin.dll
objdump -f "$dll" | grep -q "file format pei-i386" || fail "$dll is not a PE32 i386 image"
objdump -p "$dll" >build-win32/DIOdv1394Velorin.objdump
grep -Eq "^Magic[[:space:]]+010b" build-win32/DIOdv1394Velorin.objdump || fail "$dll is not PE32"

# Exports: the two entry points by plain name, and the members, tables and type
# information of the two classes a host links to. Nothing else.
sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' build-win32/DIOdv1394Velorin.objdump |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' >build-win32/exports.txt
c++filt <build-win32/exports.txt >build-win32/exports-demangled.txt
for entry in GetDIODevice GetDIOVersion; do
  grep -qx "$entry" build-win32/exports.txt || fail "$entry is not exported by plain name"
done
if grep -Evx "GetDIODevice|GetDIOVersion|(CDV1394|DigitalDevice)::.*|(vtable|typeinfo|typeinfo name) for (CDV1394|DigitalDevice)" \
     build-win32/exports-demangled.txt; then
  fail "the exports above are neither entry points nor members of CDV1394 or DigitalDevice"
fi
for member in "CDV1394::m_csCaptureThreadTimecode" "vtable for CDV1394" "vtable for DigitalDevice" \
              "DigitalDevice::GetVersion(int*, int*)"; do
  grep -qF "$member" build-win32/exports-demangled.txt || fail "$member is not exported"
done
echo "exports: $(wc -l <build-win32/exports.txt) (2 entry points, the rest CDV1394 and DigitalDevice)"

# Imports: the system's kernel and C runtime, the host framework and the card libraries;
# no compiler runtime DLL (it is linked in).
grep "DLL Name:" build-win32/DIOdv1394Velorin.objdump | awk '{print $3}' | sort >build-win32/imported-dlls.txt
expected=$(printf '%s\n' KERNEL32.dll cardsim.dll digitalio.dll hostcore.dll msvcrt.dll | sort)
[ "$(cat build-win32/imported-dlls.txt)" = "$expected" ] ||
  fail "the plug-in imports $(tr '\n' ' ' <build-win32/imported-dlls.txt), expected $(echo $expected)"
imports() {  # the functions imported from DLL $1
  awk -v dll="$1" '/DLL Name:/ {inside = ($3 == dll); next} inside && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ {print $3}' \
    build-win32/DIOdv1394Velorin.objdump
}
for call in CreateEventA SetEvent ResetEvent CloseHandle WaitForSingleObject WaitForMultipleObjects \
            InitializeCriticalSection EnterCriticalSection LeaveCriticalSection DeleteCriticalSection \
            Sleep GetTickCount OutputDebugStringA GetCurrentThread SetThreadPriority GetCurrentProcess \
            VirtualAlloc VirtualFree VirtualLock VirtualUnlock GetProcessWorkingSetSize SetProcessWorkingSetSize; do
  imports KERNEL32.dll | grep -qx "$call" || fail "$call is not imported from KERNEL32.dll"
done
imports msvcrt.dll | grep -qx _beginthread || fail "_beginthread is not imported from msvcrt.dll"
for dll in KERNEL32.dll msvcrt.dll hostcore.dll digitalio.dll cardsim.dll; do
  echo "imports from $dll: $(imports $dll | wc -l)"
done

lap
echo "=== win64: build"
cmake --preset win64 >/dev/null
cmake --build --preset win64
lap

echo "=== win64: tests under Wine"
export WINEPREFIX="$PWD/build-win64/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Headless: no display is needed for console programs. One server for all the runs;
# the programs run one after another, because named events are shared by every
# process of a Windows session (here: of the prefix).
mkdir -p "$WINEPREFIX"
"$wineserver" -p
trap '"$wineserver" -k || true' EXIT
# FFmpeg is not a Windows program: the cases that need it skip instead of failing.
for test in build-win64/bin/*_tests.exe; do
  echo "--- $(basename "$test")"
  env -u CI "$wine" "$test" --gtest_brief=1 || fail "$(basename "$test") failed under Wine"
done

lap
echo "=== dvio capture: Windows and Linux"
linux_dvio=build/bin/dvio
[ -x "$linux_dvio" ] || { cmake --preset default >/dev/null && cmake --build --preset default --target dvio; }
rm -rf build-win64/capture && mkdir -p build-win64/capture/linux build-win64/capture/windows
capture=(capture take.dv --from "00:01:00;00" --frames 90)
(cd build-win64/capture/linux && "../../../$linux_dvio" "${capture[@]}" >summary.txt)
(cd build-win64/capture/windows &&
   DVIO_DEBUG_LOG=debug.log "$wine" ../../bin/dvio.exe "${capture[@]}" >summary.txt)
for file in take.dv take.wav; do
  cmp build-win64/capture/linux/$file build-win64/capture/windows/$file ||
    fail "$file differs between the Linux and the Windows capture"
done
# The library entry point ran on the system's loader, and its line reached the sink.
grep -qx "DIOVelorin DLL Loaded" build-win64/capture/windows/debug.log || fail "no load line from DllMain"
video=$(ffprobe -v error -count_frames -select_streams v:0 \
          -show_entries stream=codec_name,width,height,nb_read_frames -of csv=p=0 build-win64/capture/linux/take.dv)
[ "$video" = "dvvideo,720,480,90" ] || fail "ffprobe reads the capture as $video"
audio=$(ffprobe -v error -show_entries stream=codec_name,sample_rate,channels -of csv=p=0 build-win64/capture/linux/take.wav)
[ "$audio" = "pcm_s16le,48000,2" ] || fail "ffprobe reads the audio as $audio"
echo "capture: 90 frames, .dv and .wav identical on both systems ($video; $audio)"
echo "test-windows: passed in $(( (SECONDS - start) / 60 )) min $(( (SECONDS - start) % 60 )) s"
