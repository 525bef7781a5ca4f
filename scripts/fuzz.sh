#!/usr/bin/env bash
# Runs the fuzzers of the file layer (libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer; needs clang, see install-deps.sh), each from its
# seed corpus in fuzz/corpus/NAME and what earlier runs found in
# build/fuzz/found/NAME. Builds them first when they are missing.
#   scripts/fuzz.sh                    # every fuzzer for 10 minutes
#   scripts/fuzz.sh 3600 ini crypt     # these two for an hour each
# Fuzzers: record_read record_append short_text crypt ini. A crash, a failed
# check or an input that takes over 30 s stops a fuzzer with the input saved as
# build/fuzz/crash-* (or timeout-*); the exit status is then 1.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELMORA_FUZZ_BUILD:-$root/build/fuzz}"
seconds="${1:-600}"
shift || true
names=("$@")
((${#names[@]})) || names=(record_read record_append short_text crypt ini)

if [[ ! -x $build/fuzz_${names[0]} ]]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "${launcher[@]}" >/dev/null
  cmake --build "$build" -j"$(nproc)" >/dev/null
fi

# The fuzzers write their files in a temporary folder: in memory where the
# machine has one, so that the sync of every write costs nothing.
[[ -d /dev/shm && -w /dev/shm ]] && export TMPDIR=/dev/shm

status=0
for name in "${names[@]}"; do
  found="$build/found/$name"
  mkdir -p "$found"
  log="$build/fuzz_$name.log"
  echo "fuzz_$name: $seconds s"
  if "$build/fuzz_$name" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
       -artifact_prefix="$build/" "$found" "$root/fuzz/corpus/$name" >"$log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  else
    status=1
    tail -n 40 "$log"
  fi
done
exit "$status"
