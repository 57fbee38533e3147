#!/usr/bin/env bash
# Builds herbdesk and its benchmark into build/ and runs the benchmark; exits non-zero when a
# target is missed at 1x. Arguments go to the benchmark, e.g. ./bench.sh --size all, or
# ./bench.sh --engine postgresql for the run on a private PostgreSQL server in build/bench-server.
# The generated data is kept in build/bench-data/, the tables in build/bench-results/.
set -euo pipefail
cd "$(dirname "$0")"

# Only the tables go to standard output, so that ./bench.sh > results.md keeps them alone.
on_server=no
[[ " $* " == *" --engine postgresql "* || " $* " == *" --engine=postgresql "* ]] && on_server=yes

source scripts/install-packages.sh
install_missing_packages >&2
[[ $on_server == yes ]] && install_test_server >&2
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build build --target herbdesk herbdesk_bench >&2

# The benchmark stops its server itself; when the run is interrupted, this does.
if [[ $on_server == yes ]]; then
    trap 'scripts/test-server.sh stop build/bench-server >&2 || true' EXIT
    trap 'exit 130' INT TERM
fi

# The program's start-up is measured on a real display server.
run=(build/bench/herbdesk_bench "$@")
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    run=(xvfb-run -a -s '-screen 0 1400x1000x24' "${run[@]}")
fi
"${run[@]}"
