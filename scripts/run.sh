#!/usr/bin/env bash
# Installs what is missing, builds Tagwacht and starts it. Until the desktop program exists this
# starts the command-line front end's list of entries on the user's data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
exec ./build/bin/tagwacht-cli list "$@"
