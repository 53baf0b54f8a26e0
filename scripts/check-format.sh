#!/usr/bin/env bash
# Fails when clang-format (Debian 12's clang-format 14, with .clang-format) would
# change any tracked .cpp or .h file; names each such file.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$formatter" ]; then
  echo "check-format: clang-format is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
# --dry-run reports each place it would change as "file:line:col: warning: ...".
unformatted=$(git ls-files -z -- '*.cpp' '*.h' \
  | xargs -0 -P "$(nproc)" -n 40 "$formatter" --style=file --dry-run 2>&1 \
  | sed -n 's/^\(.*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
if [ -n "$unformatted" ]; then
  echo "$unformatted" | sed 's/^/not formatted: /'
  echo "check-format: $(echo "$unformatted" | wc -l) file(s) differ from .clang-format; run clang-format -i on them"
  exit 1
fi
