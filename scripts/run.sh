#!/usr/bin/env bash
# Installs the packages, builds Z.O.V.A and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOVA_TESTS=OFF
cmake --build "$root/build/release" --target zova
exec "$root/build/release/src/app/zova" "$@"
