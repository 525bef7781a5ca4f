#!/usr/bin/env bash
# Runs the fuzzers of the file layer (libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer; needs clang, see install-deps.sh), each from its
# seed corpus in fuzz/corpus/NAME and what earlier runs found in
# build/fuzz/found/NAME. Builds them first when they are missing.
#   scripts/fuzz.sh                    # every fuzzer for 10 minutes
#   scripts/fuzz.sh 3600 ini crypt     # these two for an hour each
#   scripts/fuzz.sh replay             # every input of the seed corpora once, as the tests do
# Fuzzers: record_read record_append short_text crypt ini csv_read. A crash, a failed
# check or an input that takes over 30 s stops a fuzzer with the input saved as
# build/fuzz/crash-* (or timeout-*); the exit status is then 1.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELMORA_FUZZ_BUILD:-$root/build/fuzz}"
seconds="${1:-600}"
shift || true
# replay runs each input of fuzz/corpus/NAME once and mutates nothing: the same
# inputs, the same result, every time.
replay=false
[[ $seconds == replay ]] && replay=true
names=("$@")
((${#names[@]})) || names=(record_read record_append short_text crypt ini csv_read)

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
  log="$build/fuzz_$name.log"
  if $replay; then
    echo "fuzz_$name: replaying fuzz/corpus/$name"
    run=(-runs=0 "$root/fuzz/corpus/$name")
  else
    found="$build/found/$name"
    mkdir -p "$found"
    echo "fuzz_$name: $seconds s"
    run=(-max_total_time="$seconds" "$found" "$root/fuzz/corpus/$name")
  fi
  if "$build/fuzz_$name" "${run[@]}" -timeout=30 -print_final_stats=1 -artifact_prefix="$build/" >"$log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  else
    status=1
    tail -n 40 "$log"
  fi
done
exit "$status"
