#!/usr/bin/env bash
# Installs what is missing, builds Tagwacht twice (normal and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both builds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTAGWACHT_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j"$jobs"

echo "== tests with AddressSanitizer and UndefinedBehaviorSanitizer =="
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
echo "== tests =="
ctest --test-dir build --output-on-failure -j"$jobs"
