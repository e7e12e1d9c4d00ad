#!/usr/bin/env bash
# ./run.sh [FOLDER]: installs what is missing, builds into build/ and starts
# the program (on FOLDER when given).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)"
exec build/Quenderluxium "$@"
