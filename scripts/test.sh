#!/usr/bin/env bash
# Installs the packages, builds Z.O.V.A with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs the whole test suite inside Xvfb with openbox.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build/test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZOVA_SANITIZE=ON
cmake --build "$build"
export QTWEBENGINE_DISABLE_SANDBOX=1
exec "$root/scripts/xsession.sh" ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
