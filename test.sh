#!/usr/bin/env bash
# Builds herbdesk and every test into build/ and runs the tests; exits with ctest's code.
set -euo pipefail
cd "$(dirname "$0")"

source scripts/install-packages.sh
source scripts/pdf-printer.sh
install_missing_packages
set_up_pdf_printer
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)"
