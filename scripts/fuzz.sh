#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset) and runs each for a while, one after another.
#   scripts/fuzz.sh [--smoke] [--two] [seconds] [target...]
#     seconds   how long each target runs (default 60)
#     --smoke   a few seconds each from the seeds alone, for the test run
#     --two     two targets at a time
#     target    only these (names as in fuzz/CMakeLists.txt, without "_fuzzer")
# Each target works on its own copy of its seed corpus, build/fuzz/corpus-work/<target>; inputs
# that crash, leak or hang go to build/fuzz/crashes/<target>/. Exits 1 when any target failed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=60
two=0
smoke=0
targets=()
for arg in "$@"; do
  case "$arg" in
    --smoke) seconds=4 smoke=1 ;;
    --two) two=1 ;;
    [0-9]*) seconds="$arg" ;;
    -*) echo "unknown option: $arg" >&2; exit 2 ;;
    *) targets+=("$arg") ;;
  esac
done

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

build=build/fuzz
((${#targets[@]})) || mapfile -t targets <"$build/fuzz-targets.txt"

# Longer inputs where the code reads in blocks of 1,024 bytes or more.
max_len_of() {
  case "$1" in
    http_answer | registry_preset | upgrade_page) echo 8192 ;;
    *) echo 4096 ;;
  esac
}

run_target() {
  local target=$1
  local work="$build/corpus-work/$target" crashes="$build/crashes/$target"
  local log="$build/logs/$target.log"
  # A smoke run starts from the seeds every time, so that it takes as long as it says.
  if ((smoke)); then
    work="$build/corpus-smoke/$target"
    rm -rf "$work"
  fi
  mkdir -p "$work" "$crashes" "$(dirname "$log")"
  cp -n fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
  local options=(-max_total_time="$seconds" -max_len="$(max_len_of "$target")" -timeout=10
                 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/")
  [[ -f "fuzz/$target.dict" ]] && options+=(-dict="fuzz/$target.dict")
  if "$build/fuzz/${target}_fuzzer" "${options[@]}" "$work" >"$log" 2>&1; then
    echo ok >"$log.result"
  else
    echo failed >"$log.result"
  fi
}

# One line per target: executions, coverage (cov, ft) from libFuzzer's last status line, and
# the input it kept when it failed.
report() {
  local target=$1 log="$build/logs/$1.log"
  local execs cov ft artifact
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
  artifact=$(grep -o 'Test unit written to .*' "$log" | tail -1 | sed 's/Test unit written to //' || true)
  printf '%-20s %-6s execs %-10s cov %-6s ft %-7s %s\n' "$target" "$(cat "$log.result")" \
    "${execs:-?}" "${cov:-?}" "${ft:-?}" "${artifact:+crash: $artifact}"
}

echo "=== fuzzing ${#targets[@]} targets, ${seconds} s each$( ((two)) && echo ', two at a time')"
if ((two)); then
  for ((i = 0; i < ${#targets[@]}; i += 2)); do
    run_target "${targets[i]}" &
    ((i + 1 < ${#targets[@]})) && run_target "${targets[i + 1]}" &
    wait
  done
else
  for target in "${targets[@]}"; do run_target "$target"; done
fi

failed=0
for target in "${targets[@]}"; do
  report "$target"
  [[ $(cat "$build/logs/$target.log.result") == ok ]] || failed=1
done
if ((failed)); then
  echo "Some targets failed; their logs are in $build/logs/, their inputs in $build/crashes/."
  exit 1
fi
echo "All fuzz targets ran clean."
