#!/usr/bin/env bash
# Builds herbdesk and its benchmark into build/ and runs the benchmark; exits non-zero when a
# target is missed at 1x. Arguments go to the benchmark, e.g. ./bench.sh --size all
# The generated data is kept in build/bench-data/, the tables in build/bench-results/.
set -euo pipefail
cd "$(dirname "$0")"

source scripts/install-packages.sh
install_missing_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target herbdesk herbdesk_bench

# The program's start-up is measured on a real display server.
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    exec xvfb-run -a -s '-screen 0 1400x1000x24' build/bench/herbdesk_bench "$@"
fi
exec build/bench/herbdesk_bench "$@"
