#!/usr/bin/env bash
# Builds herbdesk into build/ and starts it (under a virtual display when there is none).
set -euo pipefail
cd "$(dirname "$0")"

source scripts/install-packages.sh
install_missing_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target herbdesk

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    exec xvfb-run -a build/herbdesk
fi
exec build/herbdesk
