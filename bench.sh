#!/usr/bin/env bash
# Builds herbdesk and its benchmark into build/ and runs the benchmark; exits non-zero when a
# target is missed at 1x. Arguments go to the benchmark, e.g. ./bench.sh --size all
# The generated data is kept in build/bench-data/, the tables in build/bench-results/.
set -euo pipefail
cd "$(dirname "$0")"

# Only the tables go to standard output, so that ./bench.sh > results.md keeps them alone.
source scripts/install-packages.sh
install_missing_packages >&2
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build build --target herbdesk herbdesk_bench >&2

# The program's start-up is measured on a real display server.
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    exec xvfb-run -a -s '-screen 0 1400x1000x24' build/bench/herbdesk_bench "$@"
fi
exec build/bench/herbdesk_bench "$@"
