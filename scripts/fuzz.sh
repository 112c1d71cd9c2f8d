#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each of them for SECONDS seconds, one after the
# other, starting from the seed corpus in fuzz/corpus/<target>/. What a run learns stays in
# build-fuzz/corpus/<target>/ (not in the repository); a crash leaves its input in
# build-fuzz/crashes/ and the script goes on with the next target, then exits non-zero.
#   scripts/fuzz.sh 600              every target for ten minutes
#   scripts/fuzz.sh 60 dump buffer   only those targets
#   FUZZ_MERGE=1 scripts/fuzz.sh 600 afterwards, add the inputs that reach new code to fuzz/corpus
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
dir=build-fuzz
if ! cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DHDDTERM_FUZZ=ON \
    -DHDDTERM_TESTS=OFF >/dev/null; then
  echo "fuzz.sh: configuring failed (clang++ and libclang-rt-14-dev are needed)" >&2
  exit 2
fi
cmake --build "$dir" --target fuzz -j"$(nproc)" || exit 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for c in fuzz/corpus/*/; do targets+=("$(basename "$c")"); done
fi
mkdir -p "$dir/crashes"
export ASAN_OPTIONS="detect_leaks=0:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
printf '%-16s %8s %10s %8s %s\n' target seconds execs/s corpus result
for t in "${targets[@]}"; do
  exe="$dir/bin/fuzz_$t"
  [ -x "$exe" ] || { echo "fuzz.sh: no target $t" >&2; status=2; continue; }
  work="$dir/corpus/$t"
  mkdir -p "$work"
  log="$dir/fuzz_$t.log"
  maxlen=8192
  [ "$t" = backup_files ] && maxlen=131072  # the ATA overlay's markers lie from byte 25600 on
  "$exe" "$work" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
    -max_len=$maxlen -print_final_stats=1 -artifact_prefix="$dir/crashes/$t-" >"$log" 2>&1
  rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  secs=$(sed -n "s/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p" "$log")
  rate=$(sed -n 's/.*exec\/s: \([0-9]*\).*/\1/p' "$log" | tail -1)
  [ -n "$execs" ] && [ -n "$secs" ] && [ "$secs" -gt 0 ] && rate=$((execs / secs))
  result=ok
  [ $rc -ne 0 ] && { result="CRASH (see $log and $dir/crashes/)"; status=1; }
  printf '%-16s %8s %10s %8s %s\n' "$t" "${secs:-?}" "${rate:-?}" "$(ls "$work" | wc -l)" "$result"
  if [ "${FUZZ_MERGE:-0}" = 1 ] && [ $rc -eq 0 ]; then
    "$exe" -merge=1 "fuzz/corpus/$t" "$work" >/dev/null 2>&1
  fi
done
exit $status
