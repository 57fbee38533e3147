#!/usr/bin/env bash
# Builds herbdesk into build/ and starts it (under a virtual display when there is none) on the
# user's data folder, which "rm -rf build" does not touch.
set -euo pipefail
cd "$(dirname "$0")"

source scripts/install-packages.sh
install_missing_packages
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target herbdesk

# The program's own choice when no sysfile/ lies beside it (see README.md).
data="${XDG_DATA_HOME:-$HOME/.local/share}/herbdesk/sysfile"
# Earlier versions kept the data in build/sysfile; it moves out of the build folder once.
if [[ -d build/sysfile ]]; then
    if [[ -e $data ]]; then
        echo "注意：build/sysfile 中有旧数据，本程序使用的是 $data" >&2
    else
        mkdir -p "$(dirname "$data")"
        mv build/sysfile "$data"
        echo "已把数据从 build/sysfile 移到 $data" >&2
    fi
fi

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    exec xvfb-run -a build/herbdesk --data "$data"
fi
exec build/herbdesk --data "$data"
