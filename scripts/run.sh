#!/usr/bin/env bash
# Installs what is missing, builds Tagwacht and starts the desktop program on the user's data
# folder. Arguments go to the program ("autostart", or a .twf archive to import).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tagwacht tagwacht-cli
exec ./build/bin/tagwacht "$@"
