#!/usr/bin/env bash
# Every C++ file of the repository follows .clang-format (Debian's
# clang-format, the version the set-up installs). Names the files that do
# not; `clang-format -i FILE` mends one.
set -u
cd "$(dirname "$0")/.."
bad=$(git ls-files '*.cpp' '*.h' | while read -r f; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || echo "$f"
done)
if [ -n "$bad" ]; then
    echo "Not formatted as .clang-format says ($(clang-format --version)):"
    echo "$bad" | sed 's/^/  /'
    exit 1
fi
