#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs them inside Xvfb with openbox and
# ends with one table of every row they print, each with whether its target holds.
# With arguments, runs only the benchmarks named (bench_video bench_labels ...);
# ZOVA_BUILD_JOBS limits the build's parallel jobs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# chromium is the reference some benchmarks compare against.
dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q 'install ok installed' || DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq chromium
build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOVA_TESTS=OFF
cmake --build "$build" ${ZOVA_BUILD_JOBS:+-j "$ZOVA_BUILD_JOBS"}
export QTWEBENGINE_DISABLE_SANDBOX=1
cd "$build/bench"
log="$build/bench-output.txt"
run_all() {
  local names=("$@")
  if [ ${#names[@]} -eq 0 ]; then
    for b in bench_*; do
      [ -f "$b" ] && [ -x "$b" ] && names+=("$b")
    done
  fi
  for b in "${names[@]}"; do
    [ -f "./$b" ] && [ -x "./$b" ] || { echo "benchmark $b failed"; continue; }
    echo "== $b"
    "./$b" || echo "benchmark $b failed"
  done
}
export -f run_all
"$root/scripts/xsession.sh" bash -c 'run_all "$@"' run_all "$@" 2>&1 | tee "$log"
python3 "$root/scripts/bench-summary.py" "$log"
