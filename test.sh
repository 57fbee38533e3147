#!/usr/bin/env bash
# Builds herbdesk and every test into build/ and runs the tests, on SQLite files and on a private
# PostgreSQL server that the tests start and stop (`ctest -LE postgresql` leaves it out); exits
# with ctest's code.
set -euo pipefail
cd "$(dirname "$0")"

source scripts/install-packages.sh
source scripts/pdf-printer.sh
install_missing_packages
install_test_server
set_up_pdf_printer
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

# The tests stop their server at the end; this stops it too when the run is cut short.
trap 'scripts/test-server.sh stop "$(cat build/test-server-folder)" 2>/dev/null || true' EXIT
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)"
