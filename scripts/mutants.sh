#!/usr/bin/env bash
# Mutation check of the test suite, run by hand (not in CI): each mutant under
# tests/mutants/ is a small, realistic fault written as a patch. Every one is applied
# in turn to a scratch copy of the committed tree, built incrementally and tested; a
# mutant the suite fails on is killed, one it passes is survived.
#
#   scripts/mutants.sh [--preset default|tsan] [--full] [NAME...]
#
# A mutant's "Tests:" line names the tests most likely to catch it (a ctest regular
# expression); they run first, so that most mutants die in seconds. Only when they
# pass does the whole suite run (--full: always the whole suite). Any failure stops
# ctest at once; each test gets at most TEST_TIMEOUT seconds (default 300), so a
# mutant that hangs a test is killed by its time-out. A mutant that does not build is
# reported as such and left out of the score.
#
# The scratch copy lives in MUTANTS_DIR (default: a folder under TMPDIR) and is kept
# between runs, so that a second run only rebuilds what the mutants touch.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

preset=default
full=0
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --preset) preset=$2; shift 2 ;;
    --full) full=1; shift ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    *) names+=("$1"); shift ;;
  esac
done

scratch=${MUTANTS_DIR:-${TMPDIR:-/tmp}/velorin-mutants}
timeout=${TEST_TIMEOUT:-300}
log=$scratch/mutants-$preset.log

# The scratch copy is a detached work tree at the committed HEAD (what was committed
# is what is measured); it is brought to HEAD again on every run.
if [ ! -e "$scratch/.git" ]; then
  git worktree add --detach "$scratch" HEAD >/dev/null
fi
git -C "$scratch" checkout -q --detach "$(git rev-parse HEAD)"
git -C "$scratch" checkout -q -- .
git -C "$scratch" clean -qfd -e 'build*/'

if [ ${#names[@]} -eq 0 ]; then
  for f in tests/mutants/*.patch; do names+=("$(basename "$f" .patch)"); done
fi

echo "mutants: building the unmutated tree ($preset) in $scratch"
(cd "$scratch" && cmake --preset "$preset" -DVELORIN_BENCHMARKS=OFF >/dev/null &&
  cmake --build --preset "$preset" >"$log" 2>&1) || { echo "mutants: the unmutated tree does not build (see $log)"; exit 2; }

# The test that failed first, from ctest's output.
first_failure() { sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (\(Failed\|Timeout\|SEGFAULT\|Subprocess aborted\|Exception\|Not Run\).*/\1/p' | head -n 1; }

run_tests() {  # ctest arguments...; prints the first failing test, if any (a failure is the point here)
  { (cd "$scratch" && ctest --preset "$preset" --stop-on-failure --timeout "$timeout" "$@" 2>&1) || true; } |
    tee -a "$log" | first_failure || true
}

killed=0; survived=0; broken=0
for name in "${names[@]}"; do
  patch=$top/tests/mutants/$name.patch
  [ -f "$patch" ] || { echo "mutants: no such mutant: $name"; exit 2; }
  hint=$(sed -n 's/^Tests: //p' "$patch" | head -n 1)
  started=$SECONDS
  if ! git -C "$scratch" apply "$patch"; then
    printf '%-40s %s\n' "$name" "does not apply: write it again for the code as it is now"; continue
  fi
  if ! (cd "$scratch" && cmake --build --preset "$preset") >>"$log" 2>&1; then
    result="does not build"; broken=$((broken + 1))
  else
    by=""
    if [ $full -eq 0 ] && [ -n "$hint" ]; then by=$(run_tests -R "$hint"); fi
    if [ -z "$by" ]; then by=$(run_tests); fi
    if [ -n "$by" ]; then result="killed by $by"; killed=$((killed + 1))
    else result="SURVIVED"; survived=$((survived + 1)); fi
  fi
  git -C "$scratch" checkout -q -- .
  printf '%-40s %s (%d s)\n' "$name" "$result" $((SECONDS - started))
done
# Leave the scratch tree built as committed, for the next run.
(cd "$scratch" && cmake --build --preset "$preset") >>"$log" 2>&1 || true

total=$((killed + survived))
if [ $total -gt 0 ]; then
  echo "mutants ($preset): $killed of $total killed ($((100 * killed / total))%), $survived survived, $broken did not build"
fi
