#!/usr/bin/env bash
# Builds the fuzz preset and runs each fuzz target for a while in one process, starting from its
# corpus; new inputs go to build/<dir>/fuzz/work/<target>, crashes to build/<dir>/fuzz/crashes.
# Usage: fuzz/run.sh [seconds per target, default 180] [target ...]
# Afterwards fold useful inputs into the committed corpus with:
#   build/fuzz/fuzz/<t>_fuzz -merge=1 fuzz/corpus/<t> build/fuzz/fuzz/work/<t>
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-180}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(code_page url_encode text_search match_set query update_version)
build=${ZEMBRIK_FUZZ_BUILD:-build/fuzz}

scripts/install-deps.sh
if ! command -v clang++-14 >/dev/null || ! dpkg-query -W libclang-rt-14-dev >/dev/null 2>&1; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang-14 libclang-rt-14-dev >/dev/null
fi

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target "${targets[@]/%/_fuzz}"

mkdir -p "$build/fuzz/crashes"
for t in "${targets[@]}"; do
  work="$build/fuzz/work/$t"
  mkdir -p "$work"
  echo "== $t: ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$build/fuzz/${t}_fuzz" -max_total_time="$seconds" -max_len=8192 \
    -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/crashes/$t-" "$work" "fuzz/corpus/$t" 2>&1 |
    tee "$build/fuzz/$t.log" | grep -E "^(stat::|==|SUMMARY|Done)" || true
done
