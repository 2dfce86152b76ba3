#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset) and runs each for a while, one after another.
#   scripts/fuzz.sh [--replay] [--two] [seconds] [target...]
#     seconds   how long each target explores (default 60)
#     --replay  for the test run: each target runs every input kept in fuzz/corpus/<target> once,
#               without making new ones, so that one commit always gets one answer
#     --keep    after exploring, adds to fuzz/corpus/<target> the inputs that reached new code
#     --two     two targets at a time
#     target    only these (names as in fuzz/CMakeLists.txt, without "_fuzzer")
# Each target works on its own copy of its seed corpus, build/fuzz/corpus-work/<target>; inputs
# that crash, leak or hang go to build/fuzz/crashes/<target>/. Exits 1 when any target failed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=60
two=0
replay=0
keep=0
targets=()
for arg in "$@"; do
  case "$arg" in
    --replay) replay=1 ;;
    --keep) keep=1 ;;
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
  local options=(-max_len="$(max_len_of "$target")" -timeout=10 -rss_limit_mb=2048
                 -print_final_stats=1 -artifact_prefix="$crashes/")
  [[ -f "fuzz/$target.dict" ]] && options+=(-dict="fuzz/$target.dict")
  mkdir -p "$work" "$crashes" "$(dirname "$log")"
  if ((replay)); then
    # Files rather than a folder: libFuzzer runs each once and makes nothing new. Even with a fixed
    # seed its mutations follow the coverage it sees, which differs from run to run.
    local inputs=(fuzz/corpus/"$target"/*)
    "$build/fuzz/${target}_fuzzer" "${options[@]}" "${inputs[@]}" >"$log" 2>&1 \
      && echo ok >"$log.result" || echo failed >"$log.result"
    echo "stat::number_of_executed_units: ${#inputs[@]}" >>"$log"
    return
  fi
  options+=(-max_total_time="$seconds")
  cp -n fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
  if "$build/fuzz/${target}_fuzzer" "${options[@]}" "$work" >"$log" 2>&1; then
    echo ok >"$log.result"
    # Only what reaches code the kept inputs do not: the corpus stays small.
    if ((keep)); then
      "$build/fuzz/${target}_fuzzer" -merge=1 -max_len="$(max_len_of "$target")" \
        fuzz/corpus/"$target" "$work" >>"$log" 2>&1
    fi
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
  # A replayed input that fails is the last one libFuzzer started.
  if ((replay)) && [[ $(cat "$log.result") != ok ]]; then
    artifact=$(grep -o '^Running: .*' "$log" | tail -1 | sed 's/^Running: //' || true)
  fi
  if ((replay)); then
    printf '%-20s %-6s inputs %-6s %s\n' "$target" "$(cat "$log.result")" "${execs:-?}" \
      "${artifact:+failed on: $artifact}"
    return
  fi
  printf '%-20s %-6s execs %-10s cov %-6s ft %-7s %s\n' "$target" "$(cat "$log.result")" \
    "${execs:-?}" "${cov:-?}" "${ft:-?}" "${artifact:+crash: $artifact}"
}

if ((replay)); then
  echo "=== fuzzing ${#targets[@]} targets: every kept input once"
else
  echo "=== fuzzing ${#targets[@]} targets, ${seconds} s each$( ((two)) && echo ', two at a time')"
fi
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
