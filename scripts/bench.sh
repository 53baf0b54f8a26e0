#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them inside Xvfb with openbox.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# chromium is the reference some benchmarks compare against.
dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q 'install ok installed' || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq chromium
build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOVA_TESTS=OFF
cmake --build "$build"
export QTWEBENGINE_DISABLE_SANDBOX=1
cd "$build/bench"
run_all() {
  for b in ./bench_*; do
    [ -x "$b" ] || continue
    echo "== $b"
    "$b" || echo "benchmark $b failed"
  done
}
export -f run_all
"$root/scripts/xsession.sh" bash -c run_all
