#!/usr/bin/env bash
# Builds the monkey and the store tests once more with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer, in build-sanitize/, and runs them: any report fails the run.
# Only what runs is built, at -O1 and without debug information, so that CI stays quick.
set -euo pipefail
cd "$(dirname "$0")/.."

tests=(tst_monkey tst_store tst_cursor tst_datafiles tst_values tst_textmatch)
sanitizers="-fsanitize=address,undefined"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Sanitize \
    -DCMAKE_CXX_FLAGS_SANITIZE="-O1 $sanitizers -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS_SANITIZE="$sanitizers"
cmake --build build-sanitize --target "${tests[@]}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitize-leaks.supp:print_suppressions=0"
pattern="^($(IFS='|'; echo "${tests[*]}"))\$"
ctest --test-dir build-sanitize -R "$pattern" --output-on-failure
